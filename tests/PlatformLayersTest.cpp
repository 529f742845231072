// The hand-over of a second start and the quit signals, where the smoke run of
// the real editor (tests/scripts/editor-smoke.sh) cannot reach.
#include "app/QuitSignals.h"
#include "app/RunningInstanceLink.h"
#include "support/ScratchFolder.h"

#include <juce_events/juce_events.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <iostream>
#include <optional>
#include <poll.h>
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

/** Sets an environment variable, or unsets it for an empty value, until destroyed. */
struct ScopedEnvironment
{
    ScopedEnvironment (const char* n, const juce::String& value) : name (n)
    {
        if (const char* old = std::getenv (name))
            previous = std::string (old);
        set (value.isEmpty() ? std::optional<std::string>() : value.toStdString());
    }
    ~ScopedEnvironment() { set (previous); }
    void set (const std::optional<std::string>& value) { value ? ::setenv (name, value->c_str(), 1) : ::unsetenv (name); }
    const char* name;
    std::optional<std::string> previous;
};

/** A folder in one of the states that a user's runtime folder may be found in;
    false when this process cannot make it so. */
struct FolderState
{
    const char* what;
    bool isPrivate;
    std::function<bool (const juce::File&)> make;
};

bool madeWithMode (const juce::File& folder, mode_t mode)
{
    return ::mkdir (folder.getFullPathName().toRawUTF8(), 0700) == 0 && ::chmod (folder.getFullPathName().toRawUTF8(), mode) == 0;
}

const FolderState folderStates[] = {
    { "a folder of the user's own with mode 0700", true, [] (const juce::File& f) { return madeWithMode (f, 0700); } },
    { "a folder that the group may enter (0710)", false, [] (const juce::File& f) { return madeWithMode (f, 0710); } },
    { "a folder that others may write to (0702)", false, [] (const juce::File& f) { return madeWithMode (f, 0702); } },
    // Only root can give a folder away; user 65534 is nobody.
    { "another user's folder with mode 0700", false,
      [] (const juce::File& f) { return getuid() == 0 && madeWithMode (f, 0700) && ::chown (f.getFullPathName().toRawUTF8(), 65534, 65534) == 0; } },
    { "a link to a private folder", false,
      [] (const juce::File& f)
      {
          const auto target = f.getSiblingFile (f.getFileName() + "-target");
          return madeWithMode (target, 0700) && ::symlink (target.getFullPathName().toRawUTF8(), f.getFullPathName().toRawUTF8()) == 0;
      } },
    { "a file", false, [] (const juce::File& f) { return f.replaceWithText ("x") && ::chmod (f.getFullPathName().toRawUTF8(), 0600) == 0; } },
};

/** Removes what a FolderState made (the folder itself cannot, if it is another user's and this is not root). */
void removeState (const juce::File& f)
{
    f.getSiblingFile (f.getFileName() + "-target").deleteRecursively();
    ::unlink (f.getFullPathName().toRawUTF8());
    f.deleteRecursively();
}
} // namespace

// Another user who can write to the folder of the socket can put a socket of
// their own there, and take every later start's command line; one who can look
// into it learns that the editor runs. So the folder must be a real folder, the
// user's own, closed to the group and to others, whether the session named it
// (XDG_RUNTIME_DIR, else the folder under /tmp is used) or it lies under /tmp
// (else the editor runs without the link). The folder under /tmp has a fixed
// name by design: the test's is made unique by the application name.
TEST_F (RunningInstanceLinkTest, TheSocketLiesOnlyInAFolderThatNoOtherUserCanReachInto)
{
    const auto application = "KivraLinkTest" + juce::String::toHexString (juce::Random::getSystemRandom().nextInt64());
    const auto baseName = application + "-" + juce::String ((int) getuid());
    const juce::File folderInTmp ("/tmp/" + baseName);

    for (const auto& state : folderStates)
    {
        const auto runtimeFolder = scratch.folder.getChildFile ("run");
        if (! state.make (runtimeFolder))
        {
            std::cout << "not tried: " << state.what << " (only root can make it)\n";
            removeState (runtimeFolder);
            continue;
        }
        {
            ScopedEnvironment runtime ("XDG_RUNTIME_DIR", runtimeFolder.getFullPathName());
            EXPECT_EQ (RunningInstanceLink::socketFileFor (application).getFullPathName(),
                       (state.isPrivate ? runtimeFolder : folderInTmp).getFullPathName() + "/" + baseName + ".socket")
                << "XDG_RUNTIME_DIR naming " << state.what;
        }
        removeState (runtimeFolder);
        removeState (folderInTmp);

        ASSERT_TRUE (state.make (folderInTmp));
        {
            ScopedEnvironment noRuntime ("XDG_RUNTIME_DIR", {});
            EXPECT_EQ (RunningInstanceLink::socketFileFor (application).getFullPathName(),
                       state.isPrivate ? folderInTmp.getFullPathName() + "/" + baseName + ".socket" : juce::String())
                << "under /tmp, " << state.what;
        }
        removeState (folderInTmp);
    }
}

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
// one that still listens but whose copy holds no lock. Without the lock to go
// by, a start would knock on that socket and wait the whole timeout (10 s) for
// an answer that never comes before it replaced it.
TEST_F (RunningInstanceLinkTest, ASocketWithoutALiveCopyIsReplacedWithoutWaitingForIt)
{
    const int hung = makeHungSocketAt (socketFile);
    {
        RunningInstanceLink starting (socketFile);
        EXPECT_FALSE (starting.handOver ("", 300));
        pollfd knock { hung, POLLIN, 0 };
        EXPECT_EQ (::poll (&knock, 1, 0), 0) << "the start connected to a socket whose copy holds no lock";
        EXPECT_TRUE (starting.listen ([] (const juce::String&) {}));
        EXPECT_TRUE (handOverFromAnotherStart (socketFile, ""));
    }
    ::close (hung);
    EXPECT_FALSE (socketFile.exists()); // the link that took the socket removed it
}

