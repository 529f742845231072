// The channel strip view: its 56 controls and 24 labels, their bindings,
// captions and fixed places.
#include "app/MixerSection.h"
#include "model/ControllerMap.h"
#include "support/FreshModel.h"
#include "support/LayoutChecks.h"
#include "support/ViewProbe.h"

#include <gtest/gtest.h>

#include <set>

using namespace testsupport;

namespace
{
class MixerSectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = &useFreshModel();
        section = std::make_unique<MixerSection>();
    }

    MappableButton& control (int controlId)
    {
        auto* button = buttonWithId (*section, controlId);
        if (button == nullptr)
            ADD_FAILURE() << "no control with id " << controlId;
        return button != nullptr ? *button : fallback;
    }

    Dolmaris::Impl* model = nullptr;
    std::unique_ptr<MixerSection> section;
    MappableButton fallback { "missing" };
};

bool isKnob (int id) { return id >= 91 && id <= 98; }
bool isFader (int id) { return id >= 100 && id <= 107; }
bool isPush (int id) { return id >= 33 && id <= 40; }

TEST_F (MixerSectionTest, HoldsEveryControlOfTheStripsOnce)
{
    EXPECT_EQ (section->getChildren().size(), 80);
    EXPECT_EQ (section->getWidth(), 600);
    EXPECT_EQ (section->getHeight(), 400);

    std::multiset<int> ids;
    for (auto* button : mappableChildren (*section))
        ids.insert (button->id);

    std::multiset<int> expected;
    for (int id = 1; id <= 40; ++id) expected.insert (id);
    for (int id = 91; id <= 98; ++id) expected.insert (id);
    for (int id = 100; id <= 107; ++id) expected.insert (id);
    EXPECT_EQ (ids, expected);
    EXPECT_EQ (labelChildren (*section).size(), 24u);
}

TEST_F (MixerSectionTest, ChildrenAreCreatedInTheirDeclarationOrder)
{
    // Knob, push, REC and fader of strip 1 come first; SEL 8 comes last.
    const auto& children = section->getChildren();
    const int firstIds[] = { 91, 33, 1, 100 };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (dynamic_cast<MappableButton&> (*children[i]).id, firstIds[i]) << i;

    for (int i = 4; i < 25; ++i)
        EXPECT_NE (dynamic_cast<juce::Label*> (children[i]), nullptr) << i;

    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[25]).id, 101);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[34]).id, 107);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[35]).id, 92);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[36]).id, 34);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[49]).id, 9);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[52]).id, 2);
    EXPECT_EQ (dynamic_cast<MappableButton&> (*children[79]).id, 32);
}

TEST_F (MixerSectionTest, NamesTypesAndTextsAfterConstruction)
{
    for (auto* button : mappableChildren (*section))
    {
        const auto id = button->id;
        SCOPED_TRACE (id);
        EXPECT_EQ (button->getName(), isKnob (id) ? "pan" + juce::String (id - 90) : juce::String ("new button"));
        EXPECT_EQ (button->type, isKnob (id) ? CtKind::knob : isFader (id) ? CtKind::fader : CtKind::button);

        if (isKnob (id) || isPush (id))
        {
            EXPECT_EQ (button->getButtonText(), "");
            ASSERT_NE (button->captionLabel, nullptr);
            EXPECT_EQ (button->captionLabel->getText(), button->getLabelText());
        }
        else
        {
            EXPECT_EQ (button->captionLabel, nullptr);
            EXPECT_EQ (button->getButtonText(), button->getLabelText());
        }
        EXPECT_TRUE (button->isVisible());
    }

    EXPECT_EQ (control (1).getButtonText(), " C(-1)");
    EXPECT_EQ (control (100).getButtonText(), "PB.1");
    EXPECT_EQ (control (91).captionLabel->getText(), "CC16");
    EXPECT_EQ (control (40).captionLabel->getText(), "D#(2)"); // note 39
}

