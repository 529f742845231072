// The mappable button: binding to a control node, captions in every mode,
// the caption label, tooltips and clicks.
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

TEST_F (MappableButtonTest, StartsUnboundWithItsColoursAndName)
{
    MappableButton button ("pan1");

    EXPECT_EQ (button.getName(), "pan1");
    EXPECT_EQ (button.getButtonText(), "pan1");
    EXPECT_EQ (button.id, -1);
    EXPECT_EQ (button.type, 0);
    EXPECT_EQ (button.captionLabel, nullptr);
    EXPECT_EQ ((int) button.valueRef.getValue(), 0);
    EXPECT_EQ ((int) button.typeRef.getValue(), 0);
    EXPECT_TRUE (button.chanRef.getValue().isVoid());
    EXPECT_EQ (button.findColour (juce::TextButton::buttonColourId), juce::Colour (0xff222222));
    EXPECT_EQ (button.findColour (juce::TextButton::buttonOnColourId), juce::Colour (0x804455a8));
    EXPECT_FALSE (button.getClickingTogglesState());
    EXPECT_EQ (button.getLabelText(), "") << "an unbound button has no row to read";
}

TEST_F (MappableButtonTest, BindingFollowsTheNodeBothWays)
{
    auto node = currentControlNode (17);
    MappableButton button ("new button");
    button.setMapping (node);

    EXPECT_EQ (button.id, 17);
    EXPECT_EQ (button.typeRef.getValue().toString(), "note");
    EXPECT_EQ ((int) button.chanRef.getValue(), 1);
    EXPECT_EQ ((int) button.valueRef.getValue(), 16);

    // Writes through the Values reach the current map, and the other way round.
    button.valueRef = 42;
    button.chanRef = 5;
    button.typeRef = "cc";
    EXPECT_EQ ((int) node[Tags::value], 42);
    EXPECT_EQ ((int) node[Tags::chan], 5);
    EXPECT_EQ (node[Tags::type].toString(), "cc");

    node.setProperty (Tags::value, 7, nullptr);
    EXPECT_EQ ((int) button.valueRef.getValue(), 7);

    // The model's tree of maps holds the same node.
    auto inModes = model->findMode (CtMode (0)).getChildWithName (Tags::controls).getChildWithProperty (Tags::id, 17);
    EXPECT_EQ ((int) inModes[Tags::value], 7);
}

TEST_F (MappableButtonTest, RebindingMovesTheValuesToTheNewNode)
{
    MappableButton button ("new button");
    button.setMapping (currentControlNode (3));

    useMode (2);
    auto huiNode = currentControlNode (3);
    button.setMapping (huiNode);
    EXPECT_EQ ((int) button.valueRef.getValue(), 21);

    button.valueRef = 30;
    EXPECT_EQ ((int) huiNode[Tags::value], 30);
    EXPECT_EQ ((int) model->findMode (CtMode (0)).getChildWithName (Tags::controls).getChild (2)[Tags::value], 2)
        << "the map of mode 0 is no longer bound";
}

TEST_F (MappableButtonTest, InvalidNodeGivesIdZeroAndNoCaption)
{
    MappableButton button ("SOLO");
    button.setMapping ({});

    EXPECT_EQ (button.id, 0);
    EXPECT_EQ (button.getButtonText(), "");
    EXPECT_EQ (button.getLabelText(), "");
}

TEST_F (MappableButtonTest, CaptionsOfMackieMode)
{
    EXPECT_EQ (captionOf (1, CtKind::button), " C(-1)");
    EXPECT_EQ (captionOf (42, CtKind::button), " D(3)"); // note 50
    EXPECT_EQ (captionOf (91, CtKind::knob), "CC16");
    EXPECT_EQ (captionOf (98, CtKind::knob), "CC23");
    EXPECT_EQ (captionOf (99, CtKind::jogWheel), "CC60");
    EXPECT_EQ (captionOf (100, CtKind::fader), "PB.1");
    EXPECT_EQ (captionOf (107, CtKind::fader), "PB.8");
    EXPECT_EQ (captionOf (108, CtKind::masterFader), "PB.9");
}

