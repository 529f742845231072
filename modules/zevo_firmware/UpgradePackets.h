// The unit's upgrade-mode packets. Every packet byte travels as a Note On on
// channel 16 carrying the byte's two nibbles; a command packet is ten 0x55,
// the address 1D 03 00 49, the command, its argument and an 8-bit sum.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <cstdint>
#include <optional>

namespace zevo
{
constexpr int commandPacketSize = 17;
constexpr int writePacketSize = 530;

/** Command codes (byte 14); the unit's reply carries the same code. */
namespace UpgradeCommand
{
constexpr uint8_t connect = 0x7F;
constexpr uint8_t erase = 0x00;
constexpr uint8_t write = 0x01;
constexpr uint8_t reset = 0x02;
} // namespace UpgradeCommand

/** The three bytes of a command packet byte's nibble message. */
extern uint8_t midiTemp[3];

/** Command templates: bytes 0..15 fixed, byte 16 computed before each send. */
extern uint8_t midiConnect[commandPacketSize];
extern uint8_t midiErase[commandPacketSize];
extern uint8_t midiReset[commandPacketSize];

/** The write packet's header; byte 15 holds the number of the next block. */
extern uint8_t midiWrite[commandPacketSize];

/** The erase argument by product code (0..199). */
extern const std::array<uint8_t, 200> erase15;

/** The erase argument of a product; none for a code outside the table. */
std::optional<uint8_t> eraseArgumentFor (int productCode) noexcept;

/** The wizard's test mode (key T). */
extern bool bTest;

/** The second component of the macOS version number, as the editor computes it. */
extern int _mac_major;

/** (byte 0 + ... + byte count-1) mod 256. */
uint8_t packetChecksum (const uint8_t* bytes, int count) noexcept;

/** Puts the checksum of bytes 0..15 into byte 16. */
void completeCommandPacket (uint8_t (&packet)[commandPacketSize]) noexcept;

/** {0x9F, byte >> 4, byte & 0x0F}. */
juce::MidiMessage makeNibbleMessage (uint8_t byte);
} // namespace zevo
