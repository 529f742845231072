// The upgrade wizard in its real dialog window, driven step by step as a user
// would against virtual ports and a simulated unit: what each step shows and
// which buttons it leaves enabled (the wizard's state table), its keys, its
// layout, and a close asked for while the upload runs.
#include "support/SimulatedUnit.h"
#include "support/WizardRig.h"

using namespace testsupport;

namespace
{
const juce::String unitPort = "Dolm Ar MIDI";            // the full unit, product 79 "Dolmar"
const juce::String upgradePort = "Zevo firmware upgrade 1"; // the same unit in upgrade mode

// Catches: a step button disabled or enabled against the state table.
// Letters: Connect, Erase, Activate, Select Version, Upgrade.
void expectState (zevo::FirmwareUpgradeComponent& wizard, int step, double progress, const std::string& enabled,
                  const char* when)
{
    EXPECT_EQ (wizard.getCurrentStep(), step) << when;
    EXPECT_DOUBLE_EQ (wizard.getProgress(), progress) << when;
    EXPECT_EQ (enabledSteps (wizard), enabled) << when;
}

std::vector<std::string> bytesSentTo (VirtualMidiPorts& ports, int outputIndex)
{
    std::vector<std::string> messages;
    for (const auto& event : ports.getEvents())
        if (! event.isPause() && ! event.isPoll() && event.outputIndex == outputIndex)
            messages.push_back (event.describe());
    return messages;
}

int pausesOf (VirtualMidiPorts& ports, int milliseconds)
{
    int count = 0;
    for (const auto& event : ports.getEvents())
        count += event.isPause() && event.pauseMs == milliseconds ? 1 : 0;
    return count;
}

/** A firmware file of `size` bytes whose name fits the full unit. */
juce::MemoryBlock writeImage (const juce::File& file, size_t size)
{
    juce::MemoryBlock bytes (size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = (char) ((i * 31 + 7) & 0xFF);
    file.replaceWithData (bytes.getData(), bytes.getSize());
    return bytes;
}
} // namespace

// Catches: a misplaced or resized item, texts that differ from the wizard's,
// labels not black, and a start state other than "only Connect".
TEST (FirmwareWizard, LayoutTextsAndStartState)
{
    WizardRig rig;
    rig.openWindow();
    auto& wizard = rig.wizard();
    EXPECT_EQ (wizard.getBounds(), juce::Rectangle<int> (0, 0, 514, 491));
    EXPECT_EQ (rig.title(), "Firmware Upgrade");
    expectState (rig.wizard(), -1, 0.0, "C----", "at start");

    struct Item
    {
        juce::Component* component;
        juce::Rectangle<int> bounds;
    };
    auto* name = ModalAnswerer::findButton (wizard, "Update Device Name");
    const Item items[] = {
        { findLabel (wizard, "Upgrade Progress"), { 0, 10, 514, 20 } },
        { findLabel (wizard, "Step 1"), { 17, 66, 90, 20 } },
        { ModalAnswerer::findButton (wizard, "Connect"), { 17, 92, 90, 20 } },
        { ModalAnswerer::findButton (wizard, "Upgrade"), { 401, 92, 90, 20 } },
        { findLabel (wizard, "Step 1:"), { 17, 130, 70, 20 } },
        { findLabel (wizard, "Note:"), { 17, 186, 70, 20 } },
        { findLabel (wizard, "Step 5:"), { 17, 410, 70, 20 } },
        { findLabel (wizard, "Click \"Upgrade\" to start the file upload process."), { 93, 410, 407, 50 } },
        { findLabel (wizard, "If your connected Zevo product model name does not appear on the pull-down menu, "
                             "select \"USB Audio Device\" as the MIDI In/Out device"), { 93, 186, 407, 50 } },
        { name, { 209, 446, 90, 20 } },
    };
    for (const auto& item : items)
    {
        ASSERT_NE (item.component, nullptr) << item.bounds.toString();
        EXPECT_EQ (item.component->getBounds(), item.bounds) << item.bounds.toString();
    }

    int progressBars = 0;
    for (auto* child : wizard.getChildren())
    {
        if (auto* label = dynamic_cast<juce::Label*> (child))
        {
            EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colours::black) << label->getText();
        }
        if (dynamic_cast<juce::ProgressBar*> (child) != nullptr)
        {
            EXPECT_EQ (child->getBounds(), juce::Rectangle<int> (40, 36, 434, 24));
            ++progressBars;
        }
    }
    EXPECT_EQ (progressBars, 1);
    EXPECT_EQ (static_cast<juce::TextButton*> (name)->getTooltip(), "Click here to update the displaying name of your device.");
}

