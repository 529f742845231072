// The upgrade wizard in its real dialog window, driven step by step as a user
// would against virtual ports and a simulated unit: what each step shows, and
// the step, progress and enabled buttons against the wizard's state table.
#include "support/UpgradeBench.h"
#include "support/WizardRig.h"

using namespace testsupport;

namespace
{
const juce::String unitPort = "Dolm Ar MIDI";            // the full unit, product 79 "Dolmar"
const juce::String upgradePort = "Zevo firmware upgrade 1"; // the same unit in upgrade mode

/** "step progress buttons", e.g. "1 0.4 CEA--" (Connect, Erase, Activate, Select Version, Upgrade). */
std::string stateOf (zevo::FirmwareUpgradeComponent& wizard)
{
    return std::to_string (wizard.getCurrentStep()) + " " + juce::String (wizard.getProgress(), 1).toStdString() + " "
           + enabledSteps (wizard);
}

/** The boxes shown so far, as "title: text". */
juce::StringArray boxesOf (const WizardRig& rig)
{
    juce::StringArray boxes;
    for (const auto& box : rig.boxes.boxes)
        boxes.add (box.title + ": " + box.text);
    return boxes;
}

} // namespace

TEST (FirmwareWizard, ConnectWithoutInputsWaitsFivePassesShowingThemInTheTitle)
{
    WizardRig rig;
    rig.openWindow();
    EXPECT_EQ (stateOf (rig.wizard()), "-1 0.0 C----");

    juce::StringArray titles;
    int secondSteps = 0;
    rig.ports->setWaitListener ([&] (const VirtualMidiPorts::Event& wait) {
        titles.addIfNotAlreadyThere (rig.title());
        secondSteps += wait.pauseMs == 10 ? 1 : 0;
    });
    rig.driver.then (ModalAnswerer::click ("Cancel"));
    rig.press ("Connect");
    rig.ports->setWaitListener (nullptr);

    EXPECT_EQ (titles, juce::StringArray ({ "Firmware Upgrade", "Firmware Upgrade: (1)", "Firmware Upgrade: (2)",
                                            "Firmware Upgrade: (3)", "Firmware Upgrade: (4)", "Firmware Upgrade: (5)" }));
    EXPECT_EQ (secondSteps, 500);
    EXPECT_EQ (rig.driver.pending(), 0) << "no chooser after the fifth pass";
    EXPECT_EQ (rig.title(), "Firmware Upgrade");
    EXPECT_EQ (stateOf (rig.wizard()), "-1 0.0 C----");
}

// An unknown port is refused unless in test mode (T), which takes the launch code.
TEST (FirmwareWizard, ConnectIdentifiesTheChosenPortOrRefusesIt)
{
    const juce::String upgradeMode = "Firmware Upgrade: It looks like your device is already in firmware upgrade mode. \n"
                                     "Please turn off and turn on the device and try again.";
    const std::tuple<const char*, bool, int, juce::String, const char*, const char*> cases[] = {
        { "Dolm Ar MIDI", false, 89, "", "Firmware Upgrade: Dolmar", "0 0.2 CE---" },
        { "Zevo firmware upgrade 1", false, 79, upgradeMode, "Firmware Upgrade", "-1 0.0 C----" },
        { "Some Synth", false, 79, "Firmware Upgrade: This device is not able to be upgraded by this software.",
          "Firmware Upgrade", "-1 0.0 C----" },
        { "Zevo firmware upgrade 1", true, 89, "", "Firmware Upgrade: Dolmet", "0 0.2 CE---" },
    };
    for (const auto& [port, testMode, launchCode, box, title, state] : cases)
    {
        SCOPED_TRACE (port + juce::String (testMode ? " in test mode" : ""));
        WizardRig rig;
        rig.ports->addInput ("Another port");
        rig.ports->addInput (port);
        rig.openWindow (launchCode);
        if (testMode)
            rig.pressKey ('t');

        rig.driver.then (choosePort (port));
        rig.press ("Connect");

        EXPECT_EQ (boxesOf (rig), box.isEmpty() ? juce::StringArray() : juce::StringArray (box));
        EXPECT_EQ (rig.title(), title);
        EXPECT_EQ (stateOf (rig.wizard()), state);
    }
}

