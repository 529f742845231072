// The channel strip view: its 56 controls and 24 labels, their order, kinds
// and fixed places. Rules shared with the control area are in
// SectionRulesTest.cpp, the captions of whole rows in RowCaptionsTest.cpp.
#include "app/MixerSection.h"
#include "model/ControllerMap.h"
#include "support/SectionFixture.h"

#include <set>

using namespace testsupport;

namespace
{
using MixerSectionTest = SectionFixture<MixerSection>;

bool isKnob (int id) { return id >= 91 && id <= 98; }
bool isPush (int id) { return id >= 33 && id <= 40; }

TEST_F (MixerSectionTest, HoldsEveryControlOfTheStripsOnceInDeclarationOrder)
{
    std::multiset<int> ids, expected;
    for (int id = 1; id <= 108; ++id)
        if (id <= 40 || isKnob (id) || (id >= 100 && id <= 107))
            expected.insert (id);
    for (auto* button : mappableChildren (*section))
    {
        ids.insert (button->id);
        EXPECT_EQ (button->getName(), isKnob (button->id) ? "pan" + juce::String (button->id - 90) : "new button");
        EXPECT_EQ (button->captionLabel != nullptr, isKnob (button->id) || isPush (button->id)) << button->id;
        EXPECT_TRUE (button->captionLabel == nullptr || button->getButtonText().isEmpty()) << button->id;
    }
    EXPECT_EQ (ids, expected);

    // Strip 1's knob, push, REC and fader come first, then 21 labels; SEL 8 is last.
    const std::pair<int, int> idAtIndex[] = { { 0, 91 }, { 1, 33 }, { 2, 1 }, { 3, 100 }, { 25, 101 }, { 34, 107 },
                                              { 35, 92 }, { 36, 34 }, { 49, 9 }, { 52, 2 }, { 79, 32 } };
    const auto& children = section->getChildren();
    ASSERT_EQ (children.size(), 80);
    for (const auto& [index, id] : idAtIndex)
        EXPECT_EQ (dynamic_cast<MappableButton&> (*children[index]).id, id) << index;
    for (int i = 4; i < 25; ++i)
        EXPECT_NE (dynamic_cast<juce::Label*> (children[i]), nullptr) << i;
}

TEST_F (MixerSectionTest, ControlsAndLabelsSitAtTheirFixedPlaces)
{
    // Strips are 64 apart; each row holds one kind of control, ids ascending by
    // strip. The labels' columns are not all on the strips' grid.
    const int knobCaptionX[] = { 24, 88, 152, 217, 281, 344, 408, 472 };
    const int pushCaptionX[] = { 24, 88, 152, 216, 280, 343, 408, 472 };
    const int stripNumberX[] = { 24, 85, 151, 216, 280, 344, 408, 471 };
    struct Row { int firstId, y; };
    const Row rows[] = { { 91, 54 }, { 33, 80 }, { 1, 160 }, { 9, 200 }, { 17, 240 }, { 25, 280 } };
    for (int strip = 0; strip < 8; ++strip)
    {
        for (const auto& row : rows)
            EXPECT_EQ (control (row.firstId + strip).getBounds(), juce::Rectangle<int> (24 + 64 * strip, row.y, 51, 25))
                << row.firstId + strip;
        EXPECT_EQ (control (100 + strip).getBounds(), juce::Rectangle<int> (29 + 64 * strip, 391, 42, 68));
        EXPECT_EQ (control (91 + strip).captionLabel->getBounds(), juce::Rectangle<int> (knobCaptionX[strip], 22, 51, 24));
        EXPECT_EQ (control (33 + strip).captionLabel->getBounds(), juce::Rectangle<int> (pushCaptionX[strip], 112, 51, 24));

        auto* number = dynamic_cast<juce::Label*> (childAt (*section, stripNumberX[strip], 320));
        ASSERT_NE (number, nullptr) << strip;
        EXPECT_EQ (number->getText(), "(" + juce::String (strip + 1) + ")");
        EXPECT_EQ (number->getBounds().withZeroOrigin(), juce::Rectangle<int> (51, 24));
    }

    for (auto* label : labelChildren (*section))
    {
        EXPECT_TRUE (label->getName() == "new label" && label->getFont().getHeight() == 15.0f
                     && label->getJustificationType() == juce::Justification::centred && ! label->isEditableOnDoubleClick());
        EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xff000000));
    }
}

TEST_F (MixerSectionTest, HuiCaptionsComeFromTheButtonsValueButTheFadersPlace)
{
    model->setCurrentMode (CtMode (2));
    section->setButtonTypes();
    for (int id : { 40, 100 })
        control (id).valueRef = 77;
    section->setButtonTypes();
    EXPECT_EQ (shownCaption (40), "(nil)"); // HUI value 77
    EXPECT_EQ (shownCaption (100), "Vol.1");
}
} // namespace
