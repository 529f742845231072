// Step 4 online: the wizard fetches the catalogue from a local HTTPS server,
// offers the product's versions, downloads the chosen one and hands it to the
// MIDI handler; every failure shows its box and loads nothing.
#include "FirmwareServers.h"
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "support/SimulatedUnit.h"
#include "support/WizardRig.h"

using testsupport::ModalAnswerer;
using testsupport::WizardRig;

namespace
{
class FirmwareStep4 : public testsupport::ServerFixture
{
protected:
    void useFolder (const juce::String& folder) { zevo::FirmwareServer::setRoot (testsupport::trustedRoot() + folder); }
};

void expectOneBox (WizardRig& rig, juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                   const juce::String& context)
{
    ASSERT_EQ (rig.boxes.boxes.size(), 1u) << context;
    EXPECT_EQ (rig.boxes.boxes[0].kind, kind) << context;
    EXPECT_EQ (rig.boxes.boxes[0].title, title) << context;
    EXPECT_EQ (rig.boxes.boxes[0].text, text) << context;
}

// Selects the version at `index` in the "Firmware Version" dialog and confirms.
ModalAnswerer::Action chooseVersion (int index)
{
    return [index] (juce::Component& modal) {
        auto* chooser = ModalAnswerer::contentOf<zevo::FirmwareSelectComponent> (modal);
        if (chooser == nullptr || modal.getName() != "Firmware Version")
            return modal.exitModalState (-100);
        chooser->versionBox.setSelectedItemIndex (index, juce::dontSendNotification);
        chooser->okButton.triggerClick();
    };
}

juce::StringArray itemsOf (const juce::ComboBox& box)
{
    juce::StringArray items;
    for (int i = 0; i < box.getNumItems(); ++i)
        items.add (box.getItemText (i));
    return items;
}
} // namespace

TEST_F (FirmwareStep4, ACatalogueThatFailsShowsItsTextAndOffersNoVersion)
{
    // Each failure text of the fetch is reached in FirmwareFetchTest; here
    // one of them, as the wizard shows it.
    useFolder ("nomatch/");
    WizardRig rig;
    rig.openWindow();
    rig.driver.then (ModalAnswerer::click ("Cancel")); // left unused unless a dialog wrongly shows

    rig.wizard().doStep4();

    expectOneBox (rig, juce::MessageBoxIconType::NoIcon, "Firmware Upgrade", zevo::FirmwareCatalogue::noMatch, "");
    EXPECT_EQ (rig.driver.pending(), 1);
    EXPECT_EQ (rig.state(), "--AS-");
}

TEST_F (FirmwareStep4, AFailedDownloadIsReportedLeavesNoFileAndLoadsNothing)
{
    // The entries of faulty/firmware.xml: a 404, a 500, a body cut short, an
    // endless body, a redirect to the server that is not trusted, and last a
    // good image.
    useFolder ("faulty/");
    for (int entry = 0; entry < 6; ++entry)
    {
        WizardRig rig;
        rig.openWindow();
        rig.driver.then (chooseVersion (entry));

        rig.wizard().doStep4();

        const bool good = entry == 5;
        if (good)
            EXPECT_TRUE (rig.boxes.boxes.empty());
        else
            expectOneBox (rig, juce::MessageBoxIconType::WarningIcon, "Firmware Donwload",
                          "Could not download firmware file", juce::String (entry));
        EXPECT_EQ (rig.state(), good ? "--ASU" : "--AS-") << entry;
        EXPECT_TRUE (testsupport::leftoverTemporaryFiles().isEmpty()) << entry;
    }
}

TEST_F (FirmwareStep4, CancellingTheVersionDialogEndsTheStepWithoutADownload)
{
    useFolder ("");
    WizardRig rig;
    rig.openWindow();
    rig.driver.then (ModalAnswerer::click ("Cancel"));

    rig.wizard().doStep4();

    EXPECT_TRUE (rig.boxes.boxes.empty());
    EXPECT_EQ (rig.state(), "--AS-");
    EXPECT_EQ (testsupport::requestedPaths().strings.getLast(), "/firmware.xml");
}

TEST_F (FirmwareStep4, TheChosenVersionGoesFromTheServerToTheUnit)
{
    useFolder ("");
    WizardRig rig;
    rig.ports->addInput ("Dolm Ar MIDI");
    rig.ports->addOutput ("Dolm Ar MIDI");
    SimulatedUnit unit (*rig.ports, "Zevo firmware upgrade 1");
    rig.openWindow();

    rig.driver.then (testsupport::choosePort ("Dolm Ar MIDI"));
    rig.press ("Connect");
    rig.press ("Erase");
    rig.driver.then (testsupport::choosePort ("Zevo firmware upgrade 1"));
    rig.press ("Activate");
    ASSERT_TRUE (rig.boxes.boxes.empty());

    // The versions of product 79 in catalogue order, the first selected; a
    // second press of the step's button while the dialog is open does nothing.
    juce::StringArray offered;
    int selectedAtFirst = -1, requestsBefore = 0, requestsDuring = 0;
    rig.driver.then ([&] (juce::Component& modal) {
        if (auto* chooser = ModalAnswerer::contentOf<zevo::FirmwareSelectComponent> (modal))
        {
            offered = itemsOf (chooser->versionBox);
            selectedAtFirst = chooser->versionBox.getSelectedItemIndex();
        }
        requestsBefore = testsupport::requestedPaths().size();
        rig.wizard().doStep4();
        requestsDuring = testsupport::requestedPaths().size();
        chooseVersion (1) (modal);
    });
    rig.press ("Select Version");

    EXPECT_EQ (offered, juce::StringArray ({ "Dolmar v2.01", "Dolmar v1.98", "Dolmar v1.90" }));
    EXPECT_EQ (selectedAtFirst, 0);
    EXPECT_EQ (requestsDuring, requestsBefore);
    EXPECT_EQ (testsupport::requestedPaths().strings.getLast(), "/images/dolm_ar_et_v198.bin");
    EXPECT_TRUE (rig.boxes.boxes.empty());
    EXPECT_EQ (rig.state(), "--ASU");
    EXPECT_TRUE (testsupport::leftoverTemporaryFiles().isEmpty());

    rig.press ("Upgrade");

    juce::MemoryBlock expected;
    ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/firmware/images/dolm_ar_et_v198.bin").loadFileAsData (expected));
    const auto image = unit.getImage();
    ASSERT_GE (image.size(), expected.getSize());
    EXPECT_EQ (juce::MemoryBlock (image.data(), expected.getSize()), expected);
    EXPECT_TRUE (unit.getProblems().empty());
}
