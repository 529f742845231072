#include "MappableButton.h"

#include "ControlCaption.h"
#include "model/Dolmaris.h"

MappableButton::MappableButton (const juce::String& componentName) : juce::TextButton (componentName)
{
    setColour (juce::TextButton::buttonColourId, juce::Colour (0xff222222));
    setColour (juce::TextButton::buttonOnColourId, juce::Colour (0x804455a8));
}

MappableButton::~MappableButton() = default;

void MappableButton::setMapping (juce::ValueTree controlNode)
{
    id = controlNode[Tags::id];
    typeRef.referTo (controlNode.getPropertyAsValue (Tags::type, nullptr));
    chanRef.referTo (controlNode.getPropertyAsValue (Tags::chan, nullptr));
    valueRef.referTo (controlNode.getPropertyAsValue (Tags::value, nullptr));
    updateText();
}

void MappableButton::updateText()
{
    const auto text = getLabelText();

    if (captionLabel != nullptr)
        captionLabel->setText (text, juce::dontSendNotification);
    else
        setButtonText (text);
}

juce::String MappableButton::getLabelText()
{
    auto* model = Dolmaris::getInstance();
    if (model == nullptr)
        return {};

    return ControlCaption::forControl (model->getCurrCtMode(), id, type, valueRef.getValue());
}

void MappableButton::mouseEnter (const juce::MouseEvent&)
{
    if (getToggleState())
        setTooltip (getLabelText());
}

void MappableButton::mouseExit (const juce::MouseEvent&)
{
    setTooltip ({});
}