// The 32-bit millisecond counter wraps 49.7 days after boot; a deadline past
// the wrap lies below the counter, so a start near it gave up on a busy copy at
// once (and opened a second window), or, the other way round, waited for weeks.
// The test runs itself again in a time namespace whose monotonic clock is a few
// seconds short of the wrap, where a hand-over to a silent copy is timed.
TEST_F (RunningInstanceLinkTest, AHandOverWaitsItsTimeoutAcrossTheMillisecondCounterWrap)
{
    constexpr double wrapMs = 4294967296.0;
    constexpr int timeoutMs = 300;
    const auto* testName = ::testing::UnitTest::GetInstance()->current_test_info()->name();

    if (std::getenv ("KIVRA_NEAR_THE_COUNTER_WRAP") == nullptr)
    {
        if (std::system ("unshare --time --monotonic=1 --fork true >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "a time namespace of its own takes root and Linux 5.6 or later";

        // The next wrap: the machine may have been up for more than 49.7 days.
        const auto secondsToTheWrap = (wrapMs - std::fmod ((double) juce::Time::getHighResolutionTicks() / 1000.0, wrapMs)) / 1000.0;
        juce::ChildProcess child;
        ASSERT_TRUE (child.start (juce::StringArray { "unshare", "--time", "--fork",
                                                      "--monotonic=" + juce::String ((juce::int64) secondsToTheWrap - 4),
                                                      "env", "KIVRA_NEAR_THE_COUNTER_WRAP=1",
                                                      juce::File::getSpecialLocation (juce::File::currentExecutableFile).getFullPathName(),
                                                      "--gtest_filter=RunningInstanceLinkTest." + juce::String (testName) }));
        const auto output = child.readAllProcessOutput();
        // The output ends before the child does, and JUCE reads 0 from a child
        // not yet reaped; it reads 0 from one killed by a signal too, and a
        // filter that matches nothing passes: the run must say it passed one.
        ASSERT_TRUE (child.waitForProcessToFinish (10000)) << output;
        EXPECT_EQ (child.getExitCode(), 0u) << output;
        EXPECT_TRUE (output.contains ("[  PASSED  ] 1 test.")) << output;
        return;
    }

    // 150 ms before the wrap, so the hand-over's deadline lies past it.
    const auto counterToTheWrap = [&] { return wrapMs - juce::Time::getMillisecondCounter(); };
    ASSERT_LT (counterToTheWrap(), 10000.0) << "not near the wrap";
    while (counterToTheWrap() > timeoutMs / 2)
        juce::Thread::sleep (1);

    RunningInstanceLink busy (socketFile);
    ASSERT_TRUE (busy.listen ([] (const juce::String&) {}));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE (RunningInstanceLink (socketFile).handOver ("", timeoutMs));
    const auto waitedMs = std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - started).count();
    EXPECT_GE (waitedMs, timeoutMs);
    EXPECT_LT (waitedMs, timeoutMs * 10);
    EXPECT_GT (counterToTheWrap(), wrapMs / 2) << "the counter did not wrap during the hand-over";
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
