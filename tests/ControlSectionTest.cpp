// The control area view: fifty buttons, the jog wheel with its label and the
// master fader, at their fixed places. Rules shared with the channel strips
// are in SectionRulesTest.cpp, the captions of whole rows in RowCaptionsTest.cpp.
#include "app/ControlSectionForDlm.h"
#include "model/ControllerMap.h"
#include "support/SectionFixture.h"

#include <set>

using namespace testsupport;

namespace
{
using ControlSectionTest = SectionFixture<ControlSection>;

TEST_F (ControlSectionTest, IdsAreBoundByDeclarationOrderAtFixedPlaces)
{
    EXPECT_EQ (section->getChildren().size(), 53);
    std::multiset<int> ids, expected { 99, 108 };
    for (int id = 41; id <= 90; ++id)
        expected.insert (id);
    for (auto* button : mappableChildren (*section))
        ids.insert (button->id);
    EXPECT_EQ (ids, expected);

    // Runs of ids by position, from the panel's picture of the unit: rows step
    // 64 to the right, the left column 40 down; 85 and 86 sit in reverse.
    struct Run { int firstId, count, x, y, dx, dy; };
    const Run runs[] = { { 47, 5, 136, 40, 64, 0 }, { 41, 6, 2, 96, 0, 40 },   { 53, 4, 200, 104, 64, 0 },
                         { 52, 1, 136, 125, 0, 0 }, { 57, 4, 200, 144, 64, 0 }, { 61, 6, 72, 208, 64, 0 },
                         { 67, 6, 72, 248, 64, 0 }, { 73, 6, 72, 312, 64, 0 },  { 79, 6, 72, 352, 64, 0 },
                         { 86, 1, 136, 416, 0, 0 }, { 85, 1, 264, 416, 0, 0 },  { 87, 3, 72, 456, 64, 0 },
                         { 90, 1, 136, 496, 0, 0 } };
    for (const auto& run : runs)
        for (int i = 0; i < run.count; ++i)
            EXPECT_EQ (control (run.firstId + i).getBounds(), juce::Rectangle<int> (run.x + i * run.dx, run.y + i * run.dy, 51, 25))
                << run.firstId + i;
    EXPECT_EQ (childAt (*section, 2, 96), &control (41)) << "ids follow the declaration order";
    EXPECT_EQ (childAt (*section, 136, 496), &control (90));

    EXPECT_EQ (control (99).getBounds(), juce::Rectangle<int> (343, 429, 96, 96));
    EXPECT_EQ (control (99).captionLabel->getBounds(), juce::Rectangle<int> (344, 528, 96, 32));
    EXPECT_EQ (control (108).getBounds(), juce::Rectangle<int> (2, 435, 42, 68));
    EXPECT_EQ (control (108).captionLabel, nullptr);
}
} // namespace
