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
void expectState (WizardRig& rig, int step, double progress, const std::string& enabled, const char* when)
{
    EXPECT_EQ (rig.wizard().getCurrentStep(), step) << when;
    EXPECT_DOUBLE_EQ (rig.wizard().getProgress(), progress) << when;
    EXPECT_EQ (rig.state(), enabled) << when;
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

/** Connect to the full unit's port, Erase, and Activate its upgrade-mode port. */
void walkToActivated (WizardRig& rig)
{
    rig.driver.then (choosePort (unitPort));
    rig.press ("Connect");
    rig.press ("Erase");
    rig.driver.then (choosePort (upgradePort));
    rig.press ("Activate");
}

struct TempFolder
{
    TempFolder() { folder.createDirectory(); }
    ~TempFolder() { folder.deleteRecursively(); }

    juce::File write (const juce::String& name, const juce::MemoryBlock& bytes)
    {
        auto file = folder.getChildFile (name);
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return file;
    }

    juce::File folder = juce::File::createTempFile ("wizard");
};

juce::MemoryBlock imageOf (size_t size)
{
    juce::MemoryBlock bytes (size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = (char) ((i * 31 + 7) & 0xFF);
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
    expectState (rig, -1, 0.0, "C----", "at start");

    struct Item
    {
        juce::Component* component;
        juce::Rectangle<int> bounds;
    };
    auto* name = ModalAnswerer::findButton (wizard, "Update Device Name");
    const Item items[] = {
        { findLabel (wizard, "Upgrade Progress"), { 0, 10, 514, 20 } },
        { findLabel (wizard, "Step 1"), { 17, 66, 90, 20 } },
        { findLabel (wizard, "Step 5"), { 401, 66, 90, 20 } },
        { ModalAnswerer::findButton (wizard, "Connect"), { 17, 92, 90, 20 } },
        { ModalAnswerer::findButton (wizard, "Upgrade"), { 401, 92, 90, 20 } },
        { findLabel (wizard, "Step 1:"), { 17, 130, 70, 20 } },
        { findLabel (wizard, "Note:"), { 17, 186, 70, 20 } },
        { findLabel (wizard, "Step 2:"), { 17, 242, 70, 20 } },
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
    expectState (rig, -1, 0.0, "C----", "after a cancelled Connect");
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
// in test mode, F1's box wrong, and a key reported as handled.
TEST (FirmwareWizard, KeysMTAndF1)
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
    expectState (rig, -1, 0.0, "C----", "after the keys");
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
            expectState (rig, 1, 0.4, "CEA--", "after the burst");
        }
        else
        {
            EXPECT_TRUE (rig.ports->getEvents().empty());
            expectState (rig, 0, 0.2, "CE---", "after Erase without an output");
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
        const char* name;
        std::function<void (ModalAnswerer&)> answer;
        bool opens, testMode;
        const char* boxTitle;
        const char* boxText;
        int step;
        const char* enabled;
    };
    const Case cases[] = {
        { "chooser cancelled", [] (ModalAnswerer& d) { d.then (ModalAnswerer::click ("Cancel")); }, true, false, nullptr,
          nullptr, 1, "CEA--" },
        { "another port", [] (ModalAnswerer& d) { d.then (choosePort (unitPort)); }, true, false, "Step 3",
          "Please select the unit \"Zevo firmware upgrade\"", 1, "CEA--" },
        { "upgrade port that does not open", [] (ModalAnswerer& d) { d.then (choosePort (upgradePort)); }, false, false,
          "Midi Device", "Could not open the selected MIDI input device: Zevo firmware upgrade 1", 1, "CEA--" },
        { "upgrade port", [] (ModalAnswerer& d) { d.then (choosePort (upgradePort)); }, true, false, nullptr, nullptr, 2,
          "-EAS-" },
        { "another port in test mode", [] (ModalAnswerer& d) { d.then (choosePort (unitPort)); }, true, true, nullptr,
          nullptr, 2, "-EAS-" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
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
        c.answer (rig.driver);
        rig.press ("Activate");

        EXPECT_EQ (pausesOf (*rig.ports, 500), 1);
        ASSERT_EQ (rig.boxes.boxes.size(), c.boxTitle != nullptr ? 1u : 0u);
        if (c.boxTitle != nullptr)
        {
            EXPECT_EQ (rig.boxes.boxes[0].title, c.boxTitle);
            EXPECT_EQ (rig.boxes.boxes[0].text, c.boxText);
        }
        EXPECT_EQ (rig.wizard().getCurrentStep(), c.step);
        EXPECT_EQ (rig.state(), c.enabled);
    }
}

// Catches: a loaded image not enabling Upgrade, the upload not reaching the
// unit whole, a wrong end state, and the name button changing the state.
TEST (FirmwareWizard, ManualFileThenUpgradeEndToEnd)
{
    WizardRig rig;
    rig.ports->addInput (unitPort);
    rig.ports->addOutput (unitPort);
    SimulatedUnit unit (*rig.ports, upgradePort);
    TempFolder files;
    const auto image = imageOf (1000);
    PickedFile picked (files.write ("DOLM_AR_ET_v1.29.bin", image));
    rig.openWindow();

    walkToActivated (rig);
    expectState (rig, 2, 0.6, "-EAS-", "after Activate");
    EXPECT_EQ (rig.title(), "Firmware Upgrade: Dolmar");
    rig.pressKey ('m');
    rig.press ("Select Version");
    expectState (rig, 3, 0.8, "--ASU", "with a firmware loaded");

    rig.press ("Upgrade");
    EXPECT_TRUE (unit.getProblems().empty());
    const auto received = unit.getImage();
    ASSERT_GE (received.size(), image.getSize());
    EXPECT_EQ (juce::MemoryBlock (received.data(), image.getSize()), image);
    ASSERT_EQ (rig.boxes.boxes.size(), 1u);
    EXPECT_EQ (rig.boxes.boxes[0].title, "Firmware Upgrade Success");
    expectState (rig, -1, 0.0, "C----", "after the upgrade");
    EXPECT_NE (findLabel (rig.wizard(), "Firmware Upgrade"), nullptr) << "status after the upgrade";
    EXPECT_EQ (rig.title(), "Firmware Upgrade [M]") << "the upgrade changed the title";

    rig.press ("Update Device Name");
    ASSERT_EQ (rig.boxes.boxes.size(), 2u);
    EXPECT_EQ (rig.boxes.boxes[1].kind, juce::MessageBoxIconType::NoIcon);
    EXPECT_EQ (rig.boxes.boxes[1].title, "");
    EXPECT_TRUE (rig.boxes.boxes[1].text.startsWith ("After \"Audio MIDI Setup\" opened.\n\n1. Check"));
    expectState (rig, -1, 0.0, "C----", "after Update Device Name");
}

// Catches: the wizard deleted under a running upload when the user presses
// Escape or the close button (a use after free under the address sanitizer),
// an upload cut short by the close, the close forgotten afterwards, buttons
// usable during the upload, and no reset at close.
TEST (FirmwareWizard, CloseDuringTheUploadWaitsForItsEnd)
{
    WizardRig rig (VirtualMidiPorts::Pauses::recordAndSleep);
    rig.ports->addInput (unitPort);
    rig.ports->addOutput (unitPort);
    auto unit = std::make_unique<SimulatedUnit> (*rig.ports, upgradePort);
    TempFolder files;
    const auto image = imageOf (1600); // four blocks: time enough to ask to close
    PickedFile picked (files.write ("dolm_ar_et_2.bin", image));

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
        wizard.keyPressed (juce::KeyPress ('m'));
        press ("Select Version");
        press ("Upgrade");
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
    const auto received = unit->getImage();
    ASSERT_GE (received.size(), image.getSize());
    EXPECT_EQ (juce::MemoryBlock (received.data(), image.getSize()), image);

    // The upload's own reset and the one the closing wizard sent.
    int resets = 0;
    for (const auto& packet : unit->getPackets())
        resets += packet.command == SimulatedUnit::Command::reset ? 1 : 0;
    EXPECT_EQ (resets, 2);
}
