// The defaults are what a unit is sent when the user changes nothing, so every
// control of every working mode is checked against rules written per run of
// ids; the row tables themselves are pinned at the edges of each run.
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{
using RowBytes = std::array<int, 3>;
using Defaults = std::tuple<juce::String, int, int>; // type, chan, value

RowBytes rowOf (const RowTable& table, int id) { return { table[id - 1][0], table[id - 1][1], table[id - 1][2] }; }

// Modes 0, 1 and 3: buttons past 40 take the data byte of their mode's source table.
Defaults expectedMcpDefaults (int id, const RowTable& source)
{
    if (id <= 40) return { "note", 1, id - 1 };
    if (id <= 90) return { "note", 1, source[id - 1][2] };
    if (id <= 98) return { "cc", 1, id - 75 };
    if (id == 99) return { "cc", 1, 60 };
    if (id <= 107) return { "pitch", id - 99, 0 };
    return { "pitch", 9, 0 };
}

Defaults expectedHuiDefaults (int id)
{
    if (id <= 54) return { "note", 1, id + 18 };
    if (id <= 88) return { "cc", 1, id + 18 };
    if (id <= 90) return { "cc", 1, id == 89 ? 112 : 111 };
    if (id <= 98) return { "cc", 1, id - 82 };
    if (id == 99) return { "cc", 1, 17 };
    return { "cc", 1, id == 108 ? 8 : id - 100 };
}

Defaults expectedDefaults (int mode, int id)
{
    if (mode == CtMode::proTools) return expectedHuiDefaults (id);
    return expectedMcpDefaults (id, mode == CtMode::logic ? lg : cubaseButtons0ForDlm);
}

juce::ValueTree controlsOf (const CtMap& map) { return map.tree.getChildWithName (Tags::controls); }
juce::ValueTree controlWithId (const CtMap& map, int id) { return controlsOf (map).getChildWithProperty (Tags::id, id); }

Defaults defaultsOf (const juce::ValueTree& control)
{
    return { control[Tags::type].toString(), control[Tags::chan], control[Tags::value] };
}

/** Stamps a control with values no default produces (and a wrong kind, which
    must not be read), to see whether a reset touched it. */
void scribble (juce::ValueTree control)
{
    control.setProperty (Tags::kind, "button", nullptr);
    control.setProperty (Tags::type, "scribbled", nullptr);
    control.setProperty (Tags::chan, 16, nullptr);
    control.setProperty (Tags::value, 250, nullptr);
}

bool isScribbled (const juce::ValueTree& control) { return defaultsOf (control) == Defaults { "scribbled", 16, 250 }; }

/** Tests here edit the process-wide writable tables; each starts and ends
    with them as a fresh start leaves them. */
class DefaultValues : public ::testing::Test
{
protected:
    void SetUp() override { CtMap reload { CtMode (CtMode::mackie) }; }
    void TearDown() override { CtMap reload { CtMode (CtMode::mackie) }; }
};
} // namespace

