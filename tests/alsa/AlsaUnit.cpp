#include "AlsaUnit.h"

#include <cstdio>
#include <fstream>
#include <poll.h>
#include <unistd.h>

namespace
{
// A unit's port: others write to it and read from it, and it is hardware to them.
constexpr unsigned int portCapabilities = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_READ
                                          | SND_SEQ_PORT_CAP_SUBS_WRITE | SND_SEQ_PORT_CAP_DUPLEX;
constexpr unsigned int portType = SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_HARDWARE | SND_SEQ_PORT_TYPE_PORT;

// A firmware upload arrives as tens of thousands of small events; the
// kernel's default input pool of a client is far smaller than it allows.
constexpr int inputPoolEvents = 2000;

constexpr int reEnumerationMs = 200;

std::string describe (const std::vector<uint8_t>& bytes)
{
    std::string line;
    char hex[4];
    for (const auto byte : bytes)
    {
        std::snprintf (hex, sizeof (hex), "%02X ", byte);
        line += hex;
    }
    if (! line.empty())
        line.pop_back();
    return line;
}

void writeAtomically (const std::string& path, const std::string& content)
{
    const auto temporary = path + ".tmp";
    {
        std::ofstream file (temporary, std::ios::binary | std::ios::trunc);
        file << content;
    }
    std::rename (temporary.c_str(), path.c_str());
}
} // namespace

AlsaUnit::AlsaUnit (Options optionsToUse) : options (std::move (optionsToUse))
{
    if (! options.recordFile.empty())
        std::ofstream (options.recordFile, std::ios::trunc);
    if (pipe (quitPipe) != 0)
        quitPipe[0] = quitPipe[1] = -1;
    openClient (options.name);
    reader = std::thread ([this] { readEvents(); });
    replier = std::thread ([this] { sendReplies(); });
}

AlsaUnit::~AlsaUnit()
{
    quitting = true;
    if (quitPipe[1] >= 0)
        (void) ! write (quitPipe[1], "q", 1);
    replyWakeUp.notify_all();
    reader.join();
    replier.join();
    closeClient();
    writeImageFile();
    for (const auto end : quitPipe)
        if (end >= 0)
            close (end);
}

std::optional<AlsaUnit::Fault> AlsaUnit::faultNamed (const std::string& faultName)
{
    const std::pair<const char*, Fault> names[] = { { "none", Fault::none }, { "silent", Fault::silent },
                                                    { "unplug", Fault::unplug }, { "late", Fault::late },
                                                    { "twice", Fault::twice }, { "noise", Fault::noise } };
    for (const auto& [text, fault] : names)
        if (faultName == text)
            return fault;
    return std::nullopt;
}

std::string AlsaUnit::currentName() const
{
    const std::lock_guard<std::mutex> lock (handleLock);
    return name;
}

std::vector<std::string> AlsaUnit::getRecord() const
{
    const std::lock_guard<std::mutex> lock (stateLock);
    return record;
}

std::vector<uint8_t> AlsaUnit::getImage() const
{
    const std::lock_guard<std::mutex> lock (stateLock);
    return protocol.getImage();
}

std::vector<std::string> AlsaUnit::getProblems() const
{
    const std::lock_guard<std::mutex> lock (stateLock);
    auto all = problems;
    for (const auto& problem : protocol.getProblems())
        all.push_back (problem);
    return all;
}

//==============================================================================
bool AlsaUnit::openClient (const std::string& portName)
{
    snd_seq_t* opened = nullptr;
    if (snd_seq_open (&opened, "default", SND_SEQ_OPEN_DUPLEX, SND_SEQ_NONBLOCK) < 0)
        return false;

    snd_seq_set_client_name (opened, portName.c_str());
    snd_seq_set_client_pool_input (opened, inputPoolEvents);
    const int created = snd_seq_create_simple_port (opened, portName.c_str(), portCapabilities, portType);
    if (created < 0)
    {
        snd_seq_close (opened);
        return false;
    }

    {
        const std::lock_guard<std::mutex> lock (handleLock);
        handle = opened;
        port = created;
        name = portName;
    }
    writeReadyFile (portName);
    return true;
}

