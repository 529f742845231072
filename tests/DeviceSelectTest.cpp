// Choosing the unit's output: the name rule, the supported-output list, and
// the "Select your device" dialog run from the main view's Connect button.
#include "app/DeviceSelectComponent.h"
#include "support/ContentViewFixture.h"

namespace
{
using namespace testsupport;
using DeviceSelectTest = ContentViewFixture;

TEST (DeviceSelectHelper, TheNameRuleAndTheListRule)
{
    for (const auto& [name, valid] : { std::pair ("DOLM ET", true), { "my dolmar", true }, { "Zevo MIDI 2", true },
                                       { "zevo port", false }, { "USB MIDI", false }, { "Dol m", false } })
        EXPECT_EQ (DeviceSelectHelper::validDeviceName (name), valid) << name;

    ScopedVirtualMidiPorts ports;
    for (const auto* name : { "Dolm Ar RT", "Other", "Dolm Et", "Dolm Et", " \t", "Dolm Ar" })
        ports->addOutput (name);
    EXPECT_EQ (supportedOutputNames(), juce::StringArray ("Dolm Ar RT", "Dolm Et", "Dolm Ar"));
}

/** Clicks Connect; in the dialog, picks item `choice` (-1: none) and presses
    `buttonText`. Returns the text the dialog's box showed first. */
juce::String connectThrough (juce::Button& connect, int choice, const char* buttonText)
{
    juce::String shownFirst;
    ModalAnswerer driver;
    driver.then ([&] (juce::Component& modal) {
        auto& box = *ModalAnswerer::find<juce::ComboBox> (modal);
        shownFirst = box.getText();
        if (choice >= 0)
            box.setSelectedItemIndex (choice, juce::sendNotificationSync);
        ModalAnswerer::click (buttonText) (modal);
    });
    click (connect);
    return shownFirst;
}

TEST_F (DeviceSelectTest, ConnectRemembersTheChoiceAndTheViewFollowsTheProduct)
{
    makeView(); // no outputs yet: full view, product 79
    for (const auto* name : { "Dolm Ar RT", "Dolm Et", "Dolm Ar" })
        ports->addOutput (name);

    // Cancel after the automatic fill (the first full unit or extender) still switches to the extender found.
    EXPECT_EQ (connectThrough (command ("Connect"), -1, "Cancel"), "Dolm Et");
    EXPECT_EQ (g_lastSelectedDevice, "Dolm Et");
    EXPECT_TRUE (model->productId == 89 && view->getWidth() == 760 && model->outputDeviceName.isEmpty());

    EXPECT_EQ (connectThrough (command ("Connect"), 2, "Connect"), "Dolm Et") << "the remembered name is preselected";
    EXPECT_EQ (model->deviceName + " / " + model->outputDeviceName, "Dolm Ar / Dolm Ar");
    EXPECT_TRUE (model->productId == 79 && view->getWidth() == 1010);

    connectThrough (command ("Connect"), 0, "Connect"); // another product: the output, but not the view
    EXPECT_EQ (model->outputDeviceName, "Dolm Ar RT");
    EXPECT_TRUE (model->productId == 79 && view->getWidth() == 1010);
}

TEST_F (DeviceSelectTest, ConnectOnAnEmptyBoxKeepsTheDialogOpen)
{
    makeView();
    g_lastSelectedDevice = "gone";
    bool stayedOpen = false;
    ModalAnswerer driver;
    driver.then ([&] (juce::Component& modal) {
        juce::Component::SafePointer<juce::Component> dialog (&modal);
        ModalAnswerer::click ("Connect") (modal);
        runMessageLoop (100);
        if ((stayedOpen = dialog != nullptr && dialog->isCurrentlyModal()))
            ModalAnswerer::click ("Cancel") (*dialog);
    });
    click (command ("Connect"));

    EXPECT_TRUE (stayedOpen);
    EXPECT_EQ (g_lastSelectedDevice, "") << "the empty box's text is remembered";
    EXPECT_TRUE (model->productId == 79 && model->outputDeviceName.isEmpty());
}
} // namespace
