// The attribute boxes: what they show for a control in each mode, and how the
// user-defined mode's choices reach the node, ud, the caption and the upload.
#include "support/ContentViewFixture.h"

namespace
{
using namespace testsupport;

class AttributeEditingTest : public ContentViewFixture
{
protected:
    static constexpr int button38 = 38;

    void makeButton38AProgramChange()
    {
        choose (modeBox(), 4);
        click (control (button38));
        choose (typeBox(), 3);     // Program
        choose (channelBox(), 5);
        choose (messageBox(), 11); // value 10
    }

    /** Button 38 in the user-defined mode: its row of ud, caption, type box,
        and the type record of the next upload. */
    juce::String button38ShownAndSent()
    {
        choose (modeBox(), 4);
        click (control (button38));
        ports->clearEvents();
        click (command ("Send Data"));
        takeModalWindow();
        const auto sent = ports->describeEvents();
        const size_t typeRecord = 63 + 2 * button38; // after the preamble, the mode message and the pauses
        return juce::String::toHexString (ud[button38 - 1], 3) + " / " + control (button38).getTooltip() + " / "
             + typeBox().getText() + " / " + (sent.size() > typeRecord ? juce::String (sent[typeRecord]) : juce::String());
    }
};

TEST_F (AttributeEditingTest, TheBoxesShowEachModesAssignment)
{
    struct Case { int mode, id; const char* caption; const char* label; int channel, typeItems, type, messageItems, message; const char* firstMessage; };
    const Case cases[] = {
        { 0, 1, " C(-1)", "Message", 0, 3, 0, 128, 0, "0)  C(-1)  " },
        { 0, 99, "CC60", "Message", 0, 2, 0, 128, 60, "0) " }, // the jog wheel, in the control area
        { 0, 108, "PB.9", "Message", 8, 2, 1, 128, 0, "0) " },
        { 1, 1, "REC.1", "Function", 0, 3, 0, 128, 0, "0)  C(-1)  " },
        { 2, 1, "REC.1", "Function", -1, 3, -1, 90, 1, "(nil)" }, // HUI default of REC 1 is 19, the second value
        { 2, 102, "Vol.3", "Function", -1, 2, -1, 16, -1, "Vol.1" }, // faders select nothing
        { 3, 5, " E(-1)", "Message", 0, 3, 0, 128, 4, "0)  C(-1)  " },
    };
    makeView();
    int previous = 5; // REC 5 selected, and the click must unselect it
    click (control (previous));
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.mode) + " / " + juce::String (c.id));
        choose (modeBox(), c.mode + 1);
        click (control (c.id));
        EXPECT_TRUE (control (c.id).getToggleState() && (previous == c.id || ! control (previous).getToggleState()));
        previous = c.id;
        EXPECT_EQ (control (c.id).getTooltip(), c.caption);

        for (auto* box : { &typeBox(), &channelBox(), static_cast<juce::ComboBox*> (&messageBox()) })
            EXPECT_EQ (box->isEnabled(), c.mode == 3);
        EXPECT_EQ (channelBox().getNumItems(), 16);
        EXPECT_EQ (channelBox().getSelectedItemIndex(), c.channel);
        EXPECT_EQ (typeBox().getNumItems(), c.typeItems);
        EXPECT_EQ (typeBox().getItemText (c.typeItems - 1), c.typeItems == 3 ? "3) Program" : "2) Pitch");
        EXPECT_EQ (typeBox().getSelectedItemIndex(), c.type);
        EXPECT_EQ (messageBox().getNumItems(), c.messageItems);
        EXPECT_EQ (messageBox().getSelectedItemIndex(), c.message);
        EXPECT_TRUE (messageBox().getItemText (0).startsWith (c.firstMessage)) << messageBox().getItemText (0);
        EXPECT_EQ (ModalAnswerer::find<juce::Label> (*view, [] (auto& l) { return l.getX() == 535; })->getText(), c.label);
    }
}