TEST_F (MappableButtonTest, CaptionsOfLogicMode)
{
    useMode (1);
    EXPECT_EQ (captionOf (1, CtKind::button), "REC.1");
    EXPECT_EQ (captionOf (40, CtKind::button), "Mon8");
    EXPECT_EQ (captionOf (49, CtKind::button), "Option"); // note 71 in the logic table
    EXPECT_EQ (captionOf (90, CtKind::button), "Down"); // note 97
    EXPECT_EQ (captionOf (91, CtKind::knob), "CC16");
    EXPECT_EQ (captionOf (99, CtKind::jogWheel), "CC60");
    EXPECT_EQ (captionOf (100, CtKind::fader), "PB.1");
}

TEST_F (MappableButtonTest, CaptionsOfHuiModeComeFromPlaceOrNodeValue)
{
    useMode (2);
    EXPECT_EQ (captionOf (100, CtKind::fader), "Vol.1");
    EXPECT_EQ (captionOf (107, CtKind::fader), "Vol.8");
    EXPECT_EQ (captionOf (91, CtKind::knob), "Pan.1");
    EXPECT_EQ (captionOf (108, CtKind::masterFader), "Vol.M?");
    EXPECT_EQ (captionOf (99, CtKind::jogWheel), "Tape Tspt?");
    EXPECT_EQ (captionOf (1, CtKind::button), "REC.1"); // default value 19
    EXPECT_EQ (captionOf (89, CtKind::button), "Right?"); // default value 112

    // The knobs ignore their node's value; the buttons follow it.
    currentControlNode (91).setProperty (Tags::value, 60, nullptr);
    EXPECT_EQ (captionOf (91, CtKind::knob), "Pan.1");
    currentControlNode (1).setProperty (Tags::value, 60, nullptr);
    EXPECT_EQ (captionOf (1, CtKind::button), "Flip");
}

TEST_F (MappableButtonTest, HuiValuesWithoutANameShowTheirNumber)
{
    useMode (2);
    auto node = currentControlNode (5);

    node.setProperty (Tags::value, 17, nullptr); // a HUI value, but not a button's
    EXPECT_EQ (captionOf (5, CtKind::button), "17");
    node.setProperty (Tags::value, 119, nullptr); // past the button list
    EXPECT_EQ (captionOf (5, CtKind::button), "119");
    node.setProperty (Tags::value, 250, nullptr);
    EXPECT_EQ (captionOf (5, CtKind::button), "250");
    node.setProperty (Tags::value, -3, nullptr);
    EXPECT_EQ (captionOf (5, CtKind::button), "-3");

    // In the list, but the name table leaves the entry empty.
    node.setProperty (Tags::value, 113, nullptr);
    EXPECT_EQ (captionOf (5, CtKind::button), "");
}

TEST_F (MappableButtonTest, JogWheelSearchStaysInsideItsOneEntryList)
{
    // The jog wheel's HUI count is 4 while its list holds 17 alone; values
    // that sit right after 17 in memory must not be found.
    useMode (2);
    auto node = currentControlNode (5);
    for (int value : { 18, 19, 20, 0, 8 })
    {
        node.setProperty (Tags::value, value, nullptr);
        EXPECT_EQ (captionOf (5, CtKind::jogWheel), juce::String (value)) << value;
    }
    node.setProperty (Tags::value, 17, nullptr);
    EXPECT_EQ (captionOf (5, CtKind::jogWheel), "Tape Tspt?");
}

TEST_F (MappableButtonTest, CaptionsOfUserDefinedModeFollowTheRow)
{
    useMode (3);
    auto* row = Defa::findUserRow (10);
    ASSERT_NE (row, nullptr);

    row[0] = 0x0C, row[1] = 0xC0, row[2] = 5;
    EXPECT_EQ (captionOf (10, CtKind::button), "PC5");

    row[0] = 0x0E, row[1] = 0xE2, row[2] = 0;
    EXPECT_EQ (captionOf (10, CtKind::button), "PB.3");

    row[0] = 0x0B, row[1] = 0x00, row[2] = 127;
    EXPECT_EQ (captionOf (10, CtKind::button), "CC127");

    row[0] = 0x09, row[1] = 0x90, row[2] = 127;
    EXPECT_EQ (captionOf (10, CtKind::button), " G(9)");

    row[0] = 0x09, row[2] = 200; // a loaded file can carry data bytes past the note names
    EXPECT_EQ (captionOf (10, CtKind::button), "200");

    for (uint8_t nibble : { 0x00, 0x0A, 0x0D, 0x0F })
    {
        row[0] = nibble;
        EXPECT_EQ (captionOf (10, CtKind::button), "eMidiType") << (int) nibble;
    }

    // The caption follows the row, not the node.
    currentControlNode (10).setProperty (Tags::value, 99, nullptr);
    EXPECT_EQ (captionOf (10, CtKind::button), "eMidiType");
}