// Catches: Connect not waiting for a late unit, pass numbers missing from the
// title or counted wrongly, the chooser not shown after the fifth pass, and a
// title left behind when it is cancelled.
TEST (FirmwareWizard, ConnectWithoutInputsWaitsFivePassesShowingThemInTheTitle)
{
    WizardRig rig;
    rig.openWindow();

    juce::StringArray titles;
    rig.ports->setWaitListener ([&] (const VirtualMidiPorts::Event&) { titles.addIfNotAlreadyThere (rig.title()); });
    rig.driver.then (ModalAnswerer::click ("Cancel"));
    rig.press ("Connect");
    rig.ports->setWaitListener (nullptr);

    EXPECT_EQ (titles, juce::StringArray ({ "Firmware Upgrade", "Firmware Upgrade: (1)", "Firmware Upgrade: (2)",
                                            "Firmware Upgrade: (3)", "Firmware Upgrade: (4)", "Firmware Upgrade: (5)" }));
    EXPECT_EQ (pausesOf (*rig.ports, 10), 500);
    EXPECT_EQ (rig.driver.pending(), 0) << "no chooser after the fifth pass";
    EXPECT_EQ (rig.title(), "Firmware Upgrade");
    expectState (rig.wizard(), -1, 0.0, "C----", "after a cancelled Connect");
}

// Catches: an unknown device taken for a product, the wrong refusal text,
// test mode not falling back to the launch code, and a wrong title.
TEST (FirmwareWizard, ConnectIdentifiesTheChosenPortOrRefusesIt)
{
    struct Case
    {
        const char* port;
        bool testMode;
        int launchCode;
        const char* box; // nullptr: none
        const char* title;
        int step;
    };
    const Case cases[] = {
        { "Dolm Ar MIDI", false, 89, nullptr, "Firmware Upgrade: Dolmar", 0 },
        { "Zevo firmware upgrade 1", false, 79,
          "It looks like your device is already in firmware upgrade mode. \nPlease turn off and turn on the device "
          "and try again.",
          "Firmware Upgrade", -1 },
        { "ZEVO FIRMWARE UPGRADE 2", false, 79, "It looks like your device is already in firmware upgrade mode. \n"
                                                "Please turn off and turn on the device and try again.",
          "Firmware Upgrade", -1 },
        { "Some Synth", false, 79, "This device is not able to be upgraded by this software.", "Firmware Upgrade", -1 },
        { "Zevo firmware upgrade 1", true, 89, nullptr, "Firmware Upgrade: Dolmet", 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.port + juce::String (c.testMode ? " in test mode" : ""));
        WizardRig rig;
        rig.ports->addInput ("Another port");
        rig.ports->addInput (c.port);
        rig.openWindow (c.launchCode);
        if (c.testMode)
            rig.pressKey ('t');

        rig.driver.then (choosePort (c.port));
        rig.press ("Connect");

        ASSERT_EQ (rig.boxes.boxes.size(), c.box != nullptr ? 1u : 0u);
        if (c.box != nullptr)
        {
            EXPECT_EQ (rig.boxes.boxes[0].title, "Firmware Upgrade");
            EXPECT_EQ (rig.boxes.boxes[0].text, c.box);
            EXPECT_EQ (rig.boxes.boxes[0].kind, juce::MessageBoxIconType::InfoIcon);
        }
        EXPECT_EQ (rig.title(), c.title);
        EXPECT_EQ (rig.wizard().getCurrentStep(), c.step);
        EXPECT_EQ (rig.state(), c.step == 0 ? "CE---" : "C----");
        EXPECT_EQ (pausesOf (*rig.ports, 10), 0) << "Connect waited although an input was there";
    }
}

