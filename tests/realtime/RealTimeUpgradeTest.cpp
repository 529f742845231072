// The largest image the unit takes, sent with real pauses and real polls of
// the message loop, as the editor sends it.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

TEST (UpgradeInRealTime, FullImageReachesTheUnitIntact)
{
    UpgradeBench bench (VirtualMidiPorts::Pauses::recordAndSleep);
    auto image = bench.loadImage (63'487);

    ASSERT_TRUE (bench.upgrade());

    image.resize (124 * 512, 0);
    EXPECT_TRUE (bench.unit.getImage() == image);
    EXPECT_TRUE (bench.unit.getProblems().empty());
}
