// The eight channel strips of the surface: per strip a pan knob with its push
// switch, REC, SOLO, MUTE and SEL buttons and a fader, each a mappable button
// bound to the control with its id, plus caption and strip number labels.
// Clicks are handled by the main view, which listens to every button here.
#pragma once

#include "MappableButton.h"

#include <array>
#include <memory>

class MixerSection : public juce::Component, public juce::Button::Listener
{
public:
    static constexpr int numStrips = 8;

    MixerSection();
    ~MixerSection() override;

    /** Binds every control again to its node in the model's current map, which
        also refreshes every caption. */
    void setButtonTypes();

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;

    /** The rows of buttons and of labels, one child per strip in each. */
    enum ButtonRow { knobRow, pushRow, recRow, soloRow, muteRow, selRow, faderRow, numButtonRows };
    enum LabelRow { knobCaptionRow, pushCaptionRow, stripNumberRow, numLabelRows };

private:
    template <typename ChildType>
    using Row = std::array<std::unique_ptr<ChildType>, numStrips>;

    void createButton (ButtonRow row, int strip);
    void createLabel (LabelRow row, int strip);

    std::array<Row<MappableButton>, numButtonRows> buttons;
    std::array<Row<juce::Label>, numLabelRows> labels;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MixerSection)
};
