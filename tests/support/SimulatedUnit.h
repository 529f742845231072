// A unit in upgrade mode, on virtual ports named like the real one. It hears
// the nibble messages sent to its port, puts the packets back together,
// checks every checksum and block number, keeps the image it was sent and
// answers each command from a thread of its own.
//
// Time passes for it in the waits of the sender (pauses and polls, seen
// through the ports' wait listener): a reply is due a number of waits after
// its packet's last byte. So a test decides by count, not by the clock, when
// an answer arrives, and runs as fast with recorded pauses as it would slowly
// with real ones.
#pragma once

#include "VirtualMidiPorts.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class SimulatedUnit
{
public:
    enum class Command { connect, erase, write, reset, unknown };

    /** One packet as the unit received it. */
    struct Packet
    {
        Command command = Command::unknown;
        uint8_t argument = 0;
        std::vector<uint8_t> bytes;
        bool checksumOk = false;
    };

    /** Adds an output and an input of this name to the ports and listens. */
    explicit SimulatedUnit (VirtualMidiPorts& ports, const juce::String& portName = "Zevo firmware upgrade 1");
    ~SimulatedUnit();

    /** How the unit answers a command: `afterWaits` waits after its packet
        ends (1: during the next wait; never: not at all), and once more
        `againAfter` waits later when that is above 0. */
    struct Answer
    {
        int afterWaits = 1;
        int againAfter = 0;
    };
    static constexpr int never = -1;

    /** Set before the upload. A block of -1 stands for every write (and for
        the other commands, which have none). */
    void answer (Command command, Answer how, int block = -1);

    /** Every reply carries this status byte (0x9F unless told). */
    void setReplyStatus (uint8_t status);

    /** From the middle of this block's packet on, the unit neither hears nor answers. */
    void vanishDuringBlock (int block);

    // What the unit saw.
    std::vector<Packet> getPackets() const;
    std::vector<uint8_t> getImage() const; // the data of the write packets, in order
    std::vector<std::string> getProblems() const; // bad messages, checksums, block numbers

    const int outputIndex, inputIndex;

private:
    struct Reply
    {
        int dueWait;
        juce::MidiMessage message;
    };

    struct Rule
    {
        Command command;
        int block;
        Answer how;
    };

    void hear (int outputIndex, const juce::MidiMessage& message);
    void receiveByte (uint8_t byte);
    void finishPacket();
    void scheduleReplies (Command command, int block);
    void onWait();
    void replyLoop();

    VirtualMidiPorts& ports;

    mutable std::mutex lock;
    std::condition_variable changed;
    std::vector<uint8_t> pending;
    std::vector<Packet> packets;
    std::vector<uint8_t> image;
    std::vector<std::string> problems;
    int expectedBlock = 0;
    int waits = 0;
    uint8_t replyStatus = 0x9F;
    std::vector<Rule> rules; // the last that fits a packet decides
    int vanishBlock = -1;
    bool vanished = false;
    std::vector<Reply> scheduled;
    std::vector<juce::MidiMessage> outbox; // due, for the reply thread
    bool handing = false; // replies taken from the outbox, not yet at the ports
    bool quitting = false;
    std::thread replyThread;

    JUCE_DECLARE_NON_COPYABLE (SimulatedUnit)
};
