// The main editor view: both views of the unit, the control-mode box and the
// three attribute boxes of the selected control, the command buttons, the
// logo (which opens the About box) and the model badge (which switches
// between the full unit and the extender).
//
// Keys (R resets the current mode's map) reach the view while the keyboard
// focus is in it or in one of its children: the main window hands the view
// the focus whenever the window itself receives it. Every key is passed on to
// the window as well.
#pragma once

#include "CommandButton.h"
#include "ControlModeComboBox.h"
#include "ControlSectionForDlm.h"
#include "MapComboBox.h"
#include "MixerSection.h"

#include <juce_gui_basics/juce_gui_basics.h>

class ContentComponent : public juce::Component, public juce::Button::Listener, public juce::ComboBox::Listener
{
public:
    static constexpr int fullWidth = 1010;
    static constexpr int extenderWidth = 760;
    static constexpr int viewHeight = 670;

    ContentComponent();
    ~ContentComponent() override;

    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;
    bool keyPressed (const juce::KeyPress&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void comboBoxChanged (juce::ComboBox*) override;

    /** What "Load File" does with the chosen file: load it, say why if it
        failed, and show the model's current map either way. */
    void loadMappingFrom (const juce::File& file);

    /** What "Save File" does with the name typed in its chooser: a name
        without ".kivra" gets it, as the Load chooser shows only such files,
        and an existing file of the name so made is replaced only when the
        user agrees. */
    void saveMappingAs (const juce::File& chosen);

    /** Saves the current map into the file; a failure is shown. */
    void saveMappingTo (const juce::File& file);

private:
    /** Where the logo opens the About box, and where the badge is drawn and
        clicked, in view coordinates. */
    juce::Rectangle<int> getLogoHoverZone() const;
    juce::Rectangle<int> getBadgeZone() const;

    // Attribute editing of the selected control.
    MappableButton* findSelectedControl();
    void clearToggleStates();
    void updAttrBoxesWith (MappableButton& control);
    void updWith (MapComboBox& box, MappableButton& control);
    void fillMessageBox (MappableButton& control, int mode, const uint8_t* row);
    void messageChosen (MappableButton& control);
    void msgTypeChosen (MappableButton& control);
    void channelChosen (MappableButton& control);

    // Command buttons and the views.
    void connectToDevice();
    void sendMapping();
    void chooseFileToLoad();
    void chooseFileToSave();
    void launchFirmwareUpgrade();
    void controlClicked (MappableButton& control);
    void rebindViews();
    void selectDeviceAtStartUp();
    void showExtenderView (bool extender);
    const juce::Image& currentBadge() const;

    juce::TooltipWindow tooltipWindow { nullptr, 700 };
    juce::Point<float> hoverPos;
    juce::Image logoImage;
    juce::Image unitBadgeImage;
    juce::Image extenderBadgeImage;
    juce::Label controlModeLabel;
    juce::Label messageLabel;
    juce::Label msgTypeLabel;
    juce::Label channelLabel;
    ControlModeComboBox controlModeBox;
    MapComboBox messageBox;
    MapComboBox msgTypeBox;
    MapComboBox channelBox;
    CommandButton saveButton, loadButton, sendButton, firmwareButton, connectButton;
    MixerSection mixerSection;
    ControlSection controlSection;
    bool extenderView = false;
    bool logoHover = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ContentComponent)
};
