#include "FirmwareLaunch.h"

#include "model/Dolmaris.h"
#include "modules/zevo_firmware/FirmwareUpgradeWindow.h"
#include "modules/zevo_firmware/UpgradePackets.h"
#include "modules/zevo_firmware/UpgraderBoxes.h"

juce::String FirmwareLaunch::warningText()
{
    return juce::StringArray ({ "",
                                "* IMPORTANT WARNING! *",
                                "",
                                "FAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR DEVICE!!",
                                "",
                                "- Connect ONLY the device you want to update",
                                "- Make sure the power supply is connected (if any)",
                                "- Connect device directly to computer (no hub)",
                                "- Do not touch device during firmware update" })
        .joinIntoString ("\n");
}

void FirmwareLaunch::run (juce::Component& mainView)
{
    const int productCode = Dolmaris::getInstance()->impl->productId;

    zevo::bTest = false;
    zevo::_mac_major = juce::SystemStats::getOperatingSystemType() - 0x100;

    if (! zevo::UpgraderBoxes::get().showOkCancelBox (juce::MessageBoxIconType::InfoIcon,
                                                      "Firmware Upgrader about to start", warningText()))
        return;

    zevo::FirmwareUpgradeWindow::runModal (productCode, &mainView);
}
