#include "VirtualMidiPorts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace
{
int64_t nowInNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds> (std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<uint8_t> bytesOf (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    return { data, data + message.getRawDataSize() };
}
} // namespace

std::string VirtualMidiPorts::Event::describe() const
{
    if (kind == Kind::pause)
        return "pause " + std::to_string (milliseconds);

    std::string text = kind == Kind::block ? "block" : "message";
    for (auto byte : bytes)
    {
        char hex[4];
        std::snprintf (hex, sizeof (hex), " %02X", byte);
        text += hex;
    }
    return text;
}

//==============================================================================
class VirtualMidiPorts::Output final : public MidiOutputPort
{
public:
    Output (VirtualMidiPorts& owner, int portIndex, juce::String portName)
        : ports (owner), index (portIndex), name (std::move (portName))
    {
    }

    ~Output() override { ports.outputClosed(); }

    juce::String getName() const override { return name; }

    void sendMessageNow (const juce::MidiMessage& message) override { ports.sendFrom (index, message, -1); }

    void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override
    {
        const int blockNumber = ports.nextBlockNumber();
        for (const auto metadata : buffer)
            ports.sendFrom (index, metadata.getMessage(), blockNumber);
    }

private:
    VirtualMidiPorts& ports;
    const int index;
    const juce::String name;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Output)
};

class VirtualMidiPorts::Input final : public MidiInputPort
{
public:
    Input (VirtualMidiPorts& owner, int portIndex, juce::String portName, juce::MidiInputCallback& portCallback)
        : index (portIndex), callback (portCallback), ports (owner), name (std::move (portName))
    {
        ports.registerInput (this);
    }

    ~Input() override { ports.unregisterInput (this); }

    juce::String getName() const override { return name; }
    void start() override { ports.setStarted (this, true); }
    void stop() override { ports.setStarted (this, false); }

    const int index;
    juce::MidiInputCallback& callback;
    bool started = false; // guarded by the ports' callback lock

private:
    VirtualMidiPorts& ports;
    const juce::String name;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Input)
};

//==============================================================================
VirtualMidiPorts::VirtualMidiPorts (Pauses pausesToUse)
    : pauses (pausesToUse), deliveryThread ([this] { deliveryLoop(); })
{
}

VirtualMidiPorts::~VirtualMidiPorts()
{
    {
        std::lock_guard<std::mutex> lock (queueLock);
        quitting = true;
    }
    queueChanged.notify_all();
    deliveryThread.join();

    // Ports hold a reference to us: they must all be closed by now.
    jassert (openOutputs == 0 && openInputs.empty());
}

int VirtualMidiPorts::addOutput (const juce::String& name)
{
    std::lock_guard<std::mutex> lock (stateLock);
    outputs.push_back ({ name });
    return (int) outputs.size() - 1;
}

int VirtualMidiPorts::addInput (const juce::String& name)
{
    std::lock_guard<std::mutex> lock (stateLock);
    inputs.push_back ({ name });
    return (int) inputs.size() - 1;
}

void VirtualMidiPorts::makeOutputFailToOpen (int index)
{
    std::lock_guard<std::mutex> lock (stateLock);
    outputs.at ((size_t) index).failsToOpen = true;
}

void VirtualMidiPorts::makeInputFailToOpen (int index)
{
    std::lock_guard<std::mutex> lock (stateLock);
    inputs.at ((size_t) index).failsToOpen = true;
}

void VirtualMidiPorts::setSendListener (std::function<void (int, const juce::MidiMessage&)> listener)
{
    std::lock_guard<std::mutex> lock (stateLock);
    sendListener = std::move (listener);
}

//==============================================================================
juce::StringArray VirtualMidiPorts::getOutputNames()
{
    std::lock_guard<std::mutex> lock (stateLock);
    juce::StringArray names;
    for (const auto& port : outputs)
        names.add (port.name);
    return names;
}

juce::StringArray VirtualMidiPorts::getInputNames()
{
    std::lock_guard<std::mutex> lock (stateLock);
    juce::StringArray names;
    for (const auto& port : inputs)
        names.add (port.name);
    return names;
}

std::unique_ptr<MidiOutputPort> VirtualMidiPorts::openOutput (int index)
{
    std::lock_guard<std::mutex> lock (stateLock);
    if (index < 0 || index >= (int) outputs.size() || outputs[(size_t) index].failsToOpen)
        return nullptr;

    auto& port = outputs[(size_t) index];
    ++port.timesOpened;
    ++openOutputs;
    return std::make_unique<Output> (*this, index, port.name);
}

std::unique_ptr<MidiInputPort> VirtualMidiPorts::openInput (int index, juce::MidiInputCallback* callback)
{
    juce::String name;
    {
        std::lock_guard<std::mutex> lock (stateLock);
        if (callback == nullptr || index < 0 || index >= (int) inputs.size() || inputs[(size_t) index].failsToOpen)
            return nullptr;

        auto& port = inputs[(size_t) index];
        ++port.timesOpened;
        name = port.name;
    }
    return std::make_unique<Input> (*this, index, name, *callback);
}

