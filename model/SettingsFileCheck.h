// The settings files are read by JUCE when the model writes its settings at
// quit, and JUCE trusts what it reads: a settings file that a user or a tool
// has edited can make it recurse until the stack runs out, loop for ever, or
// decode invalid text past the end of its buffers. A file that does not pass
// the mapping file's checks is set aside before JUCE opens it.
#pragma once

#include <juce_core/juce_core.h>

namespace SettingsFileCheck
{
/** True when JUCE may read the file: it does not exist, or it is a folder
    (which JUCE does not open), or it is a regular file that holds JUCE's
    binary properties form (compressed or not) of at most five mapping files'
    size with strict UTF-8 texts, or strict UTF-8 XML that passes the mapping
    file's checks. */
bool isSafeToRead (const juce::File& file);

/** Moves a file that JUCE may not read to the same name with ".bad" added
    (replacing an older one), so that a fresh file is written in its place.
    Returns true when JUCE may now open the path. */
bool setAsideIfUnsafe (const juce::File& file);
} // namespace SettingsFileCheck
