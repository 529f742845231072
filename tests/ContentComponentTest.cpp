// The main view driven as a user drives it: start-up, the badge and the logo,
// the R key, clicks on controls, Send Data and the mapping file alerts.
#include "support/ContentViewFixture.h"

namespace
{
using namespace testsupport;
using ContentComponentTest = ContentViewFixture;

juce::StringArray expectedUpload (int mode)
{
    juce::StringArray lines;
    lines.addLines (juce::File (KIVRA_TEST_DATA_DIR "/upload/" + CtMode::slugForType (mode) + ".txt").loadFileAsString());
    lines.removeEmptyStrings();
    return lines;
}

juce::StringArray sentEvents (VirtualMidiPorts& ports)
{
    juce::StringArray lines;
    for (const auto& line : ports.describeEvents())
        lines.add (line);
    return lines;
}

TEST_F (ContentComponentTest, StartUpTakesTheFirstFullUnitOrExtender)
{
    struct Case { juce::StringArray outputs; const char* remembered; int product; int width; };
    const Case cases[] = { { {}, "", 79, 1010 },
                           { { "Dolm Et", "Dolm Ar" }, "Dolm Et", 89, 760 },
                           { { "Dolm Ar RT", "Dolm Ar" }, "Dolm Ar", 79, 1010 }, // another product is skipped
                           { { "Dolm Ar RT" }, "", 79, 1010 } };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.outputs.joinIntoString (", "));
        VirtualMidiPorts outputs;
        for (const auto& name : c.outputs)
            outputs.addOutput (name);
        auto* previous = MidiPorts::install (&outputs);
        g_lastSelectedDevice = {};
        model = &useFreshModel();

        makeView();
        EXPECT_EQ (g_lastSelectedDevice, c.remembered);
        EXPECT_EQ (model->productId, c.product);
        EXPECT_EQ (view->getBounds(), juce::Rectangle<int> (0, 0, c.width, 670));
        EXPECT_TRUE (model->deviceName.isEmpty() && model->outputDeviceName.isEmpty());
        view.reset();
        MidiPorts::install (previous);
    }
}

TEST_F (ContentComponentTest, TheBadgeSwitchesViewsOnlyInsideItsZone)
{
    makeView(); // full view: the 165 x 54 badge at (287, 24)
    const struct { int x, y; bool inside; } presses[] = { { 287, 24, true },  { 451, 77, true },  { 286, 24, false },
                                                         { 452, 24, false }, { 287, 78, false }, { 300, 23, false } };
    for (const auto& p : presses)
    {
        SCOPED_TRACE (juce::String (p.x) + ", " + juce::String (p.y));
        pressAt (p.x, p.y);
        EXPECT_EQ (view->isExtenderView(), p.inside);
        EXPECT_EQ (model->productId, p.inside ? 89 : 79);
        EXPECT_EQ (view->getWidth(), p.inside ? 760 : 1010);
        EXPECT_EQ (control (87).getParentComponent()->isVisible(), ! p.inside) << "the control area shows only in the full view";

        pressAt (p.x, p.y); // the extender's wider badge covers the same point
        EXPECT_FALSE (view->isExtenderView());
        EXPECT_EQ (model->productId, 79);
        EXPECT_EQ (view->getWidth(), 1010);
    }
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}

TEST_F (ContentComponentTest, OnlyTheLogoHoverZoneOpensTheAboutBox)
{
    makeView(); // zone: x 55 to 55 + 175 / 2 (exclusive), y 33 to 33 + 51 / 2 (exclusive)
    const struct { int x, y; bool opens; } presses[] = { { 55, 33, true },   { 141, 57, true },  { 142, 40, false },
                                                        { 54, 40, false },  { 60, 58, false },  { 60, 32, false } };
    for (const auto& p : presses)
    {
        pressAt (p.x, p.y);
        const auto* modal = juce::Component::getCurrentlyModalComponent();
        EXPECT_EQ (modal != nullptr, p.opens) << p.x << ", " << p.y;
        if (modal != nullptr)
        {
            EXPECT_EQ (takeModalWindow().title, "About Dolmar/Dolmet Kivra");
        }
    }
}

TEST_F (ContentComponentTest, RResetsTheMapWhateverTheModifiersAndIsPassedOn)
{
    makeView();
    choose (modeBox(), 4); // user-defined: the captions follow ud
    const juce::KeyPress keys[] = { { 'R', {}, 'R' },
                                    { 'r', {}, 'r' },
                                    { 'R', juce::ModifierKeys::shiftModifier, 'R' },
                                    { 'R', juce::ModifierKeys::commandModifier, 0 },
                                    { 'T', {}, 't' } };
    for (const auto& key : keys)
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

TEST_F (ContentComponentTest, AClickSelectsOneControlAndShowsItsAttributes)
{
    makeView();
    click (control (1));
    click (control (99)); // in the control area
    EXPECT_FALSE (control (1).getToggleState());
    EXPECT_TRUE (control (99).getToggleState());
    EXPECT_EQ (control (99).getTooltip(), "CC60");
    EXPECT_EQ (typeBox().getNumItems(), 2);
    EXPECT_EQ (messageBox().getSelectedItemIndex(), 60);
}

TEST_F (ContentComponentTest, SendDataUploadsEveryModeToTheRememberedUnit)
{
    ports->addOutput ("Dolm Ar");
    makeView();
    for (int mode = 0; mode < 4; ++mode)
    {
        SCOPED_TRACE (mode);
        choose (modeBox(), mode + 1);
        ports->clearEvents();
        click (command ("Send Data"));

        const auto shown = takeModalWindow();
        EXPECT_EQ (shown.title, "Send Mapping");
        EXPECT_EQ (shown.message, "Done!");
        EXPECT_EQ (sentEvents (*ports), expectedUpload (mode));
        EXPECT_EQ (model->outputDeviceName, "Dolm Ar");
    }
}

TEST_F (ContentComponentTest, SendDataWithoutAUnitShowsWhyNothingWasSent)
{
    makeView();
    click (command ("Send Data"));
    const auto shown = takeModalWindow();
    EXPECT_EQ (shown.title, "Send Mapping");
    EXPECT_EQ (shown.message, "No device selected");
}

TEST_F (ContentComponentTest, FailedLoadsAndSavesAreShownAndSuccessIsSilent)
{
    makeView();
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("kivra-view-" + juce::Uuid().toString());
    ASSERT_TRUE (folder.createDirectory());
    const auto saved = folder.getChildFile ("logic.kivra");

    choose (modeBox(), 2);
    view->saveMappingTo (saved);
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
    choose (modeBox(), 1);
    view->loadMappingFrom (saved);
    runMessageLoop (30);
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
    EXPECT_EQ (modeBox().getSelectedItemIndex(), 1) << "the loaded file's mode is selected";
    EXPECT_EQ (control (1).getButtonText(), "REC.1") << "the views show the loaded map";

    view->saveMappingTo (saved.getChildFile ("below-a-file.kivra"));
    const auto saveFailure = takeModalWindow();
    EXPECT_EQ (saveFailure.title, "Save Mapping");
    EXPECT_EQ (saveFailure.message, "Failed to write mapping file");

    view->loadMappingFrom (folder.getChildFile ("missing.kivra"));
    const auto loadFailure = takeModalWindow();
    EXPECT_EQ (loadFailure.title, "Load Mapping");
    EXPECT_EQ (loadFailure.message, "Could not load mapping data");
    folder.deleteRecursively();
}
} // namespace
