// The editor's "Firmware Upgrade" button: the warning first, then the wizard
// in its modal window for the model's product, and back to the editor.
#include "support/ContentViewFixture.h"
#include "support/ModalAnswerer.h"
#include "support/RecordedBoxes.h"
#include "support/WizardRig.h"

namespace
{
class FirmwareLaunchTest : public testsupport::ContentViewFixture
{
};
} // namespace

// Catches: a warning with other words or lines, a wizard opened after Cancel,
// test mode surviving into a new wizard, and the macOS version not set.
TEST_F (FirmwareLaunchTest, CancelInTheWarningOpensNothing)
{
    ScopedVirtualMidiPorts ports;
    RecordedBoxes boxes (false);
    makeView();
    zevo::bTest = true;
    zevo::_mac_major = 0;

    testsupport::click (command ("Firmware Upgrade"));

    ASSERT_EQ (boxes.boxes.size(), 1u);
    EXPECT_TRUE (boxes.boxes[0].askedOkOrCancel);
    EXPECT_EQ (boxes.boxes[0].kind, juce::MessageBoxIconType::InfoIcon);
    EXPECT_EQ (boxes.boxes[0].title, "Firmware Upgrader about to start");
    EXPECT_EQ (boxes.boxes[0].text, "\n* IMPORTANT WARNING! *\n\nFAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR "
                                    "DEVICE!!\n\n- Connect ONLY the device you want to update\n- Make sure the power "
                                    "supply is connected (if any)\n- Connect device directly to computer (no hub)\n- Do "
                                    "not touch device during firmware update");
    EXPECT_FALSE (zevo::bTest);
    EXPECT_EQ (zevo::_mac_major, 0x300) << "Linux's system type 0x400 less 0x100";
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr);
}

// Catches: the wizard made for another product than the model's, a window
// of the wrong size, title or kind, and a close that does not come back.
TEST_F (FirmwareLaunchTest, OkRunsTheWizardForTheModelsProductUntilItIsClosed)
{
    ScopedVirtualMidiPorts ports;
    ports->addInput ("Some Synth");
    RecordedBoxes boxes (true);
    makeView();
    model->productId = 89; // the extender's code, as the badge sets it

    testsupport::ModalAnswerer answerer;
    juce::String titleAfterConnect;
    answerer.then ([&] (juce::Component& modal) {
        auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (&modal);
        ASSERT_NE (window, nullptr) << modal.getName();
        EXPECT_EQ (window->getName(), "Firmware Upgrade");
        EXPECT_TRUE (window->isUsingNativeTitleBar());
        EXPECT_FALSE (window->isResizable());
        auto& wizard = window->getWizard();
        EXPECT_EQ (wizard.getBounds(), juce::Rectangle<int> (0, 0, 514, 491));

        // An unknown port in test mode takes the launch code: the model's.
        wizard.keyPressed (juce::KeyPress ('t'));
        wizard.buttonClicked (testsupport::ModalAnswerer::findButton (wizard, "Connect"));
        titleAfterConnect = window->getName();
        window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
    });
    answerer.then (testsupport::choosePort ("Some Synth"));

    testsupport::click (command ("Firmware Upgrade"));

    EXPECT_EQ (answerer.pending(), 0);
    EXPECT_EQ (titleAfterConnect, "Firmware Upgrade: Dolmet");
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr) << "the wizard's window is still up";
    for (int i = 0; i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
        EXPECT_EQ (dynamic_cast<zevo::FirmwareUpgradeWindow*> (juce::TopLevelWindow::getTopLevelWindow (i)), nullptr)
            << "the wizard's window outlived its close";
}
