// The fixed names the editor shows for a control's message: MIDI note and
// controller names, and per control mode the functions that the DAW protocol
// gives to note numbers (or, in HUI mode, to HUI values).
//
// Every table is an array of 40-byte, zero-padded ASCII fields; an all-zero
// field is the empty name. Readers must keep their index inside the table:
// use nameAt(), which gives the empty name outside it.
#pragma once

#include <juce_core/juce_core.h>

using NameField = char[40];

extern const NameField NOTE[128];
extern const NameField CC[128];
extern const NameField PITCH[128];
extern const NameField protoolsControlNames[128];
extern const NameField cubaseNotes[128];
extern const NameField logicNotes[128];
extern const NameField (&nuendoNotes)[128];
extern const NameField abletonLiveKnobs[8];
extern const NameField abletonLiveFader[16];
extern const NameField abletonLiveMasterFader[2];

/** The name table of each message-type choice: Note, CC, Program, Pitch. */
extern const NameField* const NCPP[4];

/** The name at an index of a table of `size` entries; empty outside it. */
template <size_t size>
juce::String nameAt (const NameField (&table)[size], int index)
{
    if (index < 0 || index >= (int) size)
        return {};
    return juce::String (table[index], strnlen (table[index], sizeof (NameField)));
}

/** A table reached through NCPP: a bare pointer to 128 entries.

    A class rather than a plain pointer parameter on purpose: an array would
    convert to a plain pointer as well as it binds to the array overload above,
    and the tie would go to the non-template, reading an 8-entry table as if it
    had 128. A user conversion always loses to the array overload. */
struct NameTable128
{
    NameTable128 (const NameField* first) noexcept : entries (first) {}
    const NameField* entries;
};

/** The same for a table reached through NCPP (128 entries each). */
juce::String nameAt (NameTable128 table, int index);
