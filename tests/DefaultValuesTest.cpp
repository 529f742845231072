// The defaults are what a unit is sent when the user changes nothing, so every
// control of every working mode is checked, against expectations written down
// here run by run rather than read back from the tables under test.
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "model/Dolmaris.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
struct RowBytes
{
    int kind, status, data;
    bool operator== (const RowBytes& other) const
    {
        return kind == other.kind && status == other.status && data == other.data;
    }
};

std::ostream& operator<< (std::ostream& out, const RowBytes& row)
{
    return out << "{" << row.kind << ", 0x" << std::hex << row.status << std::dec << ", " << row.data << "}";
}

RowBytes rowOf (const uint8_t* row) { return { row[0], row[1], row[2] }; }

int pick (std::initializer_list<int> values, int index) { return values.begin()[index]; }

// The shared default rows of the MCP modes, run by run.
RowBytes expectedMcpRow (int id)
{
    if (id <= 40) return { 9, 0x90, id - 1 };
    if (id == 41) return { 9, 0xB0, 0 };
    if (id <= 48) return { 9, 0x90, pick ({ 50, 48, 49, 46, 47, 52, 53 }, id - 42) };
    if (id <= 51) return { 9, 0xB0, 0 };
    if (id == 52) return { 9, 0x90, 0 };
    if (id <= 60) return { 9, 0x90, id + 1 };
    if (id <= 66) return { 9, 0x90, id - 21 };
    if (id <= 74) return { 9, 0x90, id + 7 };
    if (id <= 90)
        return { 9, 0x90, pick ({ 83, 91, 86, 92, 88, 89, 90, 95, 94, 93, 101, 96, 98, 100, 99, 97 }, id - 75) };
    if (id <= 98) return { 0x0B, 0xB0, id - 75 };
    if (id == 99) return { 0x0B, 0xB0, 60 };
    return { 0x0E, 0xE0 + (id - 100), 0 };
}

// Logic differs from the MCP rows in a few runs of buttons only.
RowBytes expectedLogicRow (int id)
{
    if (id == 41) return { 9, 0x00, 0 };
    if (id >= 49 && id <= 52) return { 9, 0x90, pick ({ 71, 51, 73, 70 }, id - 49) };
    if (id >= 61 && id <= 66) return { 9, 0x90, pick ({ 40, 42, 44, 41, 43, 45 }, id - 61) };
    if (id >= 67 && id <= 72) return { 9, 0x90, pick ({ 79, 74, 75, 77, 78, 76 }, id - 67) };
    if (id >= 73 && id <= 90)
        return { 9, 0x90, pick ({ 84, 85, 89, 91, 86, 92, 87, 88, 90, 95, 94, 93, 101, 96, 98, 100, 99, 97 }, id - 73) };
    return expectedMcpRow (id);
}

struct Defaults
{
    juce::String type;
    int chan, value;
    bool operator== (const Defaults& other) const
    {
        return type == other.type && chan == other.chan && value == other.value;
    }
};

std::ostream& operator<< (std::ostream& out, const Defaults& d)
{
    return out << d.type << " chan " << d.chan << " value " << d.value;
}

Defaults expectedMcpDefaults (int id, RowBytes (*rowFor) (int))
{
    if (id <= 40) return { "note", 1, id - 1 };
    if (id <= 90) return { "note", 1, rowFor (id).data };
    if (id <= 98) return { "cc", 1, 16 + id - 91 };
    if (id == 99) return { "cc", 1, 60 };
    if (id <= 107) return { "pitch", id - 99, 0 };
    return { "pitch", 9, 0 };
}

Defaults expectedHuiDefaults (int id)
{
    if (id <= 54) return { "note", 1, id + 18 };
    if (id <= 88) return { "cc", 1, id + 18 };
    if (id == 89) return { "cc", 1, 112 };
    if (id == 90) return { "cc", 1, 111 };
    if (id <= 98) return { "cc", 1, 9 + id - 91 };
    if (id == 99) return { "cc", 1, 17 };
    if (id <= 107) return { "cc", 1, id - 100 };
    return { "cc", 1, 8 };
}

