#include "UdMode.h"

#include "Arrays.h"
#include "ControllerMap.h"

namespace UdMode
{
namespace
{
// The integer of a property exactly as the map's own readers take it (var's
// int conversion, which for text is String::getIntValue): "+3" is 3, and a run
// of digits too long for an int comes out as that conversion makes it, so the
// row, the tree, the boxes and the upload agree.
uint32_t intOf (const juce::var& property, int whenAbsent)
{
    return (uint32_t) (property.isVoid() ? whenAbsent : (int) property);
}

// The editor stores a program change as an empty "type", so an empty one is
// read back as a program change. A type the editor cannot name, or none at
// all, is sent as a note.
uint32_t statusNibbleFor (const juce::var& type)
{
    const auto typeSlug = type.toString();
    if (type.isString() && typeSlug.isEmpty())
        return (uint32_t) tyvaOfSele[programChoice];

    for (int typeValue = 0; typeValue < (int) std::size (typeStatusNibbles); ++typeValue)
        if (typeSlug == CtType::slugForType (typeValue))
            return (uint32_t) typeStatusNibbles[typeValue];

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
        const auto nibble = statusNibbleFor (node.getProperty (Tags::type));
        const auto chan = intOf (node.getProperty (Tags::chan), 1);
        const auto value = intOf (node.getProperty (Tags::value), 0);

        row[0] = (uint8_t) nibble;
        row[1] = (uint8_t) ((nibble << 4) | (chan - 1u));
        row[2] = (uint8_t) value;
    }
}
} // namespace UdMode
