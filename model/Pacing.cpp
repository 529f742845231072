#include "Pacing.h"

#include "TimerSlack.h"
#include "WakeMargin.h"

#include <thread>

namespace
{
// Each thread that paces learns its own wakes.
thread_local WakeMargin wakeMargin;

void sleepUntilShortlyBefore (Pacing::Clock::time_point deadline)
{
    const auto wakeAt = deadline - wakeMargin.get();
    if (Pacing::now() >= wakeAt)
        return;

    // The kernel may defer a sleeping thread's wake by its timer slack, 50 µs
    // unless the thread says otherwise; while pacing it asks for none.
    const TimerSlack::Scoped precise (std::chrono::nanoseconds (1));
    std::this_thread::sleep_until (wakeAt);
    wakeMargin.noteWake (Pacing::now() - wakeAt);
}
} // namespace

void Pacing::sleepUntil (Clock::time_point deadline)
{
    sleepUntilShortlyBefore (deadline);

    // A plain spin: yielding here, on a busy machine, can hand the processor
    // away for a whole time slice.
    while (now() < deadline)
    {
    }
}
