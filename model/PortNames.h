// The rule both port lists of the program follow: the editor's output list and
// the upgrader's port choosers show a port name once, and never a blank one.
#pragma once

#include <juce_core/juce_core.h>

namespace PortNames
{
/** The names in their order, with repeats (exact, case-sensitive; the first
    stays) removed and then every name that is empty or holds only blanks
    and the control characters 9 to 13. */
juce::StringArray withoutRepeatsOrBlanks (const juce::StringArray& names);
} // namespace PortNames
