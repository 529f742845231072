// The shape all three choosers share (the editor's output chooser and the
// upgrader's port and version choosers): a combo box across the middle, OK
// and Cancel at the bottom right.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo::ChooserLayout
{
inline void place (juce::Component& owner, juce::ComboBox& box, juce::Button& okButton, juce::Button& cancelButton)
{
    const int width = owner.getWidth();
    const int height = owner.getHeight();
    box.setBounds (8, height / 2 - 24, width - 16, 24);

    const int buttonHeight = juce::jmin (height, 30);
    const int cancelWidth = juce::jmin (width, 100);
    cancelButton.setBounds (width - 10 - cancelWidth, height - 10 - buttonHeight, cancelWidth, buttonHeight);

    const int okWidth = juce::jmin (width - cancelWidth, 100);
    okButton.setBounds (width - cancelWidth - 10 - okWidth, height - 10 - buttonHeight, okWidth, buttonHeight);
}

/** Ends the dialog the chooser sits in with 1; nothing outside a dialog. */
inline void confirm (juce::Component& content)
{
    if (auto* dialog = content.findParentComponentOfClass<juce::DialogWindow>())
        dialog->exitModalState (1);
}

/** Closes the dialog the chooser sits in as its close button does (result 0). */
inline void dismiss (juce::Component& content)
{
    if (auto* dialog = content.findParentComponentOfClass<juce::DialogWindow>())
        dialog->closeButtonPressed();
}
} // namespace zevo::ChooserLayout
