// The main view's control-mode box; a type of its own so the main view can
// tell it from the attribute boxes.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ControlModeComboBox : public juce::ComboBox
{
public:
    ControlModeComboBox() : juce::ComboBox (juce::String()) {}
    ~ControlModeComboBox() override = default;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ControlModeComboBox)
};
