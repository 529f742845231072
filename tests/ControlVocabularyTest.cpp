// The mapping vocabulary is what files, settings and the upload agree on. The
// working modes' words are pinned by the expected saved files; these are the
// others and the guards. (The upload's test sorts ids given as text.)
#include "model/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>

TEST (CtModeWords, SlugsNamesParsingAndGuards)
{
    const std::tuple<int, const char*, const char*> modes[] = { { 4, "cubase", "Cubase" }, { 5, "samplitude", "Samplitude" },
                                                                { 6, "ableton-live", "Ableton Live" }, { 7, "reaper", "Reaper" },
                                                                { 8, "studio-one", "Studio One" }, { 9, "reason", "Reason" }, { 10, "bitwig", "Bitwig" } };
    for (const auto& [value, slug, name] : modes)
        EXPECT_TRUE (CtMode::slugForType (value) == slug && CtMode::nameForType (value) == name && int (CtMode (juce::String (slug))) == value) << slug;
    // Trimmed, never case-folded, never a display name or a number.
    for (const auto& [text, value] : { std::pair ("\tpro-tools\n", 2), std::pair (" bitwig ", 10), std::pair ("Pro-Tools", 0), std::pair ("Logic", 0), std::pair ("3", 0) })
        EXPECT_EQ (int (CtMode (juce::String (text))), value) << "'" << text << "'";

    for (int value : { -1, 11, INT_MIN, INT_MAX })
        EXPECT_TRUE (CtMode::slugForType (value).isEmpty() && CtMode::nameForType (value).isEmpty() && CtType (value).getSlug().isEmpty()
                     && CtKind::slugForType (value).isEmpty()) << value;
    for (int id : { 0, 109, INT_MIN, INT_MAX })
        EXPECT_EQ (CtKind::forId (id), -1) << id;
}
