// The mappable button: binding to a control node, the caption rules the views'
// rows do not reach, the caption label and tooltips. (Whole rows of captions
// are in RowCaptionsTest.cpp, clicks in SectionRulesTest.cpp.)
#include "app/MappableButton.h"
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "support/FreshModel.h"
#include "support/ViewProbe.h"

#include <gtest/gtest.h>

using namespace testsupport;

namespace
{
class MappableButtonTest : public ::testing::Test
{
protected:
    void SetUp() override { model = &useFreshModel(); }

    void useMode (int mode) { model->setCurrentMode (CtMode (mode)); }

    /** The caption a control shows in the current mode, bound as a view binds it. */
    juce::String captionOf (int controlId, int kind)
    {
        MappableButton button ("new button");
        button.type = kind;
        button.setMapping (currentControlNode (controlId));
        return button.getButtonText();
    }

    Dolmaris::Impl* model = nullptr;
};

TEST_F (MappableButtonTest, StartsUnboundAndRebindingLeavesTheOldNode)
{
    MappableButton button ("pan1");
    EXPECT_TRUE (button.getButtonText() == "pan1" && button.id == -1 && button.getLabelText().isEmpty());
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), juce::Colour (0xff222222));
    EXPECT_EQ (button.findColour (juce::TextButton::buttonOnColourId), juce::Colour (0x804455a8));
    EXPECT_FALSE (button.getClickingTogglesState()) << "the main view does the selecting";

    auto node = currentControlNode (17);
    button.setMapping (node);
    button.valueRef = 42;
    EXPECT_EQ ((int) node[Tags::value], 42);

    useMode (2);
    auto huiNode = currentControlNode (17);
    button.setMapping (huiNode);
    button.valueRef = 30;
    EXPECT_TRUE ((int) huiNode[Tags::value] == 30 && (int) node[Tags::value] == 42) << "the map of mode 0 is no longer bound";
}

TEST_F (MappableButtonTest, CaptionsOfTheFixedModes)
{
    constexpr int defaultValue = -1000;
    struct Case { int mode, id, kind, value; const char* caption; };
    const Case cases[] = {
        // Pro Tools: faders, knobs and the master fader by place, buttons by value.
        { 2, 91, CtKind::knob, 60, "Pan.1" },                { 2, 100, CtKind::fader, 77, "Vol.1" },
        { 2, 40, CtKind::button, 77, "(nil)" },              { 2, 89, CtKind::button, 112, "Right?" },
        { 2, 1, CtKind::button, 60, "Flip" },                { 2, 5, CtKind::button, 118, "" },
        // Values without a name show their number, or nothing where the name table is empty.
        { 2, 5, CtKind::button, 17, "17" },                  { 2, 5, CtKind::button, 119, "119" },
        { 2, 5, CtKind::button, 250, "250" },                { 2, 5, CtKind::button, -3, "-3" },
        // The jog wheel's count is 4 but its list holds 17 alone: what follows 17 must not be found.
        { 2, 5, CtKind::jogWheel, 18, "18" },                { 2, 5, CtKind::jogWheel, 20, "20" },
        { 2, 5, CtKind::jogWheel, 17, "Tape Tspt?" },
    };
    for (const auto& c : cases)
    {
        useMode (c.mode);
        if (c.value != defaultValue)
            currentControlNode (c.id).setProperty (Tags::value, c.value, nullptr);
        EXPECT_EQ (captionOf (c.id, c.kind), c.caption) << "mode " << c.mode << ", id " << c.id << ", value " << c.value;
    }
}

TEST_F (MappableButtonTest, CaptionsOfUserDefinedModeFollowTheRowNotTheNode)
{
    useMode (3);
    auto* row = Defa::findUserRow (10);
    currentControlNode (10).setProperty (Tags::value, 99, nullptr);

    struct Case { uint8_t status, data1, data2; const char* caption; };
    const Case cases[] = {
        { 0x0C, 0xC0, 5, "PC5" },  { 0x0E, 0xE2, 0, "PB.3" },       { 0x0B, 0x00, 127, "CC127" },
        { 0x09, 0x90, 127, " G(9)" }, { 0x09, 0x90, 200, "200" }, // a loaded file can carry bytes past the note names
        { 0x00, 0x90, 1, "eMidiType" }, { 0x0A, 0x90, 1, "eMidiType" }, { 0x0F, 0x90, 1, "eMidiType" },
    };
    for (const auto& c : cases)
    {
        row[0] = c.status, row[1] = c.data1, row[2] = c.data2;
        EXPECT_EQ (captionOf (10, CtKind::button), c.caption) << (int) c.status << " " << (int) c.data2;
    }
}

TEST_F (MappableButtonTest, NoCaptionOutsideTheTables)
{
    model->currentMap.setProperty (Tags::mode, "cubase", nullptr); // a loaded file may name a mode without tables
    EXPECT_EQ (captionOf (1, CtKind::button) + captionOf (100, CtKind::fader), "");

    for (int mode : { 0, 2 })
        for (int badId : { 0, 109, -5 })
        {
            useMode (mode);
            MappableButton button ("x");
            button.setMapping (juce::ValueTree ("control").setProperty (Tags::id, badId, nullptr));
            EXPECT_EQ (button.getButtonText() + button.getLabelText(), "") << badId;
        }
}

TEST_F (MappableButtonTest, CaptionLabelTakesTheCaptionAndOnlyUpdateTextRefreshes)
{
    juce::Label label ("new label", "provisional");
    MappableButton button ("pan1");
    button.setButtonText ("");
    button.captionLabel = &label;
    button.type = CtKind::knob;
    button.setMapping (currentControlNode (93));
    EXPECT_TRUE (label.getText() == "CC18" && button.getButtonText().isEmpty());

    MappableButton rec ("new button");
    useMode (2);
    rec.setMapping (currentControlNode (2));
    rec.valueRef = 27;
    EXPECT_EQ (rec.getButtonText(), "REC.2") << "an edit alone does not refresh the caption";
    rec.updateText();
    EXPECT_EQ (rec.getButtonText(), "SOLO.1");
}

TEST_F (MappableButtonTest, TooltipShowsOnlyOnASelectedButton)
{
    MappableButton button ("new button");
    button.setMapping (currentControlNode (1));
    const auto event = mouseEventFor (button);

    button.setTooltip ("kept");
    button.mouseEnter (event);
    EXPECT_EQ (button.getTooltip(), "kept") << "entering an unselected button changes nothing";

    button.setToggleState (true, juce::dontSendNotification);
    button.mouseEnter (event);
    EXPECT_EQ (button.getTooltip(), " C(-1)");
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal) << "entering does not highlight";

    button.setToggleState (false, juce::dontSendNotification);
    button.mouseExit (event);
    EXPECT_EQ (button.getTooltip(), "") << "leaving empties the tooltip of any button";
}
} // namespace
