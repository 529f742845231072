// The control area of the full-size unit, right of the channel strips: fifty
// buttons (control ids 41 to 90), the jog wheel with its caption label and the
// master fader, each a mappable button bound to the control with its id.
// Clicks are handled by the main view, which listens to every button here.
#pragma once

#include "MappableButton.h"

#include <array>
#include <memory>

class ControlSection : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int numButtons = 50;
    static constexpr int firstButtonId = 41;
    static constexpr int jogWheelId = 99;
    static constexpr int masterFaderId = 108;

    ControlSection();
    ~ControlSection() override;

    /** Binds every control again to its node in the model's current map, which
        also refreshes every caption. */
    void setButtonTypes();

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

private:
    void createButton (int controlId);
    void createJogLabel();
    std::unique_ptr<MappableButton>& slotFor (int controlId);

    // Button k holds control id 41 + k: the binding follows this array alone.
    std::array<std::unique_ptr<MappableButton>, numButtons> buttons;
    std::unique_ptr<MappableButton> jogWheel;
    std::unique_ptr<juce::Label> jogLabel;
    std::unique_ptr<MappableButton> masterFader;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlSection)
};
