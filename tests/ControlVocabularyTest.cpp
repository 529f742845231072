// The mapping vocabulary is what files, settings and the upload agree on: a
// slug spelt differently, a kind boundary off by one or a property written out
// of order would change every file the editor writes.
#include "model/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
struct ModeWords
{
    int value;
    const char* slug;
    const char* name;
};

const ModeWords allModes[] = {
    { 0, "mackie", "MCP" },         { 1, "logic", "Logic" },           { 2, "pro-tools", "HUI" },
    { 3, "user-defined", "User Defined (MCP)" },                        { 4, "cubase", "Cubase" },
    { 5, "samplitude", "Samplitude" }, { 6, "ableton-live", "Ableton Live" }, { 7, "reaper", "Reaper" },
    { 8, "studio-one", "Studio One" }, { 9, "reason", "Reason" },       { 10, "bitwig", "Bitwig" },
};

juce::StringArray propertyNames (const juce::ValueTree& node)
{
    juce::StringArray names;
    for (int i = 0; i < node.getNumProperties(); ++i)
        names.add (node.getPropertyName (i).toString());
    return names;
}

juce::ValueTree controlsOf (const CtMap& map) { return map.tree.getChildWithName (Tags::controls); }

juce::ValueTree controlNode (int id)
{
    juce::ValueTree node ("control");
    node.setProperty (Tags::id, id, nullptr);
    return node;
}

std::vector<int> idsInChildOrder (const juce::ValueTree& controls)
{
    std::vector<int> ids;
    for (const auto& child : controls)
        ids.push_back (child.getProperty (Tags::id));
    return ids;
}
} // namespace

//==============================================================================
TEST (CtModeParsing, EverySlugGivesItsMode)
{
    for (const auto& mode : allModes)
        EXPECT_EQ ((int) CtMode (juce::String (mode.slug)), mode.value) << mode.slug;
}

TEST (CtModeParsing, SurroundingWhiteSpaceIsIgnored)
{
    EXPECT_EQ ((int) CtMode (juce::String ("  logic  ")), 1);
    EXPECT_EQ ((int) CtMode (juce::String ("\tpro-tools\n")), 2);
    EXPECT_EQ ((int) CtMode (juce::String (" user-defined\r\n")), 3);
}

TEST (CtModeParsing, AnythingButAnExactSlugIsMackie)
{
    for (const char* text : { "", "   ", "Logic", "LOGIC", "MCP", "HUI", "Bitwig", "User Defined (MCP)", "pro tools",
                              "user defined", "logicx", "xlogic", "pro-tools-2", "log ic", "3", "reaper\x01" })
        EXPECT_EQ ((int) CtMode (juce::String (text)), 0) << "'" << text << "'";
}

TEST (CtModeParsing, SlugsParseBackToTheirModes)
{
    for (int value = 0; value <= 10; ++value)
        EXPECT_EQ ((int) CtMode (CtMode::slugForType (value)), value);
}

TEST (CtModeWords, SlugsAndDisplayNames)
{
    for (const auto& mode : allModes)
    {
        EXPECT_EQ (CtMode::slugForType (mode.value), mode.slug);
        EXPECT_EQ (CtMode::nameForType (mode.value), mode.name);
    }
}

TEST (CtModeWords, OutsideTheTableIsEmpty)
{
    for (int value : { -1, 11, 12, 100, INT_MIN, INT_MAX })
    {
        EXPECT_TRUE (CtMode::slugForType (value).isEmpty()) << value;
        EXPECT_TRUE (CtMode::nameForType (value).isEmpty()) << value;
    }
}

TEST (CtModeWords, OnlyTheFirstFourAreWorkingModes)
{
    for (int value = -2; value <= 12; ++value)
        EXPECT_EQ (CtMode (value).isWorkingMode(), value >= 0 && value <= 3) << value;
}

//==============================================================================
TEST (CtTypeWords, SlugsOfTheThreeTypes)
{
    EXPECT_EQ (CtType::slugForType (0), "note");
    EXPECT_EQ (CtType::slugForType (1), "cc");
    EXPECT_EQ (CtType::slugForType (2), "pitch");
    EXPECT_EQ (CtType (1).getSlug(), "cc");
    EXPECT_EQ (CtType().getSlug(), "note");
}

