// The five-step firmware upgrade wizard: Connect, Erase, Activate, Select
// Version and Upgrade. It runs as the content of a modal dialog; its MIDI
// companion (ports, image, reply flags) is the nested MidiInputHandler.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <optional>

namespace zevo
{
class FirmwareUpgradeComponent : public juce::Component,
                                 public juce::Button::Listener
{
public:
    /** The unit's ports, the firmware image and the unit's reply flags (MidiInputHandler.h). */
    class MidiInputHandler;

    FirmwareUpgradeComponent (int pid, bool);
    ~FirmwareUpgradeComponent() override;

    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    /** Step 4: obtains a firmware image (catalogue download or local file). */
    void doStep4();

    /** Below 0: back to the start (only Connect enabled). 0..4: progress (step + 1) / 5
        and the step buttons up to step + 2 enabled; 5 or more disables them all. */
    void updateProgress (int step);

    /** "Firmware Upgrade", or "Firmware Upgrade: text", on the enclosing window. */
    void SetTitle (juce::String text);

    /** Whether the enclosing window may close now. While a step runs (its
        dialogs, its waits and the upload run nested message loops, with this
        wizard on the stack) the answer is no: the request is kept, and the
        wizard closes its window itself once the step has ended. */
    bool readyToClose();

    int getCurrentStep() const noexcept { return currentStep; }
    double getProgress() const noexcept { return progress; }

private:
    class ProgressSink;
    class RunningStep;

    void runConnect();
    void runErase();
    void runActivate();
    void runUpgrade();
    void runUpdateDeviceName();

    /** Runs the port chooser; the chosen name, or nothing when not confirmed. */
    std::optional<juce::String> choosePort();
    void setWindowTitle (const juce::String& title);
    void setStepEnabled (int step, bool enabled);
    void makeHandlerIfNone();
    void closeWindowIfRequested();

    bool onlineMode = true;
    bool onlineDefault = true;
    juce::TooltipWindow tooltipWindow { nullptr, 700 };
    int productCode;
    juce::Label stepCaptions[5];
    juce::Label rowLabels[5];
    juce::Label stepDescriptions[5];
    juce::TextButton stepButtons[5];
    juce::TextButton nameButton;
    juce::Label noteLabel, noteText;
    juce::Label statusLabel;
    juce::CriticalSection mutex;
    int currentStep = -1;
    double progress = 0.0;
    juce::ProgressBar progressBar { progress };
    juce::String deviceName;
    juce::String upgradePortName;
    int launchCode;
    juce::ValueTree firmwareCatalogue { "firmwares" };
    juce::File sourceFile;
    std::unique_ptr<MidiInputHandler> handler;

    int runningSteps = 0;
    bool closeRequested = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareUpgradeComponent)
};
} // namespace zevo
