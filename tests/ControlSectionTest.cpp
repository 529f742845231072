// The control area view: fifty buttons, the jog wheel with its label and the
// master fader; their captions and fixed places. Rules shared with the
// channel strips are in SectionRulesTest.cpp.
#include "app/ControlSectionForDlm.h"
#include "model/ControllerMap.h"
#include "support/SectionFixture.h"

#include <set>

using namespace testsupport;

namespace
{
class ControlSectionTest : public SectionFixture<ControlSection>
{
protected:
    juce::Label* jogLabel()
    {
        for (auto* label : labelChildren (*section))
            if (label->getName() == "jogLabel")
                return label;
        return nullptr;
    }
};

TEST_F (ControlSectionTest, HoldsTheControlsOnceWithTheirCaptions)
{
    EXPECT_EQ (section->getName(), "ControlSection");
    EXPECT_EQ (section->getChildren().size(), 53);
    EXPECT_EQ (section->getBounds(), juce::Rectangle<int> (0, 0, 600, 400));

    std::multiset<int> ids, expected { 99, 108 };
    for (int id = 41; id <= 90; ++id)
        expected.insert (id);
    for (auto* button : mappableChildren (*section))
    {
        ids.insert (button->id);
        EXPECT_EQ (button->getName(), "new button");
        EXPECT_TRUE (button->isVisible());
        if (button->id <= 90)
        {
            EXPECT_EQ (button->type, CtKind::button) << button->id;
            EXPECT_EQ (button->captionLabel, nullptr) << button->id;
            EXPECT_EQ (button->getButtonText(), button->getLabelText()) << button->id;
        }
    }
    EXPECT_EQ (ids, expected);

    EXPECT_EQ (control (41).getButtonText(), " C(-1)");
    EXPECT_EQ (control (42).getButtonText(), " D(3)");
    EXPECT_EQ (control (90).getButtonText(), "C#(7)"); // note 97

    ASSERT_NE (jogLabel(), nullptr);
    EXPECT_EQ (control (99).type, CtKind::jogWheel);
    EXPECT_EQ (control (99).captionLabel, jogLabel());
    EXPECT_EQ (control (99).getButtonText(), "");
    EXPECT_EQ (jogLabel()->getText(), "CC60");

    EXPECT_EQ (control (108).type, CtKind::masterFader);
    EXPECT_EQ (control (108).captionLabel, nullptr);
    EXPECT_EQ (control (108).getButtonText(), "PB.9");
}

TEST_F (ControlSectionTest, IdsAreBoundByDeclarationOrderAtFixedPlaces)
{
    // Runs of ids by position, from the panel's picture of the unit: rows step
    // 64 to the right, the left column 40 down; 85 and 86 sit in reverse.
    struct Run { int firstId, count, x, y, dx, dy; };
    const Run runs[] = { { 47, 5, 136, 40, 64, 0 }, { 41, 6, 2, 96, 0, 40 },   { 53, 4, 200, 104, 64, 0 },
                         { 52, 1, 136, 125, 0, 0 }, { 57, 4, 200, 144, 64, 0 }, { 61, 6, 72, 208, 64, 0 },
                         { 67, 6, 72, 248, 64, 0 }, { 73, 6, 72, 312, 64, 0 },  { 79, 6, 72, 352, 64, 0 },
                         { 86, 1, 136, 416, 0, 0 }, { 85, 1, 264, 416, 0, 0 },  { 87, 3, 72, 456, 64, 0 },
                         { 90, 1, 136, 496, 0, 0 } };
    int numPlaced = 0;
    for (const auto& run : runs)
        for (int i = 0; i < run.count; ++i, ++numPlaced)
            EXPECT_EQ (control (run.firstId + i).getBounds(), juce::Rectangle<int> (run.x + i * run.dx, run.y + i * run.dy, 51, 25))
                << run.firstId + i;
    EXPECT_EQ (numPlaced, 50);
    EXPECT_EQ (childAt (*section, 2, 96), &control (41)) << "ids follow the declaration order";
    EXPECT_EQ (childAt (*section, 136, 496), &control (90));

    EXPECT_EQ (control (99).getBounds(), juce::Rectangle<int> (343, 429, 96, 96));
    EXPECT_EQ (jogLabel()->getBounds(), juce::Rectangle<int> (344, 528, 96, 32));
    EXPECT_EQ (control (108).getBounds(), juce::Rectangle<int> (2, 435, 42, 68));
}

TEST_F (ControlSectionTest, CaptionsFollowTheMode)
{
    model->setCurrentMode (CtMode (2));
    section->setButtonTypes();
    control (41).valueRef = 64;
    section->setButtonTypes();
    EXPECT_EQ (control (41).getButtonText(), "8>>");
    EXPECT_EQ (jogLabel()->getText(), "Tape Tspt?");
    EXPECT_EQ (control (108).getButtonText(), "Vol.M?");

    model->setCurrentMode (CtMode (1));
    section->setButtonTypes();
    EXPECT_EQ (control (61).getButtonText(), "Track"); // note 40
    EXPECT_EQ (jogLabel()->getText(), "CC60");
}
} // namespace
