// The model object's state: the four maps, the current mode, and edits made
// through the current map.
#include "model/Dolmaris.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

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

//==============================================================================
TEST_F (ModelObject, StartsWithTheFourDefaultMapsAndMackieCurrent)
{
    EXPECT_EQ (impl.modes.getType(), Tags::modes);
    ASSERT_EQ (impl.modes.getNumChildren(), 4);
    for (int mode = 0; mode < 4; ++mode)
    {
        const auto map = impl.modes.getChild (mode);
        EXPECT_EQ (map.getProperty (Tags::mode).toString(), workingSlugs[mode]);
        EXPECT_TRUE (map.isEquivalentTo (CtMap (CtMode (mode)).tree)) << workingSlugs[mode];
        EXPECT_EQ (map.getChildWithName (Tags::controls).getNumChildren(), 108);
    }

    ASSERT_EQ (impl.modes.getNumProperties(), 1);
    EXPECT_EQ (impl.modes.getProperty ("current").toString(), "mackie");
    EXPECT_EQ (impl.currentMap, impl.modes.getChild (0)); // the same node, not a copy
    EXPECT_EQ (int (impl.currentMode), 0);
    EXPECT_EQ (int (model.getCurrCtMode()), 0);
    EXPECT_EQ (impl.productId, 176);
    EXPECT_TRUE (impl.deviceName.isEmpty());
    EXPECT_TRUE (impl.outputDeviceName.isEmpty());
}

//==============================================================================
TEST_F (ModelObject, SetCurrentModeTakesTheMapOfThatModeItself)
{
    for (int mode : { 2, 3, 1, 0 })
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_EQ (int (impl.currentMode), mode);
        EXPECT_EQ (impl.currentMap, impl.modes.getChild (mode));
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), workingSlugs[mode]);
        EXPECT_EQ (int (model.getCurrCtMode()), mode);
    }
}

TEST_F (ModelObject, SwitchingModesNeitherResetsNorReordersMaps)
{
    const auto before = impl.modes.createCopy();

    for (int mode : { 3, 2, 1, 0, 2 })
        impl.setCurrentMode (CtMode (mode));

    ASSERT_EQ (impl.modes.getNumChildren(), 4);
    for (int mode = 0; mode < 4; ++mode)
        EXPECT_TRUE (impl.modes.getChild (mode).isEquivalentTo (before.getChild (mode))) << workingSlugs[mode];
    EXPECT_EQ (impl.productId, 176);
}

TEST_F (ModelObject, EditsThroughTheCurrentMapStayInTheirModeAcrossSwitches)
{
    impl.setCurrentMode (CtMode (2));
    controlOf (impl.currentMap, 5).setProperty (Tags::value, 99, nullptr);

    // The editor edits through juce::Value bindings on the control nodes.
    auto fader = controlOf (impl.currentMap, 100).getPropertyAsValue (Tags::chan, nullptr);
    fader = 7;

    const auto proTools = impl.modes.getChild (2);
    EXPECT_EQ (int (controlOf (proTools, 5)[Tags::value]), 99);
    EXPECT_EQ (int (controlOf (proTools, 100)[Tags::chan]), 7);

    impl.setCurrentMode (CtMode (0));
    EXPECT_TRUE (impl.currentMap.isEquivalentTo (CtMap (CtMode (0)).tree)); // the edit did not leak into mode 0

    impl.setCurrentMode (CtMode (2));
    EXPECT_EQ (int (controlOf (impl.currentMap, 5)[Tags::value]), 99);
    EXPECT_EQ (int (controlOf (impl.currentMap, 100)[Tags::chan]), 7);
}

TEST_F (ModelObject, SwitchingToAModeWithoutAMapLeavesNoMapCurrent)
{
    impl.setCurrentMode (CtMode (5));
    EXPECT_FALSE (impl.currentMap.isValid());
    EXPECT_EQ (impl.modes.getProperty ("current").toString(), "samplitude");
    EXPECT_EQ (int (model.getCurrCtMode()), 0);
    EXPECT_EQ (impl.modes.getNumChildren(), 4); // no map is made up for it

    impl.setCurrentMode (CtMode (1));
    EXPECT_EQ (impl.currentMap, impl.modes.getChild (1));
    EXPECT_EQ (int (model.getCurrCtMode()), 1);
}

TEST_F (ModelObject, SwitchingToAModeOutsideTheSlugTableLeavesNoMapCurrent)
{
    for (int mode : { -1, 11, 1000 })
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_FALSE (impl.currentMap.isValid()) << mode;
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), "") << mode;
        EXPECT_EQ (int (model.getCurrCtMode()), 0) << mode;
    }
}

//==============================================================================
TEST_F (ModelObject, FindModeComparesTheSlugExactly)
{
    for (int mode = 0; mode < 4; ++mode)
        EXPECT_EQ (impl.findMode (CtMode (mode)), impl.modes.getChild (mode));

    EXPECT_FALSE (impl.findMode (CtMode (5)).isValid());
    EXPECT_FALSE (impl.findMode (CtMode (4)).isValid());

    impl.modes.getChild (1).setProperty (Tags::mode, "Logic", nullptr);
    EXPECT_FALSE (impl.findMode (CtMode (1)).isValid());
    impl.modes.getChild (1).setProperty (Tags::mode, " logic", nullptr);
    EXPECT_FALSE (impl.findMode (CtMode (1)).isValid());
}

TEST_F (ModelObject, FindModeTakesTheFirstOfTwoMapsOfOneMode)
{
    auto second = CtMap (CtMode (3)).tree;
    impl.modes.appendChild (second, nullptr);
    EXPECT_EQ (impl.findMode (CtMode (3)), impl.modes.getChild (3));
    EXPECT_NE (impl.findMode (CtMode (3)), second);
}

//==============================================================================
TEST_F (ModelObject, CurrentModeIsReadFromTheCurrentMapsModeProperty)
{
    impl.setCurrentMode (CtMode (3));

    impl.currentMap.setProperty (Tags::mode, "logic", nullptr);
    EXPECT_EQ (int (model.getCurrCtMode()), 1);

    impl.currentMap.setProperty (Tags::mode, "cubase", nullptr);
    EXPECT_EQ (int (model.getCurrCtMode()), 4);

    impl.currentMap.setProperty (Tags::mode, " pro-tools\t", nullptr); // parsing trims
    EXPECT_EQ (int (model.getCurrCtMode()), 2);
}

TEST_F (ModelObject, CurrentModeIsMackieWhenTheMapsModeIsUnknownOrMissing)
{
    impl.setCurrentMode (CtMode (2));

    for (const char* text : { "bogus", "Pro-Tools", "", "2" })
    {
        impl.currentMap.setProperty (Tags::mode, text, nullptr);
        EXPECT_EQ (int (model.getCurrCtMode()), 0) << text;
    }

    impl.currentMap.setProperty (Tags::mode, 3, nullptr); // an integer, not a slug
    EXPECT_EQ (int (model.getCurrCtMode()), 0);

    impl.currentMap.removeProperty (Tags::mode, nullptr);
    EXPECT_EQ (int (model.getCurrCtMode()), 0);
}

TEST_F (ModelObject, EachTestGetsAModelInItsStartUpState)
{
    // Guards the fixture: a model left in mode 2 by an earlier test would show here.
    EXPECT_EQ (impl.modes.getProperty ("current").toString(), "mackie");
    EXPECT_EQ (Dolmaris::getInstance(), &model);
}
