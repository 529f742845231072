// Choosing the MIDI output that mappings are sent to: the name rule for the
// maker's units, the automatic choice of the first connected unit, and the
// content of the "Select your device" dialog.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace DeviceSelectHelper
{
/** True for a name of the maker's family: "Dolm" anywhere, or both "zevo" and
    "midi" anywhere, case ignored. */
bool validDeviceName (const juce::String& name);
} // namespace DeviceSelectHelper

/** The MIDI outputs the dialog offers, in the system's order: each name once,
    no blank names, only names that pass the name rule. */
juce::StringArray supportedOutputNames();

/** The first listed output that the product table knows as a full unit or an
    extender; empty when there is none. Nothing is opened. */
juce::String findSupportedOutputDevice();

/** The dialog content. The dialog does not own it: whoever runs the dialog
    deletes it afterwards and reads selectedName. */
class DeviceSelectComponent : public juce::Component, public juce::Button::Listener, public juce::ComboBox::Listener
{
public:
    DeviceSelectComponent();
    ~DeviceSelectComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    /** The name chosen so far; starts as the remembered output. */
    juce::String selectedName;

private:
    juce::ComboBox deviceBox { juce::String() };
    juce::TextButton cancelButton;
    juce::TextButton connectButton;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DeviceSelectComponent)
};