void VirtualMidiPorts::pause (int milliseconds)
{
    Event event;
    event.kind = Event::Kind::pause;
    event.milliseconds = milliseconds;
    record (std::move (event));

    if (pauses == Pauses::recordAndSleep)
        juce::Thread::sleep (milliseconds);
}

//==============================================================================
void VirtualMidiPorts::record (Event event)
{
    event.nanoseconds = nowInNanoseconds();
    std::lock_guard<std::mutex> lock (stateLock);
    events.push_back (std::move (event));
}

void VirtualMidiPorts::sendFrom (int outputIndex, const juce::MidiMessage& message, int blockNumber)
{
    Event event;
    event.kind = blockNumber >= 0 ? Event::Kind::block : Event::Kind::message;
    event.outputIndex = outputIndex;
    event.blockNumber = blockNumber;
    event.bytes = bytesOf (message);
    record (std::move (event));

    std::function<void (int, const juce::MidiMessage&)> listener;
    {
        std::lock_guard<std::mutex> lock (stateLock);
        listener = sendListener;
    }
    if (listener)
        listener (outputIndex, message);
}

int VirtualMidiPorts::nextBlockNumber()
{
    std::lock_guard<std::mutex> lock (stateLock);
    return blocksSent++;
}

void VirtualMidiPorts::outputClosed()
{
    std::lock_guard<std::mutex> lock (stateLock);
    --openOutputs;
}

std::vector<VirtualMidiPorts::Event> VirtualMidiPorts::getEvents() const
{
    std::lock_guard<std::mutex> lock (stateLock);
    return events;
}

std::vector<std::string> VirtualMidiPorts::describeEvents() const
{
    std::vector<std::string> lines;
    for (const auto& event : getEvents())
        lines.push_back (event.describe());
    return lines;
}

void VirtualMidiPorts::clearEvents()
{
    std::lock_guard<std::mutex> lock (stateLock);
    events.clear();
}

int VirtualMidiPorts::getNumOpenOutputs() const
{
    std::lock_guard<std::mutex> lock (stateLock);
    return openOutputs;
}

int VirtualMidiPorts::getNumOpenInputs() const
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);
    return (int) openInputs.size();
}

int VirtualMidiPorts::getNumTimesOutputOpened (int index) const
{
    std::lock_guard<std::mutex> lock (stateLock);
    return outputs.at ((size_t) index).timesOpened;
}

int VirtualMidiPorts::getNumTimesInputOpened (int index) const
{
    std::lock_guard<std::mutex> lock (stateLock);
    return inputs.at ((size_t) index).timesOpened;
}

int VirtualMidiPorts::getNumMessagesDelivered() const
{
    std::lock_guard<std::mutex> lock (stateLock);
    return messagesDelivered;
}

//==============================================================================
void VirtualMidiPorts::registerInput (Input* input)
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);
    openInputs.push_back (input);
}

void VirtualMidiPorts::unregisterInput (Input* input)
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);
    openInputs.erase (std::remove (openInputs.begin(), openInputs.end(), input), openInputs.end());
}

void VirtualMidiPorts::setStarted (Input* input, bool started)
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);
    input->started = started;
}

void VirtualMidiPorts::deliverToInput (int inputIndex, const juce::MidiMessage& message)
{
    {
        std::lock_guard<std::mutex> lock (queueLock);
        queue.push_back ({ inputIndex, message });
    }
    queueChanged.notify_all();
}

void VirtualMidiPorts::waitUntilDelivered()
{
    std::unique_lock<std::mutex> lock (queueLock);
    queueChanged.wait (lock, [this] { return queue.empty() && ! delivering; });
}

void VirtualMidiPorts::deliveryLoop()
{
    std::unique_lock<std::mutex> lock (queueLock);
    for (;;)
    {
        queueChanged.wait (lock, [this] { return quitting || ! queue.empty(); });
        if (quitting)
            return;

        const auto delivery = queue.front();
        queue.pop_front();
        delivering = true;
        lock.unlock();

        deliverNow (delivery);

        lock.lock();
        delivering = false;
        queueChanged.notify_all();
    }
}

void VirtualMidiPorts::deliverNow (const Delivery& delivery)
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);

    // A callback may close its own input: walk a copy, and skip inputs gone meanwhile.
    const auto candidates = openInputs;
    for (auto* input : candidates)
    {
        const bool stillOpen = std::find (openInputs.begin(), openInputs.end(), input) != openInputs.end();
        if (! stillOpen || input->index != delivery.inputIndex || ! input->started)
            continue;

        input->callback.handleIncomingMidiMessage (nullptr, delivery.message);

        std::lock_guard<std::mutex> stateGuard (stateLock);
        ++messagesDelivered;
    }
}

//==============================================================================
ScopedVirtualMidiPorts::ScopedVirtualMidiPorts (VirtualMidiPorts::Pauses pauses)
    : ports (pauses), previous (MidiPorts::install (&ports))
{
}

ScopedVirtualMidiPorts::~ScopedVirtualMidiPorts() { MidiPorts::install (previous); }
