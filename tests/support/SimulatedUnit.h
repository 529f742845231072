// A unit in upgrade mode on virtual ports: it puts the nibble messages back
// into packets, checks every header, checksum and block number, keeps the image
// it was sent and answers from a thread of its own, as a MIDI system would. Its
// time passes in the sender's waits: a reply is due a number of waits after its
// packet, so a test decides by count, not by the clock, when an answer arrives.
#pragma once

#include "VirtualMidiPorts.h"

#include <vector>

class SimulatedUnit
{
public:
    enum Command : uint8_t { erase = 0x00, write = 0x01, reset = 0x02, connect = 0x7F };

    struct Packet
    {
        uint8_t command, argument;
    };

    /** Adds an output and an input of this name to the ports and listens. */
    explicit SimulatedUnit (VirtualMidiPorts& ports, const juce::String& portName = "Zevo firmware upgrade 1");
    ~SimulatedUnit();

    /** Answers `command` (block `block` only, or every one for -1) `afterWaits`
        waits after its packet ends (0: at once, as its last byte arrives and
        before the sender goes on), and once more `againAfter` waits later. */
    void answer (Command command, int afterWaits, int againAfter = 0, int block = -1)
    {
        rules.push_back ({ command, block, afterWaits, againAfter });
    }

    /** From the middle of this block's packet on, the unit neither hears nor answers. */
    void vanishDuringBlock (int block) { vanishBlock = block; }

    std::vector<Packet> getPackets() const { return packets; }
    std::vector<uint8_t> getImage() const { return image; } // the data of the write packets, in order
    std::vector<std::string> getProblems() const { return problems; } // bad messages, headers, checksums, blocks

    const int outputIndex, inputIndex;

private:
    struct Rule
    {
        int command, block, afterWaits, againAfter;
    };

    void hear (int outputIndex, const juce::MidiMessage& message);
    void finishPacket();
    void onWait();
    void reply (const std::vector<int>& commands);

    VirtualMidiPorts& ports;
    std::vector<uint8_t> pending, image;
    std::vector<Packet> packets;
    std::vector<std::string> problems;
    std::vector<Rule> rules; // the last that fits a packet decides
    std::vector<std::pair<int, int>> scheduled; // due wait, command
    int waits = 0, vanishBlock = -1;
    bool vanished = false;

    JUCE_DECLARE_NON_COPYABLE (SimulatedUnit)
};
