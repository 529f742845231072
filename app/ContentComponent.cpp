#include "ContentComponent.h"

#include "AboutComponent.h"
#include "BinaryData.h"
#include "DeviceSelectComponent.h"
#include "FirmwareLaunch.h"
#include "model/Arrays.h"
#include "model/Dolmaris.h"
#include "model/Product.h"

namespace
{
const juce::Colour backgroundColour (0xffeeeeee);
const juce::Colour panelColour (0xffc8c8c8);
const juce::Colour panelEdgeColour (0xffbbbbbb);
const juce::Colour hoverNoteColour (0xdfffffff);

constexpr int logoZoneX = 55, logoZoneY = 33;
constexpr int badgeY = 24;

Dolmaris::Impl& model()
{
    return *Dolmaris::getInstance()->impl;
}

void setUpLabel (juce::Label& label, const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setColour (juce::Label::textColourId, juce::Colours::black);
    label.setJustificationType (juce::Justification::centred);
}

// macOS reports the letter key as 'R' whatever the modifiers; X11 reports the
// character typed, so plain R arrives as 'r' there.
bool isResetKey (const juce::KeyPress& key)
{
    return key.getKeyCode() == 'R' || key.getKeyCode() == 'r';
}

void showWarning (const juce::String& title, const juce::String& message)
{
    juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, title, message);
}

const char* const mappingFileExtension = ".kivra";
juce::String mappingFileWildcard() { return juce::String ("*") + mappingFileExtension; }

// The question JUCE's own save dialog asks, in its words.
bool confirmOverwriting (const juce::File& file)
{
    return juce::AlertWindow::showOkCancelBox (juce::MessageBoxIconType::WarningIcon, TRANS ("File already exists"),
                                               TRANS ("There's already a file called: FLNM").replace ("FLNM", file.getFullPathName())
                                                   + "\n\n" + TRANS ("Are you sure you want to overwrite it?"),
                                               TRANS ("Overwrite"), TRANS ("Cancel"), nullptr, nullptr);
}
} // namespace

//==============================================================================
ContentComponent::ContentComponent()
{
    for (int n = 1; n <= CtMode::numWorkingModes; ++n)
        controlModeBox.addItem (juce::String (n) + ") " + CtMode::nameForType (n - 1), n);
    controlModeBox.setSelectedItemIndex (Dolmaris::getInstance()->getCurrCtMode(), juce::dontSendNotification);

    addAndMakeVisible (mixerSection);
    addAndMakeVisible (controlSection);

    addAndMakeVisible (controlModeLabel);
    setUpLabel (controlModeLabel, "Control Mode");
    addAndMakeVisible (controlModeBox);
    controlModeBox.addListener (this);
    addAndMakeVisible (messageLabel);
    setUpLabel (messageLabel, "Message");
    addAndMakeVisible (messageBox);
    messageBox.addListener (this);
    addAndMakeVisible (channelLabel);
    setUpLabel (channelLabel, "Channel");
    addAndMakeVisible (channelBox);
    channelBox.setWantsKeyboardFocus (false);
    channelBox.addListener (this);
    addAndMakeVisible (msgTypeLabel);
    setUpLabel (msgTypeLabel, "Msg Type");
    addAndMakeVisible (msgTypeBox);
    msgTypeBox.setWantsKeyboardFocus (false);
    msgTypeBox.addListener (this);

    const std::pair<CommandButton*, const char*> commands[] = { { &saveButton, "Save File" },
                                                                { &loadButton, "Load File" },
                                                                { &sendButton, "Send Data" },
                                                                { &firmwareButton, "Firmware Upgrade" },
                                                                { &connectButton, "Connect" } };
    for (const auto& [button, text] : commands)
    {
        addAndMakeVisible (*button);
        button->setButtonText (text);
    }

    for (auto* child : getChildren())
        if (auto* command = dynamic_cast<CommandButton*> (child))
            command->addListener (this);

    for (auto* section : { static_cast<juce::Component*> (&mixerSection), static_cast<juce::Component*> (&controlSection) })
        for (auto* child : section->getChildren())
            if (auto* button = dynamic_cast<juce::Button*> (child))
                button->addListener (this);

    logoImage = juce::ImageCache::getFromMemory (BinaryData::logo_png, BinaryData::logo_pngSize);
    unitBadgeImage = juce::ImageCache::getFromMemory (BinaryData::badgedolmar_png, BinaryData::badgedolmar_pngSize);
    extenderBadgeImage = juce::ImageCache::getFromMemory (BinaryData::badgedolmet_png, BinaryData::badgedolmet_pngSize);

    // Keys reach the view only while the focus is in it or in a child. It can
    // take the focus, but a click on its bare surface (the badge, the logo)
    // leaves the focus where it was, on the selected control for instance.
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (false);

    selectDeviceAtStartUp();
    setSize (fullWidth, viewHeight);
}

ContentComponent::~ContentComponent() = default;

