// The main view driven as a user drives it: start-up, the badge and the logo,
// the R key, Send Data and the mapping file alerts.
#include "app/DolmarisApplication.h"
#include "support/ContentViewFixture.h"
#include "support/ExpectedFile.h"
#include "support/ScratchFolder.h"

namespace
{
using namespace testsupport;
using ContentComponentTest = ContentViewFixture;

// With no outputs the full unit is taken, which the smoke run sees.
TEST_F (ContentComponentTest, StartUpTakesTheFirstFullUnitOrExtender)
{
    for (const auto* name : { "Dolm Et", "Dolm Ar" })
        ports->addOutput (name);
    makeView();
    EXPECT_EQ (g_lastSelectedDevice, "Dolm Et");
    EXPECT_EQ (model->productId, 89);
    EXPECT_EQ (view->getBounds(), juce::Rectangle<int> (0, 0, 760, 670));
    EXPECT_TRUE (model->deviceName.isEmpty() && model->outputDeviceName.isEmpty());
}

// What a press in each zone does to the view (its width, the extender's and
// the About box's look) is the smoke run's; here, where the zones end.
TEST_F (ContentComponentTest, PressesAtTheEdgesOfTheBadgeAndLogoZones)
{
    makeView(); // full view: badge 165 x 54 at (287, 24); logo zone x 55 to 55 + 175 / 2, y 33 to 33 + 51 / 2
    const struct { int x, y; const char* outcome; } presses[] = {
        { 287, 24, "badge" },  { 451, 77, "badge" }, { 286, 24, "" }, { 452, 24, "" }, { 287, 78, "" }, { 300, 23, "" },
        { 55, 33, "about" },   { 141, 57, "about" }, { 142, 40, "" }, { 54, 40, "" },  { 60, 58, "" },  { 60, 32, "" },
    };
    for (const auto& p : presses)
    {
        pressAt (p.x, p.y);
        const bool switched = model->productId == 89;
        if (switched)
            pressAt (p.x, p.y); // the extender's wider badge covers the same point
        const auto window = juce::Component::getCurrentlyModalComponent() != nullptr ? takeModalWindow() : juce::String();
        const juce::String outcome = switched ? (model->productId == 79 ? "badge" : "one way") : window == "About Dolmar/Dolmet Kivra" ? "about" : window;
        EXPECT_EQ (outcome, p.outcome) << p.x << ", " << p.y;
    }
}

TEST_F (ContentComponentTest, RResetsTheMapWhateverTheModifiersAndIsPassedOn)
{
    makeView();
    choose (modeBox(), 4); // user-defined: the captions follow ud
    for (const auto& key : { juce::KeyPress ('R', {}, 'R'), juce::KeyPress ('R', juce::ModifierKeys::shiftModifier, 'R'),
                             juce::KeyPress ('R', juce::ModifierKeys::commandModifier, 0), juce::KeyPress ('T', {}, 't') })
    {
        SCOPED_TRACE (key.getTextDescription());
        currentControlNode (1).setProperty (Tags::value, 77, nullptr);
        ud[0][0] = 0x0B;
        control (1).updateText();

        EXPECT_FALSE (view->keyPressed (key));
        const bool resets = key.getKeyCode() != 'T';
        EXPECT_EQ ((int) currentControlNode (1)[Tags::value], resets ? 0 : 77);
        EXPECT_EQ (control (1).getButtonText(), resets ? " C(-1)" : "CC0");
    }
}

// Keys go to the focused component, and the window kept the focus itself: R did
// nothing at start until a control was clicked, and again after a menu or a dialog.
TEST_F (ContentComponentTest, RReachesTheViewThroughTheWindowWithoutAClickFirst)
{
    DolmarisApplication::MainWindow window ("Kivra");
    runMessageLoop (100);
    auto& box = *ModalAnswerer::find<juce::ComboBox> (*window.getContentComponent(), [] (auto& b) { return b.getX() == 25; });
    const std::pair<const char*, std::function<void()>> moments[] = {
        { "at start", [] {} },
        { "after a box choice", [&box] { box.showPopup(); runMessageLoop (50); juce::PopupMenu::dismissAllActiveMenus(); choose (box, 2); } },
        { "after an alert", [] { juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, "Alert", "Text"); takeModalWindow(); } },
    };
    for (const auto& [moment, action] : moments)
    {
        action();
        for (int i = 0; i < 200 && juce::ModalComponentManager::getInstance()->getNumModalComponents() > 0; ++i)
            runMessageLoop (10); // a busy machine may still be closing the menu or the alert
        if (! window.hasKeyboardFocus (true)) // as the system does when the window is active again
            window.getPeer()->handleFocusGain();
        currentControlNode (1).setProperty (Tags::value, 77, nullptr);
        EXPECT_FALSE (window.getPeer()->handleKeyPress (juce::KeyPress ('r', {}, 'r'))) << moment;
        EXPECT_EQ ((int) currentControlNode (1)[Tags::value], 0) << moment;
    }
}

