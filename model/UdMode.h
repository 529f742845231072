// The user-defined mode keeps its messages in the writable row table ud as
// well as in its map; loading a user-defined mapping file brings the table in
// line with the loaded map.
#pragma once

#include <juce_data_structures/juce_data_structures.h>

namespace UdMode
{
/** Rewrites all 108 rows of ud from the control nodes of a map. An empty
    "type" is a program change, as the editor stores one. A control the map
    lacks (or whose "id" is not exactly its decimal number) becomes a note on
    channel 1 with data 0. */
void rebuildRows (const juce::ValueTree& map);
} // namespace UdMode
