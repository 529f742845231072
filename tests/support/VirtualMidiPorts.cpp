#include "VirtualMidiPorts.h"

#include "model/Pacing.h"

using Lock = std::lock_guard<std::mutex>;
using CallbackLock = std::lock_guard<std::recursive_mutex>;

std::string VirtualMidiPorts::Event::describe() const
{
    if (isPoll() || isPause())
        return isPoll() ? "poll " + std::to_string (pollMs) : "pause " + std::to_string (pauseMs);
    return juce::String::toHexString (bytes.data(), (int) bytes.size()).toUpperCase().toStdString();
}

struct VirtualMidiPorts::Output final : public MidiOutputPort
{
    Output (VirtualMidiPorts& owner, int portIndex, juce::String portName) : ports (owner), index (portIndex), name (portName) {}

    juce::String getName() const override { return name; }
    void sendMessageNow (const juce::MidiMessage& message) override { ports.sendFrom (index, message); }
    void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override
    {
        for (const auto metadata : buffer)
            ports.sendFrom (index, metadata.getMessage());
    }

    VirtualMidiPorts& ports;
    const int index;
    const juce::String name;
};

// Listed among the ports' started inputs between start() and stop(); both
// wait, by taking the callback lock, for a callback in progress to end.
struct VirtualMidiPorts::Input final : public MidiInputPort
{
    Input (VirtualMidiPorts& owner, int portIndex, juce::String portName, juce::MidiInputCallback& portCallback)
        : ports (owner), index (portIndex), name (portName), callback (portCallback) {}
    ~Input() override { stop(); }

    juce::String getName() const override { return name; }
    void start() override
    {
        const CallbackLock lock (ports.callbackLock);
        ports.startedInputs.addIfNotAlreadyThere (this);
    }
    void stop() override
    {
        const CallbackLock lock (ports.callbackLock);
        ports.startedInputs.removeFirstMatchingValue (this);
    }

    VirtualMidiPorts& ports;
    const int index;
    const juce::String name;
    juce::MidiInputCallback& callback;
};

//==============================================================================
// Read under the lock. Listeners are copied out this way and run without it:
// a simulated unit's may wait for its own thread, which meanwhile sends and logs.
template <typename Value>
Value VirtualMidiPorts::copyOf (const Value& value) const
{
    const Lock lock (stateLock);
    return value;
}

int VirtualMidiPorts::add (PortList& list, const juce::String& name, bool opens)
{
    const Lock lock (stateLock);
    if (! opens)
        list.closedIndexes.add (list.names.size());
    list.names.add (name);
    return list.names.size() - 1;
}

int VirtualMidiPorts::addOutput (const juce::String& name, bool opens) { return add (outputs, name, opens); }
int VirtualMidiPorts::addInput (const juce::String& name, bool opens) { return add (inputs, name, opens); }
void VirtualMidiPorts::removeOutput (int index)
{
    const Lock lock (stateLock);
    if (! juce::isPositiveAndBelow (index, outputs.names.size()))
        return;
    outputs.names.remove (index);
    juce::Array<int> closed;
    for (const auto closedIndex : outputs.closedIndexes)
        if (closedIndex != index)
            closed.add (closedIndex > index ? closedIndex - 1 : closedIndex);
    outputs.closedIndexes = closed;
}

juce::StringArray VirtualMidiPorts::getOutputNames() { return copyOf (outputs.names); }
juce::StringArray VirtualMidiPorts::getInputNames() { return copyOf (inputs.names); }

std::optional<juce::String> VirtualMidiPorts::openableName (const PortList& list, int index) const
{
    const Lock lock (stateLock);
    const bool opens = juce::isPositiveAndBelow (index, list.names.size()) && ! list.closedIndexes.contains (index);
    return opens ? std::optional (list.names[index]) : std::nullopt;
}

std::unique_ptr<MidiOutputPort> VirtualMidiPorts::openOutput (int index)
{
    const auto name = openableName (outputs, index);
    return name ? std::make_unique<Output> (*this, index, *name) : nullptr;
}

std::unique_ptr<MidiInputPort> VirtualMidiPorts::openInput (int index, juce::MidiInputCallback* callback)
{
    const auto name = openableName (inputs, index);
    return name && callback != nullptr ? std::make_unique<Input> (*this, index, *name, *callback) : nullptr;
}

void VirtualMidiPorts::deliverToInput (int inputIndex, const juce::MidiMessage& message)
{
    const CallbackLock lock (callbackLock);
    for (auto* input : startedInputs)
        if (input->index == inputIndex)
            input->callback.handleIncomingMidiMessage (nullptr, message);
}

template <typename Value>
void VirtualMidiPorts::assign (Value& member, Value value)
{
    const Lock lock (stateLock);
    member = std::move (value);
}

void VirtualMidiPorts::setSendListener (std::function<void (int, const juce::MidiMessage&)> listener) { assign (sendListener, std::move (listener)); }
void VirtualMidiPorts::setWaitListener (std::function<void (const Event&)> listener) { assign (waitListener, std::move (listener)); }
std::vector<VirtualMidiPorts::Event> VirtualMidiPorts::getEvents() const { return copyOf (events); }
void VirtualMidiPorts::clearEvents() { assign (events, {}); }

void VirtualMidiPorts::log (Event event)
{
    const Lock lock (stateLock);
    events.push_back (std::move (event));
}

void VirtualMidiPorts::sendFrom (int outputIndex, const juce::MidiMessage& message)
{
    log ({ outputIndex, { message.getRawData(), message.getRawData() + message.getRawDataSize() } });
    if (const auto listener = copyOf (sendListener))
        listener (outputIndex, message);
}

void VirtualMidiPorts::logWait (const Event& event)
{
    log (event);
    if (const auto listener = copyOf (waitListener))
        listener (event);
}

void VirtualMidiPorts::pause (int milliseconds)
{
    logWait ({ -1, {}, milliseconds });
    if (pauses == Pauses::recordAndSleep)
        Pacing::sleepFor (milliseconds);
}

void VirtualMidiPorts::runMessageLoop (int milliseconds)
{
    logWait ({ -1, {}, 0, milliseconds });
    if (pauses == Pauses::recordAndSleep)
        MidiPorts::runMessageLoop (milliseconds);
}

std::vector<std::string> VirtualMidiPorts::describeEvents() const
{
    std::vector<std::string> lines;
    for (const auto& event : getEvents())
        lines.push_back (event.describe());
    return lines;
}
