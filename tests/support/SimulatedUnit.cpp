#include "SimulatedUnit.h"

#include <algorithm>
#include <numeric>
#include <thread>

namespace
{
constexpr uint8_t header[] = { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49 };
constexpr size_t commandPacketSize = 17, writePacketSize = 530, blockSize = 512;
} // namespace

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
    const auto* raw = message.getRawData();
    if (index != outputIndex || vanished)
        return;
    if (message.getRawDataSize() != 3 || raw[0] != 0x9F || raw[1] > 0x0F || raw[2] > 0x0F)
        return problems.push_back ("not a nibble message: " + message.getDescription().toStdString());

    pending.push_back ((uint8_t) ((raw[1] << 4) | raw[2]));
    const auto size = pending.size();
    if (size <= sizeof (header) && pending.back() != header[size - 1])
    {
        problems.push_back ("byte " + std::to_string (size - 1) + " of a packet is not its header's");
        return pending.clear();
    }

    const bool isWrite = size > 15 && pending[14] == write;
    if (isWrite && pending[15] == vanishBlock && size == writePacketSize / 2)
        vanished = true;
    else if (size > 15 && size == (isWrite ? writePacketSize : commandPacketSize))
        finishPacket();
}

void SimulatedUnit::finishPacket()
{
    const auto bytes = std::move (pending);
    pending.clear();
    const Packet packet { bytes[14], bytes[15] };
    packets.push_back (packet);

    if ((uint8_t) std::accumulate (bytes.begin(), bytes.end() - 1, 0u) != bytes.back())
        return problems.push_back ("wrong checksum in packet " + std::to_string (packets.size() - 1));

    if (packet.command == erase)
        image.clear();
    if (packet.command == write)
    {
        if (packet.argument != (image.size() / blockSize & 0xFF) || bytes[16] != 0)
            problems.push_back ("block " + std::to_string (packet.argument) + " out of order or malformed");
        image.insert (image.end(), bytes.begin() + 17, bytes.begin() + 17 + blockSize);
    }
    if (packet.command != erase && packet.command != write && packet.command != reset && packet.command != connect)
        return problems.push_back ("unknown command " + std::to_string (packet.command));

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
