// The catalogue fetched over HTTPS from a local server, with every way the
// server can fail.
#include "FirmwareServers.h"
#include "modules/zevo_firmware/FirmwareCatalogue.h"

namespace catalogue = zevo::FirmwareCatalogue;

using FirmwareFetch = testsupport::ServerFixture;

namespace
{
struct FetchCase
{
    const char* folder; // below the trusted server's root
    int product;
    const char* failure; // nullptr: success
    const char* requested; // the path the catalogue came from
    juce::StringArray versions;
};

juce::StringArray versionsOf (const juce::ValueTree& tree)
{
    juce::StringArray versions;
    for (const auto& entry : tree)
        versions.add (entry.getProperty ("version").toString());
    return versions;
}
} // namespace

TEST_F (FirmwareFetch, EachAnswerOfTheServerGivesItsOutcome)
{
    const FetchCase cases[] = {
        { "", 79, nullptr, "/firmware.xml", { "2.01", "1.98", "1.90" } },
        { "", 89, nullptr, "/firmware.xml", { "2.01" } },
        { "", 130, nullptr, "/firmware-special.xml", { "1.40", "1.35" } },
        { "", 94, nullptr, "/firmware-special.xml", { "1.12" } },
        { "moved/", 79, nullptr, "/firmware.xml", { "2.01", "1.98", "1.90" } },
        { "error/404/", 79, catalogue::serverUnavailable, "/error/404/firmware.xml", {} },
        { "error/500/", 79, catalogue::serverUnavailable, "/error/500/firmware.xml", {} },
        { "endless/", 79, catalogue::connectionError, "/endless/firmware.xml", {} },
        { "notxml/", 79, catalogue::connectionError, "/notxml/firmware.xml", {} },
        { "doctype/", 79, catalogue::connectionError, "/doctype/firmware.xml", {} },
        { "nomatch/", 79, catalogue::noMatch, "/nomatch/firmware.xml", {} },
        { "empty/", 79, catalogue::noMatch, "/empty/firmware.xml", {} },
    };
    for (const auto& c : cases)
    {
        const auto context = juce::String (c.folder) + " for " + juce::String (c.product);
        zevo::FirmwareServer::setRoot (testsupport::trustedRoot() + c.folder);

        juce::ValueTree tree;
        const auto result = catalogue::fetch (c.product, tree);

        EXPECT_EQ (result.getErrorMessage(), juce::String (c.failure)) << context;
        EXPECT_TRUE (testsupport::requestedPaths().contains (c.requested)) << context;
        EXPECT_TRUE (tree.isValid()) << context;
        EXPECT_EQ (versionsOf (tree), c.versions) << context;
    }
}

TEST_F (FirmwareFetch, AnUnknownProductAsksNothing)
{
    for (const int product : { 2000, -1 })
    {
        const auto before = testsupport::requestedPaths().size();
        juce::ValueTree tree;
        EXPECT_EQ (catalogue::fetch (product, tree).getErrorMessage(), catalogue::unknownProduct) << product;
        EXPECT_EQ (tree.getType().toString(), "firmwares");
        EXPECT_EQ (tree.getNumChildren(), 0);
        EXPECT_EQ (testsupport::requestedPaths().size(), before) << product;
    }
}

TEST_F (FirmwareFetch, AServerThatIsNotTrustedIsUnavailable)
{
    zevo::FirmwareServer::setRoot (testsupport::untrustedRoot());
    juce::ValueTree tree;
    EXPECT_EQ (catalogue::fetch (79, tree).getErrorMessage(), catalogue::serverUnavailable);
}

TEST_F (FirmwareFetch, AServerTooSlowToAnswerIsUnavailableAfterTheProbesTimeOut)
{
    // The server waits 6 s before it answers; the probe gives up after 4 s.
    zevo::FirmwareServer::setRoot (testsupport::trustedRoot() + "slow/");
    juce::ValueTree tree;
    const auto started = juce::Time::getMillisecondCounter();
    EXPECT_EQ (catalogue::fetch (79, tree).getErrorMessage(), catalogue::serverUnavailable);
    EXPECT_LT (juce::Time::getMillisecondCounter() - started, 6000u);
}
