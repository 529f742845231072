// The widget that stands for one control of the surface in the two views of
// the unit. It is bound to the control node with its id in the current map,
// shows what that control sends in the current mode, and its toggle state is
// the editor's selection.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MappableButton : public juce::TextButton
{
public:
    explicit MappableButton (const juce::String& componentName);
    ~MappableButton() override;

    /** Binds the button to a "control" node and refreshes its caption. An
        invalid node leaves the button with id 0 and no caption. */
    void setMapping (juce::ValueTree controlNode);

    /** Puts the caption into the caption label, or into the button text when
        the button has no label. */
    virtual void updateText();

    /** What the control sends in the current mode, in words. Empty for a
        button that is not bound to a control (or when there is no model). */
    virtual juce::String getLabelText();

    /** Only a selected control shows its caption as a tooltip. The hover
        highlight is deliberately left to the press and release handling. */
    void mouseEnter (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;

    juce::Label* captionLabel = nullptr; // owned by the view that places it
    int type = 0;                        // CtKind of the control, set by the view
    int id = -1;                         // control id of the bound node; -1 until bound
    juce::Value valueRef { juce::var (0) };
    juce::Value chanRef;
    juce::Value typeRef { juce::var (0) };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MappableButton)
};
