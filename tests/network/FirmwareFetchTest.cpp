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
    juce::String root;
    int product;
    const char* failure;   // nullptr: success
    const char* requested; // the last path the trusted server was asked for; nullptr: nothing asked
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
    const auto server = testsupport::trustedRoot();
    const FetchCase cases[] = {
        { server, 79, nullptr, "/firmware.xml", { "2.01", "1.98", "1.90" } },
        { server, 130, nullptr, "/firmware-special.xml", { "1.40", "1.35" } },
        { server, 94, nullptr, "/firmware-special.xml", { "1.12" } },
        { server + "moved/", 89, nullptr, "/firmware.xml", { "2.01" } },
        { server, 2000, catalogue::unknownProduct, nullptr, {} },
        { server, -1, catalogue::unknownProduct, nullptr, {} },
        { server + "error/404/", 79, catalogue::serverUnavailable, "/error/404/firmware.xml", {} },
        { server + "error/500/", 79, catalogue::serverUnavailable, "/error/500/firmware.xml", {} },
        { testsupport::untrustedRoot(), 79, catalogue::serverUnavailable, nullptr, {} },
        // The server waits 6 s before it answers; the probe gives up after 4 s.
        { server + "slow/", 79, catalogue::serverUnavailable, "/slow/firmware.xml", {} },
        { server + "endless/", 79, catalogue::connectionError, "/endless/firmware.xml", {} },
        { server + "notxml/", 79, catalogue::connectionError, "/notxml/firmware.xml", {} },
        { server + "doctype/", 79, catalogue::connectionError, "/doctype/firmware.xml", {} },
        { server + "nomatch/", 79, catalogue::noMatch, "/nomatch/firmware.xml", {} },
        { server + "empty/", 79, catalogue::noMatch, "/empty/firmware.xml", {} },
    };
    for (const auto& c : cases)
    {
        const auto context = c.root + " for " + juce::String (c.product);
        zevo::FirmwareServer::setRoot (c.root);
        const auto before = testsupport::requestedPaths().size();

        juce::ValueTree tree;
        const auto result = catalogue::fetch (c.product, tree);

        EXPECT_EQ (result.getErrorMessage(), juce::String (c.failure)) << context;
        const auto requests = testsupport::requestedPaths();
        if (c.requested == nullptr)
            EXPECT_EQ (requests.size(), before) << context;
        else
            EXPECT_EQ (requests[requests.size() - 1], c.requested) << context;
        EXPECT_TRUE (tree.isValid()) << context;
        EXPECT_EQ (versionsOf (tree), c.versions) << context;
    }
}
