// The name tables are hand-written data: these tests pin the entries a slip of
// the hand would most likely get wrong (first and last of every run, the odd
// spellings, the blanks, the swapped pair) and the readers' guard.
#include "model/NameTables.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
template <size_t size>
void expectEntries (const NameField (&table)[size], std::initializer_list<std::pair<int, const char*>> expected)
{
    for (const auto& [index, name] : expected)
        EXPECT_EQ (nameAt (table, index), juce::String (name)) << "at index " << index;
}

template <size_t size>
void expectEmptyFrom (const NameField (&table)[size], int first, int last)
{
    for (int i = first; i <= last; ++i)
        EXPECT_TRUE (nameAt (table, i).isEmpty()) << "at index " << i;
}

// A field is a zero-terminated name followed by zero padding; anything after
// the first zero would be stale data that a reader of raw fields could pick up.
template <size_t size>
void expectCleanFields (const NameField (&table)[size])
{
    for (size_t i = 0; i < size; ++i)
    {
        const auto length = strnlen (table[i], sizeof (NameField));
        ASSERT_LT (length, sizeof (NameField)) << "unterminated field " << i;
        for (size_t b = length; b < sizeof (NameField); ++b)
            ASSERT_EQ (table[i][b], 0) << "padding of field " << i;
    }
}
} // namespace

//==============================================================================
TEST (NameTables, NoteNamesFollowOctavesWithAlignedSharps)
{
    expectEntries (NOTE, { { 0, " C(-1)" }, { 1, "C#(-1)" }, { 4, " E(-1)" }, { 5, " F(-1)" },
                           { 10, "A#(-1)" }, { 11, " B(-1)" }, { 12, " C(0)" }, { 23, " B(0)" },
                           { 60, " C(4)" }, { 61, "C#(4)" }, { 69, " A(4)" }, { 70, "A#(4)" },
                           { 119, " B(8)" }, { 120, " C(9)" }, { 126, "F#(9)" }, { 127, " G(9)" } });

    // The note letter and its sharp always take two characters.
    for (int n = 0; n < 128; ++n)
    {
        const auto name = nameAt (NOTE, n);
        EXPECT_EQ (name.indexOfChar ('('), 2) << n;
        EXPECT_EQ (name.fromFirstOccurrenceOf ("(", false, false).upToFirstOccurrenceOf (")", false, false),
                   juce::String (n / 12 - 1)) << n;
    }
}

TEST (NameTables, ControllerNamesKeepTheirSpellings)
{
    expectEntries (CC, { { 0, "Bank MSB*(GS)" }, { 1, "Modulation(GM)" }, { 2, "Breath" }, { 4, "Foot Pedal" },
                         { 5, "Portamento Time(GM)" }, { 6, "Data Entry MSB(GM)" }, { 7, "Volume*(GM)" },
                         { 8, "Balance(GM)" }, { 10, "Pan(GM)" }, { 11, "Expression*(GM)" },
                         { 16, "Gp Control #1" }, { 19, "Gp Control #4" }, { 23, "Gp Control #8" },
                         { 38, "Data Entry LSB" }, { 64, "Hold Pedal #1*(GM)" }, { 65, "Portamento(Gs)" },
                         { 66, "Sostenuto(Gs)" }, { 67, "Soft Pedal(Gs)" }, { 68, "Legato Pedal" },
                         { 69, "Hold Pedal #2" }, { 70, "Sound Variation" }, { 71, "Sound Timbre" },
                         { 72, "Sound Release Time" }, { 73, "Sound Attack Time" }, { 74, "Sound Brightness" },
                         { 75, "Sound Control #6" }, { 77, "Sound Control #8" }, { 79, "Sound Control #10" },
                         { 80, "GP Control #5" }, { 83, "GP Control #8" }, { 84, "Portamento Control(GS)" },
                         { 91, "Reverb Level(GS)" }, { 92, "Tremolo Depth" }, { 93, "Chorus Level(GS)" },
                         { 94, "Celeste Depth" }, { 95, "Phaser Depth" }, { 96, "Data Increment" },
                         { 97, "Data Decrement" }, { 98, "Non-RPN*Param LSB(GS)" }, { 99, "Non-RPN*Param MSB(GS)" },
                         { 100, "RPN*Parameter LSB(GM)" }, { 101, "RPN*Parameter MSB(GM)" },
                         { 120, "All Sound Off*(GS)" }, { 121, "Reset All Contorllers(GM)" }, { 122, "Local On/Off" },
                         { 123, "All Notes Off*(GM)" }, { 124, "Omni Mode Off" }, { 125, "Omni Mode On" },
                         { 126, "Mono Mode On" }, { 127, "Poly Mode On" } });
}