TEST (CtTypeWords, OtherValuesHaveNoSlug)
{
    for (int value : { -1, 3, 9, INT_MIN, INT_MAX })
    {
        EXPECT_TRUE (CtType::slugForType (value).isEmpty()) << value;
        EXPECT_TRUE (CtType (value).getSlug().isEmpty()) << value;
    }
}

//==============================================================================
TEST (CtKindWords, SlugsOfTheFiveKinds)
{
    const char* slugs[] = { "button", "knob", "jog-wheel", "fader", "master-fader" };
    for (int kind = 0; kind < 5; ++kind)
        EXPECT_EQ (CtKind::slugForType (kind), slugs[kind]);

    for (int value : { -1, 5, INT_MAX })
        EXPECT_TRUE (CtKind::slugForType (value).isEmpty()) << value;
}

TEST (CtKindWords, KindFollowsFromTheIdAtEveryBoundary)
{
    const std::pair<int, int> expected[] = {
        { 1, CtKind::button },   { 90, CtKind::button }, { 91, CtKind::knob },   { 98, CtKind::knob },
        { 99, CtKind::jogWheel }, { 100, CtKind::fader }, { 107, CtKind::fader }, { 108, CtKind::masterFader },
    };
    for (const auto& [id, kind] : expected)
        EXPECT_EQ (CtKind::forId (id), kind) << "id " << id;

    for (int id : { 0, -1, 109, 255, INT_MIN, INT_MAX })
    {
        EXPECT_EQ (CtKind::forId (id), -1) << "id " << id;
        EXPECT_FALSE (CtKind::isValidId (id)) << "id " << id;
    }
}

TEST (CtKindWords, OrdinalCountsWithinTheKind)
{
    EXPECT_EQ (CtKind::ordinalForId (1), 0);
    EXPECT_EQ (CtKind::ordinalForId (90), 89);
    EXPECT_EQ (CtKind::ordinalForId (91), 0);
    EXPECT_EQ (CtKind::ordinalForId (98), 7);
    EXPECT_EQ (CtKind::ordinalForId (99), 0);
    EXPECT_EQ (CtKind::ordinalForId (100), 0);
    EXPECT_EQ (CtKind::ordinalForId (107), 7);
    EXPECT_EQ (CtKind::ordinalForId (108), 0);
}

//==============================================================================
TEST (CtMapShape, FreshMapHasModeNameAndOneControlsChild)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const CtMap map { CtMode (mode) };
        EXPECT_TRUE (map.tree.hasType (Tags::map));
        EXPECT_EQ (propertyNames (map.tree), juce::StringArray ({ "mode", "name" }));
        EXPECT_EQ (map.tree["mode"].toString(), allModes[mode].slug);
        EXPECT_EQ (map.tree["name"].toString(), allModes[mode].name);
        ASSERT_EQ (map.tree.getNumChildren(), 1);
        EXPECT_TRUE (map.tree.getChild (0).hasType (Tags::controls));
        EXPECT_EQ (map.tree.getChild (0).getNumProperties(), 0);
        EXPECT_EQ ((int) map.getCtMode(), mode);
    }
}

TEST (CtMapShape, HuiMapIsNamedHui)
{
    const CtMap map { CtMode (CtMode::proTools) };
    EXPECT_EQ (map.tree["mode"].toString(), "pro-tools");
    EXPECT_EQ (map.tree["name"].toString(), "HUI");
}