//==============================================================================
TEST_F (DefaultValues, RowTablesAtTheEdgesOfEveryRun)
{
    // First and last id of each run of the MCP source table.
    const std::pair<int, RowBytes> mcpRows[] = {
        { 1, { 9, 0x90, 0 } },      { 40, { 9, 0x90, 39 } },    { 41, { 9, 0xB0, 0 } },     { 42, { 9, 0x90, 50 } },
        { 48, { 9, 0x90, 53 } },    { 49, { 9, 0xB0, 0 } },     { 51, { 9, 0xB0, 0 } },     { 52, { 9, 0x90, 0 } },
        { 53, { 9, 0x90, 54 } },    { 60, { 9, 0x90, 61 } },    { 61, { 9, 0x90, 40 } },    { 66, { 9, 0x90, 45 } },
        { 67, { 9, 0x90, 74 } },    { 74, { 9, 0x90, 81 } },    { 75, { 9, 0x90, 83 } },    { 90, { 9, 0x90, 97 } },
        { 91, { 0x0B, 0xB0, 16 } }, { 98, { 0x0B, 0xB0, 23 } }, { 99, { 0x0B, 0xB0, 60 } }, { 100, { 0x0E, 0xE0, 0 } },
        { 108, { 0x0E, 0xE8, 0 } },
    };
    for (const auto& [id, row] : mcpRows)
        EXPECT_EQ (rowOf (cubaseButtons0ForDlm, id), row) << "id " << id;

    // Logic's own runs; every other row is the MCP one.
    const std::pair<int, RowBytes> logicRows[] = {
        { 41, { 9, 0x00, 0 } },  { 49, { 9, 0x90, 71 } }, { 52, { 9, 0x90, 70 } }, { 61, { 9, 0x90, 40 } },
        { 62, { 9, 0x90, 42 } }, { 66, { 9, 0x90, 45 } }, { 67, { 9, 0x90, 79 } }, { 72, { 9, 0x90, 76 } },
        { 73, { 9, 0x90, 84 } }, { 90, { 9, 0x90, 97 } },
    };
    for (const auto& [id, row] : logicRows)
        EXPECT_EQ (rowOf (lg, id), row) << "id " << id;
    for (int id = 1; id <= 108; ++id)
    {
        if (id != 41 && ! (id >= 49 && id <= 52) && ! (id >= 61 && id <= 90))
        {
            EXPECT_EQ (rowOf (lg, id), rowOf (cubaseButtons0ForDlm, id)) << "id " << id;
        }
    }

    for (int id = 1; id <= 108; ++id)
        EXPECT_EQ (rowOf (lv, id), (id <= 54 ? RowBytes { 9, 0x90, 0 } : RowBytes { 0, 0, 0 })) << "id " << id;
}

TEST_F (DefaultValues, EveryControlOfEveryWorkingMode)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const CtMap map { CtMode (mode) };
        ASSERT_EQ (controlsOf (map).getNumChildren(), 108);
        for (int id = 1; id <= 108; ++id)
        {
            const auto expected = expectedDefaults (mode, id);
            EXPECT_EQ (defaultsOf (controlsOf (map).getChild (id - 1)), expected) << "mode " << mode << " id " << id;

            // Outside HUI the data byte of a row is the value its control gets.
            if (mode != CtMode::proTools)
            {
                EXPECT_EQ (Defa::findRow (mode, id)[2], std::get<2> (expected)) << "mode " << mode << " id " << id;
            }
        }
    }
}

// The tables read by the captions and the message box rather than by the defaults.
TEST_F (DefaultValues, OtherValueTablesFollowTheirRules)
{
    for (int n = 0; n < 8; ++n)
        EXPECT_TRUE (protoolsFaderIndexes[8 + n] == 9 + n && abletonLiveFaderValues[8 + n] == 16 + n) << n;
    for (int n = 0; n < 101; ++n)
        EXPECT_EQ (protoolsButtonIndexes[n], 18 + n);
    const std::pair<const char*, int> messageTypes[] = { { "Note", 9 }, { "CC", 11 }, { "Program", 12 }, { "Pitch", 14 } };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE (juce::String (msgTypes[i]) == messageTypes[i].first && tyvaOfSele[i] == messageTypes[i].second) << i;
}

//==============================================================================
TEST_F (DefaultValues, ResetReloadsTheUserTableUnlessTheMapIsHui)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap userMap { CtMode (CtMode::userDefined) };
        CtMap map = mode == CtMode::userDefined ? userMap : CtMap (CtMode (mode));
        const RowBytes edit { 0x0E, 0xE4, 5 };
        std::copy (edit.begin(), edit.end(), Defa::findUserRow (60));
        cb[59][2] = 34;
        scribble (controlWithId (userMap, 60));

        map.setDefaultValues();

        const bool hui = mode == CtMode::proTools;
        EXPECT_EQ (rowOf (ud, 60), hui ? edit : rowOf (cubaseButtons0ForDlm, 60)) << "mode " << mode;
        EXPECT_EQ (cb[59][2], hui ? 34 : 61) << "mode " << mode;
        if (mode == CtMode::userDefined) // its own reset reads the reloaded table
            EXPECT_EQ (defaultsOf (controlWithId (userMap, 60)), expectedDefaults (3, 60));
        else // the user map's tree keeps its values
            EXPECT_TRUE (isScribbled (controlWithId (userMap, 60))) << "mode " << mode;
    }
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
            ASSERT_EQ ((int) control[Tags::id], 108 - position);
            EXPECT_EQ (defaultsOf (control), expectedDefaults (mode, 108 - position)) << "mode " << mode;
        }
    }
}

