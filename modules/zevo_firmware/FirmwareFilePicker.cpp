#include "FirmwareFilePicker.h"

namespace zevo
{
namespace
{
class FileChooserPicker final : public FirmwareFilePicker
{
public:
    juce::File chooseFirmwareFile (const juce::File& startingAt) override
    {
        juce::FileChooser chooser ("Choose The Firmware File", startingAt, "*.bin", true, false, nullptr);
        if (! chooser.showDialog (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles, nullptr))
            return {};

        return chooser.getResult();
    }
};

FirmwareFilePicker* installedPicker = nullptr; // message thread only
} // namespace

FirmwareFilePicker& FirmwareFilePicker::get()
{
    if (installedPicker != nullptr)
        return *installedPicker;

    static FileChooserPicker fileChooser;
    return fileChooser;
}

FirmwareFilePicker* FirmwareFilePicker::install (FirmwareFilePicker* picker) noexcept
{
    return std::exchange (installedPicker, picker);
}
} // namespace zevo