TEST_F (AttributeEditingTest, UserDefinedEditsReachNodeRowAndCaption)
{
    makeView();
    choose (modeBox(), 4);
    click (control (5));
    choose (typeBox(), 2);      // CC
    choose (channelBox(), 16);
    choose (messageBox(), 101); // value 100

    const auto node = currentControlNode (5);
    EXPECT_EQ (node[Tags::type].toString() + " " + node[Tags::chan].toString() + " " + node[Tags::value].toString(), "cc 16 100");
    EXPECT_EQ ((std::vector<int> { ud[4][0], ud[4][1], ud[4][2] }), (std::vector<int> { 0x0B, 0xBF, 100 }));
    EXPECT_EQ (control (5).getButtonText(), "CC100");

    choose (typeBox(), 3); // Program: no type slug of its own, and the value stays
    EXPECT_EQ (currentControlNode (5)[Tags::type].toString(), "");
    EXPECT_EQ (messageBox().getSelectedItemIndex(), 100);

    click (control (91));
    choose (typeBox(), 2); // a knob offers CC and Pitch
    EXPECT_EQ (currentControlNode (91)[Tags::type].toString(), "pitch");
    EXPECT_EQ (ud[90][0], 0x0E);
}

const juce::String programChangeShownAndSent = "0c c4 0a / PC10 / 3) Program / 9F 04 03";

// A reset of the MCP or the Logic map reloaded ud too: the user map's tree
// kept the edit while its row, caption and upload went back to a note.
TEST_F (AttributeEditingTest, AResetOfTheMcpOrLogicMapLeavesTheUserMapAsEdited)
{
    ports->addOutput ("Dolm Ar");
    makeView();
    makeButton38AProgramChange();
    for (const int otherMode : { 1, 2 })
    {
        choose (modeBox(), otherMode);
        view->keyPressed (juce::KeyPress ('r'));
        EXPECT_EQ (button38ShownAndSent(), programChangeShownAndSent) << "after a reset of mode " << otherMode - 1;
    }
}

// A program change is saved with an empty type, which the load read as a note.
TEST_F (AttributeEditingTest, AProgramChangeComesBackAsAProgramChangeAfterSaveAndLoad)
{
    ports->addOutput ("Dolm Ar");
    makeView();
    makeButton38AProgramChange();
    const juce::TemporaryFile file (".kivra");
    view->saveMappingTo (file.getFile());
    view->keyPressed (juce::KeyPress ('r'));
    ASSERT_NE (button38ShownAndSent(), programChangeShownAndSent) << "the reset must undo the edit";

    view->loadMappingFrom (file.getFile());
    EXPECT_EQ (button38ShownAndSent(), programChangeShownAndSent);
}

TEST_F (AttributeEditingTest, AControlWithoutARowIgnoresChoices)
{
    makeView();
    choose (modeBox(), 4);
    auto& rec5 = control (5);
    click (rec5);
    const juce::TemporaryFile file (".kivra");
    ASSERT_TRUE (file.getFile().replaceWithText ("<map mode=\"user-defined\"><controls/></map>"));
    view->loadMappingFrom (file.getFile()); // REC 5 has no node now, and stays selected
    ASSERT_EQ (rec5.id, 0);
    EXPECT_EQ (channelBox().getNumItems() + typeBox().getNumItems() + messageBox().getNumItems(), 0);

    const std::vector<uint8_t> before (&ud[0][0], &ud[0][0] + sizeof (ud));
    channelBox().addItem ("16", 16);
    typeBox().addItem ("2) CC", 2);
    messageBox().addItem ("5) ", 1);
    messageBox().values.add (5);
    for (auto* box : { &channelBox(), &typeBox(), static_cast<juce::ComboBox*> (&messageBox()) })
        choose (*box, box->getItemId (0));
    EXPECT_EQ (std::vector<uint8_t> (&ud[0][0], &ud[0][0] + sizeof (ud)), before);
}
} // namespace