TEST_F (MixerSectionTest, LabelsAreStyledAndStripNumbersKeepTheirText)
{
    juce::StringArray stripNumbers;
    for (auto* label : labelChildren (*section))
    {
        EXPECT_EQ (label->getName(), "new label");
        EXPECT_EQ (label->getFont().getHeight(), 15.0f);
        EXPECT_EQ (label->getFont().getTypefaceStyle(), "Regular");
        EXPECT_EQ (label->getJustificationType(), juce::Justification::centred);
        EXPECT_FALSE (label->isEditableOnSingleClick() || label->isEditableOnDoubleClick());
        EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xff000000));
        EXPECT_EQ (label->findColour (juce::TextEditor::textColourId), juce::Colour (0xff000000));
        EXPECT_EQ (label->findColour (juce::TextEditor::backgroundColourId), juce::Colour (0x00000000));
        if (label->getY() == 320)
            stripNumbers.add (label->getText());
    }
    EXPECT_EQ (stripNumbers.joinIntoString (","), "(1),(2),(3),(4),(5),(6),(7),(8)");
}

TEST_F (MixerSectionTest, ControlsSitAtTheirFixedPlaces)
{
    EXPECT_EQ (control (91).getBounds(), juce::Rectangle<int> (24, 54, 51, 25));
    EXPECT_EQ (control (98).getBounds(), juce::Rectangle<int> (472, 54, 51, 25));
    EXPECT_EQ (control (33).getBounds(), juce::Rectangle<int> (24, 80, 51, 25));
    EXPECT_EQ (control (8).getBounds(), juce::Rectangle<int> (472, 160, 51, 25));
    EXPECT_EQ (control (12).getBounds(), juce::Rectangle<int> (216, 200, 51, 25));
    EXPECT_EQ (control (17).getBounds(), juce::Rectangle<int> (24, 240, 51, 25));
    EXPECT_EQ (control (32).getBounds(), juce::Rectangle<int> (472, 280, 51, 25));
    EXPECT_EQ (control (100).getBounds(), juce::Rectangle<int> (29, 391, 42, 68));
    EXPECT_EQ (control (107).getBounds(), juce::Rectangle<int> (477, 391, 42, 68));
}

TEST_F (MixerSectionTest, LabelsSitInTheirOwnColumns)
{
    // The caption labels belong to the knob or push of their strip, but their
    // columns are not all on the strips' grid.
    const int knobCaptionX[] = { 24, 88, 152, 217, 281, 344, 408, 472 };
    const int pushCaptionX[] = { 24, 88, 152, 216, 280, 343, 408, 472 };
    for (int strip = 0; strip < 8; ++strip)
    {
        EXPECT_EQ (control (91 + strip).captionLabel->getBounds(), juce::Rectangle<int> (knobCaptionX[strip], 22, 51, 24));
        EXPECT_EQ (control (33 + strip).captionLabel->getBounds(), juce::Rectangle<int> (pushCaptionX[strip], 112, 51, 24));
    }

    const int stripNumberX[] = { 24, 85, 151, 216, 280, 344, 408, 471 };
    for (int strip = 0; strip < 8; ++strip)
    {
        auto* label = dynamic_cast<juce::Label*> (childAt (*section, stripNumberX[strip], 320));
        ASSERT_NE (label, nullptr) << strip;
        EXPECT_EQ (label->getText(), "(" + juce::String (strip + 1) + ")");
        EXPECT_EQ (label->getBounds().getWidth(), 51);
        EXPECT_EQ (label->getBounds().getHeight(), 24);
    }
}

TEST_F (MixerSectionTest, NoChildOverlapsAnotherAndAllReachBeyondTheOwnSize)
{
    expectNoTwoChildrenOverlap (*section);
    const auto area = unionOfChildren (*section);
    EXPECT_EQ (area.getRight(), 523);
    EXPECT_EQ (area.getBottom(), 459);
}

TEST_F (MixerSectionTest, ResizingMovesNoChild)
{
    const auto before = childBounds (*section);
    section->setBounds (0, 66, 540, 500);
    EXPECT_EQ (childBounds (*section), before);
    section->setSize (90, 30);
    EXPECT_EQ (childBounds (*section), before);
}

TEST_F (MixerSectionTest, BindingTwiceKeepsTheSameBindings)
{
    std::map<MappableButton*, std::tuple<int, int, juce::Label*, juce::String>> before;
    for (auto* button : mappableChildren (*section))
        before[button] = { button->id, button->type, button->captionLabel, button->getLabelText() };

    section->setButtonTypes();
    section->setButtonTypes();

    for (auto* button : mappableChildren (*section))
        EXPECT_EQ (before[button], std::make_tuple (button->id, button->type, button->captionLabel, button->getLabelText()));
}

