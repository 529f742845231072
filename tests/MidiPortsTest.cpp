// The MIDI port layer: JUCE's ports on a machine without a MIDI system, lookup
// by name, and the installed implementation.
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

TEST (MidiPorts, OpeningByNameTakesTheFirstExactMatchAndScopesRestoreTheImplementation)
{
    {
        ScopedVirtualMidiPorts ports;
        for (auto* name : { "Twin", "Unit", "Twin" })
            ports->addOutput (name);
        MidiPorts::get().openOutput (juce::String ("Twin"))->sendMessageNow (juce::MidiMessage::noteOn (1, 1, (juce::uint8) 100));
        EXPECT_EQ (ports->getEvents().at (0).outputIndex, 0);
        EXPECT_EQ (ports->openOutput (juce::String ("twin")), nullptr);
    }
    EXPECT_EQ (&MidiPorts::get(), &MidiPorts::getJuceImplementation());
}