Defaults expectedDefaults (int mode, int id)
{
    switch (mode)
    {
        case 1: return expectedMcpDefaults (id, expectedLogicRow);
        case 2: return expectedHuiDefaults (id);
        default: return expectedMcpDefaults (id, expectedMcpRow);
    }
}

juce::ValueTree controlsOf (const CtMap& map) { return map.tree.getChildWithName (Tags::controls); }

Defaults defaultsOf (const juce::ValueTree& control)
{
    return { control[Tags::type].toString(), control[Tags::chan], control[Tags::value] };
}

juce::ValueTree controlWithId (const CtMap& map, int id)
{
    return controlsOf (map).getChildWithProperty (Tags::id, id);
}

/** Stamps a control node with values no default produces, to see whether a
    reset touched it. */
void scribble (juce::ValueTree control)
{
    control.setProperty (Tags::type, "scribbled", nullptr);
    control.setProperty (Tags::chan, 16, nullptr);
    control.setProperty (Tags::value, 250, nullptr);
}

bool isScribbled (const juce::ValueTree& control)
{
    return defaultsOf (control) == Defaults { "scribbled", 16, 250 };
}

bool tableEquals (const uint8_t (*table)[3], const RowTable& other)
{
    return std::memcmp (table, other, sizeof (RowTable)) == 0;
}

/** Tests here edit the process-wide writable tables; each starts and ends
    with them as a fresh start leaves them. */
class DefaultValues : public ::testing::Test
{
protected:
    void SetUp() override { CtMap reload { CtMode (CtMode::mackie) }; }
    void TearDown() override { CtMap reload { CtMode (CtMode::mackie) }; }
};

/** The model singleton with a fresh state (it is never deleted during the run). */
Dolmaris::Impl& freshModel()
{
    auto* model = Dolmaris::getInstance();
    model->impl = std::make_unique<Dolmaris::Impl>();
    return *model->impl;
}
} // namespace

//==============================================================================
TEST_F (DefaultValues, McpSourceRowsRunByRun)
{
    for (int id = 1; id <= 108; ++id)
        EXPECT_EQ (rowOf (cubaseButtons0ForDlm[id - 1]), expectedMcpRow (id)) << "id " << id;
}

TEST_F (DefaultValues, LogicRowsRunByRun)
{
    for (int id = 1; id <= 108; ++id)
        EXPECT_EQ (rowOf (lg[id - 1]), expectedLogicRow (id)) << "id " << id;
}

TEST_F (DefaultValues, HuiRowsAreNotesUpToButton54AndEmptyAfter)
{
    for (int id = 1; id <= 108; ++id)
    {
        const auto row = rowOf (lv[id - 1]);
        EXPECT_EQ (row.kind, id <= 54 ? 9 : 0) << "id " << id;
        EXPECT_EQ (row.status & 0x0F, 0) << "id " << id;
    }
}

TEST_F (DefaultValues, ModesFindTheirTables)
{
    EXPECT_EQ (arrForMoid[0], cb);
    EXPECT_EQ (arrForMoid[1], lg);
    EXPECT_EQ (arrForMoid[2], lv);
    EXPECT_EQ (arrForMoid[3], ud);

    EXPECT_EQ (Defa::findRow (1, 1), lg[0]);
    EXPECT_EQ (Defa::findRow (3, 108), ud[107]);
    EXPECT_EQ (Defa::findUserRow (108), ud[107]);
}

TEST_F (DefaultValues, LoadedMcpTablesCopyTheSource)
{
    EXPECT_TRUE (tableEquals (cb, cubaseButtons0ForDlm));
    EXPECT_TRUE (tableEquals (ud, cubaseButtons0ForDlm));
}

//==============================================================================
TEST_F (DefaultValues, EveryControlOfEveryWorkingMode)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const CtMap map { CtMode (mode) };
        const auto controls = controlsOf (map);
        ASSERT_EQ (controls.getNumChildren(), 108);

        for (int id = 1; id <= 108; ++id)
            EXPECT_EQ (defaultsOf (controls.getChild (id - 1)), expectedDefaults (mode, id))
                << "mode " << mode << " id " << id;
    }
}

