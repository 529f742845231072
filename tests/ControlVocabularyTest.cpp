// The mapping vocabulary is what files, settings and the upload agree on. The
// working modes' words are pinned by the expected saved files; these are the
// others, the guards, and the sorting of ids.
#include "model/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>

TEST (CtModeWords, SlugsNamesParsingAndGuards)
{
    const struct { int value; const char* slug; const char* name; } modes[] = {
        { 4, "cubase", "Cubase" }, { 5, "samplitude", "Samplitude" }, { 6, "ableton-live", "Ableton Live" },
        { 7, "reaper", "Reaper" }, { 8, "studio-one", "Studio One" }, { 9, "reason", "Reason" }, { 10, "bitwig", "Bitwig" },
    };
    for (const auto& mode : modes)
        EXPECT_TRUE (CtMode::slugForType (mode.value) == mode.slug && CtMode::nameForType (mode.value) == mode.name
                     && int (CtMode (juce::String (mode.slug))) == mode.value) << mode.slug;

    for (int value : { -1, 11, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtMode::slugForType (value).isEmpty() && CtMode::nameForType (value).isEmpty() && CtType (value).getSlug().isEmpty()
                     && CtKind::slugForType (value).isEmpty()) << value;
    for (int id : { 0, 109, INT_MIN, INT_MAX })
        EXPECT_EQ (CtKind::forId (id), -1) << id;
}

// The upload sorts by id; a loaded file holds ids as text.
TEST (ControlSorterOrder, ComparesIdsAsNumbers)
{
    juce::ValueTree controls (Tags::controls);
    for (const juce::var& id : { juce::var (100), juce::var ("9"), juce::var (108), juce::var ("10"), juce::var (1) })
        controls.appendChild (juce::ValueTree ("control").setProperty (Tags::id, id, nullptr), nullptr);
    ControlSorter sorter;
    controls.sort (sorter, nullptr, false);
    juce::StringArray sorted;
    for (const auto& child : controls)
        sorted.add (child[Tags::id].toString());
    EXPECT_EQ (sorted.joinIntoString (","), "1,9,10,100,108");
}
