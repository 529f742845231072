// The model object's state: the four maps, the current mode, and edits made
// through the current map. The maps themselves are pinned by the saved files.
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

namespace
{
const char* const workingSlugs[] = { "mackie", "logic", "pro-tools", "user-defined" };

juce::ValueTree controlOf (const juce::ValueTree& map, int controlId) { return map.getChildWithName (Tags::controls).getChildWithProperty (Tags::id, controlId); }
} // namespace

TEST (ModelObject, SetCurrentModeTakesTheMapOfThatModeOrNoneAndEditsStayInTheirMode)
{
    auto& impl = testsupport::useFreshModel();
    auto& model = *Dolmaris::getInstance();
    EXPECT_EQ (impl.currentMap, impl.modes.getChild (0)); // the same node, not a copy
    controlOf (impl.currentMap, 5).setProperty (Tags::value, 99, nullptr);

    for (int mode : { 2, 3, 1, 0 })
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_EQ (impl.currentMap, impl.modes.getChild (mode));
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), workingSlugs[mode]);
        EXPECT_EQ (int (model.getCurrCtMode()), mode);
        // Switching neither resets nor reorders the others.
        EXPECT_TRUE (mode == 0 || impl.currentMap.isEquivalentTo (testsupport::expectedDefaultMap (workingSlugs[mode]))) << mode;
    }
    EXPECT_EQ (int (controlOf (impl.currentMap, 5)[Tags::value]), 99);

    // A mode without a map (or without a slug) leaves no map current and makes none up.
    for (const auto& [mode, slug] : { std::pair (5, "samplitude"), std::pair (-1, ""), std::pair (11, "") })
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_TRUE (! impl.currentMap.isValid() && impl.modes.getNumChildren() == 4) << mode;
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), slug);
        EXPECT_EQ (int (model.getCurrCtMode()), 0) << mode;
    }
}

// The mode property is trimmed but never case-folded; the display name is never read.
TEST (ModelObject, CurrentModeIsParsedFromTheCurrentMapsModeProperty)
{
    auto& impl = testsupport::useFreshModel();
    impl.setCurrentMode (CtMode (3));
    impl.currentMap.setProperty (Tags::name, "Logic", nullptr);
    const std::pair<juce::var, int> expected[] = { { "logic", 1 }, { "cubase", 4 }, { " pro-tools\t", 2 }, { " bitwig ", 10 }, { "Pro-Tools", 0 },
                                                   { "", 0 },      { "2", 0 },      { 3, 0 },              { juce::var(), 0 } };
    for (const auto& [mode, value] : expected)
    {
        impl.currentMap.setProperty (Tags::mode, mode, nullptr);
        EXPECT_EQ (int (Dolmaris::getInstance()->getCurrCtMode()), value) << mode.toString();
    }
}
