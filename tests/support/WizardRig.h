// The upgrade wizard in its real dialog window, with virtual MIDI ports, the
// recording box layer and the modal answerer: tests press its step buttons
// as a user would and read its state back.
#pragma once

#include "ModalAnswerer.h"
#include "RecordedBoxes.h"
#include "VirtualMidiPorts.h"
#include "modules/zevo_firmware/FirmwareFilePicker.h"
#include "modules/zevo_firmware/FirmwareUpgradeWindow.h"
#include "modules/zevo_firmware/UpgradePackets.h"

#include <gtest/gtest.h>

namespace testsupport
{
/** The enabled step buttons as five letters, "-" for a disabled one: "CEAS-". */
inline std::string enabledSteps (juce::Component& wizard)
{
    std::string letters;
    for (const auto* text : { "Connect", "Erase", "Activate", "Select Version", "Upgrade" })
        if (auto* button = ModalAnswerer::findButton (wizard, text))
            letters += button->isEnabled() ? text[0] : '-';
    return letters;
}

/** Hands the firmware step a file of the test's choosing instead of a dialog. */
class PickedFile final : public zevo::FirmwareFilePicker
{
public:
    explicit PickedFile (juce::File toHand) : file (std::move (toHand)), previous (install (this)) {}
    ~PickedFile() override { install (previous); }

    juce::File chooseFirmwareFile (const juce::File&) override { return file; }

private:
    juce::File file;
    FirmwareFilePicker* previous;
};

/** An action for the port chooser: selects the item of this name and clicks OK. */
inline ModalAnswerer::Action choosePort (const juce::String& name)
{
    return [name] (juce::Component& modal) {
        if (auto* box = ModalAnswerer::find<juce::ComboBox> (modal))
            box->setText (name, juce::sendNotificationSync); // selects the item of that text
        ModalAnswerer::click ("OK") (modal);
    };
}

/** The wizard for the full unit (launch code 79) in its window, shown but not modal. */
struct WizardRig
{
    explicit WizardRig (VirtualMidiPorts::Pauses pauses = VirtualMidiPorts::Pauses::recordOnly) : ports (pauses)
    {
        zevo::bTest = false;
        zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;
    }

    /** Opens the window; the wizard exists from here on. */
    void openWindow (int launchCode = 79)
    {
        window = std::make_unique<zevo::FirmwareUpgradeWindow> (launchCode, nullptr);
        window->setVisible (true);
    }

    zevo::FirmwareUpgradeComponent& wizard() { return window->getWizard(); }

    /** Clicks a step button as a user would; a disabled button fails the test. */
    void press (const juce::String& text)
    {
        auto* button = ModalAnswerer::findButton (wizard(), text);
        ASSERT_NE (button, nullptr) << text;
        ASSERT_TRUE (button->isEnabled()) << text << " pressed while disabled";
        wizard().buttonClicked (button);
    }

    void pressKey (int keyCode) { EXPECT_FALSE (wizard().keyPressed (juce::KeyPress (keyCode))); }

    std::string state() { return enabledSteps (wizard()); }
    juce::String title() { return window->getName(); }

    ScopedVirtualMidiPorts ports;
    RecordedBoxes boxes;
    ModalAnswerer driver;
    std::unique_ptr<zevo::FirmwareUpgradeWindow> window;
};
} // namespace testsupport
