// The model object's state: the four maps, the current mode, and edits made
// through the current map. The maps themselves are pinned by the saved files;
// the current mode is parsed from the current map's mode property as any
// slug is (see the vocabulary's test).
#include "support/ExpectedFile.h"
#include "support/FreshModel.h"

TEST (ModelObject, SetCurrentModeTakesTheMapOfThatModeOrNoneAndEditsStayInTheirMode)
{
    auto& impl = testsupport::useFreshModel();
    EXPECT_EQ (impl.currentMap, impl.modes.getChild (0)); // the same node, not a copy
    testsupport::currentControlNode (5).setProperty (Tags::value, 99, nullptr);

    // A mode without a map (or without a slug) leaves no map current and makes none up;
    // switching neither resets nor reorders the other maps.
    const std::tuple<int, const char*, bool> modes[] = { { 2, "pro-tools", true }, { 5, "samplitude", false }, { 3, "user-defined", true },
                                                         { -1, "", false }, { 1, "logic", true }, { 11, "", false }, { 0, "mackie", true } };
    for (const auto& [mode, slug, hasMap] : modes)
    {
        impl.setCurrentMode (CtMode (mode));
        EXPECT_EQ (impl.modes.getProperty ("current").toString(), slug);
        EXPECT_EQ (int (Dolmaris::getInstance()->getCurrCtMode()), hasMap ? mode : 0) << mode;
        EXPECT_TRUE (hasMap ? impl.currentMap == impl.modes.getChild (mode) : ! impl.currentMap.isValid()) << mode;
        EXPECT_TRUE (! hasMap || mode == 0 || impl.currentMap.isEquivalentTo (testsupport::expectedDefaultMap (slug))) << mode;
    }
    EXPECT_EQ (impl.modes.getNumChildren(), 4);
    EXPECT_EQ (int (testsupport::currentControlNode (5)[Tags::value]), 99);
}
