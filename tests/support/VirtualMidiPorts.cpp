#include "VirtualMidiPorts.h"

#include "model/Pacing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

std::string VirtualMidiPorts::Event::describe() const
{
    if (isPoll())
        return "poll " + std::to_string (pollMs);
    if (isPause())
        return "pause " + std::to_string (pauseMs);

    std::string text;
    for (auto byte : bytes)
    {
        char hex[4];
        std::snprintf (hex, sizeof (hex), " %02X", byte);
        text += hex;
    }
    return text.substr (1);
}

//==============================================================================
class VirtualMidiPorts::Output final : public MidiOutputPort
{
public:
    Output (VirtualMidiPorts& owner, int portIndex, juce::String portName)
        : ports (owner), index (portIndex), name (std::move (portName))
    {
    }

    juce::String getName() const override { return name; }
    void sendMessageNow (const juce::MidiMessage& message) override { ports.sendFrom (index, message); }

    void sendBlockOfMessagesNow (const juce::MidiBuffer& buffer) override
    {
        for (const auto metadata : buffer)
            ports.sendFrom (index, metadata.getMessage());
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
        std::lock_guard<std::recursive_mutex> lock (ports.callbackLock);
        ports.openInputs.push_back (this);
    }

    ~Input() override
    {
        std::lock_guard<std::recursive_mutex> lock (ports.callbackLock);
        auto& open = ports.openInputs;
        open.erase (std::remove (open.begin(), open.end(), this), open.end());
    }

    juce::String getName() const override { return name; }
    void start() override { ports.setStarted (*this, true); }
    void stop() override { ports.setStarted (*this, false); }

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
}

int VirtualMidiPorts::addOutput (const juce::String& name, bool opens)
{
    std::lock_guard<std::mutex> lock (stateLock);
    outputs.push_back ({ name, opens });
    return (int) outputs.size() - 1;
}

int VirtualMidiPorts::addInput (const juce::String& name, bool opens)
{
    std::lock_guard<std::mutex> lock (stateLock);
    inputs.push_back ({ name, opens });
    return (int) inputs.size() - 1;
}

void VirtualMidiPorts::setSendListener (std::function<void (int, const juce::MidiMessage&)> listener)
{
    std::lock_guard<std::mutex> lock (stateLock);
    sendListener = std::move (listener);
}

//==============================================================================
juce::StringArray VirtualMidiPorts::namesOf (const std::vector<Port>& ports)
{
    juce::StringArray names;
    for (const auto& port : ports)
        names.add (port.name);
    return names;
}

const VirtualMidiPorts::Port* VirtualMidiPorts::findPort (const std::vector<Port>& ports, int index) const
{
    const bool openable = index >= 0 && index < (int) ports.size() && ports[(size_t) index].opens;
    return openable ? &ports[(size_t) index] : nullptr;
}

juce::StringArray VirtualMidiPorts::getOutputNames()
{
    std::lock_guard<std::mutex> lock (stateLock);
    return namesOf (outputs);
}

juce::StringArray VirtualMidiPorts::getInputNames()
{
    std::lock_guard<std::mutex> lock (stateLock);
    return namesOf (inputs);
}

std::unique_ptr<MidiOutputPort> VirtualMidiPorts::openOutput (int index)
{
    std::lock_guard<std::mutex> lock (stateLock);
    const auto* port = findPort (outputs, index);
    return port != nullptr ? std::make_unique<Output> (*this, index, port->name) : nullptr;
}

std::unique_ptr<MidiInputPort> VirtualMidiPorts::openInput (int index, juce::MidiInputCallback* callback)
{
    juce::String name;
    {
        std::lock_guard<std::mutex> lock (stateLock);
        const auto* port = findPort (inputs, index);
        if (port == nullptr || callback == nullptr)
            return nullptr;
        name = port->name;
    }
    return std::make_unique<Input> (*this, index, name, *callback);
}

void VirtualMidiPorts::setWaitListener (std::function<void (const Event&)> listener)
{
    std::lock_guard<std::mutex> lock (stateLock);
    waitListener = std::move (listener);
}

void VirtualMidiPorts::pause (int milliseconds)
{
    Event event;
    event.pauseMs = milliseconds;
    recordWait (std::move (event));

    if (pauses == Pauses::recordAndSleep)
        Pacing::sleepFor (milliseconds);
}

void VirtualMidiPorts::runMessageLoop (int milliseconds)
{
    Event event;
    event.pollMs = milliseconds;
    recordWait (std::move (event));

    if (pauses == Pauses::recordAndSleep)
        MidiPorts::runMessageLoop (milliseconds);
}

//==============================================================================
void VirtualMidiPorts::record (Event event)
{
    event.nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds> (
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count();
    std::lock_guard<std::mutex> lock (stateLock);
    events.push_back (std::move (event));
}

void VirtualMidiPorts::recordWait (Event event)
{
    record (event);

    std::function<void (const Event&)> listener;
    {
        std::lock_guard<std::mutex> lock (stateLock);
        listener = waitListener;
    }
    if (listener)
        listener (event);
}

void VirtualMidiPorts::sendFrom (int outputIndex, const juce::MidiMessage& message)
{
    Event event;
    event.outputIndex = outputIndex;
    event.bytes.assign (message.getRawData(), message.getRawData() + message.getRawDataSize());
    record (std::move (event));

    std::function<void (int, const juce::MidiMessage&)> listener;
    {
        std::lock_guard<std::mutex> lock (stateLock);
        listener = sendListener;
    }
    if (listener)
        listener (outputIndex, message);
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

//==============================================================================
void VirtualMidiPorts::setStarted (Input& input, bool started)
{
    std::lock_guard<std::recursive_mutex> lock (callbackLock);
    input.started = started;
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
    for (auto* input : openInputs)
        if (input->index == delivery.inputIndex && input->started)
            input->callback.handleIncomingMidiMessage (nullptr, delivery.message);
}
