// The upload runs on the message thread: bytes go out paced by pauses, and
// between commands the message loop runs in poll periods until the reply's
// flag is set or the wait gives up.
#include "UpgradeSequence.h"

#include "QuitHold.h"
#include "UpgradePackets.h"
#include "UpgraderBoxes.h"
#include "model/ModeMessage.h"

#include <utility>

namespace zevo
{
const char* const upgradeModePortName = "Zevo firmware upgrade";

namespace
{
using Handler = FirmwareUpgradeComponent::MidiInputHandler;

constexpr int pollPeriodMs = 33;
constexpr int pollsPerReply = 180;
constexpr int pollsAfterSharedCount = 30; // a block's last chance once the shared count is used up
constexpr int sharedPollLimit = 179;

namespace Text
{
const char* const noInput = "No MIDI input device is open";
const char* const noOutput = "No MIDI output device is open";
const char* const wrongFile = "Wrong file or cannot find this file!";
const char* const noConnect = "Could not connect to hardware";
const char* const noErase = "Could not erase existing firmware";
const char* const noWrite = "Could not write new firmware";
const char* const noReset = "Your firmware has been upgraded! Power off your unit and wait for 5 seconds, "
                            "then turn back on for changes to take effect";
const char* const upgraded = "Your firmware has been upgraded!";
const char* const successTitle = "Firmware Upgrade Success";
const char* const errorTitle = "Firmware Upgrade Error";
} // namespace Text

enum class Pace { before, after };

/** Sends a command packet byte by byte, a pause of `pauseMs` before or after each. */
void sendCommandPacket (MidiOutputPort& output, uint8_t (&packet)[commandPacketSize], int pauseMs, Pace pace)
{
    auto& ports = MidiPorts::get();
    completeCommandPacket (packet);

    for (const auto byte : packet)
    {
        if (pace == Pace::before)
            ports.pause (pauseMs);

        midiTemp[1] = (uint8_t) (byte >> 4);
        midiTemp[2] = (uint8_t) (byte & 0x0F);
        output.sendMessageNow (juce::MidiMessage (midiTemp, 3, 0.0));

        if (pace == Pace::after)
            ports.pause (pauseMs);
    }
}

/** Runs poll periods until the flag is set; false after 180 of them. */
bool waitForReply (const std::atomic<bool>& flag)
{
    for (int polls = 0; ! flag; ++polls)
    {
        if (polls == pollsPerReply)
            return false;
        MidiPorts::get().runMessageLoop (pollPeriodMs);
    }
    return true;
}

/** The write phase: each block's packet, then its acknowledgement. */
class BlockWriter
{
public:
    BlockWriter (Handler& handlerToUse, MidiOutputPort& outputToUse) : handler (handlerToUse), output (outputToUse) {}

    /** Sends block after block while bytes of the image remain; each time one
        is acknowledged, `acknowledged` gets the bytes sent so far. */
    template <typename Callback>
    bool writeImage (Callback&& acknowledged)
    {
        midiWrite[15] = 0;
        for (uint64_t bytesSent = 0; bytesSent < handler.imageSize;)
        {
            const auto offset = (size_t) bytesSent;
            buildPacket (offset);
            ++midiWrite[15];
            bytesSent += Handler::blockSize;

            sendPacket();
            if (! waitForAcknowledgement())
                return false;
            acknowledged (bytesSent);
        }
        return true;
    }

private:
    void buildPacket (size_t offset)
    {
        std::copy (std::begin (midiWrite), std::end (midiWrite) - 1, packet);
        packet[16] = 0x00;
        // upload() has checked that the image holds every block.
        jassert (offset + Handler::blockSize <= handler.image.size());
        std::copy_n (handler.image.begin() + (std::ptrdiff_t) offset, Handler::blockSize, packet + 17);
        packet[writePacketSize - 1] = packetChecksum (packet, writePacketSize - 1);
    }

    // From macOS 10.15 on (and on every system where the version arithmetic
    // gives 15 or more) every second byte, counted across blocks, waits 1 ms.
    // The flag is cleared just before the last byte: a quick unit may answer
    // before this thread runs again, and no answer can come earlier than the
    // packet's end, so every reply from then on belongs to this block.
    void sendPacket()
    {
        auto& ports = MidiPorts::get();
        for (const auto& byte : packet)
        {
            if (_mac_major >= 15 && ++pacing == 2)
            {
                ports.pause (1);
                pacing = 0;
            }
            if (&byte == std::end (packet) - 1)
                handler.writeReplied = false;
            oneByte.addEvent (makeNibbleMessage (byte), 0);
            output.sendBlockOfMessagesNow (oneByte);
            oneByte.clear();
        }
    }

    // The polls are counted across blocks; once 179 are used up, each block
    // still gets 30 more of its own.
    bool waitForAcknowledgement()
    {
        auto& ports = MidiPorts::get();
        for (;;)
        {
            ports.runMessageLoop (pollPeriodMs);
            if (sharedPolls == sharedPollLimit)
                break;
            ++sharedPolls;
            if (handler.writeReplied)
                return true;
        }

        sharedPolls = 0;
        for (int poll = 0; poll < pollsAfterSharedCount; ++poll)
        {
            if (handler.writeReplied)
                return true;
            ports.runMessageLoop (pollPeriodMs);
            ++sharedPolls;
        }
        return false;
    }