//==============================================================================
TEST_F (DefaultValues, NodesWithoutARowAndMapsOfOtherModesAreLeftUnchanged)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = controlsOf (map);
        const juce::var oddIds[] = { 0, 109, -5, 1000000 };
        for (int position = 0; position < 4; ++position)
            controls.getChild (position).setProperty (Tags::id, oddIds[position], nullptr);
        controls.getChild (4).removeProperty (Tags::id, nullptr);
        juce::ValueTree extra ("control"); // past the 108th position: not visited
        extra.setProperty (Tags::id, 7, nullptr);
        controls.appendChild (extra, nullptr);
        for (int position : { 0, 1, 2, 3, 4, 108 })
            scribble (controls.getChild (position));

        map.setDefaultValues();

        for (int position : { 0, 1, 2, 3, 4, 108 })
            EXPECT_TRUE (isScribbled (controls.getChild (position))) << "mode " << mode << " position " << position;
        EXPECT_EQ (defaultsOf (controls.getChild (5)), expectedDefaults (mode, 6));
    }

    for (int mode = 4; mode <= 10; ++mode)
    {
        CtMap map { CtMode (CtMode::mackie) };
        map.tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
        scribble (controlWithId (map, 1));
        ud[0][2] = 77;
        map.setDefaultValues();
        EXPECT_TRUE (isScribbled (controlWithId (map, 1))) << "mode " << mode;
        EXPECT_EQ (ud[0][2], 77) << "mode " << mode;
    }

    juce::ValueTree bare (Tags::map);
    bare.setProperty (Tags::mode, "logic", nullptr);
    CtMap (bare).setDefaultValues(); // no controls child: nothing to write, nothing added
    EXPECT_EQ (bare.getNumChildren(), 0);
}

TEST_F (DefaultValues, DataByteFollowsTheCurrentMapAndNoRowIsReadOutsideTheTables)
{
    auto& model = testsupport::useFreshModel();
    const std::tuple<int, int, int> expected[] = { // mode, id, data byte
        { 0, 42, 50 }, { 0, 99, 60 }, { 1, 49, 71 }, { 1, 73, 84 }, { 3, 75, 83 },
        { 0, 0, 0 },   { 0, 109, 0 }, { 1, -1, 0 },  { 3, 1000, 0 },
    };
    for (const auto& [mode, id, data] : expected)
    {
        model.setCurrentMode (CtMode (mode));
        EXPECT_EQ (Defa::getMsVal (id), data) << "mode " << mode << " id " << id;
    }

    Defa::findUserRow (75)[2] = 12;
    EXPECT_EQ (Defa::getMsVal (75), 12); // the user table as edited, not the source

    model.currentMap = CtMap (CtMode (CtMode::mackie)).tree;
    model.currentMap.setProperty (Tags::mode, "ableton-live", nullptr);
    EXPECT_EQ (Defa::getMsVal (42), 0);

    model.currentMap = juce::ValueTree(); // without a current map the mode reads as mackie
    EXPECT_EQ (Defa::getMsVal (42), 50);

    for (int mode : { -1, 4, 10, 11 })
        EXPECT_EQ (Defa::findRow (mode, 1), nullptr) << mode;
    for (int id : { 0, -1, 109, 256 })
        EXPECT_TRUE (Defa::findRow (0, id) == nullptr && Defa::findUserRow (id) == nullptr) << id;

    testsupport::useFreshModel();
}
