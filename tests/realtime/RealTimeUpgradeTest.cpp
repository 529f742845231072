// The largest image the unit takes, sent with real pauses and real polls of
// the message loop, as the editor sends it.
#include "support/UpgradeBench.h"

#include <gtest/gtest.h>

TEST (UpgradeInRealTime, FullImageReachesTheUnitIntact)
{
    UpgradeBench bench (VirtualMidiPorts::Pauses::recordAndSleep);
    const auto image = bench.loadImage (63'487);

    ASSERT_TRUE (bench.upgrade());

    auto expected = image;
    expected.resize (124 * 512, 0);
    EXPECT_TRUE (bench.unit.getImage() == expected);
    EXPECT_TRUE (bench.unit.getProblems().empty());
    EXPECT_EQ (bench.boxes.boxes.size(), 1u);

    // A lower bound only: each pause really separates the messages around it.
    const auto events = bench.ports->getEvents();
    int64_t lastSend = -1, owed = 0, shortGaps = 0;
    for (const auto& event : events)
    {
        if (event.isPause() || event.isPoll())
        {
            owed += (int64_t) (event.pauseMs + event.pollMs) * 1'000'000;
            continue;
        }
        if (lastSend >= 0 && event.nanoseconds - lastSend < owed)
            ++shortGaps;
        lastSend = event.nanoseconds;
        owed = 0;
    }
    EXPECT_EQ (shortGaps, 0);
}
