// The product table: port names to product codes, and codes to display names.
#include "model/Product.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

using zevo::Product;

namespace
{
int codeOf (const juce::String& portName) { return Product::fromDeviceName (portName).pid; }

struct NamedPort
{
    int place; // the pattern this port name is meant to reach
    const char* portName;
    int code;
};

// One port name per pattern, each chosen so that no earlier pattern fits it:
// if a pattern were missing, misspelt or gave the wrong code, its name would
// come out as another code or as 2000.
const NamedPort onePortPerPattern[] = {
    { 1, "Zevo DOLM AR RT MIDI 1", 130 },
    { 2, "Zevo Dolm AR R MIDI 1", 94 },
    { 3, "Zevo Dolm AR V2", 176 },
    { 4, "Zevo Dolm ET V2", 177 },
    { 5, "Zevo Dolm AR", 79 },
    { 6, "Zevo Dolm ET", 89 },
    { 7, "Zevo Stavel K+", 156 },
    { 8, "Zevo Stavel K", 117 },
    { 9, "Zevo Stavel R+", 161 },
    { 10, "Zevo Stavel R", 118 },
    { 11, "Zevo Stavel D+", 170 },
    { 12, "Zevo Stavel Lume", 186 },
    { 13, "Zevo StavelMini", 179 },
    { 14, "Zevo Brimtal 2R", 147 },
    { 15, "Zevo Brimtal 3R", 148 },
    { 16, "Zevo Brimtal 4R", 149 },
    { 17, "Zevo Brimtal 5R", 150 },
    { 18, "Zevo Brimtal 6R", 151 },
    { 19, "Zevo Brimtal 2T VST", 133 },
    { 20, "Zevo Brimtal 2T (VO V)", 133 },
    { 21, "Zevo Brimtal 3T VST", 134 },
    { 22, "Zevo Brimtal 3T (VO V)", 134 },
    { 23, "Zevo Brimtal 4T VST", 135 },
    { 24, "Zevo Brimtal 4T (VO V)", 135 },
    { 25, "Zevo Brimtal 5T VST", 136 },
    { 26, "Zevo Brimtal 5T (VO V)", 136 },
    { 27, "Zevo Brimtal 6T VST", 137 },
    { 28, "Zevo Brimtal 6T (VO V)", 137 },
    { 29, "Zevo Brimtal 2T", 111 },
    { 30, "Zevo Brimtal 3T", 112 },
    { 31, "Zevo Brimtal 4T", 113 },
    { 32, "Zevo Brimtal 5T", 114 },
    { 33, "Zevo Brimtal 6T", 126 },
    { 34, "Zevo Brimtal 2 Mini", 141 },
    { 35, "Zevo Brimtal 3 Mini", 142 },
    { 36, "Zevo Brimtal 4 Mini", 143 },
    { 37, "Zevo Brimtal 5 Mini", 144 },
    { 38, "Zevo Brimtal 6 Mini", 145 },
    { 39, "Zevo Brim Tal 2", 101 },
    { 40, "Zevo Brim Tal 3", 102 },
    { 41, "Zevo Brim Tal 4", 103 },
    { 42, "Zevo Brim Tal 5", 104 },
    { 43, "Zevo Brim Tal 6", 125 },
};

const std::map<int, const char*> displayNames = {
    { 79, "Dolmar" },
    { 89, "Dolmet" },
    { 94, "Dolmar R" },
    { 101, "Brimtal 2" },
    { 102, "Brimtal 3" },
    { 103, "Brimtal 4" },
    { 104, "Brimtal 5" },
    { 110, "Brimtal T" },
    { 111, "Brimtal 2T" },
    { 112, "Brimtal 3T" },
    { 113, "Brimtal 4T" },
    { 114, "Brimtal 5T" },
    { 117, "Stavel K" },
    { 118, "Stavel R" },
    { 125, "Brimtal 6" },
    { 126, "Brimtal 6T" },
    { 130, "Dolmar RT" },
    { 133, "Brimtal 2T (Velto V)" },
    { 134, "Brimtal 3T (Velto V)" },
    { 135, "Brimtal 4T (Velto V)" },
    { 136, "Brimtal 5T (Velto V)" },
    { 137, "Brimtal 6T (Velto V)" },
    { 141, "Brimtal 2 Mini" },
    { 142, "Brimtal 3 Mini" },
    { 143, "Brimtal 4 Mini" },
    { 144, "Brimtal 5 Mini" },
    { 145, "Brimtal 6 Mini" },
    { 147, "Brimtal 2R" },
    { 148, "Brimtal 3R" },
    { 149, "Brimtal 4R" },
    { 150, "Brimtal 5R" },
    { 151, "Brimtal 6R" },
    { 156, "Stavel K+" },
    { 161, "Stavel R+" },
    { 170, "Stavel D+" },
    { 176, "Dolmar V2" },
    { 177, "Dolmet V2" },
    { 179, "StavelMini" },
    { 186, "Stavel Lume" },
};

juce::String nameOf (int code) { return Product::getName (static_cast<Product::PID> (code)); }
} // namespace

