#include "model/NameTables.h"

// The tables are written out in full, one name per line where the names are
// irregular, so that a reader can check any entry against its index without
// running anything. Trailing entries left out of an initialiser are all-zero,
// that is, empty names.

const NameField NOTE[128] =
{
    " C(-1)", "C#(-1)", " D(-1)", "D#(-1)", " E(-1)", " F(-1)", "F#(-1)", " G(-1)", "G#(-1)", " A(-1)", "A#(-1)", " B(-1)", // 0
    " C(0)", "C#(0)", " D(0)", "D#(0)", " E(0)", " F(0)", "F#(0)", " G(0)", "G#(0)", " A(0)", "A#(0)", " B(0)", // 12
    " C(1)", "C#(1)", " D(1)", "D#(1)", " E(1)", " F(1)", "F#(1)", " G(1)", "G#(1)", " A(1)", "A#(1)", " B(1)", // 24
    " C(2)", "C#(2)", " D(2)", "D#(2)", " E(2)", " F(2)", "F#(2)", " G(2)", "G#(2)", " A(2)", "A#(2)", " B(2)", // 36
    " C(3)", "C#(3)", " D(3)", "D#(3)", " E(3)", " F(3)", "F#(3)", " G(3)", "G#(3)", " A(3)", "A#(3)", " B(3)", // 48
    " C(4)", "C#(4)", " D(4)", "D#(4)", " E(4)", " F(4)", "F#(4)", " G(4)", "G#(4)", " A(4)", "A#(4)", " B(4)", // 60
    " C(5)", "C#(5)", " D(5)", "D#(5)", " E(5)", " F(5)", "F#(5)", " G(5)", "G#(5)", " A(5)", "A#(5)", " B(5)", // 72
    " C(6)", "C#(6)", " D(6)", "D#(6)", " E(6)", " F(6)", "F#(6)", " G(6)", "G#(6)", " A(6)", "A#(6)", " B(6)", // 84
    " C(7)", "C#(7)", " D(7)", "D#(7)", " E(7)", " F(7)", "F#(7)", " G(7)", "G#(7)", " A(7)", "A#(7)", " B(7)", // 96
    " C(8)", "C#(8)", " D(8)", "D#(8)", " E(8)", " F(8)", "F#(8)", " G(8)", "G#(8)", " A(8)", "A#(8)", " B(8)", // 108
    " C(9)", "C#(9)", " D(9)", "D#(9)", " E(9)", " F(9)", "F#(9)", " G(9)",                          // 120
};

