#include "DeviceSelectComponent.h"

#include "model/Arrays.h"
#include "model/MidiPorts.h"
#include "model/PortNames.h"
#include "model/Product.h"
#include "zevo_firmware/ChooserLayout.h"

namespace DeviceSelectHelper
{
bool validDeviceName (const juce::String& name)
{
    return name.containsIgnoreCase ("Dolm") || (name.containsIgnoreCase ("zevo") && name.containsIgnoreCase ("midi"));
}
} // namespace DeviceSelectHelper

juce::StringArray supportedOutputNames()
{
    juce::StringArray supported;
    for (const auto& name : PortNames::withoutRepeatsOrBlanks (MidiPorts::get().getOutputNames()))
        if (DeviceSelectHelper::validDeviceName (name))
            supported.add (name);

    return supported;
}

juce::String findSupportedOutputDevice()
{
    for (const auto& name : supportedOutputNames())
        if (zevo::Product::fromDeviceName (name).isFullUnitOrExtender())
            return name;

    return {};
}

//==============================================================================
DeviceSelectComponent::DeviceSelectComponent()
{
    setName ("DeviceSelectComponent");

    addAndMakeVisible (connectButton);
    connectButton.setButtonText ("Connect");
    addAndMakeVisible (cancelButton);
    cancelButton.setButtonText ("Cancel");
    addAndMakeVisible (deviceBox);

    const auto names = supportedOutputNames();
    deviceBox.addItemList (names, 1);

    // selectedName keeps the remembered name even when the box shows another.
    selectedName = g_lastSelectedDevice;
    if (! names.isEmpty())
        deviceBox.setSelectedItemIndex (juce::jmax (0, names.indexOf (g_lastSelectedDevice)), juce::dontSendNotification);

    connectButton.addListener (this);
    cancelButton.addListener (this);
    deviceBox.addListener (this);

    setSize (300, 200);
}

DeviceSelectComponent::~DeviceSelectComponent() = default;

void DeviceSelectComponent::paint (juce::Graphics&) {}

void DeviceSelectComponent::resized()
{
    zevo::ChooserLayout::place (*this, deviceBox, connectButton, cancelButton);
}

void DeviceSelectComponent::comboBoxChanged (juce::ComboBox*)
{
    selectedName = deviceBox.getText();
}

void DeviceSelectComponent::buttonClicked (juce::Button* button)
{
    if (button == &cancelButton)
    {
        zevo::ChooserLayout::dismiss (*this);
    }
    else if (button == &connectButton)
    {
        // Remembered whatever it is; only a name of the family closes the dialog.
        selectedName = deviceBox.getText();
        g_lastSelectedDevice = selectedName;

        if (DeviceSelectHelper::validDeviceName (selectedName))
            zevo::ChooserLayout::confirm (*this);
    }
}