// Only a port in upgrade mode that opens is taken, except in test mode.
TEST (FirmwareWizard, ActivateOpensOnlyTheUpgradeModePort)
{
    const std::tuple<const char*, bool, bool, const char*, const char*> cases[] = {
        { nullptr, true, false, nullptr, "1 0.4 CEA--" },
        { "Dolm Ar MIDI", true, false, "Step 3: Please select the unit \"Zevo firmware upgrade\"", "1 0.4 CEA--" },
        { "Zevo firmware upgrade 1", false, false,
          "Midi Device: Could not open the selected MIDI input device: Zevo firmware upgrade 1", "1 0.4 CEA--" },
        { "Zevo firmware upgrade 1", true, false, nullptr, "2 0.6 -EAS-" },
        { "Dolm Ar MIDI", true, true, nullptr, "2 0.6 -EAS-" },
    };
    for (const auto& [chosen, opens, testMode, box, state] : cases)
    {
        SCOPED_TRACE (juce::String (chosen != nullptr ? chosen : "cancelled") + (opens ? "" : ", not opening")
                      + (testMode ? ", test mode" : ""));
        WizardRig rig;
        for (const auto& [name, opening] : { std::pair { unitPort, true }, std::pair { upgradePort, opens } })
            rig.ports->addInput (name, opening), rig.ports->addOutput (name, opening);
        rig.openWindow();
        if (testMode)
            rig.pressKey ('t');

        rig.driver.then (choosePort (unitPort));
        rig.press ("Connect");
        rig.press ("Erase");
        rig.driver.then (chosen != nullptr ? choosePort (chosen) : ModalAnswerer::click ("Cancel"));
        rig.press ("Activate");

        EXPECT_EQ (boxesOf (rig), box != nullptr ? juce::StringArray (box) : juce::StringArray());
        EXPECT_EQ (stateOf (rig.wizard()), state);
    }
}

// From Connect to the end of the upload in the modal window, in real time;
// Erase sends its burst to the unit in normal mode.
// Escape and the close button pressed during the upload must neither delete
// the wizard under it (a use after free under the address sanitizer) nor cut
// it short; the window closes afterwards, resetting the unit once more.
TEST (FirmwareWizard, UpgradeEndToEndWithACloseThatWaitsForTheUpload)
{
    WizardRig rig (VirtualMidiPorts::Pauses::recordAndSleep);
    rig.ports->addInput (unitPort);
    const int unitOutput = rig.ports->addOutput (unitPort);
    SimulatedUnit unit (*rig.ports, upgradePort);
    juce::TemporaryFile file (juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("DOLM_AR_ET_2.bin"));
    auto image = makeImage (1600); // four blocks: time enough to ask to close
    file.getFile().replaceWithData (image.data(), image.size());
    PickedFile picked (file.getFile());

    struct DuringUpload final : juce::Timer
    {
        void timerCallback() override
        {
            auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (juce::Component::getCurrentlyModalComponent());
            if (window == nullptr || window->getWizard().getProgress() <= 0.8)
                return;
            states.insert (enabledSteps (window->getWizard()));
            if (! std::exchange (closeAsked, true))
            {
                window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
                window->userTriedToCloseWindow();
            }
            stayedOpen = stayedOpen && window->isVisible();
        }

        std::set<std::string> states;
        bool closeAsked = false, stayedOpen = true;
    } duringUpload;
    duringUpload.startTimer (5);

    juce::StringArray states;
    rig.driver.then ([&] (juce::Component& modal) {
        auto& wizard = dynamic_cast<zevo::FirmwareUpgradeWindow&> (modal).getWizard();
        for (const juce::String step : { "Connect", "Erase", "Activate", "Select Version", "Upgrade" })
        {
            if (step == "Select Version")
                wizard.keyPressed (juce::KeyPress ('m')); // a local file, not the catalogue
            wizard.buttonClicked (ModalAnswerer::findButton (wizard, step));
            states.add (stateOf (wizard));
        }
        if (! duringUpload.closeAsked)
            modal.exitModalState (0); // an upload too short to ask in: the test fails, not hangs
    });
    rig.driver.then (choosePort (unitPort)).then (choosePort (upgradePort));

    EXPECT_EQ (zevo::FirmwareUpgradeWindow::runModal (79, nullptr), 0);
    duringUpload.stopTimer();

    EXPECT_EQ (states, juce::StringArray ({ "0 0.2 CE---", "1 0.4 CEA--", "2 0.6 -EAS-", "3 0.8 --ASU", "-1 0.0 C----" }));
    EXPECT_TRUE (duringUpload.closeAsked) << "the upload ended before the close could be asked";
    EXPECT_TRUE (duringUpload.stayedOpen);
    EXPECT_EQ (duringUpload.states, std::set<std::string> ({ "-----" }));
    ASSERT_FALSE (rig.boxes.boxes.empty());
    EXPECT_EQ (rig.boxes.boxes.back().title, "Firmware Upgrade Success");
    EXPECT_TRUE (unit.getProblems().empty());
    image.resize (2048, 0);
    EXPECT_EQ (unit.getImage(), image);
    std::vector<std::string> burst; // Erase's, to the unit in its normal mode only
    for (const auto& event : rig.ports->getEvents())
        if (event.outputIndex == unitOutput || event.pauseMs == 1300)
            burst.push_back (event.describe());
    const std::string mode = "F0 1D 03 00 4F 00 7F 7F F7";
    EXPECT_EQ (burst, std::vector<std::string> ({ mode, mode, "pause 1300" }));
    const auto packets = unit.getPackets();
    EXPECT_EQ (std::count_if (packets.begin(), packets.end(), [] (auto p) { return p.command == SimulatedUnit::reset; }), 2);
}
