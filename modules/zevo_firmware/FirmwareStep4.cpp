// Step 4 of the wizard: a firmware image into the MIDI handler, from the
// maker's catalogue (online) or from a local file (manual).
#include "FirmwareUpgradeComponent.h"

#include "FirmwareCatalogue.h"
#include "FirmwareDownload.h"
#include "FirmwareFilePicker.h"
#include "FirmwareFileRule.h"
#include "FirmwareSelectComponent.h"
#include "MidiInputHandler.h"
#include "UpgraderBoxes.h"

#include <optional>

namespace zevo
{
namespace
{
constexpr int connectStep = 0;
constexpr int eraseStep = 1;

// The "Firmware Version" dialog over the catalogue. The address of the chosen
// entry's file when the user confirmed (empty when nothing was selected);
// nothing when the dialog was cancelled or closed.
std::optional<juce::URL> chooseFirmware (const juce::ValueTree& catalogue, juce::Component& wizard)
{
    FirmwareSelectComponent chooser (catalogue);

    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = "Firmware Version";
    options.content.setNonOwned (&chooser);
    options.componentToCentreAround = &wizard;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;

    if (options.runModal() != 1)
        return std::nullopt;

    return FirmwareCatalogue::firmwareUrl (chooser.catalogue, chooser.versionBox.getSelectedItemIndex());
}
} // namespace

void FirmwareUpgradeComponent::doStep4()
{
    // The dialogs and the download run nested message loops, in which the
    // step's button can be pressed again.
    static bool recursionCheck = false;
    if (recursionCheck)
        return;

    const auto disableConnectAndErase = [this] {
        stepButtons[connectStep].setEnabled (false);
        stepButtons[eraseStep].setEnabled (false);
    };

    updateProgress (2);
    disableConnectAndErase();

    if (handler == nullptr)
        handler = std::make_unique<MidiInputHandler> (this, productCode);

    const juce::ScopedValueSetter<bool> running (recursionCheck, true);

    // The wizard's window holds back a close while a step runs, but whoever
    // else owns a wizard may delete it in a nested loop: after every such
    // loop nothing of it is touched unless it is still there.
    const juce::Component::SafePointer<FirmwareUpgradeComponent> wizard (this);
    auto& boxes = UpgraderBoxes::get();

    // Nothing has reached the unit yet: a close asked for meanwhile ends the
    // transfer as failed instead of waiting for it.
    const auto closing = [this, &wizard] { return wizard == nullptr || closeRequested; };

    const auto handOver = [this, &disableConnectAndErase] {
        handler->openProgram (sourceFile);
        updateProgress (3);
        disableConnectAndErase();
    };

    if (onlineMode)
    {
        juce::ValueTree fetchedCatalogue;
        const auto fetched = FirmwareCatalogue::fetch (productCode, fetchedCatalogue, closing);
        if (wizard == nullptr)
            return;

        firmwareCatalogue = fetchedCatalogue;
        if (fetched.failed())
        {
            // After a close the window is gone before a box could show over it.
            if (! closeRequested)
                boxes.showMessageBoxAsync (juce::MessageBoxIconType::NoIcon, "Firmware Upgrade", fetched.getErrorMessage());
            return;
        }

        const auto firmwareUrl = chooseFirmware (firmwareCatalogue, *this);
        if (wizard == nullptr || ! firmwareUrl.has_value())
            return;

        // Removed when this scope ends, whichever way it ends.
        const juce::TemporaryFile download;
        sourceFile = download.getFile();

        const bool arrived = FirmwareDownload::toFile (*firmwareUrl, sourceFile, closing);
        if (wizard == nullptr)
            return;

        if (! arrived)
        {
            boxes.showMessageBox (juce::MessageBoxIconType::WarningIcon, FirmwareDownload::failureTitle,
                                  FirmwareDownload::failureText);
            return;
        }

        handOver();
        return;
    }

    const auto chosen = FirmwareFilePicker::get().chooseFirmwareFile (sourceFile);
    if (wizard == nullptr || chosen == juce::File())
        return;

    sourceFile = chosen;
    if (! FirmwareFileRule::fits (sourceFile, handler->productCode))
    {
        boxes.showMessageBox (juce::MessageBoxIconType::WarningIcon, "Load File", "Not the matching firmware!");
        return;
    }

    handOver();
}
} // namespace zevo
