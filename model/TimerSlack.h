// The timer slack of the calling thread: how much later than asked the kernel
// may wake it from a sleep, so that it can batch wake-ups. Linux only; it
// belongs to the thread, so it is changed for a scope and put back after.
#pragma once

#include <chrono>

namespace TimerSlack
{
/** Sets the calling thread's timer slack for its lifetime and restores the
    one before on destruction; on systems without one it does nothing. */
class Scoped
{
public:
    explicit Scoped (std::chrono::nanoseconds slack) noexcept;
    ~Scoped();

    Scoped (const Scoped&) = delete;
    Scoped& operator= (const Scoped&) = delete;

private:
    long previous = -1;
};

/** The calling thread's timer slack; zero where there is none. */
std::chrono::nanoseconds current() noexcept;
} // namespace TimerSlack