TEST_F (DefaultValues, ButtonsWithAControllerStatusByteStayNotesOnChannelOne)
{
    for (int mode : { 0, 3 })
    {
        const CtMap map { CtMode (mode) };
        for (int id : { 41, 49, 50, 51 })
            EXPECT_EQ (defaultsOf (controlWithId (map, id)), (Defaults { "note", 1, 0 })) << mode << "/" << id;
    }

    const CtMap logic { CtMode (CtMode::logic) };
    EXPECT_EQ (defaultsOf (controlWithId (logic, 41)), (Defaults { "note", 1, 0 }));
}

TEST_F (DefaultValues, EmptyHuiRowsGiveControllersOnChannelOne)
{
    const CtMap hui { CtMode (CtMode::proTools) };
    for (int id : { 55, 70, 90, 91, 99, 100, 108 })
    {
        const auto control = controlWithId (hui, id);
        EXPECT_EQ (control[Tags::type].toString(), "cc") << id;
        EXPECT_EQ ((int) control[Tags::chan], 1) << id;
    }
}

TEST_F (DefaultValues, ResetKeepsThePropertyOrder)
{
    CtMap map { CtMode (CtMode::proTools) };
    map.setDefaultValues();
    const auto control = controlWithId (map, 100);
    const juce::StringArray expected { "id", "kind", "type", "chan", "value" };
    juce::StringArray names;
    for (int i = 0; i < control.getNumProperties(); ++i)
        names.add (control.getPropertyName (i).toString());
    EXPECT_EQ (names, expected);
}

//==============================================================================
TEST_F (DefaultValues, ResettingAnyMcpMapReloadsTheUserTable)
{
    for (int mode : { 0, 1, 3 })
    {
        CtMap userMap { CtMode (CtMode::userDefined) };
        auto* row = Defa::findUserRow (60);
        ASSERT_NE (row, nullptr);
        row[0] = 0x0B;
        row[1] = 0xB5;
        row[2] = 7;
        scribble (controlWithId (userMap, 60));

        CtMap other { CtMode (mode) };
        other.setDefaultValues();

        EXPECT_TRUE (tableEquals (ud, cubaseButtons0ForDlm)) << "mode " << mode;
        EXPECT_TRUE (isScribbled (controlWithId (userMap, 60))) << "the user map's tree keeps its values";
    }
}

TEST_F (DefaultValues, ResettingTheUserMapDiscardsTableEdits)
{
    CtMap userMap { CtMode (CtMode::userDefined) };
    auto* row = Defa::findUserRow (60);
    row[0] = 0x0E;
    row[1] = 0xE4;
    row[2] = 5;
    scribble (controlWithId (userMap, 60));

    userMap.setDefaultValues();

    EXPECT_TRUE (tableEquals (ud, cubaseButtons0ForDlm));
    EXPECT_EQ (defaultsOf (controlWithId (userMap, 60)), expectedDefaults (3, 60));
}

TEST_F (DefaultValues, ResettingAHuiMapLeavesTheTables)
{
    Defa::findUserRow (60)[2] = 33;
    cb[59][2] = 34;

    CtMap hui { CtMode (CtMode::proTools) };
    hui.setDefaultValues();

    EXPECT_EQ (ud[59][2], 33);
    EXPECT_EQ (cb[59][2], 34);
}

TEST_F (DefaultValues, NodesGetTheirDefaultsByTheirOwnId)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = controlsOf (map);
        for (int i = 0; i < 108; ++i) // reverse the order
            controls.moveChild (107, i, nullptr);
        for (auto control : controls)
            scribble (control);

        map.setDefaultValues();

        for (int position = 0; position < 108; ++position)
        {
            const auto control = controls.getChild (position);
            const int id = control[Tags::id];
            EXPECT_EQ (id, 108 - position);
            EXPECT_EQ (defaultsOf (control), expectedDefaults (mode, id)) << "mode " << mode << " id " << id;
        }
    }
}

