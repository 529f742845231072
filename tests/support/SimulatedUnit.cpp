#include "SimulatedUnit.h"

#include <algorithm>
#include <thread>

SimulatedUnit::SimulatedUnit (VirtualMidiPorts& portsToUse, const juce::String& portName)
    : outputIndex (portsToUse.addOutput (portName)), inputIndex (portsToUse.addInput (portName)), ports (portsToUse)
{
    ports.setSendListener ([this] (int index, const juce::MidiMessage& message) { hear (index, message); });
    ports.setWaitListener ([this] (const VirtualMidiPorts::Event&) { onWait(); });
}

SimulatedUnit::~SimulatedUnit()
{
    ports.setSendListener (nullptr);
    ports.setWaitListener (nullptr);
}

void SimulatedUnit::hear (int index, const juce::MidiMessage& message)
{
    if (index != outputIndex || vanished)
        return;

    const auto packet = protocol.hear (message);
    if (vanishBlock >= 0 && protocol.blockAtHalfWay() == vanishBlock)
        vanished = true;
    else if (packet)
        schedule (*packet);
}

void SimulatedUnit::schedule (const Packet& packet)
{
    Rule how { 0, -1, 1, 0 };
    for (const auto& rule : rules)
        if (rule.command == packet.command && (rule.block < 0 || rule.block == packet.argument))
            how = rule;
    if (how.afterWaits == 0)
        reply ({ packet.command });
    else
        scheduled.emplace_back (waits + how.afterWaits, packet.command);
    if (how.againAfter > 0)
        scheduled.emplace_back (waits + how.afterWaits + how.againAfter, packet.command);
}

// As a pause or poll begins: the replies now due are queued, and the wait
// begins once they have reached the input.
void SimulatedUnit::onWait()
{
    ++waits;
    const auto firstLater = std::stable_partition (scheduled.begin(), scheduled.end(),
                                                   [this] (auto& reply) { return reply.first <= waits; });
    std::vector<int> due;
    for (auto reply = scheduled.begin(); reply != firstLater; ++reply)
        due.push_back (reply->second);
    scheduled.erase (scheduled.begin(), firstLater);
    if (! due.empty())
        reply (due);
}

// From a thread of the unit's own, as a MIDI system would; the caller waits
// until the replies have reached the input.
void SimulatedUnit::reply (const std::vector<int>& commands)
{
    std::thread replier ([this, &commands]
    {
        for (const auto command : commands)
            ports.deliverToInput (inputIndex, juce::MidiMessage (0x9F, command, 0x00));
    });
    replier.join();
}
