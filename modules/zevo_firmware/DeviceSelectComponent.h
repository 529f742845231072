// The upgrader's port chooser: the content of the "Choose Your Zevo Device"
// dialog, listing every MIDI input. The caller runs it in a modal
// DialogWindow that does not own it and reads selectedName after OK.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo
{
class DeviceSelectComponent : public juce::Component,
                              public juce::Button::Listener,
                              public juce::ComboBox::Listener
{
public:
    DeviceSelectComponent();
    ~DeviceSelectComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    /** The port last selected in the box; empty when there is none. */
    juce::String selectedName;

private:
    juce::ComboBox deviceBox;
    juce::TextButton cancelButton { "Cancel" };
    juce::TextButton okButton { "OK" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeviceSelectComponent)
};
} // namespace zevo