const NameField CC[128] =
{
    "Bank MSB*(GS)",                    // 0
    "Modulation(GM)",                   // 1
    "Breath",                           // 2
    "--",                               // 3
    "Foot Pedal",                       // 4
    "Portamento Time(GM)",              // 5
    "Data Entry MSB(GM)",               // 6
    "Volume*(GM)",                      // 7
    "Balance(GM)",                      // 8
    "--",                               // 9
    "Pan(GM)",                          // 10
    "Expression*(GM)",                  // 11
    "--",                               // 12
    "--",                               // 13
    "--",                               // 14
    "--",                               // 15
    "Gp Control #1",                    // 16
    "Gp Control #2",                    // 17
    "Gp Control #3",                    // 18
    "Gp Control #4",                    // 19
    "Gp Control #5",                    // 20
    "Gp Control #6",                    // 21
    "Gp Control #7",                    // 22
    "Gp Control #8",                    // 23
    "--",                               // 24
    "--",                               // 25
    "--",                               // 26
    "--",                               // 27
    "--",                               // 28
    "--",                               // 29
    "--",                               // 30
    "--",                               // 31
    "--",                               // 32
    "--",                               // 33
    "--",                               // 34
    "--",                               // 35
    "--",                               // 36
    "--",                               // 37
    "Data Entry LSB",                   // 38
    "--",                               // 39
    "--",                               // 40
    "--",                               // 41
    "--",                               // 42
    "--",                               // 43
    "--",                               // 44
    "--",                               // 45
    "--",                               // 46
    "--",                               // 47
    "--",                               // 48
    "--",                               // 49
    "--",                               // 50
    "--",                               // 51
    "--",                               // 52
    "--",                               // 53
    "--",                               // 54
    "--",                               // 55
    "--",                               // 56
    "--",                               // 57
    "--",                               // 58
    "--",                               // 59
    "--",                               // 60
    "--",                               // 61
    "--",                               // 62
    "--",                               // 63
    "Hold Pedal #1*(GM)",               // 64
    "Portamento(Gs)",                   // 65
    "Sostenuto(Gs)",                    // 66
    "Soft Pedal(Gs)",                   // 67
    "Legato Pedal",                     // 68
    "Hold Pedal #2",                    // 69
    "Sound Variation",                  // 70
    "Sound Timbre",                     // 71
    "Sound Release Time",               // 72
    "Sound Attack Time",                // 73
    "Sound Brightness",                 // 74
    "Sound Control #6",                 // 75
    "Sound Control #7",                 // 76
    "Sound Control #8",                 // 77
    "Sound Control #9",                 // 78
    "Sound Control #10",                // 79
    "GP Control #5",                    // 80
    "GP Control #6",                    // 81
    "GP Control #7",                    // 82
    "GP Control #8",                    // 83
    "Portamento Control(GS)",           // 84
    "--",                               // 85
    "--",                               // 86
    "--",                               // 87
    "--",                               // 88
    "--",                               // 89
    "--",                               // 90
    "Reverb Level(GS)",                 // 91
    "Tremolo Depth",                    // 92
    "Chorus Level(GS)",                 // 93
    "Celeste Depth",                    // 94
    "Phaser Depth",                     // 95
    "Data Increment",                   // 96
    "Data Decrement",                   // 97
    "Non-RPN*Param LSB(GS)",            // 98
    "Non-RPN*Param MSB(GS)",            // 99
    "RPN*Parameter LSB(GM)",            // 100
    "RPN*Parameter MSB(GM)",            // 101
    "--",                               // 102
    "--",                               // 103
    "--",                               // 104
    "--",                               // 105
    "--",                               // 106
    "--",                               // 107
    "--",                               // 108
    "--",                               // 109
    "--",                               // 110
    "--",                               // 111
    "--",                               // 112
    "--",                               // 113
    "--",                               // 114
    "--",                               // 115
    "--",                               // 116
    "--",                               // 117
    "--",                               // 118
    "--",                               // 119
    "All Sound Off*(GS)",               // 120
    "Reset All Contorllers(GM)",        // 121
    "Local On/Off",                     // 122
    "All Notes Off*(GM)",               // 123
    "Omni Mode Off",                    // 124
    "Omni Mode On",                     // 125
    "Mono Mode On",                     // 126
    "Poly Mode On",                     // 127
};

// Program change and pitch bend values have no names.
const NameField PITCH[128] = {};

const NameField* const NCPP[4] = { NOTE, CC, PITCH, PITCH };

