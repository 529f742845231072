// The messages of a mapping upload besides the mode message: three-byte
// Note On records on channel 16 that carry, nibble by nibble, the preamble and
// each control's message type, channel and value, and the closing terminator.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_data_structures/juce_data_structures.h>

namespace UploadRecords
{
constexpr int preambleLength = 32;

/** The control nodes of a map, split by kind; each list in ascending id. */
struct ControlGroups
{
    juce::Array<juce::ValueTree> buttons, knobs, jogWheel, faders, masterFader;
};

/** Groups the children of the map's first "controls" node by their "kind"
    text. An unknown or missing kind counts as a button. */
ControlGroups groupControls (const juce::ValueTree& map);

/** Which column of the type-code table a control's group reads. */
enum class TypeColumn { button, knobOrJogWheel, fader };

/** {9F, n, 00}: record n of the preamble. */
juce::MidiMessage preambleRecord (int n);

/** {9F, channel - 1, type code}, read from the control's row of the mode's
    table. A control without a row (id outside 1..108) is sent as an empty
    row: channel 1, type code 0. */
juce::MidiMessage typeRecord (const juce::ValueTree& control, int ctMode, TypeColumn column);

/** {9F, hi, lo} of the low 8 bits of the control's value; buttons also carry
    the 08 flag in hi, except the unassigned value 126, sent as {9F, 07, 0E}. */
juce::MidiMessage valueRecord (const juce::ValueTree& control, bool isButton);

/** 9E 7F 7F. */
juce::MidiMessage terminator();
} // namespace UploadRecords
