// The MIDI port layer: lookup by name and index, opening, sending, inputs fed
// from another thread, and the installed implementation.
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
using Kind = VirtualMidiPorts::Event::Kind;

/** Remembers what arrived and on which thread. */
class RecordingCallback final : public juce::MidiInputCallback
{
public:
    void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override
    {
        const std::lock_guard<std::mutex> lock (mutex);
        received.push_back (message.getNoteNumber());
        threads.push_back (std::this_thread::get_id());
    }

    std::vector<int> notes() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return received;
    }

    std::vector<std::thread::id> callingThreads() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return threads;
    }

private:
    mutable std::mutex mutex;
    std::vector<int> received;
    std::vector<std::thread::id> threads;
};

juce::MidiMessage note (int number) { return juce::MidiMessage::noteOn (1, number, (juce::uint8) 100); }
} // namespace

//==============================================================================
TEST (MidiPorts, NamesKeepTheirOrderAndRepeats)
{
    VirtualMidiPorts ports;
    ports.addOutput ("B");
    ports.addOutput ("A");
    ports.addOutput ("B");
    ports.addInput ("In");

    EXPECT_EQ (ports.getOutputNames(), juce::StringArray ({ "B", "A", "B" }));
    EXPECT_EQ (ports.getInputNames(), juce::StringArray ({ "In" }));
}

TEST (MidiPorts, OpeningByNameTakesTheFirstExactMatch)
{
    VirtualMidiPorts ports;
    ports.addOutput ("Unit");
    ports.addOutput ("Twin");
    ports.addOutput ("Twin");

    {
        auto output = ports.openOutput (juce::String ("Twin"));
        ASSERT_NE (output, nullptr);
        EXPECT_EQ (output->getName(), "Twin");
        output->sendMessageNow (note (1));
    }
    EXPECT_EQ (ports.getEvents().at (0).outputIndex, 1);
    EXPECT_EQ (ports.getNumTimesOutputOpened (2), 0);

    EXPECT_EQ (ports.openOutput (juce::String ("twin")), nullptr);
    EXPECT_EQ (ports.openOutput (juce::String ("Twin ")), nullptr);
    EXPECT_EQ (ports.openOutput (juce::String()), nullptr);
}

TEST (MidiPorts, OpeningOutsideTheListOrAFailingPortGivesNothing)
{
    VirtualMidiPorts ports;
    ports.addOutput ("Broken");
    ports.makeOutputFailToOpen (0);
    RecordingCallback callback;
    ports.addInput ("Broken in");
    ports.makeInputFailToOpen (0);

    EXPECT_EQ (ports.openOutput (-1), nullptr);
    EXPECT_EQ (ports.openOutput (1), nullptr);
    EXPECT_EQ (ports.openOutput (0), nullptr);
    EXPECT_EQ (ports.openInput (0, &callback), nullptr);
    EXPECT_EQ (ports.openInput (1, &callback), nullptr);
    EXPECT_EQ (ports.getNumOpenOutputs(), 0);
    EXPECT_EQ (ports.getNumOpenInputs(), 0);
}

TEST (MidiPorts, SendsAreLoggedInOrderWithTheirKindAndDestroyingCloses)
{
    VirtualMidiPorts ports;
    ports.addOutput ("Unit");

    auto output = ports.openOutput (0);
    ASSERT_NE (output, nullptr);
    EXPECT_EQ (ports.getNumOpenOutputs(), 1);

    juce::MidiBuffer block;
    block.addEvent (note (10), 0);
    block.addEvent (note (11), 0);
    output->sendMessageNow (note (9));
    output->sendBlockOfMessagesNow (block);
    ports.pause (2);
    output->sendBlockOfMessagesNow (block);
    output.reset();

    EXPECT_EQ (ports.getNumOpenOutputs(), 0);
    EXPECT_EQ (ports.describeEvents(),
               (std::vector<std::string> { "message 90 09 64", "block 90 0A 64", "block 90 0B 64", "pause 2",
                                           "block 90 0A 64", "block 90 0B 64" }));

    const auto events = ports.getEvents();
    EXPECT_EQ (events[1].blockNumber, events[2].blockNumber);
    EXPECT_NE (events[2].blockNumber, events[4].blockNumber);
    for (size_t i = 1; i < events.size(); ++i)
        EXPECT_GE (events[i].nanoseconds, events[i - 1].nanoseconds);
}

