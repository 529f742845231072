// MIDI port names for the upgrader's choosers and its Connect step.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo::DeviceHelpers
{
/** The output (true) or input (false) names, without repeats or blank names. */
juce::StringArray getDeviceNames (bool output);
} // namespace zevo::DeviceHelpers