TEST (NameTables, UnnamedControllersReadDashesAndNothingElseDoes)
{
    std::vector<int> dashed { 3, 9 };
    for (auto [first, last] : { std::pair { 12, 15 }, { 24, 37 }, { 39, 63 }, { 85, 90 }, { 102, 119 } })
        for (int i = first; i <= last; ++i)
            dashed.push_back (i);

    for (int i = 0; i < 128; ++i)
    {
        const bool shouldBeDashes = std::find (dashed.begin(), dashed.end(), i) != dashed.end();
        EXPECT_EQ (nameAt (CC, i) == "--", shouldBeDashes) << "controller " << i;
        EXPECT_TRUE (nameAt (CC, i).isNotEmpty()) << "controller " << i;
    }
}

TEST (NameTables, MessageTypeChoiceSelectsTheTable)
{
    EXPECT_EQ (NCPP[0], &NOTE[0]);
    EXPECT_EQ (NCPP[1], &CC[0]);
    EXPECT_EQ (NCPP[2], &PITCH[0]);
    EXPECT_EQ (NCPP[3], &PITCH[0]);

    EXPECT_EQ (nameAt (NCPP[0], 60), " C(4)");
    EXPECT_EQ (nameAt (NCPP[1], 7), "Volume*(GM)");

    // Program and pitch values have no names, whatever the number.
    for (int i = 0; i < 128; ++i)
    {
        EXPECT_TRUE (nameAt (NCPP[2], i).isEmpty()) << i;
        EXPECT_TRUE (nameAt (NCPP[3], i).isEmpty()) << i;
    }
}

//==============================================================================
TEST (NameTables, HuiNamesFollowHuiValues)
{
    expectEntries (protoolsControlNames,
                   { { 0, "Vol.1" }, { 7, "Vol.8" }, { 8, "Vol.M?" }, { 9, "Pan.1" }, { 16, "Pan.8" },
                     { 17, "Tape Tspt?" }, { 19, "REC.1" }, { 26, "REC.8" }, { 27, "SOLO.1" }, { 34, "SOLO.8" },
                     { 35, "MUTE.1" }, { 42, "MUTE.8" }, { 43, "SEL.1" }, { 50, "SEL.8" }, { 51, "Mon1" },
                     { 58, "Mon8" }, { 60, "Flip" }, { 61, "1<" }, { 62, ">1" }, { 63, "<<8" }, { 64, "8>>" },
                     { 65, "Cmd" }, { 66, "Shift" }, { 67, "Ctrl" }, { 68, "Option" }, { 71, "Read?" },
                     { 72, "Write?" }, { 73, "Touch?" }, { 74, "Latch?" }, { 76, "Off" }, { 78, "Default" },
                     { 79, "Pan" }, { 80, "Plug-in" }, { 81, "Assign?" }, { 82, "Compare" }, { 83, "ByPass" },
                     { 84, "Mixer" }, { 85, "Send A" }, { 89, "Send E" }, { 90, "Edit" }, { 91, "In" },
                     { 92, "Out" }, { 93, "Punch" }, { 94, "<<" }, { 95, "Loop" }, { 96, ">>" }, { 97, "Save" },
                     { 98, "Undo" }, { 99, "Enter" }, { 100, "Record" }, { 101, "Play" }, { 102, "Stop" },
                     { 103, "Scrub?" }, { 104, "Up?" }, { 105, "Left?" }, { 106, "Zoom?" }, { 107, "Down?" },
                     { 108, "Left?" }, { 109, "Zoom?" }, { 110, "Right?" }, { 111, "Down?" }, { 112, "Right?" } });

    for (int value : { 18, 59, 69, 70, 75, 77 })
        EXPECT_EQ (nameAt (protoolsControlNames, value), "(nil)") << value;

    expectEmptyFrom (protoolsControlNames, 113, 127);
}

