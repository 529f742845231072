// What a reset writes, and which row tables it reloads. The defaults
// themselves are pinned by the expected saved files, the reference here.
#include "model/Arrays.h"
#include "model/ControllerMap.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

namespace
{
const char* const slugs[] = { "mackie", "logic", "pro-tools", "user-defined" };

juce::ValueTree controlWithId (const juce::ValueTree& map, const juce::var& id) { return map.getChildWithName (Tags::controls).getChildWithProperty (Tags::id, id); }
juce::String defaultsOf (const juce::ValueTree& control) { return control[Tags::type].toString() + " " + control[Tags::chan].toString() + " " + control[Tags::value].toString(); }

// Stamps a control with values no default produces (and a wrong kind, which
// must not be read), to see whether a reset touched it.
const juce::String scribbled = "scribbled 16 250";
void scribble (juce::ValueTree control)
{
    control.setProperty (Tags::kind, "button", nullptr).setProperty (Tags::type, "scribbled", nullptr).setProperty (Tags::chan, 16, nullptr).setProperty (Tags::value, 250, nullptr);
}

// Tests here edit the process-wide writable tables; each starts and ends with
// them as a fresh start leaves them.
class DefaultValues : public ::testing::Test
{
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override { CtMap reload { CtMode (CtMode::userDefined) }; }
};
} // namespace

// Nodes are found by id whatever their place; nodes without a row, and any
// past the 108th, are left as they are.
TEST_F (DefaultValues, EveryNodeGetsTheDefaultOfItsOwnIdWhateverItsPlaceOrKind)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        CtMap map { CtMode (mode) };
        auto controls = map.tree.getChildWithName (Tags::controls);
        for (int i = 0; i < 108; ++i) // reverse the order
            controls.moveChild (107, i, nullptr);
        const int idsWithoutARow[] = { 0, 109, -5, 1000000 };
        for (int position = 0; position < 4; ++position)
            controls.getChild (position).setProperty (Tags::id, idsWithoutARow[position], nullptr);
        controls.appendChild (juce::ValueTree ("control").setProperty (Tags::id, 7, nullptr), nullptr);
        for (auto control : controls)
            scribble (control);

        map.setDefaultValues();

        const auto expected = testsupport::expectedDefaultMap (slugs[mode]);
        for (int position = 0; position < controls.getNumChildren(); ++position)
        {
            const auto control = controls.getChild (position);
            EXPECT_EQ (defaultsOf (control), position < 4 || position == 108 ? scribbled : defaultsOf (controlWithId (expected, control[Tags::id])))
                << slugs[mode] << " position " << position;
        }
    }
}

// A reset of the MCP or Logic map reloaded ud too, losing the user's edits.
TEST_F (DefaultValues, OnlyTheUserMapsResetReloadsTheUserTableAndHuiReloadsNothing)
{
    for (int mode = 0; mode <= 10; ++mode)
    {
        CtMap userMap { CtMode (CtMode::userDefined) };
        CtMap map = mode == CtMode::userDefined ? userMap : CtMap (CtMode (CtMode::mackie));
        map.tree.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
        const std::vector<uint8_t> edit { 0x0E, 0xE4, 5 }, reloaded { 9, 0x90, 61 };
        std::copy (edit.begin(), edit.end(), Defa::findUserRow (60));
        cb[59][2] = 34;
        scribble (controlWithId (userMap.tree, 60));

        map.setDefaultValues();

        const bool reloadsCb = mode != CtMode::proTools && mode < 4;
        EXPECT_EQ (std::vector<uint8_t> (ud[59], ud[59] + 3), mode == CtMode::userDefined ? reloaded : edit) << mode;
        EXPECT_EQ (cb[59][2], reloadsCb ? 61 : 34) << mode;
        // The user map's own reset reads the reloaded table; other resets leave its tree alone.
        EXPECT_EQ (defaultsOf (controlWithId (userMap.tree, 60)), mode == CtMode::userDefined ? "note 1 61" : scribbled) << mode;
    }
}

// No row is read outside the tables. (The HUI button values, 18 to 118, are
// pinned by the captions of 17, 118 and 119 in MappableButtonTest.)
TEST (ValueTables, RowsAreFoundOnlyForWorkingModesAndIds)
{
    for (const auto& [mode, id] : { std::pair (-1, 1), std::pair (4, 1), std::pair (0, 0), std::pair (3, 109), std::pair (0, -1) })
        EXPECT_TRUE (Defa::findRow (mode, id) == nullptr && (id == 1 || Defa::findUserRow (id) == nullptr)) << mode << " " << id;

    auto& model = testsupport::useFreshModel(); // the data byte follows the current map's mode
    for (const auto& [mode, id, data] : { std::tuple (0, 42, 50), std::tuple (1, 49, 71), std::tuple (0, 0, 0), std::tuple (5, 42, 0) })
    {
        model.currentMap.setProperty (Tags::mode, CtMode::slugForType (mode), nullptr);
        EXPECT_EQ (Defa::getMsVal (id), data) << "mode " << mode << " id " << id;
    }
    testsupport::useFreshModel();
}
