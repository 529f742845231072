// The hand-over of a second start and the quit signals, where the smoke run of
// the real editor (tests/scripts/editor-smoke.sh) cannot reach.
#include "app/QuitSignals.h"
#include "app/RunningInstanceLink.h"
#include "support/ScratchFolder.h"

#include <juce_events/juce_events.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace
{
/** Runs the message loop until the condition holds or about two seconds pass. */
template <typename Condition>
bool dispatchUntil (Condition condition)
{
    for (int i = 0; i < 200 && ! condition(); ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil (10);
    return condition();
}

/** A second start handing its command line over, answered by this thread's message loop. */
bool handOverFromAnotherStart (const juce::File& socketFile, const juce::String& commandLine)
{
    auto handedOver = std::async (std::launch::async, [&] { return RunningInstanceLink (socketFile).handOver (commandLine); });
    dispatchUntil ([&] { return handedOver.wait_for (std::chrono::seconds (0)) == std::future_status::ready; });
    return handedOver.get();
}

ino_t inodeOf (const juce::File& file)
{
    struct stat info {};
    return stat (file.getFullPathName().toRawUTF8(), &info) == 0 ? info.st_ino : 0;
}

/** A listener that never answers and holds no lock, as a dead editor looks to a new start: its descriptor. */
int makeHungSocketAt (const juce::File& file)
{
    sockaddr_un address { AF_UNIX, {} };
    file.getFullPathName().copyToUTF8 (address.sun_path, sizeof (address.sun_path));
    const int fd = ::socket (AF_UNIX, SOCK_STREAM, 0);
    EXPECT_TRUE (::bind (fd, (const sockaddr*) &address, sizeof (address)) == 0 && ::listen (fd, 1) == 0);
    return fd;
}

struct RunningInstanceLinkTest : ::testing::Test
{
    testsupport::ScratchFolder scratch;
    juce::File socketFile = scratch.folder.getChildFile ("editor.socket");
};
} // namespace

// A burst of starts handed over to a running copy is the smoke run's; here, a
// running copy that is busy (its message loop not running) keeps its socket.
TEST_F (RunningInstanceLinkTest, ABusyRunningCopyKeepsItsSocketAndGetsLaterStartsOnTheMessageThread)
{
    EXPECT_TRUE (RunningInstanceLink::socketFileFor ("Kivra").getFileName().contains (juce::String ((int) getuid())))
        << "each user's editor has a socket of its own";
    RunningInstanceLink running (socketFile);
    juce::String received;
    ASSERT_TRUE (running.listen ([&] (const juce::String& commandLine)
    {
        EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
        received = commandLine;
    }));
    const auto socketBefore = inodeOf (socketFile);
    {
        RunningInstanceLink duringBusySpell (socketFile);
        EXPECT_FALSE (duringBusySpell.handOver ("--busy", 300));
        EXPECT_FALSE (duringBusySpell.listen ([] (const juce::String&) {}));
    }
    EXPECT_EQ (inodeOf (socketFile), socketBefore);
    EXPECT_TRUE (handOverFromAnotherStart (socketFile, "--later"));
    EXPECT_EQ (received, "--later");
}

// A dead copy's socket is the smoke run's too (kill -9, then a new start); here
// one that still listens but whose copy holds no lock.
TEST_F (RunningInstanceLinkTest, ASocketWithoutALiveCopyIsReplaced)
{
    const int hung = makeHungSocketAt (socketFile);
    {
        RunningInstanceLink starting (socketFile);
        EXPECT_FALSE (starting.handOver ("", 300));
        EXPECT_TRUE (starting.listen ([] (const juce::String&) {}));
        EXPECT_TRUE (handOverFromAnotherStart (socketFile, ""));
    }
    ::close (hung);
    EXPECT_FALSE (socketFile.exists()); // the link that took the socket removed it
}

// Unhandled, each of these ends the editor at once: a save in progress leaves
// its temporary file and the settings are not written. Ignored at start (SIGHUP
// under `nohup`), a signal must stay ignored, or closing the terminal quits an
// editor that was meant to outlive it.
TEST (QuitSignalsTest, EachQuitSignalBecomesAQuitRequestUnlessIgnoredAtStart)
{
    for (const bool ignoredAtStart : { false, true })
    {
        for (const int signal : { SIGTERM, SIGINT, SIGHUP })
        {
            std::signal (signal, ignoredAtStart ? SIG_IGN : SIG_DFL);
            int requests = 0;
            {
                QuitSignals quitSignals ([&] { ++requests; });
                ::raise (signal);
                if (ignoredAtStart)
                    juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
                else
                    dispatchUntil ([&] { return requests == 1; });
            }
            EXPECT_EQ (requests, ignoredAtStart ? 0 : 1) << strsignal (signal) << (ignoredAtStart ? ", ignored at start" : "");
            std::signal (signal, SIG_DFL);
        }
    }
}