TEST (NameTables, McpTablesShareChannelButtonsAndTouchSensors)
{
    for (const auto* table : { &cubaseNotes, &logicNotes, &nuendoNotes })
    {
        expectEntries (*table, { { 0, "REC.1" }, { 7, "REC.8" }, { 8, "SOLO.1" }, { 15, "SOLO.8" },
                                 { 16, "MUTE.1" }, { 23, "MUTE.8" }, { 24, "SEL.1" }, { 31, "SEL.8" },
                                 { 32, "Mon1" }, { 39, "Mon8" }, { 104, "Touch.1" }, { 111, "Touch.8" },
                                 { 112, "Touch.M" }, { 46, "<<8" }, { 47, "8>>" }, { 48, "1<" }, { 49, ">1" },
                                 { 50, "Flip" }, { 54, "F1" }, { 61, "F8" }, { 91, "Rewind" }, { 92, "FastFwd" },
                                 { 93, "Stop" }, { 94, "Play" }, { 95, "Record" }, { 96, "Up" }, { 97, "Down" },
                                 { 98, "Left" }, { 99, "Right" }, { 100, "Zoom" }, { 101, "Scrub" } });
    }
}

TEST (NameTables, LogicNamesKeepTheirInnerBlanks)
{
    expectEntries (logicNotes, { { 40, "Track" }, { 41, "Send" }, { 42, "Pan/ Surround" }, { 43, "Plug-in" },
                                 { 44, "EQ" }, { 45, "Inst." }, { 51, "Global View" }, { 52, "Name/ Value" },
                                 { 53, "SMPTE /Beats" }, { 57, "F4" }, { 62, "MIDI Tracks" }, { 63, "Inputs" },
                                 { 64, "Audio Tracks" }, { 65, "Audio Inst" }, { 66, "Aux" }, { 67, "Busses" },
                                 { 68, "Outputs" }, { 69, "User" }, { 70, "Shift" }, { 71, "Option" },
                                 { 72, "Ctrl" }, { 73, "Cmd/Alt" }, { 74, "Read /Off" }, { 75, "Write" },
                                 { 76, "Trim" }, { 77, "Touch" }, { 78, "Latch" }, { 79, "Group" }, { 80, "Save" },
                                 { 81, "Undo" }, { 82, "Cancel" }, { 83, "Enter" }, { 84, "Marker" },
                                 { 85, "Nudge" }, { 86, "Cycle" }, { 87, "Drop" }, { 88, "Replace" },
                                 { 89, "Click" }, { 90, "Solo" }, { 102, "User B" }, { 103, "User A" } });
    expectEmptyFrom (logicNotes, 113, 127);
}

