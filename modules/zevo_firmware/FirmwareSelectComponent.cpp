#include "FirmwareSelectComponent.h"

#include "ChooserLayout.h"

namespace zevo
{
FirmwareSelectComponent::FirmwareSelectComponent (const juce::ValueTree& entries)
    : catalogue (entries.createCopy())
{
    setName ("DeviceSelectComponent");

    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (versionBox);

    int id = 1;
    for (const auto& entry : catalogue)
        versionBox.addItem (entry["name"].toString() + " v" + entry["version"].toString(), id++);

    versionBox.setSelectedId (versionBox.getNumItems() > 0 ? 1 : 0, juce::sendNotificationAsync);

    okButton.addListener (this);
    cancelButton.addListener (this);
    versionBox.addListener (this);
    setSize (300, 200);
}

FirmwareSelectComponent::~FirmwareSelectComponent() = default;

void FirmwareSelectComponent::paint (juce::Graphics&) {}

void FirmwareSelectComponent::resized()
{
    ChooserLayout::place (*this, versionBox, okButton, cancelButton);
}

void FirmwareSelectComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        ChooserLayout::confirm (*this);
    else if (button == &cancelButton)
        ChooserLayout::dismiss (*this);
}

void FirmwareSelectComponent::comboBoxChanged (juce::ComboBox*) {}
} // namespace zevo
