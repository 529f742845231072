#include "AboutComponent.h"

namespace
{
const juce::Colour lightText (0xffeeeeee);

std::unique_ptr<juce::Label> makeLabel (juce::Component& parent, const juce::String& name, const juce::String& text,
                                        float fontHeight, const juce::String& fontStyle, juce::Justification justification)
{
    auto label = std::make_unique<juce::Label> (name, text);
    parent.addAndMakeVisible (*label);
    label->setFont (juce::Font (fontHeight, juce::Font::plain).withTypefaceStyle (fontStyle));
    label->setJustificationType (justification);
    label->setEditable (false, false, false);
    label->setColour (juce::Label::textColourId, lightText);
    label->setColour (juce::TextEditor::textColourId, lightText);
    label->setColour (juce::TextEditor::backgroundColourId, juce::Colour (0x00000000));
    return label;
}
} // namespace

AboutComponent::AboutComponent()
{
    titleLabel = makeLabel (*this, "new label", juce::translate ("Dolmar/Dolmet Kivra"), 50.0f, "Bold",
                            juce::Justification::centred);

    noticeLabel = makeLabel (*this, "noticeLabel", juce::translate ("Copyright (C) Zevosonic"), 15.0f, "Regular",
                             juce::Justification::centredLeft);

    aboutLinkButton = std::make_unique<juce::HyperlinkButton> (juce::translate ("About Us"), juce::URL (makerAddress));
    addAndMakeVisible (*aboutLinkButton);
    aboutLinkButton->setColour (juce::HyperlinkButton::textColourId, juce::Colour (0xffff0000));

    versionLabel = makeLabel (*this, "VersionLabel",
                              juce::String ("v") + applicationVersion + "  Build " + buildNumber, 18.0f, "Regular",
                              juce::Justification::centred);

    setSize (500, 278);
}

// The children go in the order they were declared, not in reverse.
AboutComponent::~AboutComponent()
{
    titleLabel.reset();
    noticeLabel.reset();
    aboutLinkButton.reset();
    versionLabel.reset();
}

void AboutComponent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff222222));
}

void AboutComponent::resized()
{
    const auto halfWidth = getWidth() / 2;
    titleLabel->setBounds (halfWidth - 240, 72, 480, 56);
    noticeLabel->setBounds (13, 243, 195, 24);
    aboutLinkButton->setBounds (393, getHeight() - 36, 94, 24);
    versionLabel->setBounds (halfWidth - 234, 128, 150, 24);
}

void AboutComponent::launch (bool useNativeTitleBar)
{
    juce::DialogWindow::LaunchOptions options;
    options.content.setOwned (new AboutComponent());
    options.dialogTitle = "About Dolmar/Dolmet Kivra";
    options.escapeKeyTriggersCloseButton = true;
    options.useNativeTitleBar = useNativeTitleBar;
    options.resizable = false;
    options.useBottomRightCornerResizer = false;
    options.launchAsync();
}
