// The mapping vocabulary is what files, settings and the upload agree on. The
// working modes' words are pinned by the expected saved files; these are the
// others, the parsing rules and the guards.
#include "model/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>


TEST (CtModeWords, SlugsNamesAndParsing)
{
    const struct { int value; const char* slug; const char* name; } modes[] = {
        { 4, "cubase", "Cubase" }, { 5, "samplitude", "Samplitude" }, { 6, "ableton-live", "Ableton Live" },
        { 7, "reaper", "Reaper" }, { 8, "studio-one", "Studio One" }, { 9, "reason", "Reason" }, { 10, "bitwig", "Bitwig" },
    };
    for (const auto& mode : modes)
        EXPECT_TRUE (CtMode::slugForType (mode.value) == mode.slug && CtMode::nameForType (mode.value) == mode.name
                     && int (CtMode (juce::String (mode.slug))) == mode.value) << mode.slug;

    // Trimmed, never case-folded, never a display name or a number.
    EXPECT_EQ (int (CtMode (juce::String ("\tpro-tools\n"))), 2);
    for (const char* text : { "", "Logic", "HUI", "User Defined (MCP)", "pro tools", "logicx", "3" })
        EXPECT_EQ (int (CtMode (juce::String (text))), 0) << "'" << text << "'";

    for (int value : { -1, 11, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtMode::slugForType (value).isEmpty() && CtMode::nameForType (value).isEmpty()
                     && CtType (value).getSlug().isEmpty() && CtKind::slugForType (value).isEmpty()) << value;
    for (int value = -1; value <= 11; ++value)
        EXPECT_EQ (CtMode (value).isWorkingMode(), value >= 0 && value <= 3) << value;
    EXPECT_TRUE (CtType (3).getSlug().isEmpty()); // a program change has no type of its own
}

TEST (CtKindWords, NoKindOutsideTheIds)
{
    for (int id : { 0, -1, 109, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtKind::forId (id) == -1 && ! CtKind::isValidId (id)) << "id " << id;
}

// The upload sorts by id; a loaded file holds ids as text.
TEST (ControlSorterOrder, ComparesIdsAsNumbers)
{
    juce::ValueTree controls (Tags::controls);
    const juce::var ids[] = { 100, "9", 108, "10", 1 };
    for (const auto& id : ids)
        controls.appendChild (juce::ValueTree ("control").setProperty (Tags::id, id, nullptr), nullptr);

    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    juce::StringArray sorted;
    for (const auto& child : controls)
        sorted.add (child[Tags::id].toString());
    EXPECT_EQ (sorted.joinIntoString (","), "1,9,10,100,108");
}
