// The two layers that stand in for what Linux lacks: the hand-over of a second
// start to the running editor, and SIGTERM and SIGINT as the quit request.
#include "app/QuitSignals.h"
#include "app/RunningInstanceLink.h"

#include <juce_events/juce_events.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <future>
#include <sys/socket.h>
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

/** A socket file with nobody behind it (left by a killed editor), or with a
    listener that never answers (a hung one). */
int makeSocketAt (const juce::File& file, bool keepListening)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    file.getFullPathName().copyToUTF8 (address.sun_path, sizeof (address.sun_path));
    const int fd = ::socket (AF_UNIX, SOCK_STREAM, 0);
    if (::bind (fd, (const sockaddr*) &address, sizeof (address)) != 0 || ::listen (fd, 1) != 0)
        ADD_FAILURE() << "cannot make a socket at " << file.getFullPathName();
    if (keepListening)
        return fd;
    ::close (fd);
    return -1;
}

struct RunningInstanceLinkTest : ::testing::Test
{
    juce::TemporaryFile folder;
    juce::File socketFile;

    void SetUp() override
    {
        ASSERT_TRUE (folder.getFile().createDirectory());
        socketFile = folder.getFile().getChildFile ("editor.socket");
    }
    void TearDown() override { folder.getFile().deleteRecursively(); }
};
} // namespace

TEST_F (RunningInstanceLinkTest, HandOverReachesTheRunningCopyOnTheMessageThreadAndIsAnswered)
{
    RunningInstanceLink running (socketFile);
    std::vector<juce::String> received;
    ASSERT_TRUE (running.listen ([&] (const juce::String& commandLine)
    {
        EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
        received.push_back (commandLine);
    }));

    // Two starts in a row: the running copy keeps answering.
    for (const juce::String commandLine : { "--first", "" })
    {
        auto handedOver = std::async (std::launch::async, [&] { return RunningInstanceLink (socketFile).handOver (commandLine); });
        ASSERT_TRUE (dispatchUntil ([&] { return handedOver.wait_for (std::chrono::seconds (0)) == std::future_status::ready; }));
        EXPECT_TRUE (handedOver.get()) << commandLine;
    }
    EXPECT_EQ (received, (std::vector<juce::String> { "--first", "" }));
}

TEST_F (RunningInstanceLinkTest, ACopyThatIsGoneOrDoesNotAnswerIsReplaced)
{
    struct Case { const char* name; bool keepListening; };
    for (const auto& scenario : { Case { "socket left by a killed copy", false }, Case { "hung copy", true } })
    {
        const int hung = makeSocketAt (socketFile, scenario.keepListening);

        RunningInstanceLink starting (socketFile);
        EXPECT_FALSE (starting.handOver ("", 300)) << scenario.name;
        EXPECT_TRUE (starting.listen ([] (const juce::String&) {})) << scenario.name;

        // The new copy now answers in its place.
        auto handedOver = std::async (std::launch::async, [&] { return RunningInstanceLink (socketFile).handOver (""); });
        EXPECT_TRUE (dispatchUntil ([&] { return handedOver.wait_for (std::chrono::seconds (0)) == std::future_status::ready; }));
        EXPECT_TRUE (handedOver.get()) << scenario.name;

        if (hung >= 0)
            ::close (hung);
    }
    EXPECT_FALSE (socketFile.exists()); // the link that took the socket removed it
}

TEST_F (RunningInstanceLinkTest, AStoppingCopyLeavesTheSocketOfTheCopyThatReplacedIt)
{
    auto first = std::make_unique<RunningInstanceLink> (socketFile);
    ASSERT_TRUE (first->listen ([] (const juce::String&) {}));
    RunningInstanceLink second (socketFile);
    ASSERT_TRUE (second.listen ([] (const juce::String&) {}));

    first.reset();
    EXPECT_TRUE (socketFile.exists());
}

TEST (QuitSignals, TermAndIntBecomeOneQuitRequestEachOnTheMessageThread)
{
    struct sigaction before {};
    sigaction (SIGTERM, nullptr, &before);

    {
        int requests = 0;
        QuitSignals signals ([&]
        {
            EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
            ++requests;
        });

        for (const int signal : { SIGTERM, SIGINT })
        {
            const int expected = requests + 1;
            ::raise (signal);
            EXPECT_TRUE (dispatchUntil ([&] { return requests == expected; })) << "signal " << signal;
        }
        juce::MessageManager::getInstance()->runDispatchLoopUntil (100);
        EXPECT_EQ (requests, 2);
    }

    struct sigaction after {};
    sigaction (SIGTERM, nullptr, &after);
    EXPECT_EQ (after.sa_handler, before.sa_handler);
}
