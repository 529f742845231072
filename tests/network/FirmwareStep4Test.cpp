// Step 4 online, against the local HTTPS servers that
// tests/scripts/with-firmware-servers.sh starts: the catalogue fetched with
// every answer a server can give, then the wizard downloading into a unit.
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareDownload.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "modules/zevo_firmware/FirmwareServer.h"
#include "support/SimulatedUnit.h"
#include "support/WizardRig.h"

#include <ctime>
#include <sys/inotify.h>
#include <unistd.h>

using testsupport::ModalAnswerer;
namespace catalogue = zevo::FirmwareCatalogue;

namespace
{
const juce::String trusted (std::getenv ("KIVRA_TEST_FIRMWARE_ROOT"));
const juce::String untrusted (std::getenv ("KIVRA_TEST_UNTRUSTED_ROOT"));

// A server that stalls fails after this long, in place of the minute it has
// in use; whole answers on loopback take a tenth of a second.
constexpr int stallTimeoutMs = 2000;

struct FirmwareStep4 : ::testing::Test
{
    void SetUp() override
    {
        if (trusted.isEmpty())
            GTEST_SKIP() << "no test server: run through tests/scripts/with-firmware-servers.sh";
        zevo::FirmwareServer::setTimeoutMs (stallTimeoutMs);
    }

    void TearDown() override { zevo::FirmwareServer::setTimeoutMs (0); }
};

// The calling thread's alone: curl's own start-up on its thread is no spin.
double threadCpuMs()
{
    timespec time {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &time);
    return (double) time.tv_sec * 1000.0 + (double) time.tv_nsec / 1.0e6;
}

juce::String versionsOf (const juce::ValueTree& tree)
{
    juce::StringArray versions;
    for (const auto& entry : tree)
        versions.add (entry["version"].toString());
    return versions.joinIntoString (" ");
}

ModalAnswerer::Action chooseVersion (int index, std::function<void()> thenMeanwhile = {})
{
    return [index, thenMeanwhile] (juce::Component& modal) {
        auto* chooser = ModalAnswerer::find<zevo::FirmwareSelectComponent> (modal);
        if (chooser == nullptr)
            return modal.exitModalState (-100);
        chooser->versionBox.setSelectedItemIndex (index, juce::dontSendNotification);
        chooser->okButton.triggerClick();
        if (thenMeanwhile)
            juce::Timer::callAfterDelay (300, thenMeanwhile);
    };
}

// Downloads go to TMPDIR, which the script sets to a folder of this run
// alone.
juce::File downloadFolder() { return juce::File::getSpecialLocation (juce::File::tempDirectory); }

// The wizard downloads into a juce::TemporaryFile ("temp_…"), which stays
// until the step ends. (FileReplacement's ".temp_….tmp" beside it is gone once
// the image is in place, and a failed write's cleanup is MappingSaveFaultsTest's.)
bool leftTemporaryFiles()
{
    return downloadFolder().getNumberOfChildFiles (juce::File::findFiles, "temp_*") > 0;
}

// The names of the files made in the download folder while this lives: a
// file written and removed again within a step leaves nothing else to see.
class FilesMade
{
public:
    FilesMade() : fd (inotify_init1 (IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE (inotify_add_watch (fd, downloadFolder().getFullPathName().toRawUTF8(), IN_CREATE | IN_MOVED_TO), 0);
    }

    ~FilesMade() { ::close (fd); }

    juce::StringArray names() const
    {
        juce::StringArray made;
        alignas (inotify_event) char buffer[4096];
        for (ssize_t got; (got = ::read (fd, buffer, sizeof (buffer))) > 0;)
            for (ssize_t at = 0; at < got;)
            {
                const auto* event = reinterpret_cast<const inotify_event*> (buffer + at);
                made.add (event->len > 0 ? event->name : "?");
                at += (ssize_t) (sizeof (inotify_event) + event->len);
            }
        return made;
    }

private:
    const int fd;

    JUCE_DECLARE_NON_COPYABLE (FilesMade)
};

bool requestThreadRunning()
{
    const juce::String name (zevo::FirmwareRequest::threadName);
    for (const auto& task : juce::File ("/proc/self/task").findChildFiles (juce::File::findDirectories, false))
        if (task.getChildFile ("comm").loadFileAsString().trim() == name)
            return true;
    return false;
}

// Acts from inside a slice of the message loop that waits for a firmware
// request, and holds that slice until the request's thread has ended: the
// action and the end of the transfer fall in one slice, whatever the timing.
// Start it after the catalogue has arrived, so that the request it meets is
// the download's.
class InTheSliceOfTheEnd final : private juce::Timer
{
public:
    explicit InTheSliceOfTheEnd (std::function<void()> toDo) : action (std::move (toDo)) { startTimer (5); }
    ~InTheSliceOfTheEnd() override { stopTimer(); }

