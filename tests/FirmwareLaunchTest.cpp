// The editor's "Firmware Upgrade" button: the warning first, then the wizard
// in its modal window for the model's product, and back to the editor.
#include "support/ContentViewFixture.h"
#include "support/WizardRig.h"

using FirmwareLaunchTest = testsupport::ContentViewFixture;

// Cancel opens nothing and test mode does not survive into a new wizard; OK
// in the real alert opens the wizard for the model's product (an unknown port
// in test mode takes it), in a window that the wizard's close ends.
TEST_F (FirmwareLaunchTest, TheWarningBoxThenTheWizardForTheModelsProduct)
{
    ScopedVirtualMidiPorts ports;
    ports->addInput ("Some Synth");
    makeView();
    model->productId = 89; // the extender's code, as the badge sets it
    {
        RecordedBoxes boxes (false);
        testsupport::ModalAnswerer closer; // ends a window opened by mistake, so the test fails, not hangs
        closer.then (testsupport::ModalAnswerer::click ("no such button"));
        zevo::bTest = true;
        testsupport::click (command ("Firmware Upgrade"));

        // The box's title, Cancel and OK are the smoke run's (tests/scripts/firmware-smoke.sh).
        ASSERT_EQ (boxes.boxes.size(), 1u);
        EXPECT_EQ (boxes.boxes[0].text, "\n* IMPORTANT WARNING! *\n\nFAILURE TO FOLLOW THESE INSTRUCTIONS COULD DAMAGE YOUR "
                                        "DEVICE!!\n\n- Connect ONLY the device you want to update\n- Make sure the power "
                                        "supply is connected (if any)\n- Connect device directly to computer (no hub)\n- "
                                        "Do not touch device during firmware update");
        EXPECT_FALSE (zevo::bTest);
        EXPECT_EQ (closer.pending(), 1) << "a window opened after Cancel";
    }

    testsupport::ModalAnswerer answerer;
    juce::String titleAfterConnect;
    answerer.then (testsupport::ModalAnswerer::click ("OK")).then ([&] (juce::Component& modal) {
        auto* window = dynamic_cast<zevo::FirmwareUpgradeWindow*> (&modal);
        ASSERT_NE (window, nullptr) << modal.getName();
        window->getWizard().keyPressed (juce::KeyPress ('t'));
        window->getWizard().buttonClicked (testsupport::ModalAnswerer::findButton (window->getWizard(), "Connect"));
        titleAfterConnect = window->getName();
        window->getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::escapeKey));
    });
    answerer.then (testsupport::choosePort ("Some Synth"));

    testsupport::click (command ("Firmware Upgrade"));

    EXPECT_EQ (answerer.pending(), 0);
    EXPECT_EQ (titleAfterConnect, "Firmware Upgrade: Dolmet");
    EXPECT_EQ (juce::Component::getCurrentlyModalComponent(), nullptr) << "the wizard's window is still up";
}
