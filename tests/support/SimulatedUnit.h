// A unit in upgrade mode on virtual ports: the unit's protocol (UnitProtocol)
// hears what is sent to its output, and it answers from a thread of its own,
// as a MIDI system would. Its time passes in the sender's waits: a reply is due
// a number of waits after its packet, so a test decides by count, not by the
// clock, when an answer arrives.
#pragma once

#include "UnitProtocol.h"
#include "VirtualMidiPorts.h"

#include <vector>

class SimulatedUnit
{
public:
    using Command = UnitProtocol::Command;
    static constexpr auto erase = UnitProtocol::erase, write = UnitProtocol::write, reset = UnitProtocol::reset,
                          connect = UnitProtocol::connect;
    using Packet = UnitProtocol::Packet;

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

    std::vector<Packet> getPackets() const { return protocol.getPackets(); }
    std::vector<uint8_t> getImage() const { return protocol.getImage(); } // the data of the write packets, in order
    std::vector<std::string> getProblems() const { return protocol.getProblems(); } // bad messages, headers, checksums, blocks

    const int outputIndex, inputIndex;

private:
    struct Rule
    {
        int command, block, afterWaits, againAfter;
    };

    void hear (int outputIndex, const juce::MidiMessage& message);
    void schedule (const Packet& packet);
    void onWait();
    void reply (const std::vector<int>& commands);

    VirtualMidiPorts& ports;
    UnitProtocol protocol;
    std::vector<Rule> rules; // the last that fits a packet decides
    std::vector<std::pair<int, int>> scheduled; // due wait, command
    int waits = 0, vanishBlock = -1;
    bool vanished = false;

    JUCE_DECLARE_NON_COPYABLE (SimulatedUnit)
};
