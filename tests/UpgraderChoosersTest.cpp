// The upgrader's two choosers, run in real modal dialogs and answered by
// clicks: which names and versions they offer, what the caller gets back, and
// when the dialog ends.
#include "modules/zevo_firmware/DeviceSelectComponent.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "support/ModalAnswerer.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

using testsupport::ModalAnswerer;

namespace
{
juce::StringArray itemsOf (const juce::ComboBox& box)
{
    juce::StringArray items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.add (box.getItemText (i));
    return items;
}

juce::ComboBox* boxOf (juce::Component& content)
{
    for (auto* child : content.getChildren())
        if (auto* box = dynamic_cast<juce::ComboBox*> (child))
            return box;
    return nullptr;
}

std::vector<std::string> pausesOf (const VirtualMidiPorts& ports)
{
    std::vector<std::string> pauses;
    for (const auto& event : ports.getEvents())
        if (event.isPause())
            pauses.push_back (event.describe());
    return pauses;
}

// Catches: a chooser that squeezes or moves its controls, or adds them in
// another order (the order decides the keyboard focus order).
void expectChooserShape (juce::Component& content)
{
    EXPECT_EQ (content.getName(), "DeviceSelectComponent");
    EXPECT_EQ (content.getBounds(), juce::Rectangle<int> (0, 0, 300, 200));
    ASSERT_EQ (content.getNumChildComponents(), 3);
    EXPECT_EQ (content.getChildComponent (0)->getBounds(), juce::Rectangle<int> (90, 160, 100, 30)) << "OK";
    EXPECT_EQ (content.getChildComponent (1)->getBounds(), juce::Rectangle<int> (190, 160, 100, 30)) << "Cancel";
    EXPECT_EQ (content.getChildComponent (2)->getBounds(), juce::Rectangle<int> (8, 76, 284, 24)) << "box";
}
} // namespace

// Catches: repeated or blank port names offered, names folded in case, the
// first port not preselected, or a shape that differs from the dialog's.
TEST (PortChooser, OffersEachInputOnceInOrderWithTheFirstSelected)
{
    ScopedVirtualMidiPorts ports;
    for (auto name : { "Dolmar MIDI", "Dolmar MIDI", " \t\r\n", "", "dolmar midi", "Zevo firmware upgrade 1" })
        ports->addInput (name);
    ports->addOutput ("Only an output");

    zevo::DeviceSelectComponent chooser;
    ASSERT_NE (boxOf (chooser), nullptr);
    EXPECT_EQ (itemsOf (*boxOf (chooser)), juce::StringArray ({ "Dolmar MIDI", "dolmar midi", "Zevo firmware upgrade 1" }));
    EXPECT_EQ (chooser.selectedName, "Dolmar MIDI");
    expectChooserShape (chooser);
}

// Catches: a Cancel that closes at once or without the pause seam, an OK
// that pauses, or a chooser that forgets the user's last choice.
TEST (PortChooser, CancelEndsWithZeroAfterThePauseAndOkWithOneAtOnce)
{
    struct Case
    {
        const char* button;
        int expectedResult;
        std::vector<std::string> expectedPauses;
    };

    for (const auto& c : { Case { "Cancel", 0, { "pause 300" } }, Case { "OK", 1, {} } })
    {
        ScopedVirtualMidiPorts ports;
        ports->addInput ("Dolmar MIDI");
        ports->addInput ("Zevo firmware upgrade 1");

        zevo::DeviceSelectComponent chooser;
        ModalAnswerer driver;
        driver.then ([&c] (juce::Component& modal) {
            auto* content = ModalAnswerer::contentOf<zevo::DeviceSelectComponent> (modal);
            boxOf (*content)->setSelectedItemIndex (1, juce::sendNotificationSync);
            ModalAnswerer::click (c.button) (modal);
        });

        EXPECT_EQ (testsupport::runInDialog (chooser, "Choose Your Zevo Device"), c.expectedResult) << c.button;
        EXPECT_EQ (pausesOf (*ports), c.expectedPauses) << c.button;
        EXPECT_EQ (chooser.selectedName, "Zevo firmware upgrade 1") << c.button;
    }
}

// Catches: OK refused, or an old name handed back, when there is no input.
TEST (PortChooser, WithoutInputsOkStillEndsWithOneAndAnEmptyName)
{
    ScopedVirtualMidiPorts ports;
    zevo::DeviceSelectComponent chooser;
    EXPECT_EQ (boxOf (chooser)->getNumItems(), 0);

    ModalAnswerer driver;
    driver.then (ModalAnswerer::click ("OK"));
    EXPECT_EQ (testsupport::runInDialog (chooser, "Choose Your Zevo Device"), 1);
    EXPECT_EQ (chooser.selectedName, "");
}

// Catches: an entry without "name" dropped or shown without " v", entries out
// of catalogue order, the caller's tree shared instead of copied, and a
// Cancel that pauses like the port chooser's.
TEST (VersionChooser, ListsNameAndVersionOfEveryEntryAndEndsAtOnce)
{
    juce::ValueTree entries ("firmwares");
    entries.appendChild ({ "firmware", { { "pid", 79 }, { "name", "Dolmar" }, { "version", "1.29" }, { "fw", "a.bin" } } }, nullptr);
    entries.appendChild ({ "firmware", { { "pid", 79 }, { "version", "1.30" }, { "fw", "b.bin" } } }, nullptr);

    for (const auto* button : { "Cancel", "OK" })
    {
        ScopedVirtualMidiPorts ports;
        zevo::FirmwareSelectComponent chooser (entries);
        entries.getChild (0).setProperty ("name", "Changed later", nullptr);

        EXPECT_EQ (itemsOf (chooser.versionBox), juce::StringArray ({ "Dolmar v1.29", " v1.30" }));
        EXPECT_EQ (chooser.versionBox.getSelectedItemIndex(), 0);
        EXPECT_EQ (chooser.catalogue.getChild (0)["name"].toString(), "Dolmar");
        expectChooserShape (chooser);

        ModalAnswerer driver;
        driver.then ([button] (juce::Component& modal) {
            ModalAnswerer::contentOf<zevo::FirmwareSelectComponent> (modal)->versionBox.setSelectedItemIndex (1);
            ModalAnswerer::click (button) (modal);
        });
        EXPECT_EQ (testsupport::runInDialog (chooser, "Firmware Version"), juce::String (button) == "OK" ? 1 : 0);
        EXPECT_EQ (chooser.versionBox.getSelectedItemIndex(), 1);
        EXPECT_TRUE (pausesOf (*ports).empty()) << button;

        entries.getChild (0).setProperty ("name", "Dolmar", nullptr);
    }
}
