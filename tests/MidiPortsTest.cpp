// The MIDI port layer: JUCE's ports on a machine without a MIDI system, lookup
// by name, input delivery from another thread, and the installed implementation.
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

namespace
{
/** Remembers the notes that arrived, and whether any came on the test's own thread. */
struct RecordingCallback final : juce::MidiInputCallback
{
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        notes.push_back (message.getNoteNumber());
        onTestThread = onTestThread || std::this_thread::get_id() == testThread;
    }

    std::mutex mutex;
    std::vector<int> notes;
    bool onTestThread = false;
    const std::thread::id testThread = std::this_thread::get_id();
};

juce::MidiMessage note (int number) { return juce::MidiMessage::noteOn (1, number, (juce::uint8) 100); }
} // namespace

// This machine has no MIDI system: JUCE lists nothing, opens nothing and must not crash.
TEST (MidiPorts, JuceImplementationOpensNothingThatIsNotThere)
{
    auto& ports = MidiPorts::getJuceImplementation();
    RecordingCallback callback;

    EXPECT_EQ (ports.openOutput (ports.getOutputNames().size()), nullptr);
    EXPECT_EQ (ports.openOutput (-1), nullptr);
    EXPECT_EQ (ports.openInput (ports.getInputNames().size(), &callback), nullptr);
    EXPECT_EQ (ports.openOutput (juce::String ("No such port - kivra test")), nullptr);
}

TEST (MidiPorts, NamesKeepTheirOrderAndOpeningByNameTakesTheFirstExactMatch)
{
    VirtualMidiPorts ports;
    for (auto* name : { "Twin", "Unit", "Twin" })
        ports.addOutput (name);

    EXPECT_EQ (ports.getOutputNames(), juce::StringArray ({ "Twin", "Unit", "Twin" }));
    ports.openOutput (juce::String ("Twin"))->sendMessageNow (note (1));
    EXPECT_EQ (ports.getEvents().at (0).outputIndex, 0);
    EXPECT_EQ (ports.openOutput (juce::String ("twin")), nullptr);
}

TEST (MidiPorts, InputsHearMessagesOnAnotherThreadOnlyWhileStarted)
{
    VirtualMidiPorts ports;
    ports.addInput ("Other");
    ports.addInput ("Unit in");
    RecordingCallback callback;
    auto input = ports.openInput (juce::String ("Unit in"), &callback);
    ASSERT_NE (input, nullptr);

    ports.deliverToInput (1, note (1)); // not started yet
    ports.waitUntilDelivered();
    input->start();
    ports.deliverToInput (1, note (2));
    ports.deliverToInput (0, note (3)); // another port
    ports.waitUntilDelivered();
    input->stop();
    ports.deliverToInput (1, note (4));
    ports.waitUntilDelivered();

    EXPECT_EQ (callback.notes, std::vector<int> { 2 });
    EXPECT_FALSE (callback.onTestThread);
}

TEST (MidiPorts, ScopesInstallAndRestoreTheImplementation)
{
    {
        ScopedVirtualMidiPorts outer;
        {
            ScopedVirtualMidiPorts inner;
            EXPECT_EQ (&MidiPorts::get(), &*inner);
        }
        EXPECT_EQ (&MidiPorts::get(), &*outer);
    }
    EXPECT_EQ (&MidiPorts::get(), &MidiPorts::getJuceImplementation());
}
