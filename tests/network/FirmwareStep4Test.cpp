// Step 4 online, against the local HTTPS servers that
// tests/scripts/with-firmware-servers.sh starts: the catalogue fetched with
// every answer a server can give, then the wizard downloading into a unit.
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "modules/zevo_firmware/FirmwareServer.h"
#include "support/SimulatedUnit.h"
#include "support/WizardRig.h"

using testsupport::ModalAnswerer;
namespace catalogue = zevo::FirmwareCatalogue;

namespace
{
const juce::String trusted (std::getenv ("KIVRA_TEST_FIRMWARE_ROOT"));
const juce::String untrusted (std::getenv ("KIVRA_TEST_UNTRUSTED_ROOT"));

struct FirmwareStep4 : ::testing::Test
{
    void SetUp() override
    {
        if (trusted.isEmpty())
            GTEST_SKIP() << "no test server: run through tests/scripts/with-firmware-servers.sh";
    }
};

juce::String versionsOf (const juce::ValueTree& tree)
{
    juce::StringArray versions;
    for (const auto& entry : tree)
        versions.add (entry["version"].toString());
    return versions.joinIntoString (" ");
}

ModalAnswerer::Action chooseVersion (int index)
{
    return [index] (juce::Component& modal) {
        auto* chooser = ModalAnswerer::find<zevo::FirmwareSelectComponent> (modal);
        if (chooser == nullptr)
            return modal.exitModalState (-100);
        chooser->versionBox.setSelectedItemIndex (index, juce::dontSendNotification);
        chooser->okButton.triggerClick();
    };
}

// Downloads go to TMPDIR, which the script sets to a folder of this run alone.
bool leftTemporaryFiles()
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory);
    return folder.getNumberOfChildFiles (juce::File::findFiles, "temp_*") > 0;
}
} // namespace

TEST_F (FirmwareStep4, EachAnswerOfTheServerGivesItsOutcome)
{
    // firmware.xml: "0079" is 79; a pid past INT_MAX and an entry without pid
    // are not. Only firmware-special.xml lists 94 and 130 ("130abc" is 130).
    // nomatch/ lists "790" and another product.
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
    // body and a redirect to the untrusted server.
    const int noDialog = -2, cancel = -1;
    const char* const failed = "! Firmware Donwload / Could not download firmware file";
    std::vector<std::tuple<const char*, int, const char*>> cases {
        { "nomatch/", noDialog, "Firmware Upgrade / No firmware matches in the server, please try again manually!" } };
    for (int version = 0; version < 5; ++version)
        cases.emplace_back ("faulty/", version, failed);
    cases.emplace_back ("", cancel, "");
    for (const auto& [folder, version, box] : cases)
    {
        zevo::FirmwareServer::setRoot (trusted + folder);
        rig.boxes.boxes.clear();
        ModalAnswerer answerer;
        answerer.then (version >= 0 ? chooseVersion (version) : ModalAnswerer::click ("Cancel"));

        rig.press ("Select Version");

        const auto context = folder + juce::String (version);
        EXPECT_EQ (answerer.pending(), version == noDialog ? 1 : 0) << context;
        juce::StringArray shown;
        for (const auto& b : rig.boxes.boxes)
            shown.add ((b.kind == juce::MessageBoxIconType::WarningIcon ? "! " : "") + b.title + " / " + b.text);
        EXPECT_EQ (shown.joinIntoString ("\n"), box) << context;
        EXPECT_EQ (rig.state(), "--AS-") << context;
        EXPECT_FALSE (leftTemporaryFiles()) << context;
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
    EXPECT_FALSE (leftTemporaryFiles());

    rig.press ("Upgrade");
    juce::MemoryBlock expected;
    ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/firmware/images/dolm_ar_et_v198.bin").loadFileAsData (expected));
    const auto image = unit.getImage();
    ASSERT_GE (image.size(), expected.getSize());
    EXPECT_EQ (juce::MemoryBlock (image.data(), expected.getSize()), expected);
    EXPECT_TRUE (unit.getProblems().empty());
}