TEST (MidiPorts, SendListenerSeesEveryMessage)
{
    VirtualMidiPorts ports;
    ports.addOutput ("Unit");
    std::vector<int> heard;
    ports.setSendListener ([&heard] (int index, const juce::MidiMessage& m) { heard.push_back (index * 1000 + m.getNoteNumber()); });

    auto output = ports.openOutput (0);
    output->sendMessageNow (note (5));
    juce::MidiBuffer block;
    block.addEvent (note (6), 0);
    output->sendBlockOfMessagesNow (block);

    EXPECT_EQ (heard, (std::vector<int> { 5, 6 }));
}

//==============================================================================
TEST (MidiPorts, InputCallbackRunsOnAnotherThreadOnlyWhileStarted)
{
    VirtualMidiPorts ports;
    ports.addInput ("Other");
    ports.addInput ("Unit in");
    RecordingCallback callback;

    auto input = ports.openInput (juce::String ("Unit in"), &callback);
    ASSERT_NE (input, nullptr);
    EXPECT_EQ (input->getName(), "Unit in");

    ports.deliverToInput (1, note (1)); // not started yet: dropped
    ports.waitUntilDelivered();
    input->start();
    ports.deliverToInput (1, note (2));
    ports.deliverToInput (0, note (3)); // another port
    ports.deliverToInput (1, note (4));
    ports.waitUntilDelivered();
    input->stop();
    ports.deliverToInput (1, note (5));
    ports.waitUntilDelivered();

    EXPECT_EQ (callback.notes(), (std::vector<int> { 2, 4 }));
    for (auto id : callback.callingThreads())
        EXPECT_NE (id, std::this_thread::get_id());

    input.reset();
    EXPECT_EQ (ports.getNumOpenInputs(), 0);
    ports.deliverToInput (1, note (6));
    ports.waitUntilDelivered();
    EXPECT_EQ (ports.getNumMessagesDelivered(), 2);
}

TEST (MidiPorts, ACallbackMayCloseItsOwnInput)
{
    VirtualMidiPorts ports;
    ports.addInput ("Unit in");

    struct ClosingCallback final : juce::MidiInputCallback
    {
        std::unique_ptr<MidiInputPort> input;
        std::atomic<int> calls { 0 };

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override
        {
            ++calls;
            input.reset();
        }
    } callback;

    callback.input = ports.openInput (0, &callback);
    callback.input->start();
    ports.deliverToInput (0, note (1));
    ports.deliverToInput (0, note (2));
    ports.waitUntilDelivered();

    EXPECT_EQ (callback.calls, 1);
    EXPECT_EQ (ports.getNumOpenInputs(), 0);
}

//==============================================================================
TEST (MidiPorts, ScopesInstallAndRestoreTheImplementation)
{
    auto& juceImplementation = MidiPorts::getJuceImplementation();
    EXPECT_EQ (&MidiPorts::get(), &juceImplementation);

    {
        ScopedVirtualMidiPorts outer;
        EXPECT_EQ (&MidiPorts::get(), &*outer);
        {
            ScopedVirtualMidiPorts inner;
            EXPECT_EQ (&MidiPorts::get(), &*inner);
        }
        EXPECT_EQ (&MidiPorts::get(), &*outer);
    }

    EXPECT_EQ (&MidiPorts::get(), &juceImplementation);
}

// This machine has no MIDI system: JUCE then lists nothing and opens nothing,
// and none of that may crash. On a machine with ports only the lookups of
// names that cannot exist are checked.
TEST (MidiPorts, JuceImplementationOpensNothingThatIsNotThere)
{
    auto& ports = MidiPorts::getJuceImplementation();
    RecordingCallback callback;

    const auto outputs = ports.getOutputNames();
    const auto inputs = ports.getInputNames();

    EXPECT_EQ (ports.openOutput (outputs.size()), nullptr);
    EXPECT_EQ (ports.openOutput (-1), nullptr);
    EXPECT_EQ (ports.openInput (inputs.size(), &callback), nullptr);
    EXPECT_EQ (ports.openOutput (juce::String ("No such port - kivra test")), nullptr);
    EXPECT_EQ (ports.openInput (juce::String ("No such port, kivra test"), &callback), nullptr);

    if (outputs.isEmpty())
    {
        EXPECT_EQ (ports.openOutput (0), nullptr);
    }
    if (inputs.isEmpty())
    {
        EXPECT_EQ (ports.openInput (0, &callback), nullptr);
    }

    ports.pause (0);
}
