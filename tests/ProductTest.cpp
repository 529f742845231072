// The product table: port names to product codes, and codes to display names
// (products.txt, one line a code, so a failure names the entry).
#include "model/Product.h"
#include "support/ExpectedFile.h"

#include <gtest/gtest.h>

#include <climits>

using zevo::Product;

namespace
{
int codeOf (const juce::String& portName) { return Product::fromDeviceName (portName); }
} // namespace

// Each name here fits a later, more general pattern too, or tests one wildcard
// rule: a wrong order, a missing pattern or a wrong code changes its answer.
TEST (ProductFromDeviceName, SpecificPatternsComeFirstAndWildcardsFollowTheirRules)
{
    const std::pair<const char*, int> names[] = {
        { "  \t DOLM AR RT 1 \r\n", 130 }, // lower-cased and trimmed first; place 1 before 2 and 5
        { "Zevo Dolm AR R MIDI 1", 94 },    // place 2 before 5
        { "dolm ar v2", 176 }, { "dolm-ar-v2", 176 }, // place 3 before 5; one character at each "?"
        { "dolm et mk v2", 177 },           // place 4 before 6, a star before "v2"
        { "dolm ar mk v2", 79 },            // place 3 has one character only
        { "dolm ar-r", 79 },                // place 2 needs a blank before the r
        { "MIDI 2 (Zevo Dolm ET) Port 1", 89 }, { "dolm et / stavel k", 89 }, // place 6 before 8, wherever they stand
        { "stavel k+", 156 }, { "stavel-k", 117 }, { "stavel r+", 161 }, { "stavel rt", 118 }, { "stavel d+", 170 },
        { "sTaVeL lUmE", 186 }, { "StavelMini", 179 },
        { "brim tal 2 / brimtal 3r", 148 }, // place 15 before 40
        { "brim_tal_2", 101 }, { "brimtal 2t / dolm ar", 79 },
        { "brimtal 4t [vo v]", 113 }, { "brimtal 4t (vo v", 113 }, // brackets and "+" match only themselves
        { "stavel k plus", 117 },
    };
    for (const auto& [name, code] : names)
        EXPECT_EQ (codeOf (name), code) << name;
    // "?" needs exactly one character, inner blanks are kept, and no port name yields 110 (Brimtal T).
    for (const auto* name : { "", "   \t\n", "stavelk", "stavel--k", "stavel d", "brimtal 2", "brim  tal 2", "brim tal 7", "dolm  ar",
                              "dolm-ar", "dolmar", "Zevo Brimtal T", "Midi Through Port-0" })
        EXPECT_EQ (codeOf (name), Product::unknown) << name;

    // Every size of each Brimtal family, Velto V before its plain T.
    for (int size = 2; size <= 6; ++size)
    {
        const juce::String t = "brimtal " + juce::String (size) + "t";
        EXPECT_EQ (codeOf ("Zevo Brimtal " + juce::String (size) + "R MIDI In"), 145 + size) << size;
        EXPECT_EQ (codeOf ("brimtal " + juce::String (size) + " mini"), 139 + size) << size;
        EXPECT_EQ (codeOf ("brim tal " + juce::String (size)), size == 6 ? 125 : 99 + size) << size;
        EXPECT_TRUE (codeOf (t + " vst") == 131 + size && codeOf (t + "-(vo-v)") == 131 + size) << t;
        EXPECT_EQ (codeOf (t + " (velto v)"), size == 6 ? 126 : 109 + size) << t;
    }
}

TEST (ProductGetName, EveryCodeHasItsDisplayNameAndAllOthersAreUnknown)
{
    juce::StringArray named;
    for (int code : { INT_MIN, INT_MAX })
        EXPECT_EQ (Product::getName (static_cast<Product::PID> (code)), "Unknown") << code;
    for (int code = -300; code <= 2300; ++code)
        if (const auto name = Product::getName (static_cast<Product::PID> (code)); name != "Unknown")
            named.add (juce::String (code) + " " + name);
    testsupport::expectLinesOfFile (named, "products.txt");
}
