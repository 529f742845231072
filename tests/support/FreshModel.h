// The model singleton can be built only once per run, so tests that need a
// model in its start-up state give the one object a new state instead. (The
// test main keeps every settings file in a temporary folder.)
#pragma once

#include "model/Dolmaris.h"

namespace testsupport
{
inline Dolmaris::Impl& useFreshModel() { return *(Dolmaris::getInstance()->impl = std::make_unique<Dolmaris::Impl>()); }

// The control node of an id in the model's current map.
inline juce::ValueTree currentControlNode (int controlId)
{
    return Dolmaris::getInstance()->impl->currentMap.getChildWithName (Tags::controls).getChildWithProperty (Tags::id, controlId);
}
} // namespace testsupport
