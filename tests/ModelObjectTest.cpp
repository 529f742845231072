// The model object's state: the four maps, the current mode, and edits made
// through the current map.
#include "model/Dolmaris.h"
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

namespace
{
const char* const workingSlugs[] = { "mackie", "logic", "pro-tools", "user-defined" };

juce::ValueTree controlOf (const juce::ValueTree& map, int controlId)
{
    return map.getChildWithName (Tags::controls).getChildWithProperty (Tags::id, controlId);
}

class ModelObject : public ::testing::Test
{
protected:
    Dolmaris& model = freshModel();
    Dolmaris::Impl& impl = *model.impl;

};
} // namespace

// The maps themselves are pinned byte for byte by the saved-file test.
TEST_F (ModelObject, StartsWithMackieCurrentAndSetCurrentModeTakesTheMapOfThatModeOrNone)
{
    EXPECT_EQ (impl.modes.getNumChildren(), 4);
    EXPECT_EQ (impl.modes.getProperty ("current").toString(), "mackie");
    EXPECT_EQ (impl.currentMap, impl.modes.getChild (0)); // the same node, not a copy
    EXPECT_TRUE (impl.productId == 176 && impl.deviceName.isEmpty() && impl.outputDeviceName.isEmpty());

    for (int mode : { 2, 3, 1, 0 })
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_EQ (impl.currentMap, impl.modes.getChild (mode));
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), workingSlugs[mode]);
        EXPECT_TRUE (int (impl.currentMode) == mode && int (model.getCurrCtMode()) == mode);
    }

    // A mode without a map (or without a slug) leaves no map current and makes none up.
    const std::pair<int, const char*> mapless[] = { { 5, "samplitude" }, { -1, "" }, { 11, "" } };
    for (const auto& [mode, slug] : mapless)
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_FALSE (impl.currentMap.isValid()) << mode;
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), slug);
        EXPECT_EQ (int (model.getCurrCtMode()), 0) << mode;
        EXPECT_EQ (impl.modes.getNumChildren(), 4);
    }
}

TEST_F (ModelObject, EditsThroughTheCurrentMapStayInTheirModeAcrossSwitches)
{
    impl.setCurrentMode (CtMode (2));
    controlOf (impl.currentMap, 5).setProperty (Tags::value, 99, nullptr);
    auto fader = controlOf (impl.currentMap, 100).getPropertyAsValue (Tags::chan, nullptr); // as the views bind
    fader = 7;

    impl.setCurrentMode (CtMode (0));
    impl.setCurrentMode (CtMode (2));
    EXPECT_EQ (int (controlOf (impl.currentMap, 5)[Tags::value]), 99);
    EXPECT_EQ (int (controlOf (impl.modes.getChild (2), 100)[Tags::chan]), 7);
    for (int mode : { 0, 1, 3 }) // switching neither resets nor reorders the others
        EXPECT_TRUE (impl.modes.getChild (mode).isEquivalentTo (testsupport::expectedDefaultMap (workingSlugs[mode]))) << mode;
}

TEST_F (ModelObject, FindModeComparesTheSlugExactlyAndTakesTheFirstMatch)
{
    EXPECT_FALSE (impl.findMode (CtMode (4)).isValid());
    impl.modes.appendChild (CtMap (CtMode (3)).tree, nullptr);
    EXPECT_EQ (impl.findMode (CtMode (3)), impl.modes.getChild (3));

    for (const char* slug : { "Logic", " logic" })
    {
        impl.modes.getChild (1).setProperty (Tags::mode, slug, nullptr);
        EXPECT_FALSE (impl.findMode (CtMode (1)).isValid()) << slug;
    }
}

// The mode property is trimmed but never case-folded; the display name is never read.
TEST_F (ModelObject, CurrentModeIsParsedFromTheCurrentMapsModeProperty)
{
    impl.setCurrentMode (CtMode (3));
    impl.currentMap.setProperty (Tags::name, "Logic", nullptr);
    const std::pair<juce::var, int> expected[] = { { "logic", 1 },     { "cubase", 4 }, { " pro-tools\t", 2 }, { " bitwig ", 10 },
                                                   { "Pro-Tools", 0 }, { "", 0 },       { "2", 0 },            { 3, 0 } };
    for (const auto& [mode, value] : expected)
    {
        impl.currentMap.setProperty (Tags::mode, mode, nullptr);
        EXPECT_EQ (int (model.getCurrCtMode()), value) << mode.toString();
    }
    impl.currentMap.removeProperty (Tags::mode, nullptr);
    EXPECT_EQ (int (model.getCurrCtMode()), 0);
}
