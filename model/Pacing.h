// Waits that end on their deadline and never before it. A plain sleep wakes
// late by a little every time, and over the firmware upload's tens of
// thousands of 1 ms pauses the lateness adds up; spinning whole pauses instead
// burns a core for the length of the upload. So a wait sleeps until shortly
// before its deadline, by a margin that follows how late this thread's sleeps
// wake, and spins only the rest.
#pragma once

#include <chrono>

namespace Pacing
{
using Clock = std::chrono::steady_clock;

inline Clock::time_point now() noexcept { return Clock::now(); }

inline Clock::time_point deadlineAfter (int milliseconds) noexcept
{
    return now() + std::chrono::milliseconds (milliseconds);
}

/** Returns at the deadline, not before it. */
void sleepUntil (Clock::time_point deadline);

/** Blocks the calling thread for this long, measured from the call. */
inline void sleepFor (int milliseconds) { sleepUntil (deadlineAfter (milliseconds)); }
} // namespace Pacing