// Indexed by HUI value, not by note number. The question marks and "(nil)"
// belong to the names: the editor shows them as they stand.
const NameField protoolsControlNames[128] =
{
    "Vol.1",                            // 0
    "Vol.2",                            // 1
    "Vol.3",                            // 2
    "Vol.4",                            // 3
    "Vol.5",                            // 4
    "Vol.6",                            // 5
    "Vol.7",                            // 6
    "Vol.8",                            // 7
    "Vol.M?",                           // 8
    "Pan.1",                            // 9
    "Pan.2",                            // 10
    "Pan.3",                            // 11
    "Pan.4",                            // 12
    "Pan.5",                            // 13
    "Pan.6",                            // 14
    "Pan.7",                            // 15
    "Pan.8",                            // 16
    "Tape Tspt?",                       // 17
    "(nil)",                            // 18
    "REC.1",                            // 19
    "REC.2",                            // 20
    "REC.3",                            // 21
    "REC.4",                            // 22
    "REC.5",                            // 23
    "REC.6",                            // 24
    "REC.7",                            // 25
    "REC.8",                            // 26
    "SOLO.1",                           // 27
    "SOLO.2",                           // 28
    "SOLO.3",                           // 29
    "SOLO.4",                           // 30
    "SOLO.5",                           // 31
    "SOLO.6",                           // 32
    "SOLO.7",                           // 33
    "SOLO.8",                           // 34
    "MUTE.1",                           // 35
    "MUTE.2",                           // 36
    "MUTE.3",                           // 37
    "MUTE.4",                           // 38
    "MUTE.5",                           // 39
    "MUTE.6",                           // 40
    "MUTE.7",                           // 41
    "MUTE.8",                           // 42
    "SEL.1",                            // 43
    "SEL.2",                            // 44
    "SEL.3",                            // 45
    "SEL.4",                            // 46
    "SEL.5",                            // 47
    "SEL.6",                            // 48
    "SEL.7",                            // 49
    "SEL.8",                            // 50
    "Mon1",                             // 51
    "Mon2",                             // 52
    "Mon3",                             // 53
    "Mon4",                             // 54
    "Mon5",                             // 55
    "Mon6",                             // 56
    "Mon7",                             // 57
    "Mon8",                             // 58
    "(nil)",                            // 59
    "Flip",                             // 60
    "1<",                               // 61
    ">1",                               // 62
    "<<8",                              // 63
    "8>>",                              // 64
    "Cmd",                              // 65
    "Shift",                            // 66
    "Ctrl",                             // 67
    "Option",                           // 68
    "(nil)",                            // 69
    "(nil)",                            // 70
    "Read?",                            // 71
    "Write?",                           // 72
    "Touch?",                           // 73
    "Latch?",                           // 74
    "(nil)",                            // 75
    "Off",                              // 76
    "(nil)",                            // 77
    "Default",                          // 78
    "Pan",                              // 79
    "Plug-in",                          // 80
    "Assign?",                          // 81
    "Compare",                          // 82
    "ByPass",                           // 83
    "Mixer",                            // 84
    "Send A",                           // 85
    "Send B",                           // 86
    "Send C",                           // 87
    "Send D",                           // 88
    "Send E",                           // 89
    "Edit",                             // 90
    "In",                               // 91
    "Out",                              // 92
    "Punch",                            // 93
    "<<",                               // 94
    "Loop",                             // 95
    ">>",                               // 96
    "Save",                             // 97
    "Undo",                             // 98
    "Enter",                            // 99
    "Record",                           // 100
    "Play",                             // 101
    "Stop",                             // 102
    "Scrub?",                           // 103
    "Up?",                              // 104
    "Left?",                            // 105
    "Zoom?",                            // 106
    "Down?",                            // 107
    "Left?",                            // 108
    "Zoom?",                            // 109
    "Right?",                           // 110
    "Down?",                            // 111
    "Right?",                           // 112
    // 113..127: empty
};

