// The upgrader's two choosers, run in real modal dialogs and answered by
// clicks: what they offer, what the caller gets back, and when they end.
#include "modules/zevo_firmware/DeviceSelectComponent.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

namespace
{
struct Answered
{
    juce::StringArray items; // as offered
    int selectedAtFirst, result;
};

// Runs the chooser in a dialog as the upgrader does, selects the second item
// and clicks the button.
Answered answerWith (const char* button, juce::Component& chooser)
{
    auto* box = testsupport::ModalAnswerer::find<juce::ComboBox> (chooser);
    Answered answered { {}, box->getSelectedItemIndex(), 0 };
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

// An entry without "name" shows " v" and its version; the entries keep the
// catalogue's order; neither button pauses.
TEST (VersionChooser, ListsNameAndVersionOfEveryEntryAndEndsAtOnce)
{
    juce::ValueTree entries ("firmwares");
    entries.appendChild ({ "firmware", { { "pid", 79 }, { "name", "Dolmar" }, { "version", "1.29" } } }, nullptr);
    entries.appendChild ({ "firmware", { { "pid", 79 }, { "version", "1.30" } } }, nullptr);

    for (const auto& [button, result] : { std::pair { "Cancel", 0 }, std::pair { "OK", 1 } })
    {
        ScopedVirtualMidiPorts ports;
        zevo::FirmwareSelectComponent chooser (entries);
        const auto answered = answerWith (button, chooser);
        EXPECT_EQ (answered.items, juce::StringArray ({ "Dolmar v1.29", " v1.30" }));
        EXPECT_EQ (answered.selectedAtFirst, 0);
        EXPECT_EQ (answered.result, result) << button;
        EXPECT_EQ (chooser.versionBox.getSelectedItemIndex(), 1);
        EXPECT_TRUE (ports->getEvents().empty()) << button;
    }
}
