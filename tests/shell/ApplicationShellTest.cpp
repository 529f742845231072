// The application object as JUCE drives it: initialise builds the window
// around the main view, the window takes the view's size, only Escape quits,
// shutdown deletes the window and writes the settings. A start while another
// editor of the user runs hands over and builds nothing. Each test runs in a
// process of its own.
#include "app/ContentComponent.h"
#include "app/DolmarisApplication.h"
#include "app/RunningInstanceLink.h"
#include "model/Dolmaris.h"
#include "model/SettingsLocation.h"
#include "support/VirtualMidiPorts.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace
{
bool quitWasRequested() { return juce::MessageManager::getInstance()->hasStopMessageBeenSent(); }

bool settingsWereWritten()
{
    return SettingsLocation::commonFile().existsAsFile() || SettingsLocation::userFile().existsAsFile();
}

/** A press on the view at a point, as the desktop delivers it. */
void pressAt (juce::Component& view, juce::Point<float> position)
{
    const auto now = juce::Time::getCurrentTime();
    const juce::MouseEvent event (juce::Desktop::getInstance().getMainMouseSource(), position, {},
                                  juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                  juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                                  juce::MouseInputSource::defaultTiltY, &view, &view, now, position, now, 1, false);
    view.mouseDown (event);
}

/** The other end of the hand-over: an editor already running for this user,
    which takes one command line and answers. */
class RunningEditor
{
public:
    explicit RunningEditor (const juce::File& socketFile)
    {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        socketFile.getFullPathName().copyToUTF8 (address.sun_path, sizeof (address.sun_path));
        server = ::socket (AF_UNIX, SOCK_STREAM, 0);
        if (::bind (server, (const sockaddr*) &address, sizeof (address)) != 0 || ::listen (server, 1) != 0)
            ADD_FAILURE() << "cannot listen on " << socketFile.getFullPathName();

        answering = std::thread ([this]
        {
            const int connection = ::accept (server, nullptr, nullptr);
            char buffer[256];
            ssize_t count = 0;
            while ((count = ::read (connection, buffer, sizeof (buffer))) > 0)
                received.append (buffer, (size_t) count);
            [[maybe_unused]] const auto written = ::write (connection, "k", 1);
            ::close (connection);
        });
    }

    ~RunningEditor()
    {
        if (answering.joinable())
            answering.join();
        ::close (server);
    }

    std::string commandLineReceived()
    {
        answering.join();
        return received;
    }

private:
    int server = -1;
    std::string received;
    std::thread answering;
};

struct ApplicationShell : ::testing::Test
{
    ApplicationShell() { previousPorts = MidiPorts::install (&noPorts); }
    ~ApplicationShell() override { MidiPorts::install (previousPorts); }

    VirtualMidiPorts noPorts;
    MidiPorts* previousPorts = nullptr;
};
} // namespace

TEST_F (ApplicationShell, StartsWithTheFullViewFollowsItsSizeAndQuitsOnEscapeOnly)
{
    DolmarisApplication application;
    application.initialise ({});

    auto* window = application.getMainWindow();
    ASSERT_NE (window, nullptr);
    EXPECT_TRUE (window->isVisible());
    EXPECT_EQ (window->getName(), "Dolmar/Dolmet Kivra V1.14");
    auto* view = dynamic_cast<ContentComponent*> (window->getContentComponent());
    ASSERT_NE (view, nullptr);
    EXPECT_EQ (window->getBounds().getWidth(), 1010);
    EXPECT_EQ (window->getBounds().getHeight(), 670);

    // The badge narrows the view to the extender and widens it again; the
    // window follows both times.
    for (const int expectedWidth : { 760, 1010 })
    {
        pressAt (*view, { 369.0f, 51.0f });
        EXPECT_EQ (window->getWidth(), expectedWidth);
        EXPECT_EQ (window->getHeight(), 670);
    }

    // Keys arrive at the view first and reach the window only as the view
    // passes them on; only Escape is consumed there, and it quits.
    auto* peer = window->getPeer();
    ASSERT_NE (peer, nullptr);
    for (const auto& key : { juce::KeyPress ('a'), juce::KeyPress ('r', juce::ModifierKeys::shiftModifier, 'R'),
                             juce::KeyPress (juce::KeyPress::returnKey) })
    {
        EXPECT_FALSE (peer->handleKeyPress (key)) << key.getTextDescription();
        EXPECT_FALSE (quitWasRequested()) << key.getTextDescription();
    }
    EXPECT_TRUE (peer->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey)));
    EXPECT_TRUE (quitWasRequested());

    application.shutdown();
    EXPECT_EQ (application.getMainWindow(), nullptr);
    EXPECT_EQ (Dolmaris::getInstance(), nullptr);
    EXPECT_TRUE (settingsWereWritten());
}

TEST_F (ApplicationShell, SecondStartHandsOverBuildsNoWindowAndStillWritesSettings)
{
    DolmarisApplication application;
    RunningEditor runningEditor (RunningInstanceLink::socketFileFor (application.getApplicationName()));

    application.initialise ("--from-the-second-start");

    EXPECT_EQ (runningEditor.commandLineReceived(), "--from-the-second-start");
    EXPECT_TRUE (quitWasRequested());
    EXPECT_EQ (application.getMainWindow(), nullptr);
    EXPECT_EQ (juce::Desktop::getInstance().getNumComponents(), 0);

    application.shutdown();
    EXPECT_EQ (Dolmaris::getInstance(), nullptr);
    EXPECT_TRUE (settingsWereWritten());
}