    Handler& handler;
    MidiOutputPort& output;
    uint8_t packet[writePacketSize] {};
    juce::MidiBuffer oneByte;
    int pacing = 0, sharedPolls = 0;
};

/** Connect, erase, write and reset; the failure text, or empty on success. */
juce::String upload (Handler& handler, UpgradeProgressSink& sink)
{
    if (handler.input == nullptr)
        return Text::noInput;
    if (handler.output == nullptr)
        return Text::noOutput;

    handler.clearReplyFlags();

    // The blocks are read from the image whole: it must hold every one.
    const auto holdsEveryBlock = [&] {
        const auto blocks = (handler.imageSize + Handler::blockSize - 1) / Handler::blockSize;
        return handler.image.size() >= blocks * Handler::blockSize;
    };
    if (! Handler::isValidImageSize (handler.imageSize) || ! holdsEveryBlock())
        return Text::wrongFile;

    const double stages = (double) handler.imageSize + 3.0;
    const auto reached = [&] (uint64_t k) { sink.setUpgradeProgress (0.8 + 0.2 * (double) k / stages); };
    auto& output = *handler.output;
    reached (0);

    sink.setUpgradeStatus ("Connecting...");
    sendCommandPacket (output, midiConnect, 1, Pace::before);
    if (! waitForReply (handler.connectReplied))
    {
        handler.clearReplyFlags();
        return Text::noConnect;
    }
    reached (1);

    sink.setUpgradeStatus ("Erasing...");
    const auto eraseArgument = eraseArgumentFor (handler.productCode);
    if (! eraseArgument)
        return Text::noErase;
    midiErase[15] = *eraseArgument;
    sendCommandPacket (output, midiErase, 1, Pace::after);
    MidiPorts::get().pause (100);
    if (! waitForReply (handler.eraseReplied))
    {
        handler.clearReplyFlags();
        return Text::noErase;
    }
    reached (2);

    sink.setUpgradeStatus ("Installing...");
    BlockWriter writer (handler, output);
    if (! writer.writeImage (reached))
    {
        handler.clearReplyFlags();
        return Text::noWrite;
    }

    sink.setUpgradeStatus ("Resetting...");
    handler.resetReplied = false;
    sendCommandPacket (output, midiReset, 2, Pace::before);
    const bool resetAnswered = waitForReply (handler.resetReplied);
    handler.clearReplyFlags();
    return resetAnswered ? juce::String() : Text::noReset;
}

/** The box that ends the sequence: its title and its text. */
std::pair<juce::String, juce::String> outcomeOf (const juce::String& failure)
{
    if (failure.isEmpty())
        return { Text::successTitle, Text::upgraded };
    return { Text::errorTitle, failure };
}

/** The upload and the ports' close, during which a quit waits. */
juce::String writeFirmware (Handler& handler, UpgradeProgressSink& sink)
{
    QuitHold::WhileWriting writing;
    const auto failure = upload (handler, sink);
    handler.closePorts();
    const auto [title, text] = outcomeOf (failure);
    writing.end (title + ": " + text);
    return failure;
}
} // namespace

bool runUpgradeSequence (Handler& handler, UpgradeProgressSink& sink)
{
    const auto failure = writeFirmware (handler, sink);

    auto& ports = MidiPorts::get();
    ports.pause (800);
    sink.setUpgradeStatus ("Firmware Upgrade");

    const auto [title, text] = outcomeOf (failure);
    const bool upgraded = failure.isEmpty();
    UpgraderBoxes::get().showMessageBox (upgraded ? juce::MessageBoxIconType::InfoIcon
                                                  : juce::MessageBoxIconType::WarningIcon,
                                         title, text);
    if (upgraded)
    {
        ports.pause (600);
        sink.updateProgress (4);
    }

    ports.pause (300);
    return upgraded;
}

bool enterUpgradeMode (const juce::String& connectedDeviceName, int productCode, UpgradeProgressSink& sink)
{
    auto& ports = MidiPorts::get();
    auto output = ports.openOutput (connectedDeviceName);
    if (output == nullptr)
        return false;

    for (int burst = 0; burst < 2; ++burst)
    {
        output->sendMessageNow (makeModeMessage (productCode, ModeByte::enterUpgradeMode));
        if (needsCompanionMessage (productCode))
            output->sendMessageNow (makeCompanionMessage (productCode));
    }

    sink.updateProgress (1);
    ports.pause (1300);
    output.reset();
    return true;
}

void resetUpgradeModeUnits()
{
    auto& ports = MidiPorts::get();
    const auto names = ports.getOutputNames();

    // By position, so two units of the same name are both reset.
    for (int index = 0; index < names.size(); ++index)
    {
        const auto& name = names[index];
        if (name.trim().isEmpty() || ! name.contains (upgradeModePortName))
            continue;

        if (auto output = ports.openOutput (index))
        {
            sendCommandPacket (*output, midiReset, 2, Pace::before);
            ports.pause (10);
        }
    }
}
} // namespace zevo
