// Apple's "Audio MIDI Setup" utility, where a user refreshes the name the
// system shows for a unit. It exists only on macOS.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo::AudioMidiSetup
{
/** The shell command that opens the utility; it moved on macOS 10.15. */
juce::String commandFor (int macMajor);

/** Opens the utility on macOS. Elsewhere nothing runs: on Linux `open` is
    another program (openvt), and there is no such utility to open. */
void open();
} // namespace zevo::AudioMidiSetup
