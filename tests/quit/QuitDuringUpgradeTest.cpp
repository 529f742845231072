// The real editor, asked to quit by a signal while it writes firmware to the
// simulated unit. A quit then used to stop the message loop under the upload:
// the upload went on, but no window was drawn until it ended. Now the quit
// waits for the writing's end, the progress is drawn meanwhile, the terminal
// is told, and the editor then quits as always: status 0, settings written.
// The wizard is opened by a click through the display, as a user opens it, so
// the quit lands in the loops nested in the editor's own handling of a click.
#include "app/DolmarisApplication.h"
#include "model/SettingsLocation.h"
#include "support/ScratchFolder.h"
#include "support/UpgradeBench.h"
#include "support/WizardRig.h"

#include <csignal>
#include <cstdlib>

using namespace testsupport;

namespace
{
const juce::String unitPort = "Dolm Ar MIDI", upgradePort = "Zevo firmware upgrade 1";
constexpr size_t imageSize = 8 * 512; // eight blocks: the upload lasts a few seconds

/** Counts how often the part of the window beneath it is drawn. */
struct PaintCounter final : juce::Component
{
    PaintCounter() { setInterceptsMouseClicks (false, false); }
    void paint (juce::Graphics&) override { ++paints; }
    int paints = 0;
};

/** What the run leaves for the test to check once the editor has ended. */
struct Outcome
{
    std::vector<uint8_t> sent, received;
    bool signalled = false;
    int paintsAfterSignal = 0;
    juce::StringArray log;
};
Outcome outcome;

/** Sends SIGTERM once the upload is under way, then counts what is drawn. */
struct SignalDuringUpload final : juce::Timer
{
    void timerCallback() override
    {
        auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (juce::Component::getCurrentlyModalComponent());
        if (window == nullptr || window->getWizard().getProgress() <= 0.85 || outcome.signalled)
            return;
        stopTimer();

        auto& bar = *ModalAnswerer::find<juce::ProgressBar> (window->getWizard());
        counter.setBounds (bar.getBounds());
        window->getWizard().addAndMakeVisible (counter);
        outcome.signalled = true;
        std::raise (SIGTERM);
    }

    PaintCounter counter;
};

/** The terminal's lines, kept. */
struct KeptLog final : juce::Logger
{
    void logMessage (const juce::String& line) override { outcome.log.add (line); }
};

/** The simulated unit, and the user's answers to the wizard. */
struct UpgradeScene
{
    UpgradeScene()
    {
        ports->addInput (unitPort);
        ports->addOutput (unitPort);
        outcome.sent = makeImage (imageSize);
        picked = std::make_unique<PickedFile> (scratch.withBytes ("DOLM_AR_ET_2.bin", { outcome.sent.begin(), outcome.sent.end() }));

        driver.then ([this] (juce::Component& modal) {
            auto& wizard = dynamic_cast<zevo::FirmwareUpgradeWindow&> (modal).getWizard();
            signaller.startTimer (5);
            for (const juce::String step : { "Connect", "Erase", "Activate", "Select Version", "Upgrade" })
            {
                if (step == "Select Version")
                    wizard.keyPressed (juce::KeyPress ('m')); // a local file, not the catalogue
                wizard.buttonClicked (ModalAnswerer::findButton (wizard, step));
            }
        });
        driver.then (choosePort (unitPort)).then (choosePort (upgradePort));
    }

    ScratchFolder scratch;
    ScopedVirtualMidiPorts ports { VirtualMidiPorts::Pauses::recordAndSleep };
    SimulatedUnit unit { *ports, upgradePort };
    RecordedBoxes boxes; // the warning box is answered with OK
    ModalAnswerer driver;
    std::unique_ptr<PickedFile> picked;
    SignalDuringUpload signaller;
};

/** Clicks "Firmware Upgrade" as a user would, through the display, so that
    the wizard runs inside the editor's own handling of a click. */
void clickFirmwareButton (juce::Component& mainWindow)
{
    const auto windowId = juce::String ((juce::int64) (juce::pointer_sized_int) mainWindow.getPeer()->getNativeHandle());
    juce::ChildProcess xdotool;
    xdotool.start (juce::StringArray { "xdotool", "mousemove", "--window", windowId, "82", "648", "click", "1" });
    xdotool.waitForProcessToFinish (10000);
}

/** The editor, in which a user starts a firmware upgrade at once. */
class UpgradingEditor final : public DolmarisApplication
{
public:
    void initialise (const juce::String& commandLine) override
    {
        juce::Logger::setCurrentLogger (&log);
        scene = std::make_unique<UpgradeScene>();
        DolmarisApplication::initialise (commandLine);
        juce::Timer::callAfterDelay (500, [] {
            if (auto* window = juce::TopLevelWindow::getActiveTopLevelWindow())
                clickFirmwareButton (*window);
        });
    }

    void shutdown() override
    {
        DolmarisApplication::shutdown();
        outcome.received = scene->unit.getImage();
        outcome.paintsAfterSignal = scene->signaller.counter.paints;
        scene.reset();
        juce::Logger::setCurrentLogger (nullptr);
    }

private:
    KeptLog log;
    std::unique_ptr<UpgradeScene> scene;
};
} // namespace

TEST (EditorQuit, ASignalDuringTheFirmwareWriteWaitsForItsEndWhileTheWizardIsDrawn)
{
    ScratchFolder home;
    ::setenv ("HOME", home.folder.getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_RUNTIME_DIR", home.folder.getFullPathName().toRawUTF8(), 1);
    SettingsLocation::redirectBelow (home.folder);

    juce::JUCEApplicationBase::createInstance = [] () -> juce::JUCEApplicationBase* { return new UpgradingEditor(); };
    const char* arguments[] = { "kivra" };
    EXPECT_EQ (juce::JUCEApplicationBase::main (1, arguments), 0);

    ASSERT_TRUE (outcome.signalled) << "the upload ended before the signal could be sent";
    EXPECT_GE (outcome.paintsAfterSignal, 3) << "the progress was not drawn after the quit was asked for";
    auto whole = outcome.sent;
    whole.resize (imageSize, 0);
    EXPECT_EQ (outcome.received, whole);
    EXPECT_EQ (outcome.log.joinIntoString ("\n").toStdString(),
               "A firmware upgrade is being written to the unit: the editor will quit when it has ended.\n"
               "Firmware Upgrade Success: Your firmware has been upgraded!");
    EXPECT_TRUE (SettingsLocation::commonFile().existsAsFile() || SettingsLocation::userFile().existsAsFile())
        << "no settings written at quit";
}