const NameField cubaseNotes[128] =
{
    "REC.1",                            // 0
    "REC.2",                            // 1
    "REC.3",                            // 2
    "REC.4",                            // 3
    "REC.5",                            // 4
    "REC.6",                            // 5
    "REC.7",                            // 6
    "REC.8",                            // 7
    "SOLO.1",                           // 8
    "SOLO.2",                           // 9
    "SOLO.3",                           // 10
    "SOLO.4",                           // 11
    "SOLO.5",                           // 12
    "SOLO.6",                           // 13
    "SOLO.7",                           // 14
    "SOLO.8",                           // 15
    "MUTE.1",                           // 16
    "MUTE.2",                           // 17
    "MUTE.3",                           // 18
    "MUTE.4",                           // 19
    "MUTE.5",                           // 20
    "MUTE.6",                           // 21
    "MUTE.7",                           // 22
    "MUTE.8",                           // 23
    "SEL.1",                            // 24
    "SEL.2",                            // 25
    "SEL.3",                            // 26
    "SEL.4",                            // 27
    "SEL.5",                            // 28
    "SEL.6",                            // 29
    "SEL.7",                            // 30
    "SEL.8",                            // 31
    "Mon1",                             // 32
    "Mon2",                             // 33
    "Mon3",                             // 34
    "Mon4",                             // 35
    "Mon5",                             // 36
    "Mon6",                             // 37
    "Mon7",                             // 38
    "Mon8",                             // 39
    "Page<<",                           // 40
    "Page>>",                           // 41
    "Pan",                              // 42
    "Ins",                              // 43
    "EQ",                               // 44
    "FX-Send",                          // 45
    "<<8",                              // 46
    "8>>",                              // 47
    "1<",                               // 48
    ">1",                               // 49
    "Flip",                             // 50
    "Edit",                             // 51
    "Name/Value",                       // 52
    "SMPTE/Beats",                      // 53
    "F1",                               // 54
    "F2",                               // 55
    "F3",                               // 56
    "F4",                               // 57
    "F5",                               // 58
    "F6",                               // 59
    "F7",                               // 60
    "F8",                               // 61
    "",                                 // 62
    "",                                 // 63
    "",                                 // 64
    "",                                 // 65
    "",                                 // 66
    "",                                 // 67
    "",                                 // 68
    "",                                 // 69
    "Undo",                             // 70
    "Redo",                             // 71
    "Save",                             // 72
    "Revert",                           // 73
    "Read",                             // 74
    "Write",                            // 75
    "Sends",                            // 76
    "Project",                          // 77
    "Mixer",                            // 78
    "Motors",                           // 79
    "VSTi",                             // 80
    "Master",                           // 81
    "Solo",                             // 82
    "Shift",                            // 83
    "Trnspt<",                          // 84
    "Trnspt>",                          // 85
    "Loop",                             // 86
    "Punch",                            // 87
    "Prev",                             // 88
    "Add",                              // 89
    "Next",                             // 90
    "Rewind",                           // 91
    "FastFwd",                          // 92
    "Stop",                             // 93
    "Play",                             // 94
    "Record",                           // 95
    "Up",                               // 96
    "Down",                             // 97
    "Left",                             // 98
    "Right",                            // 99
    "Zoom",                             // 100
    "Scrub",                            // 101
    "User A",                           // 102
    "User B",                           // 103
    "Touch.1",                          // 104
    "Touch.2",                          // 105
    "Touch.3",                          // 106
    "Touch.4",                          // 107
    "Touch.5",                          // 108
    "Touch.6",                          // 109
    "Touch.7",                          // 110
    "Touch.8",                          // 111
    "Touch.M",                          // 112
    "SMPTE LED",                        // 113
    "Beats LED",                        // 114
    // 115..127: empty
};

