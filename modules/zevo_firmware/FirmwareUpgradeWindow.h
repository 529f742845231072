// The modal "Firmware Upgrade" dialog that owns the wizard.
//
// JUCE's own dialog launcher deletes a dialog as soon as it is dismissed, from
// whatever message loop is running then; the wizard's steps run nested loops,
// so Escape or the close button during an upload would delete the wizard
// under the upload. This window asks the wizard first: while a step runs the
// close waits, and the wizard closes the window once the step has ended. The
// window is deleted by its runner, after its modal loop has returned.
#pragma once

#include "FirmwareUpgradeComponent.h"

namespace zevo
{
class FirmwareUpgradeWindow final : public juce::DialogWindow
{
public:
    /** A hidden dialog owning a new wizard for this product code, centred
        around `centreAround` (the screen when null), not resizable, with the
        native title bar; Escape closes it. */
    FirmwareUpgradeWindow (int productCode, juce::Component* centreAround);

    /** Shows a new dialog modally and returns when it has closed and the
        wizard has been deleted. */
    static int runModal (int productCode, juce::Component* centreAround);

    FirmwareUpgradeComponent& getWizard() noexcept { return *wizard; }

    void closeButtonPressed() override;
    bool escapeKeyPressed() override;

private:
    FirmwareUpgradeComponent* wizard;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareUpgradeWindow)
};
} // namespace zevo
