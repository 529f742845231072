#include "UdMode.h"

#include "Arrays.h"
#include "ControllerMap.h"

namespace UdMode
{
namespace
{
// The integer of a property as String::getIntValue reads it, in wrap-around
// arithmetic: a file may hold any run of digits, and only the low bits are kept.
uint32_t wrappedIntOf (const juce::var& property, uint32_t whenAbsent)
{
    if (property.isVoid())
        return whenAbsent;

    if (! property.isString())
        return (uint32_t) (int) property;

    auto p = property.toString().getCharPointer().findEndOfWhitespace();
    const bool negative = *p == '-';
    if (negative)
        ++p;

    uint32_t magnitude = 0;
    for (auto c = p.getAndAdvance(); c >= '0' && c <= '9'; c = p.getAndAdvance())
        magnitude = magnitude * 10u + (uint32_t) (c - '0');

    return negative ? 0u - magnitude : magnitude;
}

// A type the editor cannot name (a program change, or anything a file holds)
// is sent as a note.
uint32_t statusNibbleFor (const juce::String& typeSlug)
{
    for (int type = 0; type < (int) std::size (typeStatusNibbles); ++type)
        if (typeSlug == CtType::slugForType (type))
            return (uint32_t) typeStatusNibbles[type];

    return (uint32_t) typeStatusNibbles[0];
}
} // namespace

void rebuildRows (const juce::ValueTree& map)
{
    const auto controls = map.getChildWithName (Tags::controls);

    for (int id = CtKind::firstControlId; id <= CtKind::lastControlId; ++id)
    {
        auto* row = Defa::findUserRow (id);
        if (row == nullptr)
            continue;

        // var comparison: a text property matches only the exact decimal text.
        const auto node = controls.getChildWithProperty (Tags::id, id);
        const auto nibble = statusNibbleFor (node.getProperty (Tags::type).toString());
        const auto chan = wrappedIntOf (node.getProperty (Tags::chan), 1);
        const auto value = wrappedIntOf (node.getProperty (Tags::value), 0);

        row[0] = (uint8_t) nibble;
        row[1] = (uint8_t) ((nibble << 4) | (chan - 1u));
        row[2] = (uint8_t) value;
    }
}
} // namespace UdMode
