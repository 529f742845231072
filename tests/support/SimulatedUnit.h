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
#include <map>
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

    // What the unit does; set before the upload. A block number of -1 stands
    // for every write (and is ignored for the other commands).

    /** Replies come this many waits after a packet ends (1: during the next wait). */
    void setReplyDelay (int waits);

    /** This command (of this block) gets no reply. */
    void staySilentFor (Command command, int block = -1);

    /** This command's reply comes `waits` waits after its packet instead. */
    void answerLate (Command command, int waits, int block = -1);

    /** This command is answered a second time, `waits` waits after the first answer. */
    void answerTwice (Command command, int waits, int block = -1);

    /** Every reply carries this status byte (0x9F unless told). */
    void setReplyStatus (uint8_t status);

    /** This command's reply carries another code in its first data byte. */
    void replyWithCode (Command command, uint8_t code);

    /** From the middle of this block's packet on, the unit neither hears nor answers. */
    void vanishDuringBlock (int block);

    /** Keeps sending connect replies from its thread until stopped (or destroyed). */
    void startChattering();
    void stopChattering();

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

    struct Fault
    {
        Command command;
        int block;
    };

    void hear (int outputIndex, const juce::MidiMessage& message);
    void receiveByte (uint8_t byte);
    void finishPacket();
    void scheduleReplies (Command command, int block);
    static bool matches (const std::vector<Fault>& faults, Command command, int block);
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
    int replyDelay = 1;
    uint8_t replyStatus = 0x9F;
    std::vector<Fault> silences;
    std::vector<std::pair<Fault, int>> lateAnswers, secondAnswers;
    std::map<Command, uint8_t> codes;
    int vanishBlock = -1;
    bool vanished = false;
    std::vector<Reply> scheduled;
    std::vector<juce::MidiMessage> outbox; // due, for the reply thread
    bool handing = false; // replies taken from the outbox, not yet at the ports
    bool chattering = false, quitting = false;
    std::thread replyThread;

    JUCE_DECLARE_NON_COPYABLE (SimulatedUnit)
};
