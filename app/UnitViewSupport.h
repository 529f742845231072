// What the two views of the unit (the channel strips and the control area)
// share: how their labels look and how a control finds its node.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace UnitViewSupport
{
/** The model's current map; an invalid tree when there is no model. */
juce::ValueTree currentMap();

/** The node of a control id in a map: the first "control" of the map's
    "controls" child whose "id" equals the id (as a var, so "5" matches 5).
    An invalid tree when there is none; the button then shows no caption. */
juce::ValueTree findControlNode (const juce::ValueTree& map, int controlId);

/** Black, centred, 15-point, read-only text on a transparent ground. */
void styleLabel (juce::Label& label);
} // namespace UnitViewSupport
