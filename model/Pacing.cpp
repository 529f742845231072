#include "Pacing.h"

#include <thread>

namespace
{
// How early the thread wakes from its sleep: more than the system's usual
// lateness in waking, so the rest can be spun precisely.
constexpr auto spinMargin = std::chrono::microseconds (150);
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
