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
    const std::pair<const char*, bool> names[] = { { "DOLM ET", true },        { "my dolmar", true },
                                                   { "Zevo MIDI 2", true },    { "zevo port", false },
                                                   { "USB MIDI", false },      { "Dol m", false } };
    for (const auto& [name, valid] : names)
        EXPECT_EQ (DeviceSelectHelper::validDeviceName (name), valid) << name;

    ScopedVirtualMidiPorts ports;
    for (const auto* name : { "Dolm Ar RT", "Other", "Dolm Et", "Dolm Et", " \t", "Dolm Ar" })
        ports->addOutput (name);
    EXPECT_EQ (DeviceSelectHelper::supportedOutputNames(), juce::StringArray ("Dolm Ar RT", "Dolm Et", "Dolm Ar"));
    EXPECT_EQ (findSupportedOutputDevice(), "Dolm Et") << "list order decides, other products are skipped";
}

/** Clicks Connect; in the dialog, picks the item `choice` (none: -1) and
    presses `buttonText`. Returns the text the dialog's box showed first. */
juce::String connectThrough (juce::Button& connect, int choice, const juce::String& buttonText)
{
    juce::String shownFirst;
    ModalDriver driver ([&] (juce::Component& modal, int) {
        auto* dialog = dynamic_cast<juce::DialogWindow*> (&modal);
        if (dialog == nullptr || dialog->getName() != "Select your device")
            return false;
        auto& content = *dialog->getContentComponent();
        auto* box = childOf<juce::ComboBox> (content, [] (auto&) { return true; });
        shownFirst = box->getText();
        if (choice >= 0)
            box->setSelectedItemIndex (choice, juce::sendNotificationSync);
        childOf<juce::Button> (content, [&] (auto& b) { return b.getButtonText() == buttonText; })->triggerClick();
        return true;
    });
    connect.triggerClick();
    runMessageLoop (50);
    return shownFirst;
}

TEST_F (DeviceSelectTest, ConnectRemembersTheChoiceAndFollowsTheProduct)
{
    makeView(); // no outputs yet: full view, product 79
    for (const auto* name : { "Dolm Ar RT", "Dolm Et", "Dolm Ar" })
        ports->addOutput (name);

    // Cancel after the automatic fill still switches to the found extender.
    EXPECT_EQ (connectThrough (command ("Connect"), -1, "Cancel"), "Dolm Et");
    EXPECT_EQ (g_lastSelectedDevice, "Dolm Et");
    EXPECT_EQ (model->productId, 89);
    EXPECT_EQ (view->getWidth(), 760);
    EXPECT_TRUE (model->outputDeviceName.isEmpty());

    EXPECT_EQ (connectThrough (command ("Connect"), 2, "Connect"), "Dolm Et") << "the remembered name is preselected";
    EXPECT_EQ (model->deviceName, "Dolm Ar");
    EXPECT_EQ (model->outputDeviceName, "Dolm Ar");
    EXPECT_EQ (model->productId, 79);
    EXPECT_EQ (view->getWidth(), 1010);

    // Another product becomes the output but leaves the view as it was.
    connectThrough (command ("Connect"), 0, "Connect");
    EXPECT_EQ (model->outputDeviceName, "Dolm Ar RT");
    EXPECT_EQ (model->productId, 79);
    EXPECT_EQ (view->getWidth(), 1010);
}

TEST_F (DeviceSelectTest, ConnectOnAnEmptyBoxKeepsTheDialogOpen)
{
    makeView();
    bool stillOpenAfterConnect = false;
    ModalDriver driver ([&] (juce::Component& modal, int call) {
        auto& content = *dynamic_cast<juce::DialogWindow&> (modal).getContentComponent();
        const auto press = [&content] (const char* text)
        { childOf<juce::Button> (content, [text] (auto& b) { return b.getButtonText() == text; })->triggerClick(); };
        if (call == 0)
            press ("Connect");
        if (call < 3)
            return false;
        stillOpenAfterConnect = true;
        press ("Cancel");
        return true;
    });
    g_lastSelectedDevice = "gone";
    command ("Connect").triggerClick();
    runMessageLoop (50);

    EXPECT_TRUE (stillOpenAfterConnect);
    EXPECT_EQ (g_lastSelectedDevice, "") << "the empty box's text is remembered";
    EXPECT_EQ (model->productId, 79);
    EXPECT_TRUE (model->outputDeviceName.isEmpty());
}
} // namespace