TEST (NameTables, CubaseNamesHaveAGapAndTwoLeds)
{
    expectEntries (cubaseNotes, { { 40, "Page<<" }, { 41, "Page>>" }, { 42, "Pan" }, { 43, "Ins" }, { 44, "EQ" },
                                  { 45, "FX-Send" }, { 51, "Edit" }, { 52, "Name/Value" }, { 53, "SMPTE/Beats" },
                                  { 58, "F5" }, { 70, "Undo" }, { 71, "Redo" }, { 72, "Save" }, { 73, "Revert" },
                                  { 74, "Read" }, { 75, "Write" }, { 76, "Sends" }, { 77, "Project" },
                                  { 78, "Mixer" }, { 79, "Motors" }, { 80, "VSTi" }, { 81, "Master" },
                                  { 82, "Solo" }, { 83, "Shift" }, { 84, "Trnspt<" }, { 85, "Trnspt>" },
                                  { 86, "Loop" }, { 87, "Punch" }, { 88, "Prev" }, { 89, "Add" }, { 90, "Next" },
                                  { 102, "User A" }, { 103, "User B" }, { 113, "SMPTE LED" },
                                  { 114, "Beats LED" } });
    expectEmptyFrom (cubaseNotes, 62, 69);
    expectEmptyFrom (cubaseNotes, 115, 127);
}

TEST (NameTables, UserButtonsAreSwappedBetweenLogicAndCubase)
{
    EXPECT_EQ (nameAt (cubaseNotes, 102), nameAt (logicNotes, 103));
    EXPECT_EQ (nameAt (cubaseNotes, 103), nameAt (logicNotes, 102));
    EXPECT_NE (nameAt (cubaseNotes, 102), nameAt (logicNotes, 102));
}

TEST (NameTables, NuendoShowsTheCubaseNames)
{
    for (int i = 0; i < 128; ++i)
        EXPECT_EQ (std::memcmp (nuendoNotes[i], cubaseNotes[i], sizeof (NameField)), 0) << i;
}

TEST (NameTables, LiveCaptionTables)
{
    expectEntries (abletonLiveKnobs, { { 0, "Pan.1" }, { 3, "Pan.4" }, { 7, "Pan.8" } });
    expectEntries (abletonLiveFader, { { 0, "Vol.1" }, { 7, "Vol.8" }, { 8, "Pan.1" }, { 15, "Pan.8" } });
    expectEntries (abletonLiveMasterFader, { { 0, "Vol.M" }, { 1, "Tape Tspt" } });
}

//==============================================================================
TEST (NameTables, EveryFieldIsZeroTerminatedAndPadded)
{
    expectCleanFields (NOTE);
    expectCleanFields (CC);
    expectCleanFields (PITCH);
    expectCleanFields (protoolsControlNames);
    expectCleanFields (cubaseNotes);
    expectCleanFields (logicNotes);
    expectCleanFields (nuendoNotes);
    expectCleanFields (abletonLiveKnobs);
    expectCleanFields (abletonLiveFader);
    expectCleanFields (abletonLiveMasterFader);
}

TEST (NameTables, ReadsOutsideATableGiveTheEmptyName)
{
    for (int index : { -1, -128, 128, 200, 255, std::numeric_limits<int>::min(), std::numeric_limits<int>::max() })
    {
        EXPECT_TRUE (nameAt (NOTE, index).isEmpty()) << index;
        EXPECT_TRUE (nameAt (protoolsControlNames, index).isEmpty()) << index;
        EXPECT_TRUE (nameAt (NCPP[0], index).isEmpty()) << index;
        EXPECT_TRUE (nameAt (NCPP[1], index).isEmpty()) << index;
    }

    EXPECT_TRUE (nameAt (abletonLiveKnobs, 8).isEmpty());
    EXPECT_TRUE (nameAt (abletonLiveFader, 16).isEmpty());
    EXPECT_TRUE (nameAt (abletonLiveMasterFader, 2).isEmpty());
    EXPECT_TRUE (nameAt (abletonLiveMasterFader, -1).isEmpty());
    EXPECT_TRUE (nameAt (static_cast<const NameField*> (nullptr), 0).isEmpty());

    // The last entry inside is still read.
    EXPECT_EQ (nameAt (NCPP[1], 127), "Poly Mode On");
    EXPECT_EQ (nameAt (abletonLiveFader, 15), "Pan.8");
}
