// The editor's "Firmware Upgrade" command: the warning box, then the modal
// upgrade wizard for the model's product.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace FirmwareLaunch
{
/** Asks first; on OK runs the "Firmware Upgrade" dialog centred around
    `mainView` and returns when it has closed. */
void run (juce::Component& mainView);

/** The warning's text: nine lines, the first of them empty. */
juce::String warningText();
} // namespace FirmwareLaunch
