#include "ApplicationQuit.h"

#include <juce_events/juce_events.h>

#if JUCE_LINUX || JUCE_BSD
#include <fcntl.h>
#include <unistd.h>

namespace
{
/** A pipe with a byte in it, watched by the message loop: the next poll finds
    it ready, and its callback closes it. */
void wakeTheLoopOnce()
{
    int ends[2];
    if (::pipe2 (ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    const char byte = 'w';
    [[maybe_unused]] const auto written = ::write (ends[1], &byte, 1);
    ::close (ends[1]);
    juce::LinuxEventLoop::registerFdCallback (ends[0], [] (int fd) {
        juce::LinuxEventLoop::unregisterFdCallback (fd);
        ::close (fd);
    });
}
} // namespace

void ApplicationQuit::request()
{
    // Posted ahead of the quit, so the pipe becomes ready in the same pass of
    // the loop that takes the quit: a nested loop handles no event after that
    // pass, and the wake-up is left for the outer one.
    juce::MessageManager::callAsync (wakeTheLoopOnce);
    juce::JUCEApplicationBase::quit();
}

#else

void ApplicationQuit::request()
{
    juce::JUCEApplicationBase::quit();
}

#endif