    bool acted = false;

private:
    void timerCallback() override
    {
        if (! requestThreadRunning())
            return;
        stopTimer();
        acted = true;
        action();
        while (requestThreadRunning())
            juce::Thread::sleep (5);
    }

    std::function<void()> action;
};

// Once the version chooser shows, `action` is armed for the slice in which
// the download ends, and the first version is chosen; `actor` tells whether it ran.
void actAsTheTransferEnds (testsupport::WizardRig& rig, std::unique_ptr<InTheSliceOfTheEnd>& actor,
                           std::function<void()> action)
{
    rig.driver.then ([&actor, action] (juce::Component& modal) {
        actor = std::make_unique<InTheSliceOfTheEnd> (action);
        chooseVersion (0) (modal);
    });
}
} // namespace

TEST_F (FirmwareStep4, EachAnswerOfTheServerGivesItsOutcome)
{
    // firmware.xml: "0079" is 79; a pid past INT_MAX and an entry without pid
    // are not. Only firmware-special.xml lists 94 and 130 ("130abc" is 130).
    // nomatch/ lists "790" and another product. second/ spoils only the read
    // that follows the probe.
    const std::tuple<juce::String, int, const char*, const char*> cases[] = {
        { trusted, 79, "", "2.01 1.98 1.90" },
        { trusted, 130, "", "1.40 1.35" },
        { trusted, 94, "", "1.12" },
        { trusted, 2000, catalogue::unknownProduct, "" },
        { trusted, -1, catalogue::unknownProduct, "" },
        { trusted + "error/404/", 79, catalogue::serverUnavailable, "" },
        { untrusted, 79, catalogue::serverUnavailable, "" },
        { trusted + "slow/", 79, catalogue::serverUnavailable, "" }, // answers after 6 s; the probe waits 4 s
        { trusted + "endless/", 79, catalogue::connectionError, "" },
        { trusted + "notxml/", 79, catalogue::connectionError, "" },
        { trusted + "nomatch/", 79, catalogue::noMatch, "" },
        { trusted + "empty/", 79, catalogue::noMatch, "" },
        { trusted + "moved/", 79, "", "2.01 1.98 1.90" }, // to another https host
        { trusted + "second/plain/", 79, catalogue::connectionError, "" },
        { trusted + "second/silent/", 79, catalogue::connectionError, "" },
        { trusted + "second/headers/", 79, catalogue::connectionError, "" },
        { trusted + "second/half/", 79, catalogue::connectionError, "" },
        { trusted + "second/trickle/", 79, catalogue::connectionError, "" }, // whole after 4 s
        { trusted + "second/coded/", 79, catalogue::connectionError, "" }, // the catalogue as a gzip transfer coding
    };
    for (const auto& [root, product, failure, versions] : cases)
    {
        zevo::FirmwareServer::setRoot (root);
        juce::ValueTree tree;
        EXPECT_EQ (catalogue::fetch (product, tree).getErrorMessage(), failure) << root << " for " << product;
        EXPECT_EQ (versionsOf (tree), versions) << root << " for " << product;
    }
}

TEST_F (FirmwareStep4, OnlyAWholeTrustedDownloadReachesTheUnitAndNoFileIsLeft)
{
    testsupport::WizardRig rig;
    rig.ports->addInput ("Dolm Ar MIDI");
    rig.ports->addOutput ("Dolm Ar MIDI");
    SimulatedUnit unit (*rig.ports, "Zevo firmware upgrade 1");
    rig.openWindow();
    rig.driver.then (testsupport::choosePort ("Dolm Ar MIDI"));
    rig.press ("Connect");
    rig.press ("Erase");
    rig.driver.then (testsupport::choosePort ("Zevo firmware upgrade 1"));
    rig.press ("Activate");

    // faulty/firmware.xml lists a 404, a 500, a body cut short, an endless
    // body, redirects to the untrusted server and to plain HTTP, a 206 with
    // half the image, a gzip-encoded image, a server that never answers, one
    // that sends only headers, one that stops half-way and one that trickles.
    const int noDialog = -2, cancel = -1, faultyVersions = 12;
    const char* const failed = "! Firmware Donwload / Could not download firmware file";
    std::vector<std::tuple<const char*, int, const char*>> cases {
        { "nomatch/", noDialog, "Firmware Upgrade / No firmware matches in the server, please try again manually!" } };
    for (int version = 0; version < faultyVersions; ++version)
        cases.emplace_back ("faulty/", version, failed);
    cases.emplace_back ("", cancel, "");
    for (const auto& [folder, version, box] : cases)
    {
        zevo::FirmwareServer::setRoot (trusted + folder);
        rig.boxes.boxes.clear();
        const FilesMade made;
        ModalAnswerer answerer;
        answerer.then (version >= 0 ? chooseVersion (version) : ModalAnswerer::click ("Cancel"));

        rig.press ("Select Version");

        const auto context = folder + juce::String (version);
        EXPECT_EQ (answerer.pending(), version == noDialog ? 1 : 0) << context;
        EXPECT_EQ (rig.boxes.shown(), box) << context;
        EXPECT_EQ (rig.state(), "--AS-") << context;
        EXPECT_EQ (made.names().joinIntoString (" "), "") << context << ": a failed download writes nothing";
    }

    // The product's versions in catalogue order, the first selected; a second
    // press meanwhile does nothing (else the Cancel queued after would answer it).
    zevo::FirmwareServer::setRoot (trusted);
    juce::StringArray offered;
    int selected = -1, pendingAfterSecondPress = -1;
    rig.driver
        .then ([&] (juce::Component& modal) {
            auto* chooser = ModalAnswerer::find<zevo::FirmwareSelectComponent> (modal);
            if (chooser == nullptr)
                return modal.exitModalState (-100);
            for (int i = 0; i < chooser->versionBox.getNumItems(); ++i)
                offered.add (chooser->versionBox.getItemText (i));
            selected = chooser->versionBox.getSelectedItemIndex();
            rig.wizard().doStep4();
            pendingAfterSecondPress = rig.driver.pending();
            chooseVersion (1) (modal);
        })
        .then (ModalAnswerer::click ("Cancel"));
    rig.press ("Select Version");

    EXPECT_EQ (offered.joinIntoString (", "), "Dolmar v2.01, Dolmar v1.98, Dolmar v1.90");
    EXPECT_EQ (selected, 0);
    EXPECT_EQ (pendingAfterSecondPress, 1);
    EXPECT_EQ (rig.state(), "--ASU");
    EXPECT_FALSE (leftTemporaryFiles()) << "the image was handed over and its file removed";

    rig.press ("Upgrade");
    juce::MemoryBlock expected;
    ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/firmware/images/dolm_ar_et_v198.bin").loadFileAsData (expected));
    const auto image = unit.getImage();
    ASSERT_GE (image.size(), expected.getSize());
    EXPECT_EQ (juce::MemoryBlock (image.data(), expected.getSize()), expected);
    EXPECT_TRUE (unit.getProblems().empty());
}

TEST_F (FirmwareStep4, EscapeDuringADownloadEndsItAsFailedAndThenClosesTheWizard)
{
    zevo::FirmwareServer::setTimeoutMs (30000); // the close, not the time-out, must end it
    zevo::FirmwareServer::setRoot (trusted + "faulty/");
    testsupport::WizardRig rig;
    rig.openWindow();
    rig.driver.then (chooseVersion (8 /* no answer */, [&rig] { rig.window->escapeKeyPressed(); }));

    const auto started = juce::Time::getMillisecondCounterHiRes();
    rig.wizard().buttonClicked (ModalAnswerer::findButton (rig.wizard(), "Select Version")); // from any state

    EXPECT_LT (juce::Time::getMillisecondCounterHiRes() - started, 10000.0);
    ASSERT_EQ (rig.boxes.boxes.size(), 1u);
    EXPECT_EQ (rig.boxes.boxes[0].text, zevo::FirmwareDownload::failureText);
    EXPECT_EQ (rig.state(), "--AS-");
    EXPECT_FALSE (rig.window->isVisible());
}

// A close that comes in the slice in which the transfer ends must still end
// the download as failed: the wizard's file may be gone with the wizard.
// (The AddressSanitizer run of this suite sees any read of the deleted wizard.)
TEST_F (FirmwareStep4, AWizardDeletedAsTheTransferEndsWritesNothing)
{
    zevo::FirmwareServer::setRoot (trusted + "late/");
    testsupport::WizardRig rig;
    rig.openWindow();
    const FilesMade made;
    std::unique_ptr<InTheSliceOfTheEnd> deleter;
    actAsTheTransferEnds (rig, deleter, [&rig] { rig.window.reset(); });

    rig.wizard().doStep4(); // as an owner calls it, without the window's hold on a close

    ASSERT_TRUE (deleter != nullptr && deleter->acted) << "the download was never seen running";
    EXPECT_EQ (rig.window, nullptr);
    EXPECT_EQ (made.names().joinIntoString (" "), "");
    EXPECT_TRUE (rig.boxes.boxes.empty()) << rig.boxes.shown();
}

TEST_F (FirmwareStep4, EscapeAsTheTransferEndsWritesNothingAndClosesTheWizard)
{
    zevo::FirmwareServer::setRoot (trusted + "late/");
    testsupport::WizardRig rig;
    rig.openWindow();
    const FilesMade made;
    std::unique_ptr<InTheSliceOfTheEnd> escape;
    actAsTheTransferEnds (rig, escape, [&rig] { rig.window->escapeKeyPressed(); });

    rig.wizard().buttonClicked (ModalAnswerer::findButton (rig.wizard(), "Select Version"));

    ASSERT_TRUE (escape != nullptr && escape->acted) << "the download was never seen running";
    EXPECT_EQ (made.names().joinIntoString (" "), "");
    EXPECT_EQ (rig.boxes.shown(), "! Firmware Donwload / Could not download firmware file");
    EXPECT_EQ (rig.state(), "--AS-");
    EXPECT_FALSE (rig.window->isVisible());
}

// A quit request ends the message loop of the process for good: this test
// runs alone, as a test of its own (tests/network/CMakeLists.txt).
TEST_F (FirmwareStep4, AQuitRequestEndsADownloadAsFailedWithoutSpinning)
{
    if (::testing::UnitTest::GetInstance()->test_to_run_count() != 1)
        GTEST_SKIP() << "ends the message loop for good: run it alone";

    zevo::FirmwareServer::setTimeoutMs (20000); // the quit, not the time-out, must end it
    const juce::TemporaryFile target;
    juce::Timer::callAfterDelay (300, [] { juce::MessageManager::getInstance()->stopDispatchLoop(); });

    const auto started = juce::Time::getMillisecondCounterHiRes();
    const auto cpuStarted = threadCpuMs();
    const bool arrived = zevo::FirmwareDownload::toFile (juce::URL (trusted + "silent/images/dolm_ar_et_v201.bin"),
                                                         target.getFile());
    const double cpuMs = threadCpuMs() - cpuStarted;
    const double wallMs = juce::Time::getMillisecondCounterHiRes() - started;

    EXPECT_FALSE (arrived);
    EXPECT_FALSE (target.getFile().exists());
    EXPECT_LT (wallMs, 5000.0) << "not ended by the quit request";
    EXPECT_LT (cpuMs, wallMs / 2) << "spun after the quit request";
}
