// The wizard's steps: what each step button does. They run on the message
// thread inside buttonClicked; their dialogs, pauses and the upload block it,
// with nested message loops wherever the user must be able to see or answer.
#include "FirmwareUpgradeComponent.h"

#include "AudioMidiSetup.h"
#include "DeviceHelpers.h"
#include "DeviceSelectComponent.h"
#include "MidiInputHandler.h"
#include "UpgradePackets.h"
#include "UpgradeSequence.h"
#include "UpgraderBoxes.h"
#include "model/MidiPorts.h"
#include "model/Product.h"

namespace zevo
{
namespace
{
constexpr int connectPasses = 5;

const char* const alreadyInUpgradeMode = "It looks like your device is already in firmware upgrade mode. \n"
                                         "Please turn off and turn on the device and try again.";
const char* const cannotBeUpgraded = "This device is not able to be upgraded by this software.";

const char* const audioMidiSetupHelp =
    "After \"Audio MIDI Setup\" opened.\n\n1. Check \"Show MIDI Window\" \non \"Window\" pull-down menu, \nat the "
    "top task-bar.\n\n2. Turn off your device, drag \nthe sroll-bar to find out your device, \nand select it.\n\n"
    "3. Click \"Remove Device\".\n\nThen turn on your device. \nThe displaying name of your device \nwill be "
    "refreshed!";

bool isUpgradeModePort (const juce::String& name)
{
    return name.containsWholeWordIgnoreCase (upgradeModePortName);
}

/** A second's wait for a unit to show its ports, in the steps the unit's
    own start-up takes. */
void waitOneSecond()
{
    for (int i = 0; i < 100; ++i)
        MidiPorts::get().pause (10);
}
} // namespace

/** How the upload reports to the wizard. */
class FirmwareUpgradeComponent::ProgressSink final : public UpgradeProgressSink
{
public:
    explicit ProgressSink (FirmwareUpgradeComponent& wizardToUpdate) : wizard (wizardToUpdate) {}

    void setUpgradeProgress (double value) override { wizard.progress = value; }
    void setUpgradeStatus (const juce::String& text) override { wizard.statusLabel.setText (text, juce::dontSendNotification); }
    void updateProgress (int step) override { wizard.updateProgress (step); }

private:
    FirmwareUpgradeComponent& wizard;
};

/** Marks a step as running for its whole length, so that a close asked for
    meanwhile waits until the step has left the stack. */
class FirmwareUpgradeComponent::RunningStep
{
public:
    explicit RunningStep (FirmwareUpgradeComponent& wizardRunningIt) : wizard (wizardRunningIt) { ++wizard.runningSteps; }

    ~RunningStep()
    {
        --wizard.runningSteps;
        wizard.closeWindowIfRequested();
    }

private:
    FirmwareUpgradeComponent& wizard;

    JUCE_DECLARE_NON_COPYABLE (RunningStep)
};

void FirmwareUpgradeComponent::buttonClicked (juce::Button* button)
{
    const RunningStep running (*this);

    if (button == &stepButtons[0])
        runConnect();
    else if (button == &stepButtons[1])
        runErase();
    else if (button == &stepButtons[2])
        runActivate();
    else if (button == &stepButtons[3])
        doStep4();
    else if (button == &stepButtons[4])
        runUpgrade();
    else if (button == &nameButton)
        runUpdateDeviceName();
}

std::optional<juce::String> FirmwareUpgradeComponent::choosePort()
{
    DeviceSelectComponent chooser;

    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&chooser);
    options.dialogTitle = "Choose Your Zevo Device";
    options.componentToCentreAround = this;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    if (options.runModal() != 1)
        return std::nullopt;
    return chooser.selectedName;
}

void FirmwareUpgradeComponent::makeHandlerIfNone()
{
    if (handler == nullptr)
        handler = std::make_unique<MidiInputHandler> (this, productCode);
}

void FirmwareUpgradeComponent::runConnect()
{
    onlineMode = onlineDefault;
    deviceName.clear();
    updateProgress (-1);

    // A unit just plugged in may take a few seconds to show its ports.
    for (int pass = 1; pass <= connectPasses; ++pass)
    {
        if (! DeviceHelpers::getDeviceNames (false).isEmpty())
            break;
        waitOneSecond();
        SetTitle (juce::String::formatted ("(%d)", pass));
    }

    const auto chosen = choosePort();
    if (! chosen)
    {
        SetTitle ({});
        return;
    }

    deviceName = *chosen;
    productCode = Product::fromDeviceName (deviceName);

    if (productCode == Product::unknown)
    {
        if (! bTest)
        {
            UpgraderBoxes::get().showMessageBox (juce::MessageBoxIconType::InfoIcon, "Firmware Upgrade",
                                                 isUpgradeModePort (deviceName) ? alreadyInUpgradeMode
                                                                                : cannotBeUpgraded);
            return;
        }
        productCode = launchCode;
    }

    SetTitle (Product::getName ((Product::PID) productCode));
    if (handler != nullptr)
        handler->productCode = productCode;
    updateProgress (0);
}

void FirmwareUpgradeComponent::runErase()
{
    updateProgress (0);
    ProgressSink sink (*this);
    enterUpgradeMode (deviceName, productCode, sink);
}

void FirmwareUpgradeComponent::runActivate()
{
    updateProgress (1);
    MidiPorts::get().pause (500);
    makeHandlerIfNone();
    setStepEnabled (0, false);
    setStepEnabled (1, false);

    const auto backToErased = [this] {
        updateProgress (1);
        setStepEnabled (0, true);
    };

    const auto chosen = choosePort();
    if (! chosen)
    {
        backToErased();
        return;
    }

    upgradePortName = *chosen;
    if (! bTest && ! isUpgradeModePort (upgradePortName))
    {
        UpgraderBoxes::get().showMessageBox (juce::MessageBoxIconType::WarningIcon, "Step 3",
                                             "Please select the unit \"Zevo firmware upgrade\"");
        backToErased();
        return;
    }

    if (handler->openPorts (upgradePortName))
    {
        updateProgress (2);
        setStepEnabled (0, false);
        return;
    }

    UpgraderBoxes::get().showMessageBox (juce::MessageBoxIconType::InfoIcon, "Midi Device",
                                         "Could not open the selected MIDI input device: " + upgradePortName);
    backToErased();
}

void FirmwareUpgradeComponent::runUpgrade()
{
    updateProgress (3);
    for (int i = 0; i < 5; ++i)
        setStepEnabled (i, false);
    makeHandlerIfNone();

    ProgressSink sink (*this);
    runUpgradeSequence (*handler, sink);

    for (int i = 0; i < 5; ++i)
        setStepEnabled (i, true);
    updateProgress (-1);
    MidiPorts::get().pause (600);
    deviceName.clear();
    upgradePortName.clear();
    statusLabel.setText ("Firmware Upgrade", juce::dontSendNotification);
}

void FirmwareUpgradeComponent::runUpdateDeviceName()
{
    AudioMidiSetup::open();
    UpgraderBoxes::get().showMessageBox (juce::MessageBoxIconType::NoIcon, {}, audioMidiSetupHelp);
}
} // namespace zevo
