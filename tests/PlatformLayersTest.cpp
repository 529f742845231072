// The hand-over of a second start to the running editor, where the real-program
// smoke run (tests/scripts/editor-smoke.sh) cannot reach: a copy that hangs, and
// a copy that stops after another took over. That run also covers SIGTERM.
#include "app/RunningInstanceLink.h"

#include <juce_events/juce_events.h>
#include <gtest/gtest.h>

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

/** A second start handing its command line over, answered by this thread's message loop. */
bool handOverFromAnotherStart (const juce::File& socketFile, const juce::String& commandLine)
{
    auto handedOver = std::async (std::launch::async, [&] { return RunningInstanceLink (socketFile).handOver (commandLine); });
    dispatchUntil ([&] { return handedOver.wait_for (std::chrono::seconds (0)) == std::future_status::ready; });
    return handedOver.get();
}

/** A listener that never answers, as a hung editor leaves: its descriptor. */
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
    juce::TemporaryFile folder;
    juce::File socketFile = folder.getFile().getChildFile ("editor.socket");

    void SetUp() override { ASSERT_TRUE (folder.getFile().createDirectory()); }
    void TearDown() override { folder.getFile().deleteRecursively(); }
};
} // namespace

// A second start handed over to a running copy is the smoke run's too; here,
// the copy that took over from another keeps its socket when the other stops.
TEST_F (RunningInstanceLinkTest, TheCopyThatTookOverKeepsTheSocketAndGetsStartsOnTheMessageThread)
{
    EXPECT_TRUE (RunningInstanceLink::socketFileFor ("Kivra").getFileName().contains (juce::String ((int) getuid())))
        << "each user's editor has a socket of its own";
    auto first = std::make_unique<RunningInstanceLink> (socketFile);
    ASSERT_TRUE (first->listen ([] (const juce::String&) {}));
    RunningInstanceLink second (socketFile);
    juce::String received;
    ASSERT_TRUE (second.listen ([&] (const juce::String& commandLine)
    {
        EXPECT_TRUE (juce::MessageManager::getInstance()->isThisTheMessageThread());
        received = commandLine;
    }));
    first.reset();
    EXPECT_TRUE (handOverFromAnotherStart (socketFile, "--first"));
    EXPECT_EQ (received, "--first");
}

// The socket a killed copy leaves is the smoke run's (kill -9, then a new start).
TEST_F (RunningInstanceLinkTest, ACopyThatDoesNotAnswerIsReplaced)
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
