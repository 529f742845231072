// Exact expected files in tests/data: compared line by line, so a failure
// names the first line that differs rather than one unreadable blob.
#pragma once

#include <juce_data_structures/juce_data_structures.h>
#include <gtest/gtest.h>

namespace testsupport
{
inline juce::File dataFile (const juce::String& relativePath) { return juce::File (KIVRA_TEST_DATA_DIR).getChildFile (relativePath); }

inline void expectLinesOfFile (const juce::StringArray& actual, const juce::String& relativePath)
{
    juce::StringArray expected;
    expected.addLines (dataFile (relativePath).loadFileAsString());
    expected.removeEmptyStrings();
    for (int i = 0; i < juce::jmax (actual.size(), expected.size()); ++i)
        if (actual[i] != expected[i])
            return ADD_FAILURE() << relativePath << ", line " << i + 1 << ": expected \"" << expected[i] << "\", got \"" << actual[i] << "\"";
}

// The default map of a working mode, as its expected saved file holds it.
inline juce::ValueTree expectedDefaultMap (const juce::String& modeSlug)
{
    const auto xml = juce::parseXML (dataFile ("mapping/" + modeSlug + "-default.kivra"));
    return xml != nullptr ? juce::ValueTree::fromXml (*xml) : juce::ValueTree();
}
} // namespace testsupport