TEST (CtMapShape, ControlNodesStandByIdWithPropertiesInFileOrder)
{
    const CtMap map { CtMode (CtMode::logic) };
    const auto controls = controlsOf (map);
    ASSERT_EQ (controls.getNumChildren(), 108);

    const juce::StringArray order { "id", "kind", "type", "chan", "value" };
    for (int index = 0; index < 108; ++index)
    {
        const auto control = controls.getChild (index);
        EXPECT_TRUE (control.hasType ("control"));
        EXPECT_EQ (propertyNames (control), order) << "child " << index;
        EXPECT_EQ ((int) control[Tags::id], index + 1);
        EXPECT_EQ (control[Tags::kind].toString(), CtKind::slugForType (CtKind::forId (index + 1)));
        EXPECT_EQ (control.getNumChildren(), 0);

        // Integers stay integers, so they are written without quotes or decimals.
        EXPECT_TRUE (control[Tags::id].isInt());
        EXPECT_TRUE (control[Tags::chan].isInt());
        EXPECT_TRUE (control[Tags::value].isInt());
        EXPECT_TRUE (control[Tags::kind].isString());
        EXPECT_TRUE (control[Tags::type].isString());
    }
}

TEST (CtMapShape, KindsAtTheBoundariesOfAFreshMap)
{
    const CtMap map { CtMode (CtMode::mackie) };
    const auto controls = controlsOf (map);
    const std::pair<int, const char*> expected[] = { { 1, "button" }, { 90, "button" }, { 91, "knob" },
                                                     { 98, "knob" },  { 99, "jog-wheel" }, { 100, "fader" },
                                                     { 107, "fader" }, { 108, "master-fader" } };
    for (const auto& [id, kind] : expected)
        EXPECT_EQ (controls.getChild (id - 1)[Tags::kind].toString(), kind) << "id " << id;
}

TEST (CtMapShape, CopiesShareTheNode)
{
    CtMap original { CtMode (CtMode::mackie) };
    CtMap copy = original;
    const CtMap wrapper { original.tree };

    controlsOf (copy).getChild (4).setProperty (Tags::value, 99, nullptr);
    EXPECT_EQ ((int) controlsOf (original).getChild (4)[Tags::value], 99);
    EXPECT_EQ ((int) controlsOf (wrapper).getChild (4)[Tags::value], 99);
    EXPECT_EQ (copy.tree, original.tree);
}

//==============================================================================
TEST (CtMapSkeleton, ResetsModeAndControlsButKeepsEverythingElse)
{
    juce::ValueTree node (Tags::map);
    node.setProperty (Tags::mode, "logic", nullptr);
    node.setProperty (Tags::name, "Logic", nullptr);
    node.setProperty ("extra", 42, nullptr);

    juce::ValueTree other ("other");
    other.setProperty ("keep", "me", nullptr);
    node.appendChild (other, nullptr);

    juce::ValueTree controls (Tags::controls);
    controls.setProperty ("note", "kept", nullptr);
    for (int id : { 7, 3, 200 })
        controls.appendChild (controlNode (id), nullptr);
    node.appendChild (controls, nullptr);

    CtMap map { node };
    map.addMissingProperties();

    EXPECT_EQ (node[Tags::mode].toString(), "mackie");
    EXPECT_EQ (node[Tags::name].toString(), "MCP");
    EXPECT_EQ ((int) node["extra"], 42);
    EXPECT_EQ (propertyNames (node), juce::StringArray ({ "mode", "name", "extra" }));

    ASSERT_EQ (node.getNumChildren(), 2);
    EXPECT_EQ (node.getChild (0), other);
    EXPECT_EQ (other["keep"].toString(), "me");
    EXPECT_EQ (other.getNumChildren(), 0);
    EXPECT_EQ (node.getChild (1), controls);
    EXPECT_EQ (controls["note"].toString(), "kept");

    ASSERT_EQ (controls.getNumChildren(), 108);
    for (int index = 0; index < 108; ++index)
    {
        const auto control = controls.getChild (index);
        EXPECT_EQ ((int) control[Tags::id], index + 1);
        EXPECT_EQ (control[Tags::type].toString(), "note");
        EXPECT_EQ ((int) control[Tags::chan], 1);
        EXPECT_EQ ((int) control[Tags::value], 0);
        EXPECT_TRUE (control[Tags::id].isInt() && control[Tags::chan].isInt() && control[Tags::value].isInt());
    }
}

