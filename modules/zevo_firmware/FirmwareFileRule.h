// Which local firmware files fit which product. A firmware file is named after
// the product family it was built for, so a file picked by hand is checked by
// name before it can reach a unit of another kind.
#pragma once

#include <juce_core/juce_core.h>

namespace zevo::FirmwareFileRule
{
/** Whether a firmware file may be sent to a unit of this product code. Only
    the name counts (its extension dropped, lower-cased, blanks at either end
    trimmed); products without a naming rule accept every file. */
bool fits (const juce::File& firmwareFile, int productCode);

/** The same test on a name already reduced as described above. */
bool nameFits (const juce::String& reducedName, int productCode);
} // namespace zevo::FirmwareFileRule
