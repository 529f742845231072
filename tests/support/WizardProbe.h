// The upgrade wizard in its real dialog window, with its step buttons found
// by their texts, for tests that drive it step by step.
#pragma once

#include "ModalAnswerer.h"
#include "modules/zevo_firmware/FirmwareUpgradeWindow.h"

#include <gtest/gtest.h>

namespace testsupport
{
class WizardProbe
{
public:
    explicit WizardProbe (int productCode) : window (productCode, nullptr) { window.setVisible (true); }

    zevo::FirmwareUpgradeComponent& wizard() { return window.getWizard(); }

    juce::Button& button (const juce::String& text)
    {
        auto* found = ModalAnswerer::findButton (wizard(), text);
        if (found == nullptr)
            ADD_FAILURE() << "no button " << text;
        return *found;
    }

    /** Runs a step as its button's click does. */
    void click (const juce::String& text) { wizard().buttonClicked (&button (text)); }

    /** The enabled step buttons, e.g. "--34-" for Activate and Select Version. */
    juce::String enabledSteps()
    {
        juce::String steps;
        int number = 1;
        for (const auto* text : { "Connect", "Erase", "Activate", "Select Version", "Upgrade" })
            steps << (button (text).isEnabled() ? juce::String (number++) : (++number, juce::String ("-")));
        return steps;
    }

    zevo::FirmwareUpgradeWindow window;
};
} // namespace testsupport
