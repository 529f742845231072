#include "TimerSlack.h"

#if defined(__linux__)
#include <algorithm>

#include <sys/prctl.h>

TimerSlack::Scoped::Scoped (std::chrono::nanoseconds slack) noexcept
{
    const int before = ::prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0);
    if (before > 0 && ::prctl (PR_SET_TIMERSLACK, (unsigned long) slack.count(), 0, 0, 0) == 0)
        previous = before;
}

TimerSlack::Scoped::~Scoped()
{
    if (previous > 0)
        ::prctl (PR_SET_TIMERSLACK, (unsigned long) previous, 0, 0, 0);
}

std::chrono::nanoseconds TimerSlack::current() noexcept
{
    return std::chrono::nanoseconds (std::max (0, ::prctl (PR_GET_TIMERSLACK, 0, 0, 0, 0)));
}
#else
TimerSlack::Scoped::Scoped (std::chrono::nanoseconds) noexcept {}
TimerSlack::Scoped::~Scoped() = default;
std::chrono::nanoseconds TimerSlack::current() noexcept { return {}; }
#endif
