// The MIDI port layer on JUCE's ports. (The upload's lookup by name, the first
// exact match, is checked in MappingUploadTest.cpp.)
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

// This machine has no MIDI system: JUCE lists nothing, opens nothing and must not crash.
TEST (MidiPorts, JuceImplementationOpensNothingThatIsNotThere)
{
    auto& ports = MidiPorts::getJuceImplementation();
    EXPECT_TRUE (ports.openOutput (ports.getOutputNames().size()) == nullptr && ports.openOutput (-1) == nullptr);
    EXPECT_EQ (ports.openInput (ports.getInputNames().size(), nullptr), nullptr);
    EXPECT_EQ (ports.openOutput (juce::String ("No such port - kivra test")), nullptr);
}