TEST_F (MixerSectionTest, ModeChangeRebindsEveryControlToTheNewMap)
{
    model->setCurrentMode (CtMode (2));
    section->setButtonTypes();

    for (auto* button : mappableChildren (*section))
    {
        SCOPED_TRACE (button->id);
        auto node = currentControlNode (button->id);
        button->valueRef = 77;
        EXPECT_EQ ((int) node[Tags::value], 77) << "bound to the node of the HUI map";
    }

    EXPECT_EQ (control (100).getButtonText(), "Vol.1");
    EXPECT_EQ (control (91).captionLabel->getText(), "Pan.1");
    EXPECT_EQ (control (98).captionLabel->getText(), "Pan.8");
    EXPECT_EQ (control (1).getButtonText(), "REC.1");
    EXPECT_EQ (control (9).getButtonText(), "SOLO.1");
    EXPECT_EQ (control (40).captionLabel->getText(), "Mon8");
    EXPECT_EQ (control (40).getButtonText(), "");

    // Binding again shows the values written above, read from the nodes.
    section->setButtonTypes();
    EXPECT_EQ (control (40).captionLabel->getText(), "(nil)"); // HUI value 77
    EXPECT_EQ (control (100).getButtonText(), "Vol.1") << "a fader's HUI value is fixed by its place";
}

TEST_F (MixerSectionTest, TypesComeFromThePanelNotFromTheNodesKind)
{
    for (int id : { 1, 33, 91, 100 })
        currentControlNode (id).setProperty (Tags::kind, "master-fader", nullptr);

    section->setButtonTypes();
    EXPECT_EQ (control (91).type, CtKind::knob);
    EXPECT_EQ (control (100).type, CtKind::fader);
    EXPECT_EQ (control (1).type, CtKind::button);
    EXPECT_EQ (control (33).type, CtKind::button);
}

TEST_F (MixerSectionTest, NodeLookupMatchesIdsHeldAsText)
{
    auto node = currentControlNode (5);
    node.setProperty (Tags::id, "5", nullptr);
    section->setButtonTypes();

    EXPECT_EQ (control (5).getBounds().getPosition(), juce::Point<int> (280, 160));
    control (5).valueRef = 11;
    EXPECT_EQ ((int) node[Tags::value], 11);
}

TEST_F (MixerSectionTest, ControlWithoutANodeShowsNothing)
{
    auto controls = model->currentMap.getChildWithName (Tags::controls);
    controls.removeChild (currentControlNode (5), nullptr);
    controls.removeChild (currentControlNode (95), nullptr);
    section->setButtonTypes();

    auto* rec5 = dynamic_cast<MappableButton*> (childAt (*section, 280, 160));
    ASSERT_NE (rec5, nullptr);
    EXPECT_EQ (rec5->id, 0);
    EXPECT_EQ (rec5->getButtonText(), "");

    auto* knob5 = dynamic_cast<MappableButton*> (childAt (*section, 280, 54));
    ASSERT_NE (knob5, nullptr);
    EXPECT_EQ (knob5->captionLabel->getText(), "");

    // Without any "controls" child the whole panel is unbound, and harmless.
    model->currentMap.removeChild (controls, nullptr);
    section->setButtonTypes();
    for (auto* button : mappableChildren (*section))
        EXPECT_EQ (button->id, 0);
}

TEST_F (MixerSectionTest, ClicksReachFurtherListenersAndSelectNothing)
{
    juce::Component window;
    window.setSize (600, 500);
    window.addAndMakeVisible (*section);

    ClickRecorder recorder;
    auto& mute1 = control (17);
    mute1.addListener (&recorder);
    clickAndDeliver (mute1, recorder);

    ASSERT_EQ (recorder.clicked.size(), 1u);
    EXPECT_EQ (recorder.clicked[0], &mute1);
    for (auto* button : mappableChildren (*section))
        EXPECT_FALSE (button->getToggleState());
    mute1.removeListener (&recorder);
}
} // namespace