// Catches: M or T titles wrong, T not switching test mode, M's mark shown
// in test mode, F1's box wrong, a key reported as handled, and the name
// button's box missing or changing the state.
TEST (FirmwareWizard, KeysMTF1AndTheNameButton)
{
    WizardRig rig;
    rig.openWindow();

    const std::pair<int, const char*> presses[] = {
        { 'm', "Firmware Upgrade [M]" }, { 'M', "Firmware Upgrade" },  { 't', "Firmware Upgrade." },
        { 'm', "Firmware Upgrade. [M]" }, { 't', "Firmware Upgrade" }, { 'm', "Firmware Upgrade" },
        { 'x', "Firmware Upgrade" },
    };
    for (const auto& [key, title] : presses)
    {
        rig.pressKey (key);
        EXPECT_EQ (rig.title(), title) << "after " << (char) key;
    }
    EXPECT_FALSE (zevo::bTest) << "T pressed twice";

    rig.pressKey (juce::KeyPress::F1Key);
    ASSERT_EQ (rig.boxes.boxes.size(), 1u);
    EXPECT_EQ (rig.boxes.boxes[0].kind, juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (rig.boxes.boxes[0].title, "\n \nZevo Firmware Upgrader\n\nV1.19  Build 58");
    EXPECT_TRUE (rig.boxes.boxes[0].text.isNotEmpty());

    rig.press ("Update Device Name"); // runs nothing here, and still explains
    ASSERT_EQ (rig.boxes.boxes.size(), 2u);
    EXPECT_EQ (rig.boxes.boxes[1].kind, juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (rig.boxes.boxes[1].title, "");
    EXPECT_TRUE (rig.boxes.boxes[1].text.startsWith ("After \"Audio MIDI Setup\" opened.\n\n1. Check"));
    expectState (rig.wizard(), -1, 0.0, "C----", "after the keys and the name button");
}

// Catches: the burst sent to the wrong port or not at all, Erase without a
// matching output sending something or moving on, and the wrong state after.
TEST (FirmwareWizard, EraseSendsTheBurstToTheConnectedUnitOnly)
{
    for (const bool outputPresent : { true, false })
    {
        SCOPED_TRACE (outputPresent ? "output present" : "no output of that name");
        WizardRig rig;
        rig.ports->addInput (unitPort);
        const int output = rig.ports->addOutput (outputPresent ? unitPort : "Dolm Ar MIDI 2");
        rig.openWindow();

        rig.driver.then (choosePort (unitPort));
        rig.press ("Connect");
        rig.ports->clearEvents();
        rig.press ("Erase");

        if (outputPresent)
        {
            const std::string mode = "F0 1D 03 00 4F 00 7F 7F F7"; // product 79 addresses device id 79
            EXPECT_EQ (bytesSentTo (*rig.ports, output), std::vector<std::string> ({ mode, mode }));
            EXPECT_EQ (pausesOf (*rig.ports, 1300), 1);
            expectState (rig.wizard(), 1, 0.4, "CEA--", "after the burst");
        }
        else
        {
            EXPECT_TRUE (rig.ports->getEvents().empty());
            expectState (rig.wizard(), 0, 0.2, "CE---", "after Erase without an output");
        }
        EXPECT_TRUE (rig.boxes.boxes.empty());
    }
}

// Catches: a port of another name accepted, a port that does not open taken
// for opened, Connect left enabled after success, a test mode that still
// checks the name, and a wrong state after each way out of Activate.
TEST (FirmwareWizard, ActivateOpensOnlyTheUpgradeModePort)
{
    struct Case
    {
        const char* chosen; // nullptr: the chooser is cancelled
        bool opens, testMode;
        const char* box;    // "title: text", or nullptr for none
        int step;
        const char* enabled;
    };
    const Case cases[] = {
        { nullptr, true, false, nullptr, 1, "CEA--" },
        { "Dolm Ar MIDI", true, false, "Step 3: Please select the unit \"Zevo firmware upgrade\"", 1, "CEA--" },
        { "Zevo firmware upgrade 1", false, false,
          "Midi Device: Could not open the selected MIDI input device: Zevo firmware upgrade 1", 1, "CEA--" },
        { "Zevo firmware upgrade 1", true, false, nullptr, 2, "-EAS-" },
        { "Dolm Ar MIDI", true, true, nullptr, 2, "-EAS-" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.chosen != nullptr ? c.chosen : "cancelled") + (c.opens ? "" : ", not opening")
                      + (c.testMode ? ", test mode" : ""));
        WizardRig rig;
        rig.ports->addInput (unitPort);
        rig.ports->addOutput (unitPort);
        rig.ports->addInput (upgradePort, c.opens);
        rig.ports->addOutput (upgradePort, c.opens);
        rig.openWindow();
        if (c.testMode)
            rig.pressKey ('t');

        rig.driver.then (choosePort (unitPort));
        rig.press ("Connect");
        rig.press ("Erase");
        rig.driver.then (c.chosen != nullptr ? choosePort (c.chosen) : ModalAnswerer::click ("Cancel"));
        rig.press ("Activate");

        EXPECT_EQ (pausesOf (*rig.ports, 500), 1);
        juce::StringArray boxes;
        for (const auto& box : rig.boxes.boxes)
            boxes.add (box.title + ": " + box.text);
        EXPECT_EQ (boxes, c.box != nullptr ? juce::StringArray (c.box) : juce::StringArray());
        expectState (rig.wizard(), c.step, (c.step + 1) / 5.0, c.enabled, "after Activate");
    }
}

// Catches: the states on the way to an upload against the table, a loaded
// image not enabling Upgrade, the image not reaching the unit whole, buttons
// usable during the upload, a wrong end state, and, when the user presses
// Escape or the close button during the upload, the wizard deleted under it
// (a use after free under the address sanitizer), the upload cut short, the
// close forgotten afterwards or no reset at close.
TEST (FirmwareWizard, UpgradeEndToEndWithACloseThatWaitsForTheUpload)
{
    WizardRig rig (VirtualMidiPorts::Pauses::recordAndSleep);
    rig.ports->addInput (unitPort);
    rig.ports->addOutput (unitPort);
    SimulatedUnit unit (*rig.ports, upgradePort);
    juce::TemporaryFile file (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("DOLM_AR_ET_2.bin"));
    const auto image = writeImage (file.getFile(), 1600); // four blocks: time enough to ask to close
    PickedFile picked (file.getFile());

    // While the upload runs: the buttons, and whether the window stayed after
    // the user asked it to close.
    struct DuringUpload final : juce::Timer
    {
        void timerCallback() override
        {
            auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (juce::Component::getCurrentlyModalComponent());
            if (window == nullptr || window->getWizard().getProgress() <= 0.8)
                return;
            states.insert (enabledSteps (window->getWizard()));
            if (! closeAsked)
            {
                closeAsked = true;
                window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
                window->userTriedToCloseWindow();
            }
            stayedOpen = stayedOpen && window->isVisible();
        }

        std::set<std::string> states;
        bool closeAsked = false, stayedOpen = true;
    } duringUpload;
    duringUpload.startTimer (5);

    bool upgradeReturned = false;
    rig.driver.then ([&] (juce::Component& modal) {
        auto& window = dynamic_cast<zevo::FirmwareUpgradeWindow&> (modal);
        auto& wizard = window.getWizard();
        const auto press = [&wizard] (const char* text) { wizard.buttonClicked (ModalAnswerer::findButton (wizard, text)); };
        press ("Connect");
        press ("Erase");
        press ("Activate");
        expectState (wizard, 2, 0.6, "-EAS-", "after Activate");
        EXPECT_EQ (window.getName(), "Firmware Upgrade: Dolmar");
        wizard.keyPressed (juce::KeyPress ('m'));
        press ("Select Version");
        expectState (wizard, 3, 0.8, "--ASU", "with a firmware loaded");
        press ("Upgrade");
        expectState (wizard, -1, 0.0, "C----", "after the upgrade");
        EXPECT_NE (findLabel (wizard, "Firmware Upgrade"), nullptr) << "status after the upgrade";
        upgradeReturned = true;
    });
    rig.driver.then (choosePort (unitPort)).then (choosePort (upgradePort));

    EXPECT_EQ (zevo::FirmwareUpgradeWindow::runModal (79, nullptr), 0);
    duringUpload.stopTimer();

    EXPECT_TRUE (upgradeReturned);
    EXPECT_TRUE (duringUpload.closeAsked) << "the upload ended before the close could be asked";
    EXPECT_TRUE (duringUpload.stayedOpen);
    EXPECT_EQ (duringUpload.states, std::set<std::string> ({ "-----" }));
    ASSERT_FALSE (rig.boxes.boxes.empty());
    EXPECT_EQ (rig.boxes.boxes.back().title, "Firmware Upgrade Success");
    EXPECT_TRUE (unit.getProblems().empty());
    const auto received = unit.getImage();
    ASSERT_GE (received.size(), image.getSize());
    EXPECT_EQ (juce::MemoryBlock (received.data(), image.getSize()), image);

    // The upload's own reset and the one the closing wizard sent.
    int resets = 0;
    for (const auto& packet : unit.getPackets())
        resets += packet.command == SimulatedUnit::Command::reset ? 1 : 0;
    EXPECT_EQ (resets, 2);
}