//==============================================================================
TEST (ProductFromDeviceName, EveryPatternIsReachedByAPortNameOfItsOwn)
{
    for (const auto& port : onePortPerPattern)
        EXPECT_EQ (codeOf (port.portName), port.code) << "place " << port.place << ": " << port.portName;
}

TEST (ProductFromDeviceName, EveryProductExceptBrimtalTHasAPortName)
{
    for (const auto& [code, name] : displayNames)
    {
        const bool reached = std::any_of (std::begin (onePortPerPattern), std::end (onePortPerPattern),
                                          [c = code] (const NamedPort& p) { return p.code == c; });
        EXPECT_EQ (reached, code != 110) << code << " " << name;
    }
    EXPECT_EQ (codeOf ("Zevo Brimtal T"), 2000);
}

TEST (ProductFromDeviceName, SpecificPatternsWinOverTheGeneralOnesTheyContain)
{
    // Each of these names fits a later, more general pattern too.
    EXPECT_EQ (codeOf ("dolm ar rt"), 130);  // also places 2 and 5
    EXPECT_EQ (codeOf ("dolm ar r"), 94);    // also place 5
    EXPECT_EQ (codeOf ("dolm ar v2"), 176);  // also place 5
    EXPECT_EQ (codeOf ("dolm et v2"), 177);  // also place 6
    EXPECT_EQ (codeOf ("stavel k+"), 156);   // also place 8
    EXPECT_EQ (codeOf ("stavel r+"), 161);   // also place 10
    EXPECT_EQ (codeOf ("stavel rt"), 118);

    for (int size = 2; size <= 6; ++size)
    {
        const int veltoCode = 133 + size - 2;
        const juce::String t = "brimtal " + juce::String (size) + "t";
        EXPECT_EQ (codeOf (t + " vst"), veltoCode) << t;
        EXPECT_EQ (codeOf (t + " (vo v)"), veltoCode) << t;
        EXPECT_EQ (codeOf (t + "-(vo-v)"), veltoCode) << t;
        EXPECT_EQ (codeOf (t + " (velto v)"), size == 6 ? 126 : 110 + size - 1) << t;
    }
}

TEST (ProductFromDeviceName, TheEarlierPlaceDecidesANameThatNamesTwoProducts)
{
    EXPECT_EQ (codeOf ("dolm et / stavel k"), 89);
    EXPECT_EQ (codeOf ("stavel k / dolm et"), 89);
    EXPECT_EQ (codeOf ("brim tal 2 / brimtal 3r"), 148);
    EXPECT_EQ (codeOf ("brimtal 2t / dolm ar"), 79);
}

TEST (ProductFromDeviceName, NamesAreLowerCasedAndTrimmedButNotOtherwiseChanged)
{
    EXPECT_EQ (codeOf ("  \t DOLM AR RT 1 \r\n"), 130);
    EXPECT_EQ (codeOf ("BRIMTAL 2T (VO V)"), 133);
    EXPECT_EQ (codeOf ("sTaVeL lUmE"), 186);

    // Blanks inside the name are kept as they are.
    EXPECT_EQ (codeOf ("dolm  ar"), 2000);
    EXPECT_EQ (codeOf ("dolm\tar"), 2000);
}

