// The upgrader's version chooser: the content of the "Firmware Version"
// dialog, one item per catalogue entry. The caller runs it in a modal
// DialogWindow that does not own it and, after OK, reads the entry at the
// selected index from `catalogue`.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo
{
class FirmwareSelectComponent : public juce::Component,
                                public juce::Button::Listener,
                                public juce::ComboBox::Listener
{
public:
    /** `entries`: the catalogue of the connected product, children with
        "name" and "version" attributes. It is copied deeply. */
    explicit FirmwareSelectComponent (const juce::ValueTree& entries);
    ~FirmwareSelectComponent() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    juce::ComboBox versionBox;
    juce::TextButton cancelButton { "Cancel" };
    juce::TextButton okButton { "OK" };
    const juce::ValueTree catalogue;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FirmwareSelectComponent)
};
} // namespace zevo
