#include "DeviceHelpers.h"

#include "model/MidiPorts.h"
#include "model/PortNames.h"

juce::StringArray zevo::DeviceHelpers::getDeviceNames (bool output)
{
    auto& ports = MidiPorts::get();
    return PortNames::withoutRepeatsOrBlanks (output ? ports.getOutputNames() : ports.getInputNames());
}