const NameField logicNotes[128] =
{
    "REC.1",                            // 0
    "REC.2",                            // 1
    "REC.3",                            // 2
    "REC.4",                            // 3
    "REC.5",                            // 4
    "REC.6",                            // 5
    "REC.7",                            // 6
    "REC.8",                            // 7
    "SOLO.1",                           // 8
    "SOLO.2",                           // 9
    "SOLO.3",                           // 10
    "SOLO.4",                           // 11
    "SOLO.5",                           // 12
    "SOLO.6",                           // 13
    "SOLO.7",                           // 14
    "SOLO.8",                           // 15
    "MUTE.1",                           // 16
    "MUTE.2",                           // 17
    "MUTE.3",                           // 18
    "MUTE.4",                           // 19
    "MUTE.5",                           // 20
    "MUTE.6",                           // 21
    "MUTE.7",                           // 22
    "MUTE.8",                           // 23
    "SEL.1",                            // 24
    "SEL.2",                            // 25
    "SEL.3",                            // 26
    "SEL.4",                            // 27
    "SEL.5",                            // 28
    "SEL.6",                            // 29
    "SEL.7",                            // 30
    "SEL.8",                            // 31
    "Mon1",                             // 32
    "Mon2",                             // 33
    "Mon3",                             // 34
    "Mon4",                             // 35
    "Mon5",                             // 36
    "Mon6",                             // 37
    "Mon7",                             // 38
    "Mon8",                             // 39
    "Track",                            // 40
    "Send",                             // 41
    "Pan/ Surround",                    // 42
    "Plug-in",                          // 43
    "EQ",                               // 44
    "Inst.",                            // 45
    "<<8",                              // 46
    "8>>",                              // 47
    "1<",                               // 48
    ">1",                               // 49
    "Flip",                             // 50
    "Global View",                      // 51
    "Name/ Value",                      // 52
    "SMPTE /Beats",                     // 53
    "F1",                               // 54
    "F2",                               // 55
    "F3",                               // 56
    "F4",                               // 57
    "F5",                               // 58
    "F6",                               // 59
    "F7",                               // 60
    "F8",                               // 61
    "MIDI Tracks",                      // 62
    "Inputs",                           // 63
    "Audio Tracks",                     // 64
    "Audio Inst",                       // 65
    "Aux",                              // 66
    "Busses",                           // 67
    "Outputs",                          // 68
    "User",                             // 69
    "Shift",                            // 70
    "Option",                           // 71
    "Ctrl",                             // 72
    "Cmd/Alt",                          // 73
    "Read /Off",                        // 74
    "Write",                            // 75
    "Trim",                             // 76
    "Touch",                            // 77
    "Latch",                            // 78
    "Group",                            // 79
    "Save",                             // 80
    "Undo",                             // 81
    "Cancel",                           // 82
    "Enter",                            // 83
    "Marker",                           // 84
    "Nudge",                            // 85
    "Cycle",                            // 86
    "Drop",                             // 87
    "Replace",                          // 88
    "Click",                            // 89
    "Solo",                             // 90
    "Rewind",                           // 91
    "FastFwd",                          // 92
    "Stop",                             // 93
    "Play",                             // 94
    "Record",                           // 95
    "Up",                               // 96
    "Down",                             // 97
    "Left",                             // 98
    "Right",                            // 99
    "Zoom",                             // 100
    "Scrub",                            // 101
    "User B",                           // 102
    "User A",                           // 103
    "Touch.1",                          // 104
    "Touch.2",                          // 105
    "Touch.3",                          // 106
    "Touch.4",                          // 107
    "Touch.5",                          // 108
    "Touch.6",                          // 109
    "Touch.7",                          // 110
    "Touch.8",                          // 111
    "Touch.M",                          // 112
    // 113..127: empty
};

// The user-defined mode names its buttons as the MCP mode does.
const NameField (&nuendoNotes)[128] = cubaseNotes;

const NameField abletonLiveKnobs[8] =
{
    "Pan.1", "Pan.2", "Pan.3", "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8",                          // 0
};

const NameField abletonLiveFader[16] =
{
    "Vol.1", "Vol.2", "Vol.3", "Vol.4", "Vol.5", "Vol.6", "Vol.7", "Vol.8",                          // 0
    "Pan.1", "Pan.2", "Pan.3", "Pan.4", "Pan.5", "Pan.6", "Pan.7", "Pan.8",                          // 8
};

const NameField abletonLiveMasterFader[2] =
{
    "Vol.M", "Tape Tspt",                                                                            // 0
};

juce::String nameAt (NameTable128 table, int index)
{
    if (table.entries == nullptr || index < 0 || index >= 128)
        return {};
    const auto& field = table.entries[index];
    return juce::String (field, strnlen (field, sizeof (NameField)));
}