TEST_F (ContentComponentTest, SendDataShowsTheFailureOrUploadsEveryMode)
{
    makeView();
    click (command ("Send Data"));
    EXPECT_EQ (takeModalWindow(), "Send Mapping. No device selected");

    ports->addOutput ("Dolm Ar"); // found by Send Data itself
    for (int mode = 0; mode < 4; ++mode)
    {
        SCOPED_TRACE (mode);
        choose (modeBox(), mode + 1);
        ports->clearEvents();
        click (command ("Send Data"));
        EXPECT_EQ (takeModalWindow(), "Send Mapping. Done!");
        EXPECT_EQ (model->outputDeviceName, "Dolm Ar");

        juce::StringArray sent;
        for (const auto& line : ports->describeEvents())
            sent.add (line);
        expectLinesOfFile (sent, "upload/" + CtMode::slugForType (mode) + ".txt");
    }
}

// A name typed without ".kivra" was written as it stood, and the Load chooser
// never showed it; the overwrite question was asked for the typed name.
TEST_F (ContentComponentTest, SaveAddsTheExtensionAndAsksAboutTheFileItWrites)
{
    makeView();
    const ScratchFolder scratch;
    const auto typed = scratch.folder.getChildFile ("mymap"), written = scratch.folder.getChildFile ("mymap.kivra");
    view->saveMappingAs (typed);
    EXPECT_TRUE (written.existsAsFile() && ! typed.exists());

    for (const juce::String answer : { "Cancel", "Overwrite" })
    {
        ASSERT_TRUE (written.replaceWithText ("old"));
        juce::String question;
        ModalAnswerer answerer;
        answerer.then ([&] (juce::Component& modal) { question = modal.getDescription(); ModalAnswerer::click (answer) (modal); });
        view->saveMappingAs (typed);
        EXPECT_TRUE (question.contains ("There's already a file called: " + written.getFullPathName())) << question;
        EXPECT_EQ (written.loadFileAsString() == "old", answer == "Cancel") << answer;
    }
}

TEST_F (ContentComponentTest, FailedLoadsAndSavesAreShownAndSuccessIsSilent)
{
    makeView();
    const juce::TemporaryFile saved (".kivra");
    choose (modeBox(), 2);
    view->saveMappingTo (saved.getFile());
    choose (modeBox(), 1);
    view->loadMappingFrom (saved.getFile());
    runMessageLoop (30);
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
    EXPECT_EQ (modeBox().getSelectedItemIndex(), 1) << "the loaded file's mode is selected";
    EXPECT_EQ (control (1).getButtonText(), "REC.1") << "the views show the loaded map";

    const auto belowAFile = saved.getFile().getChildFile ("below-a-file.kivra");
    view->saveMappingTo (belowAFile);
    EXPECT_EQ (takeModalWindow(), "Save Mapping. Failed to write mapping file " + belowAFile.getFullPathName() + ": Not a directory");
    modeBox().setSelectedItemIndex (3, juce::dontSendNotification);
    view->loadMappingFrom (saved.getFile().getNonexistentSibling());
    EXPECT_EQ (takeModalWindow(), "Load Mapping. Could not load mapping data: the file cannot be read");
    EXPECT_EQ (modeBox().getSelectedItemIndex(), 1) << "a failed load refreshes the view too";
}
} // namespace
