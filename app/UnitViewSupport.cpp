#include "UnitViewSupport.h"

#include "model/Dolmaris.h"

namespace UnitViewSupport
{
juce::ValueTree currentMap()
{
    auto* model = Dolmaris::getInstance();
    return model != nullptr ? model->impl->currentMap : juce::ValueTree();
}

juce::ValueTree findControlNode (const juce::ValueTree& map, int controlId)
{
    return map.getChildWithName (Tags::controls).getChildWithProperty (Tags::id, juce::var (controlId));
}

void styleLabel (juce::Label& label)
{
    label.setFont (juce::Font (15.0f, juce::Font::plain).withTypefaceStyle ("Regular"));
    label.setJustificationType (juce::Justification::centred);
    label.setEditable (false, false, false);
    label.setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    label.setColour (juce::TextEditor::textColourId, juce::Colour (0xff000000));
    label.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
}
} // namespace UnitViewSupport
