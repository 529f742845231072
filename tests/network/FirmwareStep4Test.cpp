// Step 4 online: the wizard fetches the catalogue from a local HTTPS server,
// offers the product's versions, downloads the chosen one and hands it to the
// MIDI handler; every failure shows its box and loads nothing.
#include "FirmwareServers.h"
#include "modules/zevo_firmware/FirmwareCatalogue.h"
#include "modules/zevo_firmware/FirmwareSelectComponent.h"
#include "support/RecordedBoxes.h"
#include "support/SimulatedUnit.h"
#include "support/VirtualMidiPorts.h"
#include "support/WizardProbe.h"

using testsupport::ModalDriver;
using testsupport::WizardProbe;
namespace catalogue = zevo::FirmwareCatalogue;

namespace
{
class FirmwareStep4 : public testsupport::ServerFixture
{
protected:
    void useFolder (const juce::String& folder) { zevo::FirmwareServer::setRoot (testsupport::trustedRoot() + folder); }

    void expectOneBox (juce::MessageBoxIconType kind, const juce::String& title, const juce::String& text,
                       const juce::String& context)
    {
        ASSERT_EQ (boxes.boxes.size(), 1u) << context;
        EXPECT_EQ (boxes.boxes[0].kind, kind) << context;
        EXPECT_EQ (boxes.boxes[0].title, title) << context;
        EXPECT_EQ (boxes.boxes[0].text, text) << context;
    }

    ScopedVirtualMidiPorts ports;
    RecordedBoxes boxes;
};

// Selects the version at `index` in the "Firmware Version" dialog and confirms.
ModalDriver::Action chooseVersion (int index)
{
    return [index] (juce::Component& modal) {
        auto* chooser = ModalDriver::contentOf<zevo::FirmwareSelectComponent> (modal);
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
    WizardProbe probe (79);
    ModalDriver driver;
    driver.then (ModalDriver::click ("Cancel")); // left unused unless a dialog wrongly shows

    probe.wizard().doStep4();

    expectOneBox (juce::MessageBoxIconType::NoIcon, "Firmware Upgrade", catalogue::noMatch, "nomatch");
    EXPECT_EQ (driver.pending(), 1);
    EXPECT_EQ (probe.enabledSteps(), "--34-");
}

TEST_F (FirmwareStep4, AFailedDownloadIsReportedLeavesNoFileAndLoadsNothing)
{
    // The entries of faulty/firmware.xml: a 404, a 500, a body cut short, an
    // endless body, a redirect to the server that is not trusted, and last a
    // good image.
    useFolder ("faulty/");
    for (int entry = 0; entry < 6; ++entry)
    {
        boxes.boxes.clear();
        WizardProbe probe (79);
        ModalDriver driver;
        driver.then (chooseVersion (entry));

        probe.wizard().doStep4();

        const bool good = entry == 5;
        if (good)
            EXPECT_TRUE (boxes.boxes.empty());
        else
            expectOneBox (juce::MessageBoxIconType::WarningIcon, "Firmware Donwload", "Could not download firmware file",
                          juce::String (entry));
        EXPECT_EQ (probe.enabledSteps(), good ? "--345" : "--34-") << entry;
        EXPECT_TRUE (testsupport::leftoverTemporaryFiles().isEmpty()) << entry;
    }
}

TEST_F (FirmwareStep4, CancellingTheVersionDialogEndsTheStepWithoutADownload)
{
    useFolder ("");
    WizardProbe probe (79);
    ModalDriver driver;
    driver.then (ModalDriver::click ("Cancel"));

    probe.wizard().doStep4();

    EXPECT_TRUE (boxes.boxes.empty());
    EXPECT_EQ (probe.enabledSteps(), "--34-");
    EXPECT_EQ (testsupport::requestedPaths().strings.getLast(), "/firmware.xml");
}

TEST_F (FirmwareStep4, TheChosenVersionGoesFromTheServerToTheUnit)
{
    useFolder ("");
    SimulatedUnit unit (*ports);
    WizardProbe probe (79);
    ModalDriver driver;

    driver.then (ModalDriver::click ("OK")); // the unit's upgrade port
    probe.click ("Activate");
    ASSERT_TRUE (boxes.boxes.empty());

    // The versions of product 79 in catalogue order, the first selected; a
    // second press of the step's button while the dialog is open does nothing.
    juce::StringArray offered;
    int selectedAtFirst = -1;
    int requestsBefore = 0, requestsDuring = 0;
    driver.then ([&] (juce::Component& modal) {
        if (auto* chooser = ModalDriver::contentOf<zevo::FirmwareSelectComponent> (modal))
        {
            offered = itemsOf (chooser->versionBox);
            selectedAtFirst = chooser->versionBox.getSelectedItemIndex();
        }
        requestsBefore = testsupport::requestedPaths().size();
        probe.click ("Select Version");
        requestsDuring = testsupport::requestedPaths().size();
        chooseVersion (1) (modal);
    });
    probe.click ("Select Version");

    EXPECT_EQ (offered, juce::StringArray ({ "Dolmar v2.01", "Dolmar v1.98", "Dolmar v1.90" }));
    EXPECT_EQ (selectedAtFirst, 0);
    EXPECT_EQ (requestsDuring, requestsBefore);
    EXPECT_EQ (testsupport::requestedPaths().strings.getLast(), "/images/dolm_ar_et_v198.bin");
    EXPECT_TRUE (boxes.boxes.empty());
    EXPECT_EQ (probe.enabledSteps(), "--345");
    EXPECT_TRUE (testsupport::leftoverTemporaryFiles().isEmpty());

    probe.click ("Upgrade");

    juce::MemoryBlock expected;
    ASSERT_TRUE (juce::File (KIVRA_TEST_DATA_DIR "/firmware/images/dolm_ar_et_v198.bin").loadFileAsData (expected));
    const auto image = unit.getImage();
    ASSERT_GE (image.size(), expected.getSize());
    EXPECT_EQ (juce::MemoryBlock (image.data(), expected.getSize()), expected);
    EXPECT_TRUE (unit.getProblems().empty());
}
