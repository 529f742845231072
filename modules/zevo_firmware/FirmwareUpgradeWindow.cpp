#include "FirmwareUpgradeWindow.h"

namespace zevo
{
FirmwareUpgradeWindow::FirmwareUpgradeWindow (int productCode, juce::Component* centreAround)
    : DialogWindow ("Firmware Upgrade", juce::Colours::lightgrey, true, true),
      wizard (new FirmwareUpgradeComponent (productCode, false))
{
    setContentOwned (wizard, true);
    centreAroundComponent (centreAround, getWidth(), getHeight());
    setResizable (false, false);
    setUsingNativeTitleBar (true);
}

int FirmwareUpgradeWindow::runModal (int productCode, juce::Component* centreAround)
{
    FirmwareUpgradeWindow window (productCode, centreAround);
    window.enterModalState (true);
    window.getWizard().grabKeyboardFocus(); // the wizard's keys work from the start
    return window.runModalLoop();
}

void FirmwareUpgradeWindow::closeButtonPressed()
{
    if (wizard->readyToClose())
        setVisible (false);
}

bool FirmwareUpgradeWindow::escapeKeyPressed()
{
    closeButtonPressed();
    return true;
}
} // namespace zevo
