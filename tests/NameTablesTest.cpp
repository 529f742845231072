// The name tables are hand-written data: these tests pin the entries a slip of
// the hand would most likely get wrong (edges of runs, the odd spellings, the
// blanks, the swapped pair) and the readers' guard.
#include "model/NameTables.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace
{
void expectNames (NameTable128 table, std::initializer_list<std::pair<int, const char*>> expected)
{
    for (const auto& [index, name] : expected)
        EXPECT_EQ (nameAt (table, index), juce::String (name)) << "at index " << index;
}

void expectEmpty (NameTable128 table, int first, int last)
{
    for (int i = first; i <= last; ++i)
        EXPECT_TRUE (nameAt (table, i).isEmpty()) << "at index " << i;
}
} // namespace

//==============================================================================
TEST (NameTables, NoteAndControllerNames)
{
    expectNames (NOTE, { { 0, " C(-1)" }, { 60, " C(4)" }, { 61, "C#(4)" }, { 127, " G(9)" } });
    for (int n = 0; n < 128; ++n) // letter and sharp take two characters, then the octave
        EXPECT_EQ (nameAt (NOTE, n).substring (2), "(" + juce::String (n / 12 - 1) + ")") << n;

    expectNames (CC, { { 0, "Bank MSB*(GS)" }, { 7, "Volume*(GM)" }, { 16, "Gp Control #1" }, { 38, "Data Entry LSB" },
                       { 65, "Portamento(Gs)" }, { 79, "Sound Control #10" }, { 80, "GP Control #5" },
                       { 84, "Portamento Control(GS)" }, { 91, "Reverb Level(GS)" }, { 98, "Non-RPN*Param LSB(GS)" },
                       { 101, "RPN*Parameter MSB(GM)" }, { 121, "Reset All Contorllers(GM)" }, { 127, "Poly Mode On" } });

    const std::vector<std::pair<int, int>> dashedRuns { { 3, 3 }, { 9, 9 }, { 12, 15 }, { 24, 37 }, { 39, 63 }, { 85, 90 }, { 102, 119 } };
    for (int i = 0; i < 128; ++i)
    {
        const bool dashed = std::any_of (dashedRuns.begin(), dashedRuns.end(), [i] (auto run) { return i >= run.first && i <= run.second; });
        EXPECT_EQ (nameAt (CC, i) == "--", dashed) << "controller " << i;
    }

    // The message-type choice picks the table; program and pitch values have no names.
    EXPECT_TRUE (NCPP[0] == &NOTE[0] && NCPP[1] == &CC[0]);
    expectEmpty (NCPP[2], 0, 127);
    expectEmpty (NCPP[3], 0, 127);
}

TEST (NameTables, HuiNamesFollowHuiValues)
{
    expectNames (protoolsControlNames, { { 0, "Vol.1" }, { 8, "Vol.M?" }, { 9, "Pan.1" }, { 17, "Tape Tspt?" },
                                         { 19, "REC.1" }, { 50, "SEL.8" }, { 51, "Mon1" }, { 58, "Mon8" }, { 60, "Flip" },
                                         { 68, "Option" }, { 71, "Read?" }, { 76, "Off" }, { 83, "ByPass" },
                                         { 89, "Send E" }, { 103, "Scrub?" }, { 108, "Left?" }, { 112, "Right?" } });
    for (int value : { 18, 59, 69, 70, 75, 77 })
        EXPECT_EQ (nameAt (protoolsControlNames, value), "(nil)") << value;
    expectEmpty (protoolsControlNames, 113, 127);
}

TEST (NameTables, McpNoteNamesPerMode)
{
    for (NameTable128 table : { cubaseNotes, logicNotes, nuendoNotes })
        expectNames (table, { { 0, "REC.1" }, { 39, "Mon8" }, { 46, "<<8" }, { 50, "Flip" }, { 54, "F1" }, { 61, "F8" },
                              { 91, "Rewind" }, { 101, "Scrub" }, { 104, "Touch.1" }, { 112, "Touch.M" } });

    expectNames (logicNotes, { { 42, "Pan/ Surround" }, { 52, "Name/ Value" }, { 53, "SMPTE /Beats" },
                               { 62, "MIDI Tracks" }, { 69, "User" }, { 73, "Cmd/Alt" }, { 74, "Read /Off" },
                               { 90, "Solo" }, { 102, "User B" }, { 103, "User A" } });
    expectEmpty (logicNotes, 113, 127);

    expectNames (cubaseNotes, { { 40, "Page<<" }, { 52, "Name/Value" }, { 61, "F8" }, { 70, "Undo" }, { 84, "Trnspt<" },
                                { 90, "Next" }, { 102, "User A" }, { 103, "User B" }, { 113, "SMPTE LED" },
                                { 114, "Beats LED" } });
    expectEmpty (cubaseNotes, 62, 69);
    expectEmpty (cubaseNotes, 115, 127);

    EXPECT_EQ (std::memcmp (nuendoNotes, cubaseNotes, sizeof (cubaseNotes)), 0);
}

TEST (NameTables, LiveCaptionTables)
{
    EXPECT_EQ (nameAt (abletonLiveKnobs, 7), "Pan.8");
    EXPECT_TRUE (nameAt (abletonLiveFader, 0) == "Vol.1" && nameAt (abletonLiveFader, 8) == "Pan.1");
    EXPECT_TRUE (nameAt (abletonLiveMasterFader, 0) == "Vol.M" && nameAt (abletonLiveMasterFader, 1) == "Tape Tspt");
}

TEST (NameTables, ReadsOutsideATableGiveTheEmptyName)
{
    for (int index : { -1, 128, 255, INT_MIN, INT_MAX })
        EXPECT_TRUE (nameAt (NOTE, index).isEmpty() && nameAt (NCPP[1], index).isEmpty()) << index;

    EXPECT_TRUE (nameAt (abletonLiveKnobs, 8).isEmpty() && nameAt (abletonLiveFader, 16).isEmpty());
    EXPECT_TRUE (nameAt (abletonLiveMasterFader, 2).isEmpty() && nameAt (abletonLiveMasterFader, -1).isEmpty());
    EXPECT_TRUE (nameAt (static_cast<const NameField*> (nullptr), 0).isEmpty());
    EXPECT_EQ (nameAt (abletonLiveFader, 15), "Pan.8"); // the last entry inside is still read
}
