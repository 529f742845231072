// The upgrader's port chooser, run in a real modal dialog and answered by
// clicks: what it offers, what the caller gets back, and when it ends. The
// version chooser is driven through the wizard in network/FirmwareStep4Test.cpp.
#include "modules/zevo_firmware/DeviceSelectComponent.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

namespace
{
struct Answered
{
    juce::StringArray items; // as offered
    int result;
};

// Runs the chooser in a dialog as the upgrader does, selects the second item
// and clicks the button.
Answered answerWith (const char* button, juce::Component& chooser)
{
    auto* box = testsupport::ModalAnswerer::find<juce::ComboBox> (chooser);
    Answered answered { {}, 0 };
    for (int i = 0; i < box->getNumItems(); ++i)
        answered.items.add (box->getItemText (i));

    testsupport::ModalAnswerer driver;
    driver.then ([box, button] (juce::Component& modal) {
        box->setSelectedItemIndex (1, juce::sendNotificationSync);
        testsupport::ModalAnswerer::click (button) (modal);
    });
    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (&chooser);
    answered.result = options.runModal();
    return answered;
}
} // namespace

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

        const auto answered = answerWith (button, chooser);
        EXPECT_EQ (answered.items, juce::StringArray ({ "Dolmar MIDI", "dolmar midi", "Zevo firmware upgrade 1" }));
        EXPECT_EQ (answered.result, result) << button;
        EXPECT_EQ (ports->describeEvents(), pauses) << button;
        EXPECT_EQ (chooser.selectedName, "dolmar midi") << button;
    }
}
