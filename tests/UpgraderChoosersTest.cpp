// The upgrader's two choosers, run in real modal dialogs and answered by
// clicks: what they offer, what the caller gets back, and when they end.
#include "modules/zevo_firmware/DeviceSelectComponent.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

using testsupport::ModalAnswerer;

namespace
{
juce::ComboBox& boxOf (juce::Component& chooser)
{
    for (auto* child : chooser.getChildren())
        if (auto* box = dynamic_cast<juce::ComboBox*> (child))
            return *box;
    throw std::logic_error ("no list in the chooser");
}

juce::StringArray itemsOf (juce::Component& chooser)
{
    juce::StringArray items;
    for (int i = 0; i < boxOf (chooser).getNumItems(); ++i)
        items.add (boxOf (chooser).getItemText (i));
    return items;
}

// Runs the chooser in a dialog, selects the second item, clicks the button,
// and returns the dialog's result.
int answerWith (const char* button, juce::Component& chooser)
{
    ModalAnswerer driver;
    driver.then ([&chooser, button] (juce::Component& modal) {
        boxOf (chooser).setSelectedItemIndex (1, juce::sendNotificationSync);
        ModalAnswerer::click (button) (modal);
    });
    juce::DialogWindow::LaunchOptions options; // as the upgrader runs them
    options.content.setNonOwned (&chooser);
    options.escapeKeyTriggersCloseButton = true;
    return options.runModal();
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
        EXPECT_EQ (itemsOf (chooser), juce::StringArray ({ "Dolmar MIDI", "dolmar midi", "Zevo firmware upgrade 1" }));
        EXPECT_EQ (chooser.selectedName, "Dolmar MIDI");

        EXPECT_EQ (answerWith (button, chooser), result) << button;
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
        EXPECT_EQ (itemsOf (chooser), juce::StringArray ({ "Dolmar v1.29", " v1.30" }));
        EXPECT_EQ (chooser.versionBox.getSelectedItemIndex(), 0);

        EXPECT_EQ (answerWith (button, chooser), result) << button;
        EXPECT_EQ (chooser.versionBox.getSelectedItemIndex(), 1);
        EXPECT_TRUE (ports->getEvents().empty()) << button;
    }
}
