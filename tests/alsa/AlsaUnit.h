// A simulated unit as a client of the real ALSA sequencer, for a machine that
// has one: a single port, named as a unit names itself, that JUCE lists as an
// output and an input. It records every message it hears, and on the
// enter-upgrade-mode message it leaves the sequencer and comes back as
// "Zevo firmware upgrade", as a unit re-enumerates; then UnitProtocol hears the
// packets and the unit answers each one after a delay of the clock. Faults:
// silence, unplugging, a late answer, answering twice, noise.
#pragma once

#include "support/UnitProtocol.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <queue>
#include <random>
#include <string>
#include <thread>
#include <vector>

class AlsaUnit
{
public:
    enum class Fault { none, silent, unplug, late, twice, noise };

    struct Options
    {
        std::string name = fullUnitName;
        std::string readyFile, recordFile, imageFile; // empty: none
        int minDelayMs = 1, maxDelayMs = 2;            // from a packet's last byte to its reply
        Fault fault = Fault::none;
        int faultAfter = 2;       // upgrade packets answered normally before the fault
        int lateMs = 7000;        // how late a late unit answers
        int deviceId = 79;        // the family's id, which the mode message carries for both units
        int leaveAfterMessages = -1; // before upgrade mode: the client closes once this many messages are heard
    };

    // Port names as the units name themselves; the product table and the
    // editor's name rule know them as the full unit (79) and the extender (89).
    static constexpr const char* fullUnitName = "Dolm ar MIDI 1";
    static constexpr const char* extenderName = "Dolm et MIDI 1";
    static constexpr const char* upgradeModeName = "Zevo firmware upgrade";

    /** Joins the sequencer at once; isPresent() tells whether that worked. */
    explicit AlsaUnit (Options options);
    explicit AlsaUnit (const char* portName) : AlsaUnit (named (portName)) {}
    ~AlsaUnit();

    /** The port's name while the unit is in the sequencer; empty while it is not. */
    std::string currentName() const;
    bool isPresent() const { return ! currentName().empty(); }
    bool isInUpgradeMode() const { return upgradeMode; }

    /** Every message heard, as "9F 00 00" lines, in order. */
    std::vector<std::string> getRecord() const;
    std::vector<uint8_t> getImage() const;
    std::vector<std::string> getProblems() const;

    static Options named (const char* portName)
    {
        Options options;
        options.name = portName;
        return options;
    }

    static std::optional<Fault> faultNamed (const std::string& name);

private:
    using Clock = std::chrono::steady_clock;

    struct Due
    {
        Clock::time_point when;
        std::vector<uint8_t> message;
        bool operator> (const Due& other) const { return when > other.when; }
    };

    bool openClient (const std::string& portName);
    void closeClient();
    void readEvents();
    void takeEvent (const snd_seq_event_t& event);
    void hear (const std::vector<uint8_t>& bytes);
    void reEnumerate();
    void answer (const UnitProtocol::Packet& packet);
    void schedule (Clock::duration after, std::vector<uint8_t> message);
    void sendReplies();
    void send (const std::vector<uint8_t>& bytes);
    std::vector<uint8_t> makeNoise();
    Clock::duration drawDelay();
    void writeReadyFile (const std::string& portName) const;
    void writeImageFile() const;
    bool waitForQuit (int milliseconds) const;

    const Options options;

    mutable std::mutex handleLock; // the handle between the reader, which replaces it, and the replier
    snd_seq_t* handle = nullptr;
    int port = -1;
    std::string name;

    mutable std::mutex stateLock; // what was heard
    UnitProtocol protocol;
    std::vector<std::string> record;
    std::vector<std::string> problems;
    std::vector<uint8_t> sysex;
    int messagesHeard = 0, answeredNormally = 0;
    std::atomic<bool> upgradeMode { false };

    std::mutex replyLock;
    std::condition_variable replyWakeUp;
    std::priority_queue<Due, std::vector<Due>, std::greater<Due>> replies;
    std::mt19937 random { std::random_device{}() }; // the reader's only

    int quitPipe[2] = { -1, -1 };
    std::atomic<bool> quitting { false };
    std::thread reader, replier;
};
