// The mapping vocabulary is what files, settings and the upload agree on: a
// slug spelt differently, a kind boundary off by one or a property written out
// of order would change every file the editor writes.
#include "model/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
const struct { int value; const char* slug; const char* name; } allModes[] = {
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

juce::ValueTree controlNode (int id)
{
    juce::ValueTree node ("control");
    node.setProperty (Tags::id, id, nullptr);
    return node;
}

int parse (const char* text) { return CtMode (juce::String (text)); }
} // namespace

//==============================================================================
TEST (CtModeWords, SlugsNamesAndParsing)
{
    for (const auto& mode : allModes)
    {
        EXPECT_EQ (CtMode::slugForType (mode.value), mode.slug);
        EXPECT_EQ (CtMode::nameForType (mode.value), mode.name);
        EXPECT_EQ (parse (mode.slug), mode.value) << mode.slug;
    }

    EXPECT_EQ (parse ("  logic  "), 1);
    EXPECT_EQ (parse ("\tpro-tools\n"), 2);
    for (const char* text : { "", "Logic", "LOGIC", "HUI", "User Defined (MCP)", "pro tools", "logicx", "3" })
        EXPECT_EQ (parse (text), 0) << "'" << text << "'";

    for (int value : { -1, 11, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtMode::slugForType (value).isEmpty() && CtMode::nameForType (value).isEmpty()) << value;
    for (int value = -1; value <= 11; ++value)
        EXPECT_EQ (CtMode (value).isWorkingMode(), value >= 0 && value <= 3) << value;
}

TEST (CtTypeAndKindWords, SlugsAndEmptyOutside)
{
    const char* typeSlugs[] = { "note", "cc", "pitch" };
    for (int type = 0; type < 3; ++type)
        EXPECT_EQ (CtType (type).getSlug(), typeSlugs[type]);

    const char* kindSlugs[] = { "button", "knob", "jog-wheel", "fader", "master-fader" };
    for (int kind = 0; kind < 5; ++kind)
        EXPECT_EQ (CtKind::slugForType (kind), kindSlugs[kind]);

    for (int value : { -1, 5, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtType (value).getSlug().isEmpty() && CtKind::slugForType (value).isEmpty()) << value;
    EXPECT_TRUE (CtType (3).getSlug().isEmpty()); // a program change has no type of its own
}

TEST (CtKindWords, KindAndOrdinalAtEveryBoundary)
{
    const std::tuple<int, int, int> expected[] = { // id, kind, ordinal
        { 1, CtKind::button, 0 },    { 90, CtKind::button, 89 }, { 91, CtKind::knob, 0 },
        { 98, CtKind::knob, 7 },     { 99, CtKind::jogWheel, 0 }, { 100, CtKind::fader, 0 },
        { 107, CtKind::fader, 7 },   { 108, CtKind::masterFader, 0 },
    };
    for (const auto& [id, kind, ordinal] : expected)
        EXPECT_TRUE (CtKind::forId (id) == kind && CtKind::ordinalForId (id) == ordinal) << "id " << id;

    for (int id : { 0, -1, 109, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtKind::forId (id) == -1 && ! CtKind::isValidId (id)) << "id " << id;
}

//==============================================================================
TEST (CtMapShape, FreshMapsHoldModeNameAnd108ControlsInFileOrder)
{
    for (int mode = 0; mode < 4; ++mode)
    {
        const CtMap map { CtMode (mode) };
        EXPECT_EQ (propertyNames (map.tree), juce::StringArray ({ "mode", "name" }));
        EXPECT_EQ (map.tree["mode"].toString(), allModes[mode].slug);
        EXPECT_EQ (map.tree["name"].toString(), allModes[mode].name);
        EXPECT_EQ ((int) map.getCtMode(), mode);
        ASSERT_EQ (map.tree.getNumChildren(), 1);
        const auto controls = map.tree.getChild (0);
        ASSERT_TRUE (controls.hasType (Tags::controls));
        ASSERT_EQ (controls.getNumChildren(), 108);

        for (int id = 1; id <= 108; ++id)
        {
            const auto control = controls.getChild (id - 1);
            EXPECT_EQ (propertyNames (control), juce::StringArray ({ "id", "kind", "type", "chan", "value" }));
            EXPECT_EQ (control[Tags::kind].toString(), CtKind::slugForType (CtKind::forId (id)));
            // Integers stay integers, so they are written without quotes or decimals.
            EXPECT_TRUE (control[Tags::id].isInt() && control[Tags::chan].isInt() && control[Tags::value].isInt());
            EXPECT_EQ ((int) control[Tags::id], id);
        }
    }
}

//==============================================================================
TEST (CtMapSkeleton, ResetsModeAndTheFirstControlsChildButKeepsEverythingElse)
{
    juce::ValueTree node (Tags::map);
    node.setProperty (Tags::name, "Logic", nullptr);
    node.setProperty ("extra", 42, nullptr);
    node.setProperty (Tags::mode, "logic", nullptr);
    juce::ValueTree other ("other");
    node.appendChild (other, nullptr);
    juce::ValueTree controls (Tags::controls), secondControls (Tags::controls);
    controls.setProperty ("note", "kept", nullptr);
    for (int id : { 7, 3, 200 })
        controls.appendChild (controlNode (id), nullptr);
    secondControls.appendChild (controlNode (5), nullptr);
    node.appendChild (controls, nullptr);
    node.appendChild (secondControls, nullptr);

    CtMap (node).addMissingProperties();

    EXPECT_TRUE (node[Tags::mode] == "mackie" && node[Tags::name] == "MCP");
    EXPECT_EQ (propertyNames (node), juce::StringArray ({ "name", "extra", "mode" })); // existing order kept
    ASSERT_EQ (node.getNumChildren(), 3);
    EXPECT_TRUE (node.getChild (0) == other && node.getChild (1) == controls);
    EXPECT_EQ (controls["note"].toString(), "kept");
    EXPECT_EQ (secondControls.getNumChildren(), 1);
    ASSERT_EQ (controls.getNumChildren(), 108);
    for (int id = 1; id <= 108; ++id)
    {
        const auto control = controls.getChild (id - 1);
        EXPECT_EQ ((int) control[Tags::id], id);
        EXPECT_TRUE (control[Tags::type] == "note" && (int) control[Tags::chan] == 1 && (int) control[Tags::value] == 0);
    }
}

TEST (CtMapSkeleton, EmptyNodeGetsModeBeforeNameAndAControlsChildAfterOthers)
{
    juce::ValueTree node (Tags::map);
    node.appendChild (juce::ValueTree ("first"), nullptr);
    CtMap (node).addMissingProperties();

    EXPECT_EQ (propertyNames (node), juce::StringArray ({ "mode", "name" }));
    ASSERT_EQ (node.getNumChildren(), 2);
    EXPECT_TRUE (node.getChild (0).hasType ("first"));
    EXPECT_TRUE (node.getChild (1).hasType (Tags::controls) && node.getChild (1).getNumChildren() == 108);
}

TEST (CtMapMode, ReadFromTheModePropertyOnly)
{
    juce::ValueTree node (Tags::map);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 0);
    EXPECT_EQ ((int) CtMap (juce::ValueTree()).getCtMode(), 0);

    node.setProperty (Tags::mode, " bitwig ", nullptr);
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 10);

    node.setProperty (Tags::mode, "nonsense", nullptr);
    node.setProperty (Tags::name, "Logic", nullptr); // the display name is never read for the mode
    EXPECT_EQ ((int) CtMap (node).getCtMode(), 0);
}

//==============================================================================
TEST (ControlSorterOrder, ComparesIdsAsNumbers)
{
    juce::ValueTree controls (Tags::controls);
    for (int id : { 100, 9, 108, 10, 1, 99 })
        controls.appendChild (controlNode (id), nullptr);

    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    std::vector<int> ids;
    for (const auto& child : controls)
        ids.push_back (child[Tags::id]);
    EXPECT_EQ (ids, (std::vector<int> { 1, 9, 10, 99, 100, 108 }));
    EXPECT_EQ (ControlSorter::compareElements (controlNode (4), controlNode (4)), 0);
}
