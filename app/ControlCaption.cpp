#include "ControlCaption.h"

#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "model/NameTables.h"

namespace
{
// Captions for a value that no table names: the number itself tells the user
// more than an empty caption would.
juce::String unnamed (int value) { return juce::String (value); }

template <size_t size>
juce::String nameOrNumber (const NameField (&table)[size], int index)
{
    return (index >= 0 && index < (int) size) ? nameAt (table, index) : unnamed (index);
}

/** First position of `value` among the first `count` entries of `list`, or -1.
    The count comes from a table of its own and may exceed the list (the jog
    wheel's HUI count is 4 for a list of one), so it is capped at the list. */
template <size_t size>
int positionIn (const uint8_t (&list)[size], int count, int value)
{
    const auto searched = juce::jlimit (0, (int) size, count);
    for (int position = 0; position < searched; ++position)
        if (list[position] == value)
            return position;

    return -1;
}

template <size_t listSize, size_t namesSize>
juce::String nameByPosition (const uint8_t (&values)[listSize], int count, const NameField (&names)[namesSize], int value)
{
    const auto position = positionIn (values, count, value);
    return position >= 0 ? nameAt (names, position) : unnamed (value);
}

// Logic mode, a control on a note row.
juce::String logicNoteCaption (int kind, int value)
{
    switch (kind)
    {
        case CtKind::button:      return nameOrNumber (logicNotes, value);
        case CtKind::knob:        return nameByPosition (abletonLiveKnobValues, logicLabelCounts[0], abletonLiveKnobs, value);
        case CtKind::jogWheel:    return "Tape Tspt";
        case CtKind::fader:       return nameByPosition (abletonLiveFaderValues, logicLabelCounts[2], abletonLiveFader, value);
        case CtKind::masterFader: return nameByPosition (abletonLiveMasterFaderValues, logicLabelCounts[3], abletonLiveMasterFader, value);
        default:                  return unnamed (value);
    }
}

// Everything but the HUI buttons has its HUI function fixed by its place.
int huiValueOf (int controlId, int nodeValue)
{
    const int k = CtKind::ordinalForId (controlId);
    switch (CtKind::forId (controlId))
    {
        case CtKind::knob:        return protoolsKnobIndexes[k];
        case CtKind::fader:       return protoolsFaderIndexes[k];
        case CtKind::jogWheel:    return protoolsJogWheelIndexes[0];
        case CtKind::masterFader: return protoolsMasterFaderIndexes[0];
        default:                  return nodeValue;
    }
}

juce::String huiCaption (int controlId, int kind, int nodeValue)
{
    const auto huiValue = huiValueOf (controlId, nodeValue);
    return Defa::huiValuesOfKind (kind, protoolsLabelCounts).contains (huiValue) ? nameAt (protoolsControlNames, huiValue) : unnamed (huiValue);
}

// The message of a row: status nibble, status byte (channel), data byte.
juce::String rowCaption (const uint8_t* row)
{
    const int value = row[2];

    switch (row[0])
    {
        case 0x09: return nameOrNumber (NOTE, value);
        case 0x0B: return juce::String::formatted ("CC%d", value);
        case 0x0C: return juce::String::formatted ("PC%d", value);
        case 0x0E: return juce::String::formatted ("PB.%d", (row[1] & 15) + 1);
        default:   return "eMidiType";
    }
}
} // namespace

namespace ControlCaption
{
juce::String forControl (int mode, int controlId, int kind, int nodeValue)
{
    if (! CtKind::isValidId (controlId))
        return {};

    if (mode == CtMode::proTools)
        return huiCaption (controlId, kind, nodeValue);

    const auto* row = Defa::findRow (mode, controlId);
    if (row == nullptr)
        return {};

    if (mode == CtMode::logic && row[0] == 0x09)
        return logicNoteCaption (kind, row[2]);

    return rowCaption (row);
}
} // namespace ControlCaption
