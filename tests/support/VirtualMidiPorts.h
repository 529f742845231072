// In-memory MIDI ports for the tests: they keep a log of everything sent and
// every pause, with time stamps, and feed incoming messages to an input's
// callback from a thread of their own, as a real MIDI system does.
#pragma once

#include "model/MidiPorts.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class VirtualMidiPorts final : public MidiPorts
{
public:
    /** Whether pause() really blocks (benchmarks, timing checks) or only logs. */
    enum class Pauses { recordOnly, recordAndSleep };

    struct Event
    {
        enum class Kind { message, block, pause };

        Kind kind = Kind::message;
        int outputIndex = -1;        // the output sent to; -1 for a pause
        int blockNumber = -1;        // which sendBlockOfMessagesNow call, for Kind::block
        std::vector<uint8_t> bytes;  // the message, for Kind::message and Kind::block
        int milliseconds = 0;        // the length, for Kind::pause
        int64_t nanoseconds = 0;     // steady clock, when it was sent or the pause began

        /** "message F0 1D ...", "block 9F 00 00" or "pause 2": short enough to
            compare whole logs and read the difference when they disagree. */
        std::string describe() const;
    };

    explicit VirtualMidiPorts (Pauses pauses = Pauses::recordOnly);
    ~VirtualMidiPorts() override;

    /** Adds a port at the end of the list and returns its index. Names may repeat. */
    int addOutput (const juce::String& name);
    int addInput (const juce::String& name);

    /** Makes every later attempt to open that port fail. */
    void makeOutputFailToOpen (int index);
    void makeInputFailToOpen (int index);

    /** Called on the sending thread for every message sent, after it is logged. */
    void setSendListener (std::function<void (int outputIndex, const juce::MidiMessage&)> listener);

    /** Queues a message for every started input of that index; a thread of
        these ports calls the callbacks. Messages for inputs that are not open
        and started are dropped, as a real port would drop them. */
    void deliverToInput (int inputIndex, const juce::MidiMessage& message);

    /** Returns once every queued message has been handed on or dropped. */
    void waitUntilDelivered();

    std::vector<Event> getEvents() const;
    std::vector<std::string> describeEvents() const;
    void clearEvents();

    int getNumOpenOutputs() const;
    int getNumOpenInputs() const;
    int getNumTimesOutputOpened (int index) const;
    int getNumTimesInputOpened (int index) const;
    int getNumMessagesDelivered() const;

    // MidiPorts
    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    void pause (int milliseconds) override;
    using MidiPorts::openInput;
    using MidiPorts::openOutput;

private:
    class Output;
    class Input;

    struct Port
    {
        juce::String name;
        bool failsToOpen = false;
        int timesOpened = 0;
    };

    struct Delivery
    {
        int inputIndex;
        juce::MidiMessage message;
    };

    void record (Event event);
    void sendFrom (int outputIndex, const juce::MidiMessage& message, int blockNumber);
    int nextBlockNumber();
    void outputClosed();
    void registerInput (Input* input);
    void unregisterInput (Input* input);
    void setStarted (Input* input, bool started);
    void deliveryLoop();
    void deliverNow (const Delivery& delivery);

    const Pauses pauses;

    mutable std::mutex stateLock; // ports, log, counters
    std::vector<Port> outputs, inputs;
    std::vector<Event> events;
    int openOutputs = 0;
    int blocksSent = 0;
    int messagesDelivered = 0;
    std::function<void (int, const juce::MidiMessage&)> sendListener;

    // Held while a callback runs, so stop() and closing wait for it to end;
    // recursive so that a callback may stop its own input.
    mutable std::recursive_mutex callbackLock;
    std::vector<Input*> openInputs;

    std::mutex queueLock;
    std::condition_variable queueChanged;
    std::deque<Delivery> queue;
    bool delivering = false;
    bool quitting = false;
    std::thread deliveryThread;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VirtualMidiPorts)
};

/** Virtual ports installed as the MIDI system for the scope's lifetime. */
class ScopedVirtualMidiPorts
{
public:
    explicit ScopedVirtualMidiPorts (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly);
    ~ScopedVirtualMidiPorts();

    VirtualMidiPorts& operator*() { return ports; }
    VirtualMidiPorts* operator->() { return &ports; }

private:
    VirtualMidiPorts ports;
    MidiPorts* previous;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScopedVirtualMidiPorts)
};
