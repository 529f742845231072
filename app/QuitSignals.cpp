#include "QuitSignals.h"

#if JUCE_LINUX || JUCE_BSD

#include <juce_events/juce_events.h>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// A signal handler may do next to nothing safely; writing one byte to a pipe
// is allowed, and the message loop watches the pipe's other end.
volatile sig_atomic_t pipeWrite = -1;
constexpr int quitSignals[] = { SIGTERM, SIGINT, SIGHUP };
struct sigaction previousActions[std::size (quitSignals)];

extern "C" void noteQuitSignal (int)
{
    const int savedErrno = errno;
    if (pipeWrite >= 0)
    {
        const char byte = 'q';
        [[maybe_unused]] const auto written = ::write (pipeWrite, &byte, 1);
    }
    errno = savedErrno;
}
/** Whoever started the editor ignored the signal on purpose (`nohup` ignores
    SIGHUP so that the program outlives its terminal): that choice stands. */
bool wasNotIgnored (const struct sigaction& action)
{
    return (action.sa_flags & SA_SIGINFO) != 0 || action.sa_handler != SIG_IGN;
}
} // namespace

QuitSignals::QuitSignals (std::function<void()> callback) : onQuitRequest (std::move (callback))
{
    jassert (pipeWrite < 0); // one at a time: the handler has one pipe

    int ends[2];
    if (pipeWrite >= 0 || ::pipe2 (ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;

    pipeRead = ends[0];
    pipeWrite = ends[1];
    juce::LinuxEventLoop::registerFdCallback (pipeRead, [this] (int) { drainAndRequestQuit(); });

    struct sigaction action {};
    action.sa_handler = noteQuitSignal;
    sigemptyset (&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size (quitSignals); ++i)
        if (sigaction (quitSignals[i], nullptr, &previousActions[i]) == 0 && wasNotIgnored (previousActions[i]))
            sigaction (quitSignals[i], &action, nullptr);
    installed = true;
}

QuitSignals::~QuitSignals()
{
    if (! installed)
        return;

    for (size_t i = 0; i < std::size (quitSignals); ++i)
        sigaction (quitSignals[i], &previousActions[i], nullptr);

    juce::LinuxEventLoop::unregisterFdCallback (pipeRead);
    const int writeEnd = pipeWrite;
    pipeWrite = -1;
    ::close (writeEnd);
    ::close (pipeRead);
}

void QuitSignals::drainAndRequestQuit()
{
    char bytes[64];
    while (::read (pipeRead, bytes, sizeof (bytes)) > 0)
    {
    }

    if (onQuitRequest != nullptr)
        onQuitRequest();
}

#else

// Elsewhere the framework turns the system's quit request into
// systemRequestedQuit itself.
QuitSignals::QuitSignals (std::function<void()> callback) : onQuitRequest (std::move (callback)) {}
QuitSignals::~QuitSignals() = default;
void QuitSignals::drainAndRequestQuit() {}

#endif
