// The caption of a control: what it sends in a control mode, in words. The
// modes' row tables decide it, except in HUI mode, where the control's place
// (or, for the buttons, its node's value) picks a HUI function name.
#pragma once

#include <juce_core/juce_core.h>

namespace ControlCaption
{
/** The caption of control `controlId` of kind `kind` (a CtKind value) in
    `mode`; `nodeValue` is the control node's "value", read only for HUI
    buttons. A value the name tables have no entry for shows as its decimal
    number. Empty when there is no row to read: an id outside 1..108 (a button
    that is not bound) or a mode without tables. */
juce::String forControl (int mode, int controlId, int kind, int nodeValue);
} // namespace ControlCaption
