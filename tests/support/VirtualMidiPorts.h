// In-memory MIDI ports for the tests: they log everything sent and every
// pause, with time stamps, and feed incoming messages to an input's callback
// from a thread of their own, as a real MIDI system does.
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
    /** Whether pause() really blocks (timing checks) or only logs. */
    enum class Pauses { recordOnly, recordAndSleep };

    /** A message sent (bytes set), a pause (pauseMs set) or a run of the
        message loop while a reply is awaited (pollMs set). */
    struct Event
    {
        int outputIndex = -1;
        std::vector<uint8_t> bytes;
        int pauseMs = 0;
        int pollMs = 0;
        int64_t nanoseconds = 0; // steady clock, when it was sent or the wait began

        bool isPause() const { return bytes.empty() && pollMs == 0; }
        bool isPoll() const { return pollMs != 0; }

        /** "9F 00 00", "pause 2" or "poll 33": short enough to compare whole logs. */
        std::string describe() const;
    };

    explicit VirtualMidiPorts (Pauses pauses = Pauses::recordOnly);
    ~VirtualMidiPorts() override;

    /** Adds a port at the end of the list and returns its index. Names may repeat. */
    int addOutput (const juce::String& name, bool opens = true);
    int addInput (const juce::String& name, bool opens = true);

    /** Called on the sending thread for every message, after it is logged:
        where a simulated unit hears what it is sent. */
    void setSendListener (std::function<void (int outputIndex, const juce::MidiMessage&)> listener);

    /** Called on the waiting thread at the start of every pause and poll,
        after it is logged: where a simulated unit's time passes. */
    void setWaitListener (std::function<void (const Event&)> listener);

    /** Queues a message for the started inputs of that index; a thread of these
        ports calls their callbacks. Inputs not started drop it, as real ones do. */
    void deliverToInput (int inputIndex, const juce::MidiMessage& message);

    /** Returns once every queued message has been handed on or dropped. */
    void waitUntilDelivered();

    std::vector<Event> getEvents() const;
    std::vector<std::string> describeEvents() const;
    void clearEvents();

    // MidiPorts
    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    void pause (int milliseconds) override;
    /** Runs the message loop only when pauses sleep; otherwise a poll takes no time. */
    void runMessageLoop (int milliseconds) override;
    using MidiPorts::openInput;
    using MidiPorts::openOutput;

private:
    class Output;
    class Input;

    struct Port
    {
        juce::String name;
        bool opens;
    };

    struct Delivery
    {
        int inputIndex;
        juce::MidiMessage message;
    };

    static juce::StringArray namesOf (const std::vector<Port>& ports);
    const Port* findPort (const std::vector<Port>& ports, int index) const;
    void record (Event event);
    void recordWait (Event event);
    void sendFrom (int outputIndex, const juce::MidiMessage& message);
    void setStarted (Input& input, bool started);
    void deliveryLoop();
    void deliverNow (const Delivery& delivery);

    const Pauses pauses;

    mutable std::mutex stateLock; // ports, log, listener
    std::vector<Port> outputs, inputs;
    std::vector<Event> events;
    std::function<void (int, const juce::MidiMessage&)> sendListener;
    std::function<void (const Event&)> waitListener;

    // Held while callbacks run, so stop() and closing wait for them to end;
    // recursive so that a callback may stop its own input.
    std::recursive_mutex callbackLock;
    std::vector<Input*> openInputs;

    std::mutex queueLock;
    std::condition_variable queueChanged;
    std::deque<Delivery> queue;
    bool delivering = false, quitting = false;
    std::thread deliveryThread;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VirtualMidiPorts)
};

/** Virtual ports installed as the MIDI system for the scope's lifetime. */
class ScopedVirtualMidiPorts
{
public:
    explicit ScopedVirtualMidiPorts (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly)
        : ports (pauses), previous (MidiPorts::install (&ports))
    {
    }

    ~ScopedVirtualMidiPorts() { MidiPorts::install (previous); }

    VirtualMidiPorts& operator*() { return ports; }
    VirtualMidiPorts* operator->() { return &ports; }

private:
    VirtualMidiPorts ports;
    MidiPorts* previous;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ScopedVirtualMidiPorts)
};
