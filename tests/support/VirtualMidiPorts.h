// In-memory MIDI ports for the tests: they log every message sent and every
// wait, and hand incoming messages to the started inputs.
#pragma once

#include "model/MidiPorts.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

class VirtualMidiPorts final : public MidiPorts
{
public:
    // Whether waits really take their time (timing checks) or are only logged.
    enum class Pauses { recordOnly, recordAndSleep };

    // A message sent (bytes set), a pause (pauseMs set) or a run of the
    // message loop while a reply is awaited (pollMs set).
    struct Event
    {
        int outputIndex = -1;
        std::vector<uint8_t> bytes;
        int pauseMs = 0, pollMs = 0;

        bool isPause() const { return bytes.empty() && pollMs == 0; }
        bool isPoll() const { return pollMs != 0; }
        // "9F 00 00", "pause 2" or "poll 33": short enough to compare whole logs.
        std::string describe() const;
    };

    explicit VirtualMidiPorts (Pauses pausesToUse = Pauses::recordOnly) : pauses (pausesToUse) {}

    // Adds a port at the end of the list and returns its index. Names may repeat.
    int addOutput (const juce::String& name, bool opens = true);
    int addInput (const juce::String& name, bool opens = true);
    // Takes the output at this index off the list, as a unit unplugged leaves
    // the system's list: later outputs move up one place. An output already
    // open stays usable and keeps the index it was opened with.
    void removeOutput (int index);

    // Called on the sending thread after each message is logged: where a simulated unit hears.
    void setSendListener (std::function<void (int outputIndex, const juce::MidiMessage&)> listener);
    // Called on the waiting thread as each pause or poll begins: where a simulated unit's time passes.
    void setWaitListener (std::function<void (const Event&)> listener);

    // Calls the started inputs of that index back on the calling thread, which
    // plays the MIDI system's own thread; inputs not started drop the message.
    void deliverToInput (int inputIndex, const juce::MidiMessage& message);

    std::vector<Event> getEvents() const;
    std::vector<std::string> describeEvents() const;
    void clearEvents();

    juce::StringArray getOutputNames() override;
    juce::StringArray getInputNames() override;
    std::unique_ptr<MidiOutputPort> openOutput (int index) override;
    std::unique_ptr<MidiInputPort> openInput (int index, juce::MidiInputCallback* callback) override;
    void pause (int milliseconds) override;
    void runMessageLoop (int milliseconds) override;
    using MidiPorts::openInput;
    using MidiPorts::openOutput;

private:
    struct Output;
    struct Input;
    struct PortList { juce::StringArray names; juce::Array<int> closedIndexes; };

    int add (PortList& list, const juce::String& name, bool opens);
    std::optional<juce::String> openableName (const PortList& list, int index) const;
    template <typename Value> Value copyOf (const Value& value) const;
    template <typename Value> void assign (Value& member, Value value);
    void log (Event event);
    void logWait (const Event& event);
    void sendFrom (int outputIndex, const juce::MidiMessage& message);

    const Pauses pauses;
    mutable std::mutex stateLock; // ports, log, listeners
    PortList outputs, inputs;
    std::vector<Event> events;
    std::function<void (int, const juce::MidiMessage&)> sendListener;
    std::function<void (const Event&)> waitListener;

    // Held while callbacks run, so stop() and closing wait for them to end;
    // recursive so that a callback may stop its own input.
    std::recursive_mutex callbackLock;
    juce::Array<Input*> startedInputs;
};

// Virtual ports installed as the MIDI system for the scope's lifetime.
class ScopedVirtualMidiPorts
{
public:
    explicit ScopedVirtualMidiPorts (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly)
        : ports (pauses), previous (MidiPorts::install (&ports)) {}
    ~ScopedVirtualMidiPorts() { MidiPorts::install (previous); }

    VirtualMidiPorts& operator*() { return ports; }
    VirtualMidiPorts* operator->() { return &ports; }

private:
    VirtualMidiPorts ports;
    MidiPorts* previous;
};
