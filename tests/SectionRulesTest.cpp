// Rules both views of the unit follow: fixed places, one label style,
// bindings that survive rebinding and follow the current map, and kinds taken
// from the panel.
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/LayoutChecks.h"
#include "support/SectionFixture.h"

#include <map>
#include <tuple>

using namespace testsupport;

namespace
{
template <typename Section>
class SectionRules : public SectionFixture<Section>
{
protected:
    using Binding = std::tuple<int, int, juce::Label*, juce::String>;

    std::map<MappableButton*, Binding> bindings()
    {
        std::map<MappableButton*, Binding> result;
        for (auto* button : mappableChildren (*this->section))
            result[button] = { button->id, button->type, button->captionLabel, button->getLabelText() };
        return result;
    }
};

using Sections = ::testing::Types<MixerSection, ControlSection>;
TYPED_TEST_SUITE (SectionRules, Sections);

// Places are fixed (the expected views file pins them): resizing moves nothing.
TYPED_TEST (SectionRules, ResizingMovesNothingAndLabelsShareOneStyle)
{
    const auto before = childBounds (*this->section);
    this->section->setBounds (0, 66, 540, 500);
    this->section->setSize (0, 0);
    EXPECT_EQ (childBounds (*this->section), before);

    for (auto* label : labelChildren (*this->section))
    {
        EXPECT_TRUE (label->getFont().getHeight() == 15.0f && label->getFont().getTypefaceStyle() == "Regular"
                     && label->getJustificationType() == juce::Justification::centred && ! label->isEditableOnDoubleClick());
        EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xff000000));
    }
}

// Kinds come from the panel, not the node; a loaded file may hold ids as text.
TYPED_TEST (SectionRules, BindingAgainKeepsBindingsWhateverTheNodesKindOrIdForm)
{
    const auto before = this->bindings();
    for (auto node : this->model->currentMap.getChildWithName (Tags::controls))
    {
        node.setProperty (Tags::kind, "knob", nullptr);
        node.setProperty (Tags::id, node[Tags::id].toString(), nullptr);
    }
    this->section->setButtonTypes();
    EXPECT_EQ (this->bindings(), before);
}

TYPED_TEST (SectionRules, ModeChangeRebindsEveryControlToTheNewMap)
{
    this->model->setCurrentMode (CtMode (2));
    this->section->setButtonTypes();
    for (auto* button : mappableChildren (*this->section))
    {
        button->valueRef = 77;
        EXPECT_EQ ((int) currentControlNode (button->id)[Tags::value], 77) << button->id;
    }
}

TYPED_TEST (SectionRules, ControlsWithoutNodesAreUnboundAndShowNothing)
{
    auto& map = this->model->currentMap;
    map.removeChild (map.getChildWithName (Tags::controls), nullptr);
    this->section->setButtonTypes();
    for (auto* button : mappableChildren (*this->section))
        EXPECT_TRUE (button->id == 0 && button->getButtonText().isEmpty()
                     && (button->captionLabel == nullptr || button->captionLabel->getText().isEmpty()));
}

} // namespace
