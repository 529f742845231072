#include "UploadRecords.h"

#include "Arrays.h"
#include "ControllerMap.h"

namespace UploadRecords
{
namespace
{
constexpr int recordStatus = 0x9F; // Note On, channel 16
constexpr int unassignedButtonValue = 126;

juce::MidiMessage record (int firstDataByte, int secondDataByte)
{
    return juce::MidiMessage (recordStatus, firstDataByte, secondDataByte);
}

juce::Array<juce::ValueTree>& listForKind (ControlGroups& groups, const juce::String& kind)
{
    if (kind == "knob") return groups.knobs;
    if (kind == "jog-wheel") return groups.jogWheel;
    if (kind == "fader") return groups.faders;
    if (kind == "master-fader") return groups.masterFader;
    return groups.buttons; // "button", and any kind the unit does not know
}

void sortById (juce::Array<juce::ValueTree>& controls)
{
    ControlSorter sorter;
    controls.sort (sorter);
}

int typeCode (int statusNibble, TypeColumn column)
{
    switch (statusNibble)
    {
        case 0xB: return column == TypeColumn::fader ? 0 : 2;
        case 0xC: return column == TypeColumn::button ? 3 : 0;
        case 0xE: return column == TypeColumn::button ? 0 : 1;
        default: return 0; // note, and the empty row
    }
}
} // namespace

ControlGroups groupControls (const juce::ValueTree& map)
{
    ControlGroups groups;
    const auto controls = map.getChildWithName (Tags::controls);

    for (const auto& control : controls)
        listForKind (groups, control.getProperty (Tags::kind).toString()).add (control);

    for (auto* list : { &groups.buttons, &groups.knobs, &groups.jogWheel, &groups.faders, &groups.masterFader })
        sortById (*list);

    return groups;
}

juce::MidiMessage preambleRecord (int n) { return record (n, 0); }

juce::MidiMessage typeRecord (const juce::ValueTree& control, int ctMode, TypeColumn column)
{
    static constexpr uint8_t emptyRow[3] = { 0, 0, 0 };
    const uint8_t* row = Defa::findRow (ctMode, control.getProperty (Tags::id));
    if (row == nullptr)
        row = emptyRow;

    return record (row[1] & 0x0F, typeCode (row[0], column));
}

juce::MidiMessage valueRecord (const juce::ValueTree& control, bool isButton)
{
    const int value = control.getProperty (Tags::value, 0);

    if (isButton && value == unassignedButtonValue)
        return record (0x07, 0x0E);

    // Only the low eight bits reach the unit; masking first keeps negative
    // values well defined too.
    const auto low8 = (unsigned int) value & 0xFFu;
    const int hi = (int) (low8 >> 4);
    const int lo = (int) (low8 & 0x0Fu);
    return record (isButton ? (hi | 0x08) : hi, lo);
}

juce::MidiMessage terminator() { return juce::MidiMessage (0x9E, 0x7F, 0x7F); }
} // namespace UploadRecords
