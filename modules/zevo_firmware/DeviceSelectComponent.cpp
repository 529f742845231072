#include "DeviceSelectComponent.h"

#include "ChooserLayout.h"
#include "DeviceHelpers.h"
#include "model/MidiPorts.h"

namespace zevo
{
DeviceSelectComponent::DeviceSelectComponent()
{
    setName ("DeviceSelectComponent");

    addAndMakeVisible (okButton);
    addAndMakeVisible (cancelButton);
    addAndMakeVisible (deviceBox);

    deviceBox.addItemList (DeviceHelpers::getDeviceNames (false), 1);
    deviceBox.setSelectedId (deviceBox.getNumItems() > 0 ? deviceBox.getItemId (0) : 0, juce::dontSendNotification);
    selectedName = deviceBox.getText();

    okButton.addListener (this);
    cancelButton.addListener (this);
    deviceBox.addListener (this);
    setSize (300, 200);
}

DeviceSelectComponent::~DeviceSelectComponent() = default;

void DeviceSelectComponent::paint (juce::Graphics&) {}

void DeviceSelectComponent::resized()
{
    ChooserLayout::place (*this, deviceBox, okButton, cancelButton);
}

void DeviceSelectComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
    {
        ChooserLayout::confirm (*this);
        return;
    }

    if (button != &cancelButton)
        return;

    // The pause lets the user see the click land before the dialog goes.
    if (findParentComponentOfClass<juce::DialogWindow>() != nullptr)
    {
        MidiPorts::get().pause (300);
        ChooserLayout::dismiss (*this);
    }
}

void DeviceSelectComponent::comboBoxChanged (juce::ComboBox* box)
{
    selectedName = box->getText();
}
} // namespace zevo
