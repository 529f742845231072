// Every message box of the firmware upgrader goes through this one layer: the
// real one shows JUCE's alert windows and blocks until they are answered;
// tests install one that records each box (kind, title, text) and answers it.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace zevo
{
class UpgraderBoxes
{
public:
    virtual ~UpgraderBoxes() = default;

    /** A box with one button; returns when it has been dismissed. */
    virtual void showMessageBox (juce::MessageBoxIconType kind, const juce::String& title,
                                 const juce::String& text, juce::Component* associatedComponent = nullptr) = 0;

    /** A box with one button that stays open after the call returns. Layers
        that cannot leave a box open (tests) show it as showMessageBox does. */
    virtual void showMessageBoxAsync (juce::MessageBoxIconType kind, const juce::String& title,
                                      const juce::String& text, juce::Component* associatedComponent = nullptr)
    {
        showMessageBox (kind, title, text, associatedComponent);
    }

    /** A box with OK and Cancel (the framework's button texts); true for OK. */
    virtual bool showOkCancelBox (juce::MessageBoxIconType kind, const juce::String& title,
                                  const juce::String& text, juce::Component* associatedComponent = nullptr) = 0;

    /** The installed layer, or the one showing JUCE's alert windows. */
    static UpgraderBoxes& get();

    /** Makes every later get() return `boxes` (nullptr: JUCE's again). The
        caller keeps ownership; returns the layer installed before. */
    static UpgraderBoxes* install (UpgraderBoxes* boxes) noexcept;
};
} // namespace zevo
