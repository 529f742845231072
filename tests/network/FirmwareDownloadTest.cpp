// Downloading a firmware image over HTTPS: only a whole 2xx answer from a
// trusted server counts.
#include "FirmwareServers.h"
#include "modules/zevo_firmware/FirmwareDownload.h"

using FirmwareDownload = testsupport::ServerFixture;

TEST_F (FirmwareDownload, OnlyAWholeSuccessfulAnswerArrives)
{
    juce::MemoryBlock image;
    ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/firmware/images/dolm_ar_et_v201.bin").loadFileAsData (image));

    const std::pair<juce::String, bool> cases[] = {
        { testsupport::trustedRoot() + "images/dolm_ar_et_v201.bin", true },
        { testsupport::trustedRoot() + "moved/images/dolm_ar_et_v201.bin", true },
        { testsupport::trustedRoot() + "images/missing.bin", false },                // 404, error page
        { testsupport::trustedRoot() + "error/500/images/dolm_ar_et_v201.bin", false },
        { testsupport::trustedRoot() + "cut/images/dolm_ar_et_v201.bin", false },     // half of it
        { testsupport::trustedRoot() + "endless/images/dolm_ar_et_v201.bin", false }, // cut off at the cap
        { testsupport::untrustedRoot() + "images/dolm_ar_et_v201.bin", false },       // certificate refused
        { {}, false },
    };
    for (const auto& [address, arrives] : cases)
    {
        const juce::TemporaryFile target;
        EXPECT_EQ (zevo::FirmwareDownload::toFile (juce::URL (address), target.getFile()), arrives) << address;

        juce::MemoryBlock downloaded;
        if (arrives && target.getFile().loadFileAsData (downloaded))
        {
            EXPECT_EQ (downloaded, image) << address;
        }
    }
}
