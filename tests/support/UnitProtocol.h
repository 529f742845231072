// What a unit does with the bytes it hears in upgrade mode, whichever way they
// reach it: it puts the nibble messages back into packets, checks every
// header, checksum and block number, keeps the image it was sent, and says
// which packets are owed a reply. When the reply goes out is its host's
// business: the virtual-port unit counts the sender's waits, the sequencer
// unit a delay of the clock.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>
#include <string>
#include <vector>

class UnitProtocol
{
public:
    enum Command : uint8_t { erase = 0x00, write = 0x01, reset = 0x02, connect = 0x7F };

    struct Packet
    {
        uint8_t command, argument;
    };

    /** Takes one message heard in upgrade mode; the packet it completed when
        that packet is valid and owed a reply. */
    std::optional<Packet> hear (const juce::MidiMessage& message);

    /** The block number of the write packet the unit is half-way through (its
        first 265 bytes heard, no more); -1 at any other moment. */
    int blockAtHalfWay() const;

    std::vector<Packet> getPackets() const { return packets; }
    std::vector<uint8_t> getImage() const { return image; } // the data of the write packets, in order
    std::vector<std::string> getProblems() const { return problems; } // bad messages, headers, checksums, blocks

    /** The mode message that sends a unit of this device id into upgrade mode:
        F0 1D 03 idHi idLo 00 7F 7F F7. */
    static bool isEnterUpgradeMode (const juce::MidiMessage& message, int deviceId);

private:
    std::optional<Packet> finishPacket();

    std::vector<uint8_t> pending, image;
    std::vector<Packet> packets;
    std::vector<std::string> problems;
};
