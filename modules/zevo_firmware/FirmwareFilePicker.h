// How the upgrader asks for a local firmware file. The real picker is the
// operating system's file dialog; tests install one that hands over a file of
// their own, so what happens with the chosen file is tested without a dialog.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo
{
class FirmwareFilePicker
{
public:
    virtual ~FirmwareFilePicker() = default;

    /** A "*.bin" file the user chose, starting at `startingAt`; a default File
        when the user cancelled. Blocks until the dialog is answered. */
    virtual juce::File chooseFirmwareFile (const juce::File& startingAt) = 0;

    /** The installed picker, or the one showing the operating system's dialog. */
    static FirmwareFilePicker& get();

    /** Makes every later get() return `picker` (nullptr: the dialog again). The
        caller keeps ownership; returns the picker installed before. */
    static FirmwareFilePicker* install (FirmwareFilePicker* picker) noexcept;
};
} // namespace zevo
