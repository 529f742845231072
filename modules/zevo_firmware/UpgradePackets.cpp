#include "UpgradePackets.h"

#include <numeric>

namespace zevo
{
namespace
{
// Products whose boot loader takes the other erase argument.
constexpr int productsErasedWith71[] = { 94, 130, 182, 183 };

constexpr std::array<uint8_t, 200> makeEraseTable()
{
    std::array<uint8_t, 200> table {};
    for (auto& argument : table)
        argument = 0x70;
    for (const int code : productsErasedWith71)
        table[(size_t) code] = 0x71;
    return table;
}
} // namespace

uint8_t midiTemp[3] = { 0x9F, 0x00, 0x00 };

#define ZEVO_COMMAND_HEADER 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49
uint8_t midiConnect[commandPacketSize] = { ZEVO_COMMAND_HEADER, UpgradeCommand::connect, 0x00, 0x00 };
uint8_t midiErase[commandPacketSize] = { ZEVO_COMMAND_HEADER, UpgradeCommand::erase, 0x70, 0x00 };
uint8_t midiReset[commandPacketSize] = { ZEVO_COMMAND_HEADER, UpgradeCommand::reset, 0x00, 0x00 };
uint8_t midiWrite[commandPacketSize] = { ZEVO_COMMAND_HEADER, UpgradeCommand::write, 0x00, 0x00 };
#undef ZEVO_COMMAND_HEADER

const std::array<uint8_t, 200> erase15 = makeEraseTable();

bool bTest = false;
int _mac_major = 0;

std::optional<uint8_t> eraseArgumentFor (int productCode) noexcept
{
    if (! juce::isPositiveAndBelow (productCode, (int) erase15.size()))
        return std::nullopt;
    return erase15[(size_t) productCode];
}

uint8_t packetChecksum (const uint8_t* bytes, int count) noexcept
{
    return (uint8_t) std::accumulate (bytes, bytes + count, 0u);
}

void completeCommandPacket (uint8_t (&packet)[commandPacketSize]) noexcept
{
    packet[commandPacketSize - 1] = packetChecksum (packet, commandPacketSize - 1);
}

juce::MidiMessage makeNibbleMessage (uint8_t byte)
{
    return juce::MidiMessage (0x9F, byte >> 4, byte & 0x0F, 0.0);
}
} // namespace zevo
