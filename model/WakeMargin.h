// How early a paced wait wakes before its deadline. A sleeping thread wakes a
// little late, by an amount that depends on the machine and its load; the
// rest of the wait is spun. Too small a margin and the late wakes overshoot
// the deadline; too large and the spin burns a core. So the margin follows
// the wakes actually seen: it settles where most wakes fall inside it.
#pragma once

#include <chrono>

class WakeMargin
{
public:
    using Duration = std::chrono::nanoseconds;

    /** The bounds: the least a sleep is ever trusted to need, and the most a
        wait will spin (a tenth of the shortest pause, a millisecond). */
    static constexpr Duration floor = std::chrono::microseconds (10);
    static constexpr Duration ceiling = std::chrono::microseconds (100);

    Duration get() const noexcept { return margin; }

    /** Takes in how late one sleep woke after the time it was asked to wake at. */
    void noteWake (Duration lateness) noexcept;

private:
    Duration margin = std::chrono::microseconds (50);
};