// Its ports vanish with it, and whoever was connected is disconnected.
void AlsaUnit::closeClient()
{
    const std::lock_guard<std::mutex> lock (handleLock);
    if (handle != nullptr)
        snd_seq_close (handle);
    handle = nullptr;
    port = -1;
    name.clear();
}

bool AlsaUnit::waitForQuit (int milliseconds) const
{
    pollfd quit { quitPipe[0], POLLIN, 0 };
    return quitting || poll (&quit, 1, milliseconds) > 0;
}

// Only this thread replaces the handle, so it reads it without the lock.
void AlsaUnit::readEvents()
{
    while (! quitting)
    {
        std::vector<pollfd> fds { { quitPipe[0], POLLIN, 0 } };
        auto* const current = handle;
        if (current != nullptr)
        {
            const int count = snd_seq_poll_descriptors_count (current, POLLIN);
            fds.resize (1 + (size_t) count);
            snd_seq_poll_descriptors (current, fds.data() + 1, (unsigned int) count, POLLIN);
        }
        if (poll (fds.data(), fds.size(), 100) <= 0 || quitting || current == nullptr)
            continue;

        for (;;)
        {
            snd_seq_event_t* event = nullptr;
            const int result = snd_seq_event_input (current, &event);
            if (result == -ENOSPC)
            {
                const std::lock_guard<std::mutex> lock (stateLock);
                problems.push_back ("input overrun: events were lost");
                continue;
            }
            if (result < 0 || event == nullptr)
                break;
            takeEvent (*event);
            if (handle != current) // left the sequencer: what else was queued is gone with the client
                break;
        }
    }
}

// Channel messages come as events of their own; a System Exclusive message
// may come in several chunks, the first starting with F0, the last ending with F7.
void AlsaUnit::takeEvent (const snd_seq_event_t& event)
{
    const auto& note = event.data.note;
    const auto& control = event.data.control;
    switch (event.type)
    {
        case SND_SEQ_EVENT_NOTEON: return hear ({ (uint8_t) (0x90 | note.channel), note.note, note.velocity });
        case SND_SEQ_EVENT_NOTEOFF: return hear ({ (uint8_t) (0x80 | note.channel), note.note, note.velocity });
        case SND_SEQ_EVENT_CONTROLLER:
            return hear ({ (uint8_t) (0xB0 | control.channel), (uint8_t) control.param, (uint8_t) control.value });
        case SND_SEQ_EVENT_PGMCHANGE: return hear ({ (uint8_t) (0xC0 | control.channel), (uint8_t) control.value });
        case SND_SEQ_EVENT_SYSEX:
        {
            const auto* bytes = static_cast<const uint8_t*> (event.data.ext.ptr);
            const auto size = (size_t) event.data.ext.len;
            if (size == 0)
                return;
            if (bytes[0] == 0xF0)
                sysex.clear();
            sysex.insert (sysex.end(), bytes, bytes + size);
            if (sysex.back() == 0xF7)
            {
                const auto message = std::move (sysex);
                sysex.clear();
                hear (message);
            }
            return;
        }
        default: return; // subscriptions and other news of the sequencer
    }
}

void AlsaUnit::hear (const std::vector<uint8_t>& bytes)
{
    const juce::MidiMessage message (bytes.data(), (int) bytes.size());
    std::optional<UnitProtocol::Packet> packet;
    bool leave = false;
    {
        const std::lock_guard<std::mutex> lock (stateLock);
        record.push_back (describe (bytes));
        if (! options.recordFile.empty())
            std::ofstream (options.recordFile, std::ios::app) << record.back() << '\n';
        ++messagesHeard;
        if (upgradeMode)
            packet = protocol.hear (message);
        else
            leave = messagesHeard == options.leaveAfterMessages;
    }

    if (leave)
        closeClient();
    else if (! upgradeMode && UnitProtocol::isEnterUpgradeMode (message, options.deviceId))
        reEnumerate();
    else if (packet)
        answer (*packet);
}

void AlsaUnit::reEnumerate()
{
    closeClient();
    if (waitForQuit (reEnumerationMs))
        return;
    upgradeMode = true;
    openClient (upgradeModeName);
}

