#include "AudioMidiSetup.h"

#include <cstdlib>

namespace zevo
{
juce::String AudioMidiSetup::commandFor (int macMajor)
{
    return macMajor <= 14 ? "open /Applications/Utilities/Audio\\ MIDI\\ Setup.app"
                          : "open /System/Applications/Utilities/Audio\\ MIDI\\ Setup.app";
}

void AudioMidiSetup::open()
{
#if JUCE_MAC
    const int macMajor = juce::SystemStats::getOperatingSystemType() - 0x100;
    [[maybe_unused]] const int status = std::system (commandFor (macMajor).toRawUTF8());
#endif
}
} // namespace zevo
