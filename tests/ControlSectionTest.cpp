// The control area view: fifty buttons, the jog wheel with its label and the
// master fader; their bindings, captions and fixed places.
#include "app/ControlSectionForDlm.h"
#include "model/ControllerMap.h"
#include "support/FreshModel.h"
#include "support/LayoutChecks.h"
#include "support/ViewProbe.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace testsupport;

namespace
{
class ControlSectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        model = &useFreshModel();
        section = std::make_unique<ControlSection>();
    }

    MappableButton& control (int controlId)
    {
        auto* button = buttonWithId (*section, controlId);
        if (button == nullptr)
            ADD_FAILURE() << "no control with id " << controlId;
        return button != nullptr ? *button : fallback;
    }

    juce::Label* jogLabel()
    {
        for (auto* label : labelChildren (*section))
            if (label->getName() == "jogLabel")
                return label;
        return nullptr;
    }

    Dolmaris::Impl* model = nullptr;
    std::unique_ptr<ControlSection> section;
    MappableButton fallback { "missing" };
};

TEST_F (ControlSectionTest, HoldsTheControlsOfTheControlAreaOnce)
{
    EXPECT_EQ (section->getName(), "ControlSection");
    EXPECT_EQ (section->getChildren().size(), 53);
    EXPECT_EQ (section->getWidth(), 600);
    EXPECT_EQ (section->getHeight(), 400);

    std::multiset<int> ids;
    for (auto* button : mappableChildren (*section))
    {
        ids.insert (button->id);
        EXPECT_EQ (button->getName(), "new button");
        EXPECT_TRUE (button->isVisible());
    }

    std::multiset<int> expected { 99, 108 };
    for (int id = 41; id <= 90; ++id)
        expected.insert (id);
    EXPECT_EQ (ids, expected);
}

TEST_F (ControlSectionTest, CaptionsAndTypesAfterConstruction)
{
    for (int id = 41; id <= 90; ++id)
    {
        auto& button = control (id);
        EXPECT_EQ (button.type, CtKind::button) << id;
        EXPECT_EQ (button.captionLabel, nullptr) << id;
        EXPECT_EQ (button.getButtonText(), button.getLabelText()) << id;
    }

    EXPECT_EQ (control (41).getButtonText(), " C(-1)");
    EXPECT_EQ (control (42).getButtonText(), " D(3)");
    EXPECT_EQ (control (90).getButtonText(), "C#(7)"); // note 97

    auto& jogWheel = control (99);
    EXPECT_EQ (jogWheel.type, CtKind::jogWheel);
    EXPECT_EQ (jogWheel.getButtonText(), "");
    ASSERT_NE (jogLabel(), nullptr);
    EXPECT_EQ (jogWheel.captionLabel, jogLabel());
    EXPECT_EQ (jogLabel()->getText(), "CC60");

    auto& masterFader = control (108);
    EXPECT_EQ (masterFader.type, CtKind::masterFader);
    EXPECT_EQ (masterFader.captionLabel, nullptr);
    EXPECT_EQ (masterFader.getButtonText(), "PB.9");
}

TEST_F (ControlSectionTest, BindingFollowsThePlaceOfEachButton)
{
    // Ids by position, straight from the panel's picture of the unit.
    const std::map<std::pair<int, int>, int> idAt {
        { { 2, 96 }, 41 },    { { 2, 296 }, 46 },   { { 136, 40 }, 47 },  { { 392, 40 }, 51 },  { { 136, 125 }, 52 },
        { { 200, 104 }, 53 }, { { 392, 104 }, 56 }, { { 200, 144 }, 57 }, { { 392, 144 }, 60 }, { { 72, 208 }, 61 },
        { { 392, 208 }, 66 }, { { 72, 248 }, 67 },  { { 72, 312 }, 73 },  { { 392, 352 }, 84 }, { { 136, 416 }, 86 },
        { { 264, 416 }, 85 }, { { 72, 456 }, 87 },  { { 200, 456 }, 89 }, { { 136, 496 }, 90 },
    };
    for (const auto& [position, id] : idAt)
    {
        auto* button = dynamic_cast<MappableButton*> (childAt (*section, position.first, position.second));
        ASSERT_NE (button, nullptr) << position.first << "," << position.second;
        EXPECT_EQ (button->id, id);
        EXPECT_EQ (button->getBounds().getWidth(), 51);
        EXPECT_EQ (button->getBounds().getHeight(), 25);
    }

    EXPECT_EQ (control (99).getBounds(), juce::Rectangle<int> (343, 429, 96, 96));
    EXPECT_EQ (jogLabel()->getBounds(), juce::Rectangle<int> (344, 528, 96, 32));
    EXPECT_EQ (control (108).getBounds(), juce::Rectangle<int> (2, 435, 42, 68));
}

