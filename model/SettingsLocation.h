// Where the model's settings file lives. JUCE puts the all-users file under
// "/var" on Linux (under "/Library/Application Support" on macOS) and the
// user's file under the home folder; tests move both into a folder of their own.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace SettingsLocation
{
/** The options of the model's settings store. */
juce::PropertiesFile::Options options();

/** The two files JUCE will use with those options. */
juce::File commonFile();
juce::File userFile();

/** Moves both settings files below a folder. JUCE resolves the user's file
    from the home folder, so the home folder must lie below that folder too. */
void redirectBelow (const juce::File& folder);
} // namespace SettingsLocation