TEST_F (MappableButtonTest, MapOfANonWorkingModeHasNoCaptions)
{
    // A loaded file may name a mode without tables.
    model->currentMap.setProperty (Tags::mode, "cubase", nullptr);
    EXPECT_EQ (captionOf (1, CtKind::button), "");
    EXPECT_EQ (captionOf (100, CtKind::fader), "");
}

TEST_F (MappableButtonTest, ControlNodeWithAnIdOutsideTheTablesHasNoCaption)
{
    for (int badId : { 0, 109, 1000, -5 })
    {
        juce::ValueTree node ("control");
        node.setProperty (Tags::id, badId, nullptr);
        MappableButton button ("x");
        button.setMapping (node);
        EXPECT_EQ (button.getButtonText(), "") << badId;
        useMode (2);
        EXPECT_EQ (button.getLabelText(), "") << badId;
        useMode (0);
    }
}

TEST_F (MappableButtonTest, CaptionLabelTakesTheCaptionAndTheButtonKeepsItsText)
{
    juce::Label label ("new label", "provisional");
    MappableButton button ("pan1");
    button.setButtonText ("");
    button.captionLabel = &label;
    button.type = CtKind::knob;
    button.setMapping (currentControlNode (93));

    EXPECT_EQ (label.getText(), "CC18");
    EXPECT_EQ (button.getButtonText(), "");

    useMode (2);
    button.setMapping (currentControlNode (93));
    EXPECT_EQ (label.getText(), "Pan.3");
}

TEST_F (MappableButtonTest, UpdateTextRefreshesAfterAnEdit)
{
    useMode (2);
    MappableButton button ("new button");
    button.setMapping (currentControlNode (2));
    EXPECT_EQ (button.getButtonText(), "REC.2");

    button.valueRef = 27;
    EXPECT_EQ (button.getButtonText(), "REC.2") << "only updateText refreshes the caption";
    button.updateText();
    EXPECT_EQ (button.getButtonText(), "SOLO.1");
}

TEST_F (MappableButtonTest, TooltipShowsOnlyOnASelectedButton)
{
    MappableButton button ("new button");
    button.setMapping (currentControlNode (1));
    const auto event = mouseEventFor (button);

    button.mouseEnter (event);
    EXPECT_EQ (button.getTooltip(), "") << "entering an unselected button changes nothing";

    button.setTooltip ("kept");
    button.mouseEnter (event);
    EXPECT_EQ (button.getTooltip(), "kept");

    button.setToggleState (true, juce::dontSendNotification);
    button.mouseEnter (event);
    EXPECT_EQ (button.getTooltip(), " C(-1)");
    EXPECT_EQ (button.getState(), juce::Button::buttonNormal) << "entering does not highlight";

    button.mouseExit (event);
    EXPECT_EQ (button.getTooltip(), "");

    button.setToggleState (false, juce::dontSendNotification);
    button.setTooltip ("kept");
    button.mouseExit (event);
    EXPECT_EQ (button.getTooltip(), "") << "leaving empties the tooltip of any button";
}

TEST_F (MappableButtonTest, ClickReachesListenersWithoutTogglingTheButton)
{
    juce::Component parent;
    parent.setSize (100, 100);
    MappableButton button ("new button");
    parent.addAndMakeVisible (button);
    button.setBounds (0, 0, 51, 25);

    ClickRecorder recorder;
    button.addListener (&recorder);
    clickAndDeliver (button, recorder);

    ASSERT_EQ (recorder.clicked.size(), 1u);
    EXPECT_EQ (recorder.clicked[0], &button);
    EXPECT_FALSE (button.getToggleState()) << "the main view does the selecting";
    button.removeListener (&recorder);
}
} // namespace
