// The box layer's real implementation shows JUCE's alert windows: the kind,
// title arrives (JUCE keeps the text to itself), it blocks until answered,
// and OK/Cancel comes back.
#include "modules/zevo_firmware/UpgraderBoxes.h"

#include <gtest/gtest.h>

namespace
{
/** Answers the next modal alert with the button of this text, noting what it showed. */
class AlertAnswerer final : private juce::Timer
{
public:
    explicit AlertAnswerer (juce::String buttonToClick) : button (std::move (buttonToClick)) { startTimer (20); }

    juce::String title;

private:
    void timerCallback() override
    {
        auto* alert = dynamic_cast<juce::AlertWindow*> (juce::Component::getCurrentlyModalComponent());
        if (alert == nullptr)
            return;

        stopTimer();
        title = alert->getName();
        for (auto* child : alert->getChildren())
            if (auto* b = dynamic_cast<juce::Button*> (child); b != nullptr && b->getButtonText() == button)
                b->triggerClick();
    }

    juce::String button;
};
} // namespace

TEST (UpgraderBoxes, RealBoxesShowTheirTextAndReturnTheAnswer)
{
    auto& boxes = zevo::UpgraderBoxes::get();
    {
        AlertAnswerer answerer ("OK");
        boxes.showMessageBox (juce::MessageBoxIconType::WarningIcon, "Firmware Upgrade Error", "Could not connect to hardware");
        EXPECT_EQ (answerer.title, "Firmware Upgrade Error");
    }
    for (const auto* answer : { "OK", "Cancel" })
    {
        AlertAnswerer answerer (answer);
        const bool ok = boxes.showOkCancelBox (juce::MessageBoxIconType::InfoIcon, "Firmware Upgrader about to start", "\nText");
        EXPECT_EQ (ok, juce::String (answer) == "OK");
        EXPECT_EQ (answerer.title, "Firmware Upgrader about to start");
    }
}
