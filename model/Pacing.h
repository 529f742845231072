// Waits that end on their deadline. A plain sleep wakes late by a little
// every time, and over hundreds of pauses the lateness adds up; sleeping until
// just before the deadline and spinning the rest ends each wait within
// microseconds of it, and never before.
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
