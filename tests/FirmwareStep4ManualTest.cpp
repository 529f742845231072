// Step 4 in manual mode: the chosen file is checked by name against the
// product and refused with a box when it does not fit. (A fitting file
// uploaded end to end: FirmwareWizardTest.)
#include "support/WizardRig.h"

#include <gtest/gtest.h>

namespace
{
// Hands over a file (or a cancel, for a default File) and notes where the
// dialog would have started.
class GivenFile final : public zevo::FirmwareFilePicker
{
public:
    explicit GivenFile (juce::File toHand) : file (std::move (toHand)), previous (install (this)) {}
    ~GivenFile() override { install (previous); }

    juce::File chooseFirmwareFile (const juce::File& startingAt) override
    {
        startedAt.add (startingAt);
        return file;
    }

    const juce::File file;
    juce::Array<juce::File> startedAt;

private:
    FirmwareFilePicker* previous;
};
} // namespace

TEST (FirmwareStep4Manual, AFileThatDoesNotFitIsRefusedAndACancelEndsTheStep)
{
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto fitting = folder.getFile().getChildFile ("DOLM_AR_ET_v1.bin");
    const auto foreign = folder.getFile().getChildFile ("stavel_k_v1.bin");
    for (const auto& file : { fitting, foreign })
        ASSERT_TRUE (file.replaceWithData (juce::MemoryBlock (1024, true).getData(), 1024));

    const std::tuple<juce::File, const char*, bool> cases[] = {
        { fitting, "--ASU", false },
        { foreign, "--AS-", true },
        { {}, "--AS-", false },
    };
    for (const auto& [file, enabledAfter, refused] : cases)
    {
        testsupport::WizardRig rig;
        GivenFile picker (file);
        rig.openWindow();
        rig.pressKey ('m');

        rig.wizard().doStep4();

        EXPECT_EQ (rig.state(), enabledAfter) << file.getFileName();
        ASSERT_EQ (rig.boxes.boxes.size(), refused ? 1u : 0u) << file.getFileName();
        if (refused)
        {
            EXPECT_EQ (rig.boxes.boxes[0].kind, juce::MessageBoxIconType::WarningIcon);
            EXPECT_EQ (rig.boxes.boxes[0].title, "Load File");
            EXPECT_EQ (rig.boxes.boxes[0].text, "Not the matching firmware!");
        }

        // A second run starts the dialog at the file chosen in the first.
        rig.wizard().doStep4();
        EXPECT_EQ (picker.startedAt.getLast(), file) << file.getFileName();
    }
}
