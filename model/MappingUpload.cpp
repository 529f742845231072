// Sending the current map to the control surface: one-way, through the output
// the user chose. The unit digests each record before the next one arrives,
// so every record is followed by a short pause of the calling thread.
#include "Dolmaris.h"

#include "MidiPorts.h"
#include "ModeMessage.h"
#include "UploadRecords.h"

namespace
{
constexpr int pauseAfterRecordMs = 2;

using UploadRecords::TypeColumn;

/** Sends records one by one, each as a block of its own, each followed by the pause. */
class RecordSender
{
public:
    RecordSender (MidiPorts& portsToUse, MidiOutputPort& outputToUse) : ports (portsToUse), output (outputToUse) {}

    void send (const juce::MidiMessage& record)
    {
        block.addEvent (record, 0);
        output.sendBlockOfMessagesNow (block);
        block.clear();
        ports.pause (pauseAfterRecordMs);
    }

    void sendTypeRecords (const juce::Array<juce::ValueTree>& controls, int ctMode, TypeColumn column)
    {
        for (const auto& control : controls)
            send (UploadRecords::typeRecord (control, ctMode, column));
    }

    void sendValueRecords (const juce::Array<juce::ValueTree>& controls, bool areButtons)
    {
        for (const auto& control : controls)
            send (UploadRecords::valueRecord (control, areButtons));
    }

private:
    MidiPorts& ports;
    MidiOutputPort& output;
    juce::MidiBuffer block;
};

void sendPreamble (RecordSender& sender)
{
    for (int n = 0; n < UploadRecords::preambleLength; ++n)
        sender.send (UploadRecords::preambleRecord (n));
}

// The unit expects all type records of a group before the next group, and
// the buttons' values straight after their types, the other values last.
void sendControls (RecordSender& sender, const juce::ValueTree& map, int ctMode)
{
    const auto groups = UploadRecords::groupControls (map);

    sender.sendTypeRecords (groups.buttons, ctMode, TypeColumn::button);
    sender.sendValueRecords (groups.buttons, true);
    sender.sendTypeRecords (groups.knobs, ctMode, TypeColumn::knobOrJogWheel);
    sender.sendTypeRecords (groups.jogWheel, ctMode, TypeColumn::knobOrJogWheel);
    sender.sendTypeRecords (groups.faders, ctMode, TypeColumn::fader);
    sender.sendTypeRecords (groups.masterFader, ctMode, TypeColumn::fader);
    sender.sendValueRecords (groups.knobs, false);
    sender.sendValueRecords (groups.jogWheel, false);
    sender.sendValueRecords (groups.faders, false);
    sender.sendValueRecords (groups.masterFader, false);
}

/** Why this map cannot be sent at all; empty when it can. Only the working
    modes have a row table and a mode byte. */
juce::String reasonMapCannotBeSent (const CtMap& map)
{
    if (! map.tree.isValid())
        return "No mapping to send";

    const CtMode mode = map.getCtMode();
    if (! mode.isWorkingMode())
        return CtMode::nameForType (mode) + ": mode cannot be sent";

    return {};
}
} // namespace

juce::Result Dolmaris::sendCurrentMapping()
{
    const CtMap map (impl->currentMap);
    const juce::String name = impl->outputDeviceName;
    auto& ports = MidiPorts::get();

    if (name.isEmpty())
        return juce::Result::fail ("No device selected");

    const int index = ports.getOutputNames().indexOf (name);
    if (index < 0)
        return juce::Result::fail (name + ": device does not exist");

    if (const auto reason = reasonMapCannotBeSent (map); reason.isNotEmpty())
        return juce::Result::fail (reason);

    const auto output = ports.openOutput (index);
    if (output == nullptr)
        return juce::Result::fail (name + ": could not open device");

    const int ctMode = map.getCtMode();
    RecordSender sender (ports, *output);

    sendPreamble (sender);
    output->sendMessageNow (zevo::makeModeMessage (impl->productId, *zevo::modeByteForControlMode (ctMode)));
    sendControls (sender, map.tree, ctMode);
    output->sendMessageNow (UploadRecords::terminator());

    // The system's send calls report nothing, so a unit unplugged during the
    // upload would pass for a unit that took it all: a port that has left the
    // list by now did not take the whole map.
    if (ports.getOutputNames().indexOf (name) < 0)
        return juce::Result::fail (name + ": device does not exist");

    return juce::Result::ok();
}