TEST (CtMapSkeleton, AppendsAControlsChildWhenThereIsNone)
{
    juce::ValueTree node (Tags::map);
    node.appendChild (juce::ValueTree ("first"), nullptr);
    node.appendChild (juce::ValueTree ("second"), nullptr);

    CtMap map { node };
    map.addMissingProperties();

    ASSERT_EQ (node.getNumChildren(), 3);
    EXPECT_TRUE (node.getChild (0).hasType ("first"));
    EXPECT_TRUE (node.getChild (1).hasType ("second"));
    EXPECT_TRUE (node.getChild (2).hasType (Tags::controls));
    EXPECT_EQ (node.getChild (2).getNumChildren(), 108);
}

TEST (CtMapSkeleton, OnlyTheFirstControlsChildIsRebuilt)
{
    juce::ValueTree node (Tags::map);
    juce::ValueTree first (Tags::controls);
    juce::ValueTree second (Tags::controls);
    second.appendChild (controlNode (5), nullptr);
    node.appendChild (first, nullptr);
    node.appendChild (second, nullptr);

    CtMap map { node };
    map.addMissingProperties();

    EXPECT_EQ (first.getNumChildren(), 108);
    ASSERT_EQ (second.getNumChildren(), 1);
    EXPECT_EQ ((int) second.getChild (0)[Tags::id], 5);
}

TEST (CtMapSkeleton, OnAnEmptyNodeWritesModeBeforeName)
{
    juce::ValueTree node (Tags::map);
    CtMap map { node };
    map.addMissingProperties();
    EXPECT_EQ (propertyNames (node), juce::StringArray ({ "mode", "name" }));
}

//==============================================================================
TEST (CtMapMode, ReadFromTheModeProperty)
{
    juce::ValueTree node (Tags::map);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 0);

    node.setProperty (Tags::mode, "user-defined", nullptr);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 3);

    node.setProperty (Tags::mode, " bitwig ", nullptr);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 10);

    node.setProperty (Tags::mode, "Pro Tools", nullptr);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 0);

    // The display name is never read for the mode.
    node.setProperty (Tags::mode, "nonsense", nullptr);
    node.setProperty (Tags::name, "Logic", nullptr);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 0);
}

TEST (CtMapMode, InvalidTreeIsMackie)
{
    EXPECT_EQ ((int) CtMap (juce::ValueTree()).getCtMode(), 0);
}

//==============================================================================
TEST (ControlSorterOrder, SortsByIntegerId)
{
    juce::ValueTree controls (Tags::controls);
    for (int id : { 3, 1, 2 })
        controls.appendChild (controlNode (id), nullptr);

    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    EXPECT_EQ (idsInChildOrder (controls), (std::vector<int> { 1, 2, 3 }));
}

TEST (ControlSorterOrder, ComparesNumbersNotText)
{
    juce::ValueTree controls (Tags::controls);
    for (int id : { 100, 9, 108, 10, 1, 99 })
        controls.appendChild (controlNode (id), nullptr);

    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    EXPECT_EQ (idsInChildOrder (controls), (std::vector<int> { 1, 9, 10, 99, 100, 108 }));
}

TEST (ControlSorterOrder, ComparatorIsAStrictOrder)
{
    const auto a = controlNode (4);
    const auto b = controlNode (40);
    EXPECT_LT (ControlSorter::compareElements (a, b), 0);
    EXPECT_GT (ControlSorter::compareElements (b, a), 0);
    EXPECT_EQ (ControlSorter::compareElements (a, controlNode (4)), 0);
}

TEST (ControlSorterOrder, RestoresAShuffledFreshMap)
{
    CtMap map { CtMode (CtMode::mackie) };
    auto controls = controlsOf (map);
    juce::Random random (1234);
    for (int i = 0; i < 300; ++i)
        controls.moveChild (random.nextInt (108), random.nextInt (108), nullptr);

    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    const auto ids = idsInChildOrder (controls);
    ASSERT_EQ (ids.size(), 108u);
    for (int index = 0; index < 108; ++index)
        EXPECT_EQ (ids[(size_t) index], index + 1);
}