TEST_F (DefaultValues, KindPropertyIsNotRead)
{
    CtMap map { CtMode (CtMode::mackie) };
    controlWithId (map, 95).setProperty (Tags::kind, "button", nullptr);
    controlWithId (map, 5).setProperty (Tags::kind, "master-fader", nullptr);
    map.setDefaultValues();
    EXPECT_EQ (defaultsOf (controlWithId (map, 95)), expectedDefaults (0, 95));
    EXPECT_EQ (defaultsOf (controlWithId (map, 5)), expectedDefaults (0, 5));
}

//==============================================================================
TEST_F (DefaultValues, NodesWithoutARowAreLeftUnchanged)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = controlsOf (map);
        const std::pair<int, juce::var> oddIds[] = { { 0, 0 }, { 1, 109 }, { 2, -5 }, { 3, 1000000 } };
        for (const auto& [position, id] : oddIds)
        {
            controls.getChild (position).setProperty (Tags::id, id, nullptr);
            scribble (controls.getChild (position));
        }
        controls.getChild (4).removeProperty (Tags::id, nullptr);
        scribble (controls.getChild (4));

        map.setDefaultValues();

        for (int position = 0; position <= 4; ++position)
            EXPECT_TRUE (isScribbled (controls.getChild (position))) << "mode " << mode << " position " << position;
        EXPECT_EQ (defaultsOf (controls.getChild (5)), expectedDefaults (mode, 6));
    }
}

TEST_F (DefaultValues, OnlyTheFirst108PositionsAreVisited)
{
    CtMap map { CtMode (CtMode::mackie) };
    auto controls = controlsOf (map);
    juce::ValueTree extra ("control");
    extra.setProperty (Tags::id, 7, nullptr);
    scribble (extra);
    controls.appendChild (extra, nullptr);

    map.setDefaultValues();

    EXPECT_TRUE (isScribbled (extra));
}

TEST_F (DefaultValues, MissingControlsAreSkipped)
{
    juce::ValueTree bare (Tags::map);
    bare.setProperty (Tags::mode, "logic", nullptr);
    CtMap withoutControls { bare };
    withoutControls.setDefaultValues();
    EXPECT_EQ (bare.getNumChildren(), 0);

    CtMap shortMap { CtMode (CtMode::logic) };
    auto controls = controlsOf (shortMap);
    while (controls.getNumChildren() > 3)
        controls.removeChild (3, nullptr);
    for (auto control : controls)
        scribble (control);

    shortMap.setDefaultValues();

    ASSERT_EQ (controls.getNumChildren(), 3);
    for (int id = 1; id <= 3; ++id)
        EXPECT_EQ (defaultsOf (controls.getChild (id - 1)), expectedDefaults (1, id));
}

TEST_F (DefaultValues, MapsOfOtherModesAreLeftAsTheyAre)
{
    for (int mode = 4; mode <= 10; ++mode)
    {
        CtMap map { CtMode (CtMode::mackie) };
        map.tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
        for (auto control : controlsOf (map))
            scribble (control);
        Defa::findUserRow (1)[2] = 77;

        map.setDefaultValues();

        for (const auto& control : controlsOf (map))
            EXPECT_TRUE (isScribbled (control)) << "mode " << mode;
        EXPECT_EQ (ud[0][2], 77) << "mode " << mode;
    }
}

TEST_F (DefaultValues, NoRowOutsideTheWorkingModesAndIds)
{
    for (int mode : { -1, 4, 10, 11 })
        EXPECT_EQ (Defa::findRow (mode, 1), nullptr) << mode;
    for (int id : { 0, -1, 109, 256 })
    {
        EXPECT_EQ (Defa::findRow (0, id), nullptr) << id;
        EXPECT_EQ (Defa::findUserRow (id), nullptr) << id;
    }
}

//==============================================================================
TEST_F (DefaultValues, DataByteFollowsTheCurrentMode)
{
    auto& model = freshModel();

    model.setCurrentMode (CtMode (CtMode::mackie));
    EXPECT_EQ (Defa::getMsVal (42), expectedMcpRow (42).data);
    EXPECT_EQ (Defa::getMsVal (99), 60);

    model.setCurrentMode (CtMode (CtMode::logic));
    EXPECT_EQ (Defa::getMsVal (42), expectedLogicRow (42).data);
    EXPECT_EQ (Defa::getMsVal (49), 71);
    EXPECT_EQ (Defa::getMsVal (73), 84);

    model.setCurrentMode (CtMode (CtMode::userDefined));
    EXPECT_EQ (Defa::getMsVal (75), 83);
    Defa::findUserRow (75)[2] = 12;
    EXPECT_EQ (Defa::getMsVal (75), 12); // the user table as edited, not the source
}