void AlsaUnit::answer (const UnitProtocol::Packet& packet)
{
    if (packet.command == UnitProtocol::reset)
        writeImageFile();

    const std::vector<uint8_t> reply { 0x9F, packet.command, 0x00 };
    const bool faulty = options.fault != Fault::none && answeredNormally >= options.faultAfter;
    if (! faulty)
    {
        ++answeredNormally;
        return schedule (drawDelay(), reply);
    }

    switch (options.fault)
    {
        case Fault::silent: return;
        case Fault::unplug: return closeClient();
        case Fault::late: return schedule (std::chrono::milliseconds (options.lateMs), reply);
        case Fault::twice:
            schedule (drawDelay(), reply);
            return schedule (drawDelay(), reply);
        case Fault::noise:
        {
            const auto delay = drawDelay();
            for (int n = std::uniform_int_distribution<int> (1, 3) (random); n > 0; --n)
                schedule (delay / 2, makeNoise());
            schedule (delay, reply);
            return schedule (delay, makeNoise());
        }
        case Fault::none: return;
    }
}

// Messages that are no reply: the upgrader takes a message's first data byte
// as a reply code (00, 01, 02, 7F), so none of these has one there.
std::vector<uint8_t> AlsaUnit::makeNoise()
{
    const auto draw = [this] (int low, int high) { return (uint8_t) std::uniform_int_distribution<int> (low, high) (random); };
    switch (draw (0, 2))
    {
        case 0: return { 0xB0, draw (0x10, 0x77), draw (0, 0x7F) };
        case 1: return { 0x90, draw (0x20, 0x6F), 0x40 };
        default: return { 0xF0, 0x7D, draw (0x10, 0x6F), draw (0, 0x7F), 0xF7 };
    }
}

AlsaUnit::Clock::duration AlsaUnit::drawDelay()
{
    const auto micros = std::uniform_int_distribution<int> (options.minDelayMs * 1000, options.maxDelayMs * 1000) (random);
    return std::chrono::microseconds (micros);
}

//==============================================================================
void AlsaUnit::schedule (Clock::duration after, std::vector<uint8_t> message)
{
    {
        const std::lock_guard<std::mutex> lock (replyLock);
        replies.push ({ Clock::now() + after, std::move (message) });
    }
    replyWakeUp.notify_all();
}

void AlsaUnit::sendReplies()
{
    std::unique_lock<std::mutex> lock (replyLock);
    while (! quitting)
    {
        if (replies.empty())
        {
            replyWakeUp.wait (lock);
            continue;
        }
        if (replies.top().when > Clock::now())
        {
            replyWakeUp.wait_until (lock, replies.top().when);
            continue;
        }
        const auto message = replies.top().message;
        replies.pop();
        lock.unlock();
        send (message);
        lock.lock();
    }
}

// Straight to whoever reads the port; a unit that has left the sequencer sends nothing.
void AlsaUnit::send (const std::vector<uint8_t>& bytes)
{
    const std::lock_guard<std::mutex> lock (handleLock);
    if (handle == nullptr)
        return;

    snd_seq_event_t event;
    snd_seq_ev_clear (&event);
    if (bytes[0] == 0xF0)
        snd_seq_ev_set_sysex (&event, (unsigned int) bytes.size(), const_cast<uint8_t*> (bytes.data()));
    else if ((bytes[0] & 0xF0) == 0xB0)
        snd_seq_ev_set_controller (&event, bytes[0] & 0x0F, bytes[1], bytes[2]);
    else
        snd_seq_ev_set_noteon (&event, bytes[0] & 0x0F, bytes[1], bytes[2]);
    snd_seq_ev_set_source (&event, port);
    snd_seq_ev_set_subs (&event);
    snd_seq_ev_set_direct (&event);

    // A reader whose queue is full makes a non-blocking client wait its turn.
    for (int attempt = 0; attempt < 1000 && snd_seq_event_output_direct (handle, &event) == -EAGAIN; ++attempt)
        std::this_thread::sleep_for (std::chrono::milliseconds (1));
}

//==============================================================================
void AlsaUnit::writeReadyFile (const std::string& portName) const
{
    if (! options.readyFile.empty())
        writeAtomically (options.readyFile, portName + "\n");
}

void AlsaUnit::writeImageFile() const
{
    if (options.imageFile.empty())
        return;
    const auto image = getImage();
    writeAtomically (options.imageFile, std::string (image.begin(), image.end()));
}
