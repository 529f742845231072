#include "SimulatedUnit.h"

#include <numeric>

namespace
{
constexpr uint8_t header[] = { 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x1D, 0x03, 0x00, 0x49 };
constexpr size_t headerSize = sizeof (header);
constexpr size_t commandPacketSize = 17, writePacketSize = 530, blockSize = 512;

SimulatedUnit::Command commandOf (uint8_t code)
{
    switch (code)
    {
        case 0x7F: return SimulatedUnit::Command::connect;
        case 0x00: return SimulatedUnit::Command::erase;
        case 0x01: return SimulatedUnit::Command::write;
        case 0x02: return SimulatedUnit::Command::reset;
        default: return SimulatedUnit::Command::unknown;
    }
}

uint8_t codeOf (SimulatedUnit::Command command)
{
    switch (command)
    {
        case SimulatedUnit::Command::connect: return 0x7F;
        case SimulatedUnit::Command::erase: return 0x00;
        case SimulatedUnit::Command::write: return 0x01;
        case SimulatedUnit::Command::reset: return 0x02;
        case SimulatedUnit::Command::unknown: break;
    }
    return 0x10;
}
} // namespace

SimulatedUnit::SimulatedUnit (VirtualMidiPorts& portsToUse, const juce::String& portName)
    : outputIndex (portsToUse.addOutput (portName)),
      inputIndex (portsToUse.addInput (portName)),
      ports (portsToUse),
      replyThread ([this] { replyLoop(); })
{
    ports.setSendListener ([this] (int index, const juce::MidiMessage& message) { hear (index, message); });
    ports.setWaitListener ([this] (const VirtualMidiPorts::Event&) { onWait(); });
}

SimulatedUnit::~SimulatedUnit()
{
    ports.setSendListener (nullptr);
    ports.setWaitListener (nullptr);
    {
        std::lock_guard<std::mutex> guard (lock);
        quitting = true;
    }
    changed.notify_all();
    replyThread.join();
    ports.waitUntilDelivered();
}

//==============================================================================
void SimulatedUnit::answer (Command command, Answer how, int block)
{
    std::lock_guard<std::mutex> guard (lock);
    rules.push_back ({ command, block, how });
}

void SimulatedUnit::setReplyStatus (uint8_t status)
{
    std::lock_guard<std::mutex> guard (lock);
    replyStatus = status;
}

void SimulatedUnit::vanishDuringBlock (int block)
{
    std::lock_guard<std::mutex> guard (lock);
    vanishBlock = block;
}

std::vector<SimulatedUnit::Packet> SimulatedUnit::getPackets() const
{
    std::lock_guard<std::mutex> guard (lock);
    return packets;
}

std::vector<uint8_t> SimulatedUnit::getImage() const
{
    std::lock_guard<std::mutex> guard (lock);
    return image;
}

std::vector<std::string> SimulatedUnit::getProblems() const
{
    std::lock_guard<std::mutex> guard (lock);
    return problems;
}

//==============================================================================
void SimulatedUnit::hear (int index, const juce::MidiMessage& message)
{
    if (index != outputIndex)
        return;

    std::lock_guard<std::mutex> guard (lock);
    const auto* raw = message.getRawData();
    if (message.getRawDataSize() != 3 || raw[0] != 0x9F || raw[1] > 0x0F || raw[2] > 0x0F)
    {
        problems.push_back ("not a nibble message: " + message.getDescription().toStdString());
        return;
    }
    receiveByte ((uint8_t) ((raw[1] << 4) | raw[2]));
}

void SimulatedUnit::receiveByte (uint8_t byte)
{
    if (vanished)
        return;

    pending.push_back (byte);
    const auto position = pending.size() - 1;
    if (position < headerSize && byte != header[position])
    {
        problems.push_back ("byte " + std::to_string (position) + " of a packet is not its header's");
        pending.clear();
        return;
    }

    if (pending.size() <= 15)
        return;

    const bool isWrite = commandOf (pending[14]) == Command::write;
    if (isWrite && pending[15] == vanishBlock && pending.size() == writePacketSize / 2)
    {
        vanished = true;
        return;
    }

    if (pending.size() == (isWrite ? writePacketSize : commandPacketSize))
        finishPacket();
}

void SimulatedUnit::finishPacket()
{
    Packet packet;
    packet.command = commandOf (pending[14]);
    packet.argument = pending[15];
    packet.bytes = std::move (pending);
    pending.clear();

    const auto sum = std::accumulate (packet.bytes.begin(), packet.bytes.end() - 1, 0u);
    packet.checksumOk = (uint8_t) sum == packet.bytes.back();
    packets.push_back (packet);

    if (! packet.checksumOk)
    {
        problems.push_back ("wrong checksum in packet " + std::to_string (packets.size() - 1));
        return;
    }

    const int block = packet.argument;
    if (packet.command == Command::erase)
    {
        image.clear();
        expectedBlock = 0;
    }
    else if (packet.command == Command::write)
    {
        if (block != (expectedBlock & 0xFF))
            problems.push_back ("block " + std::to_string (block) + " where " + std::to_string (expectedBlock) + " was due");
        if (packet.bytes[16] != 0x00)
            problems.push_back ("byte 16 of block " + std::to_string (block) + " is not 0");
        expectedBlock = block + 1;
        image.insert (image.end(), packet.bytes.begin() + 17, packet.bytes.begin() + 17 + blockSize);
    }
    else if (packet.command == Command::unknown)
    {
        problems.push_back ("unknown command " + std::to_string (packet.argument));
        return;
    }

    scheduleReplies (packet.command, block);
}

void SimulatedUnit::scheduleReplies (Command command, int block)
{
    Answer how;
    for (const auto& rule : rules)
        if (rule.command == command && (rule.block < 0 || rule.block == block))
            how = rule.how;

    if (how.afterWaits == never)
        return;

    const juce::MidiMessage reply (replyStatus, codeOf (command), 0x00);
    scheduled.push_back ({ waits + how.afterWaits, reply });
    if (how.againAfter > 0)
        scheduled.push_back ({ waits + how.afterWaits + how.againAfter, reply });
}

//==============================================================================
// On the sender's thread, as a pause or poll begins: the replies now due go
// to the reply thread, and the wait begins once they have reached the input.
void SimulatedUnit::onWait()
{
    {
        std::unique_lock<std::mutex> guard (lock);
        ++waits;
        for (auto reply = scheduled.begin(); reply != scheduled.end();)
        {
            if (reply->dueWait <= waits)
            {
                outbox.push_back (reply->message);
                reply = scheduled.erase (reply);
            }
            else
            {
                ++reply;
            }
        }

        if (outbox.empty())
            return;

        changed.notify_all();
        changed.wait (guard, [this] { return (outbox.empty() && ! handing) || quitting; });
    }
    ports.waitUntilDelivered();
}

void SimulatedUnit::replyLoop()
{
    std::unique_lock<std::mutex> guard (lock);
    for (;;)
    {
        changed.wait (guard, [this] { return quitting || ! outbox.empty(); });
        if (quitting)
            return;

        auto due = std::move (outbox);
        outbox.clear();
        handing = true;

        guard.unlock();
        for (const auto& message : due)
            ports.deliverToInput (inputIndex, message);
        guard.lock();

        handing = false;
        changed.notify_all();
    }
}
