#include "FirmwareUpgradeWindow.h"

namespace zevo
{
FirmwareUpgradeWindow::FirmwareUpgradeWindow (int productCode, juce::Component* centreAround)
    : DialogWindow ("Firmware Upgrade", juce::Colours::lightgrey, true, true),
      wizard (new FirmwareUpgradeComponent (productCode, false))
{
    // The title bar first: switching it later would keep the size of JUCE's
    // own border and stretch the wizard to fill it.
    setUsingNativeTitleBar (true);
    setResizable (false, false);
    setContentOwned (wizard, true);
    centreAroundComponent (centreAround, getWidth(), getHeight());
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
