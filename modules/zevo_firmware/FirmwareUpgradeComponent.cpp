// The wizard's face: its labels, buttons and progress bar, their layout, the
// progress rule that enables the step buttons, the window title, the keys and
// the close. The steps themselves are in FirmwareUpgradeSteps.cpp.
#include "FirmwareUpgradeComponent.h"

#include "DisplayConnection.h"
#include "MidiInputHandler.h"
#include "UpgradePackets.h"
#include "UpgradeSequence.h"
#include "UpgraderBoxes.h"

namespace zevo
{
namespace
{
const char* const windowTitle = "Firmware Upgrade";

const char* const stepButtonTexts[5] = { "Connect", "Erase", "Activate", "Select Version", "Upgrade" };

const char* const stepTexts[5] = {
    "Please connect your Zevo device and click \"Connect\" button to create the connection.",
    "Click \"Erase\" button to enter into \"Firmware upgrade mode\".",
    "Click \"Activate\" button to activate the \"Firmware upgrade mode\".",
    "Click \"Select Version\", the process will automatically search for the most up to date firmware for your device at our website.",
    "Click \"Upgrade\" to start the file upload process."
};

const char* const noteText = "If your connected Zevo product model name does not appear on the pull-down menu, "
                             "select \"USB Audio Device\" as the MIDI In/Out device";

const char* const nameButtonTooltip = "Click here to update the displaying name of your device.";

const char* const aboutTitle = "\n \nZevo Firmware Upgrader\n\nV1.19  Build 58";
const char* const legalNotice = "Copyright (C) Zevosonic. All rights reserved.\n\n"
                                "This firmware upgrader is provided for Zevosonic devices only. Use it at your own "
                                "risk: an interrupted upgrade can leave a device that no longer starts.";

void setUpLabel (juce::Component& owner, juce::Label& label, const juce::String& text, juce::Justification where)
{
    owner.addAndMakeVisible (label);
    label.setText (text, juce::dontSendNotification);
    label.setJustificationType (where);
    label.setColour (juce::Label::textColourId, juce::Colours::black);
}
} // namespace

FirmwareUpgradeComponent::FirmwareUpgradeComponent (int pid, bool)
    : productCode (pid), launchCode (pid)
{
    setUpLabel (*this, statusLabel, "Upgrade Progress", juce::Justification::centred);
    addAndMakeVisible (progressBar);
    progressBar.setColour (juce::ProgressBar::foregroundColourId, juce::Colours::skyblue);

    for (int i = 0; i < 5; ++i)
    {
        const auto caption = "Step " + juce::String (i + 1);
        setUpLabel (*this, stepCaptions[i], caption, juce::Justification::centred);
        setUpLabel (*this, rowLabels[i], caption + ":", juce::Justification::topLeft);
        setUpLabel (*this, stepDescriptions[i], stepTexts[i], juce::Justification::topLeft);
        stepDescriptions[i].setMinimumHorizontalScale (1.0f);

        addAndMakeVisible (stepButtons[i]);
        stepButtons[i].setButtonText (stepButtonTexts[i]);
        stepButtons[i].addListener (this);
    }

    setUpLabel (*this, noteLabel, "Note:", juce::Justification::topLeft);
    setUpLabel (*this, noteText, zevo::noteText, juce::Justification::topLeft);
    noteText.setMinimumHorizontalScale (1.0f);

    addAndMakeVisible (nameButton);
    nameButton.setButtonText ("Update Device Name");
    nameButton.addListener (this);

    updateProgress (-1);
    setWantsKeyboardFocus (true); // so M, T and F1 reach the wizard before any button was clicked
    setSize (514, 491);
}

FirmwareUpgradeComponent::~FirmwareUpgradeComponent()
{
    // Units the user left in upgrade mode start normally again.
    resetUpgradeModeUnits();
    handler = nullptr;
}

void FirmwareUpgradeComponent::paint (juce::Graphics&) {}

void FirmwareUpgradeComponent::resized()
{
    const int w = getWidth();
    const int left = w / 2 - 240;

    statusLabel.setBounds (0, 10, w, 20);
    progressBar.setBounds (40, 36, w - 80, 24);

    for (int i = 0; i < 5; ++i)
    {
        stepCaptions[i].setBounds (left + 96 * i, progressBar.getBottom() + 6, 90, 20);
        stepButtons[i].setBounds (left + 96 * i, stepCaptions[i].getBottom() + 6, 90, 20);
    }

    // Rows: step 1, the note, then steps 2 to 5, each below the one before.
    int y = stepButtons[0].getBottom() + 18;
    const auto placeRow = [&] (juce::Label& rowLabel, juce::Label& text) {
        rowLabel.setBounds (left, y, 70, 20);
        text.setBounds (w / 2 - 164, y, w - 20 - rowLabel.getRight(), 50);
        y = text.getBottom() + 6;
    };

    placeRow (rowLabels[0], stepDescriptions[0]);
    placeRow (noteLabel, noteText);
    for (int i = 1; i < 5; ++i)
        placeRow (rowLabels[i], stepDescriptions[i]);

    nameButton.setBounds (w / 2 - 48, stepDescriptions[4].getBottom() - 14, 90, 20);
    nameButton.setTooltip (nameButtonTooltip);
}

void FirmwareUpgradeComponent::updateProgress (int step)
{
    if (step < 0)
    {
        currentStep = -1;
        progress = 0.0;
        for (int i = 0; i < 5; ++i)
            setStepEnabled (i, i == 0);
        return;
    }

    const juce::ScopedLock lock (mutex);
    progress = (step + 1) / 5.0;
    currentStep = step;

    // A step opens the way to the step after it; from step 5 on, none is offered.
    const int lastEnabled = step <= 4 ? step + 2 : 0;
    for (int i = 0; i < 5; ++i)
        setStepEnabled (i, i + 1 <= lastEnabled);
}

void FirmwareUpgradeComponent::setStepEnabled (int step, bool enabled)
{
    stepButtons[step].setEnabled (enabled);
}

void FirmwareUpgradeComponent::SetTitle (juce::String text)
{
    setWindowTitle (text.isEmpty() ? juce::String (windowTitle) : windowTitle + juce::String (": ") + text);
}

void FirmwareUpgradeComponent::setWindowTitle (const juce::String& title)
{
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->setName (title);
    else if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        window->setName (title);

    // At once: Connect sets a title and then blocks the message thread for a
    // second, which would keep it from the window system until the step ends.
    DisplayConnection::flush();
}

bool FirmwareUpgradeComponent::keyPressed (const juce::KeyPress& key)
{
    const int code = key.getKeyCode();
    const auto letter = juce::CharacterFunctions::toUpperCase ((juce::juce_wchar) code);

    if (letter == 'M')
    {
        onlineMode = ! onlineMode;
        setWindowTitle (juce::String (windowTitle) + (bTest ? "." : "") + (onlineMode ? "" : " [M]"));
    }
    else if (letter == 'T')
    {
        bTest = ! bTest;
        setWindowTitle (juce::String (windowTitle) + (bTest ? "." : ""));
    }
    else if (code == juce::KeyPress::F1Key)
    {
        UpgraderBoxes::get().showMessageBox (juce::MessageBoxIconType::NoIcon, aboutTitle, legalNotice);
    }

    // Every key also goes on to the window, which closes on Escape.
    return false;
}

bool FirmwareUpgradeComponent::readyToClose()
{
    if (runningSteps == 0)
        return true;

    closeRequested = true;
    return false;
}

void FirmwareUpgradeComponent::closeWindowIfRequested()
{
    if (runningSteps > 0 || ! closeRequested)
        return;

    closeRequested = false;
    if (auto* dialog = findParentComponentOfClass<juce::DialogWindow>())
        dialog->closeButtonPressed();
}
} // namespace zevo
