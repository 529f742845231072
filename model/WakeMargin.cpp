#include "WakeMargin.h"

#include <algorithm>

namespace
{
// A step up for each wake later than the margin, nineteen times a step down
// for each one within it: the margin settles where 19 wakes in 20 fall inside
// it. The steps are small against the wakes' spread, so one stray wake moves
// it little, yet a change of load is followed within a few hundred waits.
constexpr auto stepDown = std::chrono::nanoseconds (250);
constexpr auto stepUp = 19 * stepDown;
} // namespace

void WakeMargin::noteWake (Duration lateness) noexcept
{
    margin += lateness > margin ? stepUp : -stepDown;
    margin = std::clamp (margin, floor, ceiling);
}
