// Step 4 in manual mode: a local firmware file, checked by name against the
// product, loaded or refused.
#include "modules/zevo_firmware/FirmwareFilePicker.h"
#include "modules/zevo_firmware/FirmwareUpgradeComponent.h"
#include "support/RecordedBoxes.h"
#include "support/VirtualMidiPorts.h"
#include "support/WizardProbe.h"

#include <gtest/gtest.h>

namespace
{
// Hands over the given file as if the user had chosen it, and notes where the
// dialog would have started.
class GivenFile final : public zevo::FirmwareFilePicker
{
public:
    GivenFile() : previous (install (this)) {}
    ~GivenFile() override { install (previous); }

    juce::File chooseFirmwareFile (const juce::File& startingAt) override
    {
        startedAt.add (startingAt);
        return file;
    }

    juce::File file;
    juce::Array<juce::File> startedAt;

private:
    FirmwareFilePicker* previous;
};

struct ManualCase
{
    const char* fileName; // empty: the user cancels
    bool loaded;
};
} // namespace

TEST (FirmwareStep4Manual, AFileThatFitsTheProductIsLoadedAndOthersAreRefused)
{
    const ManualCase cases[] = {
        { "DOLM_AR_ET_v1.bin", true },
        { "stavel_k_v1.bin", false },
        { "", false },
    };
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());

    for (const auto& c : cases)
    {
        ScopedVirtualMidiPorts ports;
        RecordedBoxes boxes;
        GivenFile picker;
        testsupport::WizardProbe probe (79);
        probe.wizard().keyPressed (juce::KeyPress ('m'));

        if (juce::String (c.fileName).isNotEmpty())
        {
            picker.file = folder.getFile().getChildFile (c.fileName);
            ASSERT_TRUE (picker.file.replaceWithData (juce::MemoryBlock (1024, true).getData(), 1024));
        }
        const bool refused = ! c.loaded && picker.file != juce::File();

        probe.wizard().doStep4();

        EXPECT_EQ (probe.enabledSteps(), c.loaded ? "--345" : "--34-") << c.fileName;
        ASSERT_EQ (boxes.boxes.size(), refused ? 1u : 0u) << c.fileName;
        if (refused)
        {
            EXPECT_EQ (boxes.boxes[0].kind, juce::MessageBoxIconType::WarningIcon);
            EXPECT_EQ (boxes.boxes[0].title, "Load File");
            EXPECT_EQ (boxes.boxes[0].text, "Not the matching firmware!");
        }

        // A second run starts the dialog at the file chosen in the first.
        probe.wizard().doStep4();
        EXPECT_EQ (picker.startedAt.getLast(), picker.file) << c.fileName;
    }
}