// The first unit found decides which view the editor opens with. The model's
// device names stay empty until the user connects or sends.
void ContentComponent::selectDeviceAtStartUp()
{
    if (g_lastSelectedDevice.isEmpty())
        g_lastSelectedDevice = findSupportedOutputDevice();

    auto& impl = model();
    if (g_lastSelectedDevice.isNotEmpty())
        impl.productId = zevo::Product::fromDeviceName (g_lastSelectedDevice).pid;

    extenderView = impl.productId == zevo::Product::dolmet;
    impl.productId = extenderView ? zevo::Product::dolmet : zevo::Product::dolmar;
}

//==============================================================================
void ContentComponent::resized()
{
    const int h = getHeight();
    const int boxY = h - 65, labelY = h - 85, boxHeight = 22;

    controlModeBox.setBounds (25, boxY, 200, boxHeight);
    msgTypeBox.setBounds (controlModeBox.getWidth() + 55, boxY, 110, boxHeight);
    channelBox.setBounds (controlModeBox.getWidth() + msgTypeBox.getWidth() + 85, boxY, 110, boxHeight);
    messageBox.setBounds (controlModeBox.getWidth() + msgTypeBox.getWidth() + channelBox.getWidth() + 115, boxY, 200,
                          boxHeight);

    for (const auto& [label, box] : { std::pair<juce::Label*, juce::ComboBox*> { &controlModeLabel, &controlModeBox },
                                      { &msgTypeLabel, &msgTypeBox },
                                      { &channelLabel, &channelBox },
                                      { &messageLabel, &messageBox } })
        label->setBounds (box->getX(), labelY, box->getWidth(), boxHeight);

    const int buttonY = h - 33, buttonWidth = 94, buttonHeight = 23;
    firmwareButton.setBounds (35, buttonY, buttonWidth, buttonHeight);
    const int w = firmwareButton.getWidth();
    connectButton.setBounds (w + 219, buttonY, buttonWidth, buttonHeight);
    sendButton.setBounds (w + 325, buttonY, buttonWidth, buttonHeight);
    loadButton.setBounds (w + 431, buttonY, buttonWidth, buttonHeight);
    saveButton.setBounds (w + 537, buttonY, buttonWidth, buttonHeight);

    mixerSection.setBounds (0, 66, 540, 500);
    if (extenderView)
        controlSection.setBounds (0, 0, 0, 0);
    else
        controlSection.setBounds (mixerSection.getRight(), 22, 450, h);

    // The window takes the view's size, so this is what narrows it.
    setSize (extenderView ? extenderWidth : fullWidth, h);
}

