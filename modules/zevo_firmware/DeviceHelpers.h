// The upgrader's port lists.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo
{
namespace DeviceHelpers
{
/** The MIDI output names (or, for false, the input names) in the system's
    order, each once and none blank: the editor's rule for its output list. */
juce::StringArray getDeviceNames (bool output);
} // namespace DeviceHelpers
} // namespace zevo
