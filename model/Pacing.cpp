#include "Pacing.h"

#include <thread>

namespace
{
// How early the thread wakes from its sleep: more than a busy system's
// lateness in waking, so the rest can be spun precisely. A sleep may wake
// most of a millisecond late, and over the firmware upload's 33,000 pauses of
// 1 ms such wakes added 1 to 3 % to the whole. So the short pauses are spun
// whole; shortening later pauses to win the time back would hand the unit
// bytes faster than it is built to take them.
constexpr auto spinMargin = std::chrono::microseconds (1100);
} // namespace

void Pacing::sleepUntil (Clock::time_point deadline)
{
    if (deadline - now() > spinMargin)
        std::this_thread::sleep_until (deadline - spinMargin);

    // A plain spin: yielding here, on a busy machine, can hand the processor
    // away for a whole time slice.
    while (now() < deadline)
    {
    }
}
