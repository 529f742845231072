// A command button of the main view ("Save File", "Load File" and the like);
// a type of its own so the main view can find and listen to all of them.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class CommandButton : public juce::TextButton
{
public:
    CommandButton() : juce::TextButton (juce::String()) {}
    ~CommandButton() override = default;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CommandButton)
};
