// What a reset writes, and which row tables it reloads. The defaults
// themselves are pinned by the expected saved files, which serve here as the
// reference.
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

#include <tuple>

namespace
{
const char* const slugs[] = { "mackie", "logic", "pro-tools", "user-defined" };

juce::ValueTree controlsOf (const juce::ValueTree& map) { return map.getChildWithName (Tags::controls); }
juce::ValueTree controlWithId (const juce::ValueTree& map, const juce::var& id) { return controlsOf (map).getChildWithProperty (Tags::id, id); }
juce::String defaultsOf (const juce::ValueTree& control) { return control[Tags::type].toString() + " " + control[Tags::chan].toString() + " " + control[Tags::value].toString(); }
std::vector<uint8_t> rowOf (const RowTable& table, int id) { return { table[id - 1], table[id - 1] + 3 }; }

/** Stamps a control with values no default produces (and a wrong kind, which
    must not be read), to see whether a reset touched it. */
const juce::String scribbled = "scribbled 16 250";
void scribble (juce::ValueTree control)
{
    control.setProperty (Tags::kind, "button", nullptr);
    control.setProperty (Tags::type, "scribbled", nullptr);
    control.setProperty (Tags::chan, 16, nullptr);
    control.setProperty (Tags::value, 250, nullptr);
}

/** Tests here edit the process-wide writable tables; each starts and ends
    with them as a fresh start leaves them. */
class DefaultValues : public ::testing::Test
{
protected:
    void SetUp() override { CtMap reload { CtMode (CtMode::mackie) }; }
    void TearDown() override { CtMap reload { CtMode (CtMode::mackie) }; }
};
} // namespace

TEST_F (DefaultValues, EveryNodeGetsTheDefaultOfItsOwnIdWhateverItsPlaceOrKind)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = controlsOf (map.tree);
        for (int i = 0; i < 108; ++i) // reverse the order
            controls.moveChild (107, i, nullptr);
        for (auto control : controls)
            scribble (control);

        map.setDefaultValues();

        const auto expected = testsupport::expectedDefaultMap (slugs[mode]);
        for (const auto& control : controls)
            EXPECT_EQ (defaultsOf (control), defaultsOf (controlWithId (expected, control[Tags::id])))
                << slugs[mode] << " id " << control[Tags::id].toString();
    }
}

TEST_F (DefaultValues, ResetReloadsTheUserTableUnlessTheMapIsHui)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap userMap { CtMode (CtMode::userDefined) };
        CtMap map = mode == CtMode::userDefined ? userMap : CtMap (CtMode (mode));
        const std::vector<uint8_t> edit { 0x0E, 0xE4, 5 };
        std::copy (edit.begin(), edit.end(), Defa::findUserRow (60));
        cb[59][2] = 34;
        scribble (controlWithId (userMap.tree, 60));

        map.setDefaultValues();

        const bool hui = mode == CtMode::proTools;
        const std::vector<uint8_t> reloaded { 9, 0x90, 61 };
        EXPECT_EQ (rowOf (ud, 60), hui ? edit : reloaded) << slugs[mode];
        EXPECT_EQ (cb[59][2], hui ? 34 : 61) << slugs[mode];
        // The user map's own reset reads the reloaded table; other resets leave its tree alone.
        EXPECT_EQ (defaultsOf (controlWithId (userMap.tree, 60)), mode == CtMode::userDefined ? "note 1 61" : scribbled) << slugs[mode];
    }
}

TEST_F (DefaultValues, NodesWithoutARowAndMapsOfOtherModesAreLeftUnchanged)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = controlsOf (map.tree);
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
            EXPECT_EQ (defaultsOf (controls.getChild (position)), scribbled) << slugs[mode] << " position " << position;
    }

    for (int mode = 4; mode <= 10; ++mode)
    {
        CtMap map { CtMode (CtMode::mackie) };
        map.tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
        scribble (controlWithId (map.tree, 1));
        ud[0][2] = 77;
        map.setDefaultValues();
        EXPECT_EQ (defaultsOf (controlWithId (map.tree, 1)), scribbled) << mode;
        EXPECT_EQ (ud[0][2], 77) << mode;
    }

    juce::ValueTree bare (Tags::map);
    bare.setProperty (Tags::mode, "logic", nullptr);
    CtMap (bare).setDefaultValues(); // no controls child: nothing to write, nothing added
    EXPECT_EQ (bare.getNumChildren(), 0);
}

TEST_F (DefaultValues, DataByteFollowsTheCurrentMapAndNoRowIsReadOutsideTheTables)
{
    auto& model = testsupport::useFreshModel();
    const std::tuple<int, int, int> expected[] = { { 0, 42, 50 }, { 1, 49, 71 }, { 0, 0, 0 }, { 1, 109, 0 } }; // mode, id, data byte
    for (const auto& [mode, id, data] : expected)
    {
        model.setCurrentMode (CtMode (mode));
        EXPECT_EQ (Defa::getMsVal (id), data) << "mode " << mode << " id " << id;
    }
    model.currentMap.setProperty (Tags::mode, "ableton-live", nullptr);
    EXPECT_EQ (Defa::getMsVal (42), 0);

    for (int mode : { -1, 4, 10, 11 })
        EXPECT_EQ (Defa::findRow (mode, 1), nullptr) << mode;
    for (int id : { 0, -1, 109, 256 })
        EXPECT_TRUE (Defa::findRow (0, id) == nullptr && Defa::findUserRow (id) == nullptr) << id;
    testsupport::useFreshModel();
}

// Read by the HUI caption lookup, which only asks whether a value is listed.
TEST (ValueTables, HuiButtonValuesAre18To118)
{
    for (int n = 0; n < 101; ++n)
        EXPECT_EQ (protoolsButtonIndexes[n], 18 + n) << n;
}
