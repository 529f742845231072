// The upgrader's conversations with a unit: entering upgrade mode, the upload
// of a firmware image in upgrade mode, and resetting units left in upgrade
// mode. They run on the message thread; every pause goes through
// MidiPorts::pause and every wait for a reply through MidiPorts::runMessageLoop.
#pragma once

#include "MidiInputHandler.h"

namespace zevo
{
/** What the upload tells the wizard while it runs. */
struct UpgradeProgressSink
{
    virtual ~UpgradeProgressSink() = default;

    /** Sets the progress bar's value directly (0.8 upward during the upload). */
    virtual void setUpgradeProgress (double progress) = 0;

    /** Sets the status label's text. */
    virtual void setUpgradeStatus (const juce::String& text) = 0;

    /** The wizard's own updateProgress (called with 1 after the Erase burst, 4 after success). */
    virtual void updateProgress (int step) = 0;
};

/** Name of the ports a unit shows in upgrade mode (case counts). */
extern const char* const upgradeModePortName;

/** The upload of the handler's image (the Upgrade step): connect, erase,
    write every block, reset; then the ports are closed and the end box
    ("Firmware Upgrade Success" or "Firmware Upgrade Error" with the
    failure text) is shown through UpgraderBoxes. True on success. */
bool runUpgradeSequence (FirmwareUpgradeComponent::MidiInputHandler& handler, UpgradeProgressSink& sink);

/** The Erase step's burst: opens the output named exactly like the input
    chosen at Connect and sends the mode message with mode byte 0x7F twice
    (each followed by the companion message for products 101-104); then
    sink.updateProgress (1), a 1.3 s pause, and the output is closed.
    False, with nothing sent or called, when there is no such output. */
bool enterUpgradeMode (const juce::String& connectedDeviceName, int productCode, UpgradeProgressSink& sink);

/** Sends the reset packet to every output whose name contains the upgrade-mode
    port name, for the wizard's destructor. Outputs that do not open are skipped. */
void resetUpgradeModeUnits();
} // namespace zevo