void ContentComponent::paint (juce::Graphics& g)
{
    g.fillAll (backgroundColour);

    const juce::Rectangle<float> panel (12.0f, 12.0f, (float) getWidth() - 24.0f, 570.0f);
    g.setColour (panelColour);
    g.fillRoundedRectangle (panel, 15.0f);

    juce::Path edge;
    edge.addRoundedRectangle (panel, 15.0f);
    g.setColour (panelEdgeColour);
    g.strokePath (edge, juce::PathStrokeType (2.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

    g.drawImage (logoImage, 24, 24, logoImage.getWidth() / 2, logoImage.getHeight() / 2, 0, 0, logoImage.getWidth(),
                 logoImage.getHeight());

    const auto badge = getBadgeZone();
    g.drawImageAt (currentBadge(), badge.getX(), badge.getY());

    if (logoHover)
    {
        g.setColour (hoverNoteColour);
        g.fillRoundedRectangle (hoverPos.x, hoverPos.y - 10.0f, 51.8f, 20.0f, 5.0f);
        g.setColour (juce::Colours::black);
        g.drawText ("About..", juce::Rectangle<int> ((int) hoverPos.x, (int) (hoverPos.y - 10.0f), 51, 20),
                    juce::Justification::centred, true);
    }
}

const juce::Image& ContentComponent::currentBadge() const
{
    return extenderView ? extenderBadgeImage : unitBadgeImage;
}

// Smaller than the drawn logo, and offset from it: only this part opens the About box.
juce::Rectangle<int> ContentComponent::getLogoHoverZone() const
{
    return { logoZoneX, logoZoneY, logoImage.getWidth() / 2, logoImage.getHeight() / 2 };
}

juce::Rectangle<int> ContentComponent::getBadgeZone() const
{
    const auto& badge = currentBadge();
    return { (556 - badge.getWidth()) / 2 + 92, badgeY, badge.getWidth(), badge.getHeight() };
}

//==============================================================================
void ContentComponent::mouseMove (const juce::MouseEvent& event)
{
    hoverPos = event.position;
    logoHover = getLogoHoverZone().contains (event.getPosition());
    repaint();
}

void ContentComponent::mouseExit (const juce::MouseEvent&)
{
    logoHover = false;
    repaint();
}

void ContentComponent::mouseDown (const juce::MouseEvent& event)
{
    const auto position = event.getMouseDownPosition();

    if (getBadgeZone().contains (position))
    {
        showExtenderView (! extenderView);
    }
    else if (getLogoHoverZone().contains (position))
    {
        logoHover = false;
        repaint();
        AboutComponent::launch (false);
    }
}

// Only the view and the product code change; nothing is sent to the unit.
void ContentComponent::showExtenderView (bool extender)
{
    extenderView = extender;
    controlSection.setVisible (! extenderView);
    model().productId = extenderView ? zevo::Product::dolmet : zevo::Product::dolmar;
    setSize (extenderView ? extenderWidth : fullWidth, getHeight());
    repaint();
}

bool ContentComponent::keyPressed (const juce::KeyPress& key)
{
    if (isResetKey (key))
    {
        CtMap (model().currentMap).setDefaultValues();
        rebindViews();
    }

    return false; // every key also reaches the window, where Escape quits
}

void ContentComponent::rebindViews()
{
    mixerSection.setButtonTypes();
    controlSection.setButtonTypes();

    if (auto* selected = findSelectedControl())
        updAttrBoxesWith (*selected);
}

//==============================================================================
void ContentComponent::buttonClicked (juce::Button* button)
{
    if (button == &connectButton)
        connectToDevice();
    else if (button == &sendButton)
        sendMapping();
    else if (button == &loadButton)
        chooseFileToLoad();
    else if (button == &saveButton)
        chooseFileToSave();
    else if (button == &firmwareButton)
        launchFirmwareUpgrade();
    else if (auto* control = dynamic_cast<MappableButton*> (button))
        controlClicked (*control);
}

void ContentComponent::controlClicked (MappableButton& control)
{
    clearToggleStates();
    control.setToggleState (true, juce::dontSendNotification);
    updAttrBoxesWith (control);
    control.setTooltip (control.getLabelText());
}

void ContentComponent::connectToDevice()
{
    if (g_lastSelectedDevice.isEmpty())
        g_lastSelectedDevice = findSupportedOutputDevice();

    auto content = std::make_unique<DeviceSelectComponent>();

    juce::DialogWindow::LaunchOptions options;
    options.content.setNonOwned (content.get());
    options.dialogTitle = "Select your device";
    options.componentToCentreAround = this;
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = true;
    options.resizable = false;
    options.useBottomRightCornerResizer = false;

    if (options.runModal() > 0)
    {
        auto& impl = model();
        impl.deviceName = content->selectedName;
        impl.outputDeviceName = impl.deviceName;
    }

    // Also after Cancel: the remembered output decides the view.
    const auto product = zevo::Product::fromDeviceName (g_lastSelectedDevice);
    if (product.isFullUnitOrExtender())
        showExtenderView (product.pid == zevo::Product::dolmet);
}

void ContentComponent::sendMapping()
{
    if (g_lastSelectedDevice.isEmpty())
        g_lastSelectedDevice = findSupportedOutputDevice();

    auto& impl = model();
    impl.deviceName = g_lastSelectedDevice;
    impl.outputDeviceName = impl.deviceName;

    const auto result = Dolmaris::getInstance()->sendCurrentMapping();
    showWarning ("Send Mapping", result.wasOk() ? juce::String ("Done!") : result.getErrorMessage());
}

void ContentComponent::chooseFileToLoad()
{
    juce::FileChooser chooser ("Load Mapping", juce::File(), mappingFileWildcard(), true, false);
    if (chooser.browseForFileToOpen())
        loadMappingFrom (chooser.getResult());
}

// The chooser does not ask about replacing a file: the name it returns may
// still get its extension, and the question is asked for the name written.
void ContentComponent::chooseFileToSave()
{
    juce::FileChooser chooser ("Save Mapping", juce::File(), mappingFileWildcard(), true, false);
    if (chooser.browseForFileToSave (false))
        saveMappingAs (chooser.getResult());
}

void ContentComponent::saveMappingAs (const juce::File& chosen)
{
    const auto file = chosen.hasFileExtension (mappingFileExtension) ? chosen
                                                                     : chosen.getSiblingFile (chosen.getFileName() + mappingFileExtension);
    if (file.exists() && ! confirmOverwriting (file))
        return;

    saveMappingTo (file);
}

void ContentComponent::loadMappingFrom (const juce::File& file)
{
    const auto result = Dolmaris::getInstance()->openFile (file);

    // Whatever happened, show the map that is current now.
    controlModeBox.setSelectedItemIndex (Dolmaris::getInstance()->getCurrCtMode(), juce::dontSendNotification);
    rebindViews();

    if (result.failed())
        showWarning ("Load Mapping", result.getErrorMessage());
}

void ContentComponent::saveMappingTo (const juce::File& file)
{
    const auto result = Dolmaris::getInstance()->saveCurrentMapping (file);
    if (result.failed())
        showWarning ("Save Mapping", result.getErrorMessage());
}

void ContentComponent::launchFirmwareUpgrade()
{
    FirmwareLaunch::run (*this);
}