TEST_F (DefaultValues, DataByteIsZeroWithoutARow)
{
    auto& model = freshModel();
    model.setCurrentMode (CtMode (CtMode::mackie));
    for (int id : { 0, -1, 109, 1000 })
        EXPECT_EQ (Defa::getMsVal (id), 0) << id;

    juce::ValueTree otherMode (Tags::map);
    otherMode.setProperty (Tags::mode, "ableton-live", nullptr);
    model.currentMap = otherMode;
    for (int id : { 1, 42, 108 })
        EXPECT_EQ (Defa::getMsVal (id), 0) << id;

    // Without a current map the mode reads as mackie.
    model.currentMap = juce::ValueTree();
    EXPECT_EQ (Defa::getMsVal (42), expectedMcpRow (42).data);

    freshModel();
}

//==============================================================================
TEST (DefaultValueTables, HuiIndexes)
{
    for (int n = 0; n < 8; ++n)
    {
        EXPECT_EQ (protoolsKnobIndexes[n], 9 + n);
        EXPECT_EQ (protoolsFaderIndexes[n], n);
        EXPECT_EQ (protoolsFaderIndexes[8 + n], 9 + n);
    }
    EXPECT_EQ (protoolsMasterFaderIndexes[0], 8);
    EXPECT_EQ (protoolsMasterFaderIndexes[1], 17);

    for (int n = 0; n < 101; ++n)
        EXPECT_EQ (protoolsButtonIndexes[n], 18 + n);
    for (int n = 0; n < 48; ++n)
        EXPECT_EQ (protoolsButtonDefaults[n], 59 + n);
    EXPECT_EQ (protoolsButtonDefaults[48], 112);
    EXPECT_EQ (protoolsButtonDefaults[49], 111);
}

TEST (DefaultValueTables, LogicValuesAndCounts)
{
    for (int n = 0; n < 8; ++n)
    {
        EXPECT_EQ (abletonLiveKnobValues[n], 16 + n);
        EXPECT_EQ (abletonLiveFaderValues[n], 0);
        EXPECT_EQ (abletonLiveFaderValues[8 + n], 16 + n);
    }
    EXPECT_EQ (abletonLiveMasterFaderValues[0], 0);
    EXPECT_EQ (abletonLiveMasterFaderValues[1], 60);

    EXPECT_EQ (std::vector<int32_t> (std::begin (protoolsIndexCounts), std::end (protoolsIndexCounts)),
               (std::vector<int32_t> { 90, 8, 1, 16, 2 }));
    EXPECT_EQ (std::vector<int32_t> (std::begin (protoolsLabelCounts), std::end (protoolsLabelCounts)),
               (std::vector<int32_t> { 101, 8, 4, 16, 2 }));
    EXPECT_EQ (std::vector<int32_t> (std::begin (logicLabelCounts), std::end (logicLabelCounts)),
               (std::vector<int32_t> { 8, 128, 16, 2 }));
}

TEST (DefaultValueTables, MessageTypeVocabulary)
{
    EXPECT_EQ (std::vector<int32_t> (std::begin (tyvaOfSele), std::end (tyvaOfSele)),
               (std::vector<int32_t> { 9, 11, 12, 14 }));
    EXPECT_EQ (std::vector<int32_t> (std::begin (typeStatusNibbles), std::end (typeStatusNibbles)),
               (std::vector<int32_t> { 9, 11, 14 }));
    EXPECT_STREQ (msgTypes[0], "Note");
    EXPECT_STREQ (msgTypes[1], "CC");
    EXPECT_STREQ (msgTypes[2], "Program");
    EXPECT_STREQ (msgTypes[3], "Pitch");
}
