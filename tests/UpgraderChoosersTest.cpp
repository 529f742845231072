// The upgrader's port chooser, run in a real modal dialog and answered by
// clicks: what it offers, what the caller gets back, and when it ends. The
// version chooser is driven through the wizard in network/FirmwareStep4Test.cpp.
#include "modules/zevo_firmware/DeviceSelectComponent.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

using testsupport::ModalAnswerer;

// Inputs once each, none blank, letter case kept, the first selected; Cancel
// ends 0.3 s after the click, OK at once.
TEST (PortChooser, OffersEachInputOnceAndCancelEndsAfterThePause)
{
    for (const auto& [button, result, pauses] : { std::tuple { "Cancel", 0, std::vector<std::string> { "pause 300" } },
                                                  std::tuple { "OK", 1, std::vector<std::string>() } })
    {
        ScopedVirtualMidiPorts ports;
        for (auto name : { "Dolmar MIDI", "Dolmar MIDI", " \t\r\n", "", "dolmar midi", "Zevo firmware upgrade 1" })
            ports->addInput (name);
        ports->addOutput ("Only an output");
        zevo::DeviceSelectComponent chooser;
        EXPECT_EQ (chooser.selectedName, "Dolmar MIDI");
        auto* box = ModalAnswerer::find<juce::ComboBox> (chooser);
        juce::StringArray offered;
        for (int i = 0; i < box->getNumItems(); ++i)
            offered.add (box->getItemText (i));
        EXPECT_EQ (offered, juce::StringArray ({ "Dolmar MIDI", "dolmar midi", "Zevo firmware upgrade 1" }));

        ModalAnswerer driver; // selects the second item and clicks the button
        driver.then ([box, button = button] (juce::Component& modal) {
            box->setSelectedItemIndex (1, juce::sendNotificationSync);
            ModalAnswerer::click (button) (modal);
        });
        juce::DialogWindow::LaunchOptions options;
        options.content.setNonOwned (&chooser);
        EXPECT_EQ (options.runModal(), result) << button;
        EXPECT_EQ (ports->describeEvents(), pauses) << button;
        EXPECT_EQ (chooser.selectedName, "dolmar midi") << button;
    }
}
