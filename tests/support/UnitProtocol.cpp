#include "UnitProtocol.h"

#include <algorithm>
#include <numeric>

namespace
{
constexpr uint8_t header[] = { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49 };
constexpr size_t commandPacketSize = 17, writePacketSize = 530, blockSize = 512;
} // namespace

std::optional<UnitProtocol::Packet> UnitProtocol::hear (const juce::MidiMessage& message)
{
    const auto* raw = message.getRawData();
    if (message.getRawDataSize() != 3 || raw[0] != 0x9F || raw[1] > 0x0F || raw[2] > 0x0F)
    {
        problems.push_back ("not a nibble message: " + message.getDescription().toStdString());
        return std::nullopt;
    }

    pending.push_back ((uint8_t) ((raw[1] << 4) | raw[2]));
    const auto size = pending.size();
    if (size <= sizeof (header) && pending.back() != header[size - 1])
    {
        problems.push_back ("byte " + std::to_string (size - 1) + " of a packet is not its header's");
        pending.clear();
        return std::nullopt;
    }

    const bool isWrite = size > 15 && pending[14] == write;
    if (size > 15 && size == (isWrite ? writePacketSize : commandPacketSize))
        return finishPacket();
    return std::nullopt;
}

int UnitProtocol::blockAtHalfWay() const
{
    const bool halfWay = pending.size() == writePacketSize / 2 && pending[14] == write;
    return halfWay ? pending[15] : -1;
}

std::optional<UnitProtocol::Packet> UnitProtocol::finishPacket()
{
    const auto bytes = std::move (pending);
    pending.clear();
    const Packet packet { bytes[14], bytes[15] };
    packets.push_back (packet);

    if ((uint8_t) std::accumulate (bytes.begin(), bytes.end() - 1, 0u) != bytes.back())
    {
        problems.push_back ("wrong checksum in packet " + std::to_string (packets.size() - 1));
        return std::nullopt;
    }

    if (packet.command == erase)
        image.clear();
    if (packet.command == write)
    {
        if (packet.argument != (image.size() / blockSize & 0xFF) || bytes[16] != 0)
            problems.push_back ("block " + std::to_string (packet.argument) + " out of order or malformed");
        image.insert (image.end(), bytes.begin() + 17, bytes.begin() + 17 + blockSize);
    }
    if (packet.command != erase && packet.command != write && packet.command != reset && packet.command != connect)
    {
        problems.push_back ("unknown command " + std::to_string (packet.command));
        return std::nullopt;
    }
    return packet;
}

bool UnitProtocol::isEnterUpgradeMode (const juce::MidiMessage& message, int deviceId)
{
    const uint8_t expected[] = { 0xF0, 0x1D, 0x03, (uint8_t) ((deviceId >> 7) & 0x7F), (uint8_t) (deviceId & 0x7F),
                                 0x00, 0x7F, 0x7F, 0xF7 };
    return message.getRawDataSize() == (int) sizeof (expected)
           && std::equal (std::begin (expected), std::end (expected), message.getRawData());
}
