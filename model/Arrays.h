// The per-mode row tables and the small value tables behind every default,
// caption, attribute box and upload.
//
// A row is three bytes, indexed by control id - 1:
//   0  status nibble: 9 note, 0x0B control change, 0x0C program change, 0x0E pitch bend, 0 none
//   1  MIDI status byte; readers use only its low four bits, the channel - 1
//   2  data byte: the default note or controller number
#pragma once

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cstdint>

using Row = uint8_t[3];
using RowTable = uint8_t[108][3];

extern RowTable cb;                               // mode 0, loaded by setDefaultValues
extern const RowTable lg;                         // mode 1
extern const RowTable lv;                         // mode 2
extern RowTable ud;                               // mode 3, edited by the user
extern const RowTable cubaseButtons0ForDlm;       // the source of cb and ud

/** The row table of each working mode, indexed by CtMode 0..3. */
extern const uint8_t (*const arrForMoid[4])[3];

extern const uint8_t protoolsKnobIndexes[8];
extern const uint8_t protoolsFaderIndexes[16];
extern const uint8_t protoolsMasterFaderIndexes[2];
extern const uint8_t protoolsJogWheelIndexes[1];
extern const uint8_t protoolsButtonIndexes[101];
extern const uint8_t protoolsButtonDefaults[50];
extern const uint8_t abletonLiveKnobValues[8];
extern const uint8_t abletonLiveFaderValues[16];
extern const uint8_t abletonLiveMasterFaderValues[2];
extern const int32_t protoolsIndexCounts[5];
extern const int32_t protoolsLabelCounts[5];
extern const int32_t logicLabelCounts[4];
extern const int32_t tyvaOfSele[4];
/** Positions in tyvaOfSele and msgTypes. */
enum MessageTypeChoice { noteChoice = 0, ccChoice = 1, programChoice = 2, pitchChoice = 3 };
extern const int32_t typeStatusNibbles[3];
extern const char msgTypes[4][20];

/** The remembered MIDI output: empty until a supported unit is found or chosen. */
extern juce::String g_lastSelectedDevice;

namespace Defa
{
/** The row of a control in a mode's table, or nullptr when the mode is not a
    working mode or the id lies outside 1..108: there is no row to read then. */
const uint8_t* findRow (int mode, int controlId) noexcept;

/** The row of a control in the writable user-defined table, or nullptr. */
uint8_t* findUserRow (int controlId) noexcept;

/** The data byte of a control in the current map's mode; 0 when there is no row. */
int getMsVal (int controlId);

/** Some of the HUI values of one kind of control, in the order the message
    box lists them. */
struct HuiValues
{
    const uint8_t* values = nullptr;
    int count = 0;

    bool contains (int value) const noexcept { return std::find (values, values + count, value) != values + count; }
};

/** The first `counts[kind]` HUI values of a kind of control (the counts are
    protoolsIndexCounts or protoolsLabelCounts), and never more than it has:
    the jog wheel has the one value 17, though a count of 4. Empty for an
    unknown kind. */
HuiValues huiValuesOfKind (int kind, const int32_t (&counts)[5]) noexcept;
} // namespace Defa