TEST_F (ControlSectionTest, NoChildOverlapsAnotherAndAllReachBeyondTheOwnSize)
{
    expectNoTwoChildrenOverlap (*section);
    const auto area = unionOfChildren (*section);
    EXPECT_EQ (area.getRight(), 443);
    EXPECT_EQ (area.getBottom(), 560);
}

TEST_F (ControlSectionTest, ResizingMovesNoChild)
{
    const auto before = childBounds (*section);
    section->setBounds (540, 22, 450, 600);
    EXPECT_EQ (childBounds (*section), before);
    section->setSize (0, 0);
    EXPECT_EQ (childBounds (*section), before);
}

TEST_F (ControlSectionTest, BindingTwiceKeepsTheSameBindings)
{
    std::map<MappableButton*, std::tuple<int, int, juce::Label*, juce::String>> before;
    for (auto* button : mappableChildren (*section))
        before[button] = { button->id, button->type, button->captionLabel, button->getLabelText() };

    section->setButtonTypes();
    section->setButtonTypes();

    for (auto* button : mappableChildren (*section))
        EXPECT_EQ (before[button], std::make_tuple (button->id, button->type, button->captionLabel, button->getLabelText()));
}

TEST_F (ControlSectionTest, ModeChangeRebindsToTheNewMap)
{
    model->setCurrentMode (CtMode (2));
    section->setButtonTypes();

    for (auto* button : mappableChildren (*section))
    {
        auto node = currentControlNode (button->id);
        button->valueRef = 64;
        EXPECT_EQ ((int) node[Tags::value], 64) << button->id;
    }

    section->setButtonTypes();
    EXPECT_EQ (control (41).getButtonText(), "8>>");
    EXPECT_EQ (jogLabel()->getText(), "Tape Tspt?");
    EXPECT_EQ (control (108).getButtonText(), "Vol.M?");

    model->setCurrentMode (CtMode (1));
    section->setButtonTypes();
    EXPECT_EQ (control (61).getButtonText(), "Track"); // note 40
    EXPECT_EQ (jogLabel()->getText(), "CC60");
}

TEST_F (ControlSectionTest, TypesComeFromThePanelNotFromTheNodesKind)
{
    for (int id : { 41, 99, 108 })
        currentControlNode (id).setProperty (Tags::kind, "knob", nullptr);

    section->setButtonTypes();
    EXPECT_EQ (control (41).type, CtKind::button);
    EXPECT_EQ (control (99).type, CtKind::jogWheel);
    EXPECT_EQ (control (108).type, CtKind::masterFader);
}

TEST_F (ControlSectionTest, ControlsWithoutNodesShowNothing)
{
    auto controls = model->currentMap.getChildWithName (Tags::controls);
    controls.removeChild (currentControlNode (99), nullptr);
    controls.removeChild (currentControlNode (90), nullptr);
    section->setButtonTypes();

    EXPECT_EQ (dynamic_cast<MappableButton&> (*childAt (*section, 136, 496)).getButtonText(), "");
    EXPECT_EQ (jogLabel()->getText(), "");
}

TEST_F (ControlSectionTest, ClicksReachFurtherListeners)
{
    juce::Component window;
    window.setSize (1000, 600);
    window.addAndMakeVisible (*section);

    ClickRecorder recorder;
    for (auto* button : mappableChildren (*section))
        button->addListener (&recorder);

    clickAndDeliver (control (99), recorder);
    clickAndDeliver (control (87), recorder);

    ASSERT_EQ (recorder.clicked.size(), 2u);
    EXPECT_EQ (recorder.clicked[0], &control (99));
    EXPECT_EQ (recorder.clicked[1], &control (87));
    for (auto* button : mappableChildren (*section))
        button->removeListener (&recorder);
}
} // namespace
