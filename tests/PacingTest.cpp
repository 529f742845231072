// The paced waits between the bytes a unit is sent: none may end before its
// deadline (the unit cannot take bytes faster), the thread's timer slack is
// its own again afterwards, and the margin the waits wake by follows the
// wakes actually seen without ever spinning whole pauses again.
#include "model/Pacing.h"
#include "model/TimerSlack.h"
#include "model/WakeMargin.h"

#include <gtest/gtest.h>

#include <functional>

using namespace std::chrono;

TEST (Pacing, NoWaitEndsBeforeItsDeadlineAndTheThreadKeepsItsTimerSlack)
{
    const auto slackBefore = TimerSlack::current();
    for (const auto length : { microseconds (-500), microseconds (0), microseconds (5), microseconds (60),
                               microseconds (120), microseconds (1000), microseconds (2000), microseconds (10000) })
    {
        for (int wait = 0; wait < 50; ++wait)
        {
            const auto deadline = Pacing::now() + length;
            Pacing::sleepUntil (deadline);
            const auto early = deadline - Pacing::now();
            ASSERT_LE (early.count(), 0) << "a wait of " << length.count() << " µs ended " << early.count() << " ns early";
        }
    }
    EXPECT_EQ (TimerSlack::current(), slackBefore) << "the waits left the thread's timer slack changed";
}

TEST (WakeMargin, SettlesWhereNineteenWakesInTwentyFallInsideItWithinItsBounds)
{
    const auto us = [] (int n) { return WakeMargin::Duration (microseconds (n)); };
    // Wakes that spread evenly over 0..60 µs: the 95th in a hundred is 57 µs.
    const auto spread = [] (int i) { return (i * 37) % 61; };

    struct Case
    {
        const char* wakes;
        std::function<int (int)> firstLateness, thenLateness; // in µs, by wake number
        WakeMargin::Duration least, most;
    };
    const Case cases[] = {
        { "always 30 µs late", [] (int) { return 30; }, [] (int) { return 30; }, us (30), us (40) },
        { "spread over 0..60 µs", spread, spread, us (50), us (66) },
        { "never late", [] (int) { return 0; }, [] (int) { return 0; }, WakeMargin::floor, WakeMargin::floor },
        { "5 ms late on an overloaded machine", [] (int) { return 5000; }, [] (int) { return 5000; },
          WakeMargin::ceiling, WakeMargin::ceiling },
        { "20 µs, then 80 µs under load", [] (int) { return 20; }, [] (int) { return 80; }, us (80), us (90) },
        { "80 µs, then 20 µs once the load has gone", [] (int) { return 80; }, [] (int) { return 20; }, us (20), us (30) },
        { "a late wake now and then among quick ones", [] (int) { return 25; },
          [] (int i) { return i % 100 == 0 ? 3000 : 25; }, us (25), us (35) },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.wakes);
        WakeMargin margin;
        for (int i = 0; i < 2000; ++i)
            margin.noteWake (us (c.firstLateness (i)));
        // Read over a stretch, so no single step up or down decides the outcome.
        for (int i = 0; i < 2000; ++i)
        {
            margin.noteWake (us (c.thenLateness (i)));
            if (i >= 1000)
            {
                const auto inMicroseconds = [] (WakeMargin::Duration d) { return duration<double, std::micro> (d).count(); };
                ASSERT_GE (inMicroseconds (margin.get()), inMicroseconds (c.least - us (1))) << "after wake " << i;
                ASSERT_LE (inMicroseconds (margin.get()), inMicroseconds (c.most)) << "after wake " << i;
            }
        }
    }
}
