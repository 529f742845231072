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
        const auto chan = intOf (node.getProperty (Tags::chan), 1);
        const auto value = intOf (node.getProperty (Tags::value), 0);

        row[0] = (uint8_t) nibble;
        row[1] = (uint8_t) ((nibble << 4) | (chan - 1u));
        row[2] = (uint8_t) value;
    }
}
} // namespace UdMode
