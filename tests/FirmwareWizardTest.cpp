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
    EXPECT_EQ (rig.title() + " " + stateOf (rig.wizard()), "Firmware Upgrade -1 0.0 C----");
}

// Connect refuses an unknown port unless in test mode (T), which takes the
// launch code; Activate takes only a port in upgrade mode that opens, except
// in test mode.
TEST (FirmwareWizard, ConnectAndActivateTakeOnlyTheRightPorts)
{
    const juce::String upgradeMode = "Firmware Upgrade / It looks like your device is already in firmware upgrade mode. \n"
                                     "Please turn off and turn on the device and try again.";
    struct Case
    {
        juce::String connect;
        const char* activate; // nullptr: not pressed, "": cancelled
        bool opens, testMode;
        int launchCode;
        juce::String box, title;
        const char* state;
    };
    const Case cases[] = {
        { unitPort, nullptr, true, false, 89, "", "Firmware Upgrade: Dolmar", "0 0.2 CE---" },
        { upgradePort, nullptr, true, false, 79, upgradeMode, "Firmware Upgrade", "-1 0.0 C----" },
        { "Some Synth", nullptr, true, false, 79, "Firmware Upgrade / This device is not able to be upgraded by this software.",
          "Firmware Upgrade", "-1 0.0 C----" },
        { upgradePort, nullptr, true, true, 89, "", "Firmware Upgrade: Dolmet", "0 0.2 CE---" },
        { unitPort, "", true, false, 79, "", "Firmware Upgrade: Dolmar", "1 0.4 CEA--" },
        { unitPort, "Dolm Ar MIDI", true, false, 79, "! Step 3 / Please select the unit \"Zevo firmware upgrade\"",
          "Firmware Upgrade: Dolmar", "1 0.4 CEA--" },
        { unitPort, "Zevo firmware upgrade 1", false, false, 79,
          "Midi Device / Could not open the selected MIDI input device: Zevo firmware upgrade 1", "Firmware Upgrade: Dolmar",
          "1 0.4 CEA--" },
        { unitPort, "Zevo firmware upgrade 1", true, false, 79, "", "Firmware Upgrade: Dolmar", "2 0.6 -EAS-" },
        { unitPort, "Dolm Ar MIDI", true, true, 79, "", "Firmware Upgrade: Dolmar", "2 0.6 -EAS-" },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.connect + " then " + (c.activate != nullptr ? c.activate : "-") + (c.opens ? "" : ", not opening")
                      + (c.testMode ? ", test mode" : ""));
        WizardRig rig;
        rig.ports->addInput ("Some Synth");
        for (const auto& [name, opening] : { std::pair { unitPort, true }, std::pair { upgradePort, c.opens } })
            rig.ports->addInput (name, opening), rig.ports->addOutput (name, opening);
        rig.openWindow (c.launchCode);
        if (c.testMode)
            rig.pressKey ('t');

        rig.driver.then (choosePort (c.connect));
        rig.press ("Connect");
        if (c.activate != nullptr)
        {
            rig.press ("Erase");
            rig.driver.then (*c.activate != 0 ? choosePort (c.activate) : ModalAnswerer::click ("Cancel"));
            rig.press ("Activate");
        }
        EXPECT_EQ (rig.boxes.shown(), c.box);
        EXPECT_EQ (rig.title(), c.title);
        EXPECT_EQ (stateOf (rig.wizard()), c.state);
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

    struct CloseDuringUpload final : juce::Timer
    {
        void timerCallback() override
        {
            auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (juce::Component::getCurrentlyModalComponent());
            if (window == nullptr || window->getWizard().getProgress() <= 0.8 || std::exchange (closeAsked, true))
                return;
            buttons = enabledSteps (window->getWizard());
            window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
            window->userTriedToCloseWindow();
            stayedOpen = window->isVisible();
        }

        std::string buttons;
        bool closeAsked = false, stayedOpen = false;
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
    EXPECT_EQ (duringUpload.buttons, "-----");
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
