// The name tables are hand-written data: every entry is compared with an
// expected file written out from the tables' description, so any slip of the
// hand shows as the line of that entry.
#include "model/NameTables.h"
#include "support/ExpectedFile.h"

#include <climits>

TEST (NameTables, EveryEntryIsTheExpectedNameAndReadsOutsideGiveTheEmptyName)
{
    const std::tuple<const char*, const NameField*, int> tables[] = {
        { "NOTE", NOTE, 128 }, { "CC", CC, 128 }, { "protoolsControlNames", protoolsControlNames, 128 }, { "cubaseNotes", cubaseNotes, 128 },
        { "logicNotes", logicNotes, 128 }, { "nuendoNotes", nuendoNotes, 128 }, { "abletonLiveKnobs", abletonLiveKnobs, 8 },
        { "abletonLiveFader", abletonLiveFader, 16 }, { "abletonLiveMasterFader", abletonLiveMasterFader, 2 } };
    juce::StringArray lines;
    for (const auto& [name, entries, size] : tables)
        for (int i = 0; i < size; ++i)
            lines.add (juce::String (name) + " " + juce::String (i) + " \"" + nameAt (NameTable128 (entries), i) + "\"");
    testsupport::expectLinesOfFile (lines, "names.txt");

    // The message-type choice picks the table; program and pitch values have no names.
    EXPECT_TRUE (NCPP[0] == &NOTE[0] && NCPP[1] == &CC[0]);
    for (int i = 0; i < 128; ++i)
        EXPECT_TRUE (nameAt (NCPP[2], i).isEmpty() && nameAt (NCPP[3], i).isEmpty()) << i;
    for (int index : { -1, 128, INT_MIN, INT_MAX })
        EXPECT_TRUE (nameAt (NOTE, index).isEmpty() && nameAt (NCPP[1], index).isEmpty()) << index;
    EXPECT_TRUE (nameAt (abletonLiveFader, 16).isEmpty() && nameAt (abletonLiveMasterFader, 2).isEmpty());
    EXPECT_TRUE (nameAt (static_cast<const NameField*> (nullptr), 0).isEmpty());
}