TEST (ProductFromDeviceName, QuestionMarkStandsForExactlyOneCharacter)
{
    EXPECT_EQ (codeOf ("stavel k"), 117);
    EXPECT_EQ (codeOf ("stavel-k"), 117);
    EXPECT_EQ (codeOf ("stavelk"), 2000);
    EXPECT_EQ (codeOf ("stavel--k"), 2000);

    EXPECT_EQ (codeOf ("brim tal 2"), 101);
    EXPECT_EQ (codeOf ("brim_tal_2"), 101);
    EXPECT_EQ (codeOf ("brimtal 2"), 2000);
    EXPECT_EQ (codeOf ("brim  tal 2"), 2000);

    // Place 4 has a star between "et" and "v2"; place 3 has one character.
    EXPECT_EQ (codeOf ("dolm et mk v2"), 177);
    EXPECT_EQ (codeOf ("dolm-ar-v2"), 176);
    EXPECT_EQ (codeOf ("dolm ar mk v2"), 79);
}

TEST (ProductFromDeviceName, ABlankIsNeededWherePatternsHaveOne)
{
    EXPECT_EQ (codeOf ("dolm ar-r"), 79);
    EXPECT_EQ (codeOf ("dolm ar-rt"), 79);
    EXPECT_EQ (codeOf ("dolm-ar"), 2000);
    EXPECT_EQ (codeOf ("dolmar"), 2000);
}

TEST (ProductFromDeviceName, PlusAndBracketsMatchOnlyThemselves)
{
    EXPECT_EQ (codeOf ("stavel k plus"), 117);
    EXPECT_EQ (codeOf ("stavel r plus"), 118);
    EXPECT_EQ (codeOf ("stavel d"), 2000);
    EXPECT_EQ (codeOf ("brimtal 4t [vo v]"), 113);
    EXPECT_EQ (codeOf ("brimtal 4t (vo v"), 113);
}

TEST (ProductFromDeviceName, TheProductNameMayStandAnywhereInThePortName)
{
    EXPECT_EQ (codeOf ("dolm et"), 89);
    EXPECT_EQ (codeOf ("MIDI 2 (Zevo Dolm ET) Port 1"), 89);
    EXPECT_EQ (codeOf ("Zevo Brimtal 4R MIDI In"), 149);
    EXPECT_EQ (codeOf (juce::String::fromUTF8 ("Zevo Dolm AR \xe2\x80\x94 \xc3\x9c" "bung")), 79);
}

TEST (ProductFromDeviceName, NamesOfNoProductGiveUnknown)
{
    EXPECT_EQ (codeOf ({}), 2000);
    EXPECT_EQ (codeOf ("   \t\n"), 2000);
    EXPECT_EQ (codeOf ("Midi Through Port-0"), 2000);
    EXPECT_EQ (codeOf ("brim tal 7"), 2000);
    EXPECT_EQ (codeOf (juce::String::fromUTF8 ("DOLM \xc3\x84R")), 2000);
}

TEST (ProductFromDeviceName, ConvertsToItsCode)
{
    const int code = Product::fromDeviceName ("Zevo Dolm ET");
    EXPECT_EQ (code, Product::dolmet);
    EXPECT_EQ (Product {}.pid, Product::unknown);
}

//==============================================================================
TEST (ProductGetName, EveryCodeHasItsDisplayName)
{
    for (const auto& [code, name] : displayNames)
        EXPECT_EQ (nameOf (code), juce::String (name)) << code;
}

TEST (ProductGetName, CodesWithoutARowAreUnknown)
{
    for (int code : { 2000, 0, -1, 182, 183, 80, 100, 105, 187, 1999, 2001, INT_MIN, INT_MAX })
        EXPECT_EQ (nameOf (code), "Unknown") << code;

    int named = 0;
    for (int code = -300; code <= 2300; ++code)
        if (nameOf (code) != "Unknown")
            ++named;
    EXPECT_EQ (named, 39);
}
