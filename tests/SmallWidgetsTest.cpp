// The main view's small widget types and the About box.
#include "app/AboutComponent.h"
#include "app/MapComboBox.h"
#include "support/LayoutChecks.h"

#include <gtest/gtest.h>

namespace
{
TEST (SmallWidgets, MapComboBoxValueOutsideItsItemsIsZero)
{
    MapComboBox box;
    for (int index = 0; index < 3; ++index)
        box.addItem ("item " + juce::String (index), index + 1), box.values.add (40 + index);

    EXPECT_EQ (box.values[box.getSelectedItemIndex()], 0) << "nothing selected";
    EXPECT_EQ (box.values[3], 0) << "past the items";

    box.setSelectedItemIndex (2, juce::dontSendNotification);
    EXPECT_EQ (box.values[box.getSelectedItemIndex()], 42);
}

//==============================================================================
struct AboutParts
{
    explicit AboutParts (juce::Component& about)
    {
        for (auto* child : about.getChildren())
        {
            if (auto* link = dynamic_cast<juce::HyperlinkButton*> (child))
                linkButton = link;
            else if (child->getName() == "VersionLabel")
                version = dynamic_cast<juce::Label*> (child);
            else if (auto* label = dynamic_cast<juce::Label*> (child))
                (title == nullptr ? title : notice) = label;
        }
    }

    juce::Label* title = nullptr;
    juce::Label* notice = nullptr;
    juce::HyperlinkButton* linkButton = nullptr;
    juce::Label* version = nullptr;
};

TEST (AboutBox, ChildrenTextsLooksAndLayout)
{
    AboutComponent about;
    EXPECT_EQ (about.getBounds(), juce::Rectangle<int> (500, 278));
    ASSERT_EQ (about.getChildren().size(), 4);
    AboutParts parts (about);
    ASSERT_TRUE (parts.title && parts.notice && parts.linkButton && parts.version);

    EXPECT_EQ (about.getChildren()[0], parts.title);
    EXPECT_EQ (parts.title->getText(), "Dolmar/Dolmet Kivra");
    EXPECT_EQ (parts.title->getFont().getHeight(), 50.0f);
    EXPECT_EQ (parts.title->getFont().getTypefaceStyle(), "Bold");

    EXPECT_TRUE (parts.notice->getText().contains ("Zevosonic"));
    EXPECT_EQ (parts.notice->getJustificationType(), juce::Justification::centredLeft);

    EXPECT_EQ (parts.linkButton->getButtonText(), "About Us");
    EXPECT_TRUE (parts.linkButton->getURL().toString (false).startsWith ("https://"));
    EXPECT_EQ (parts.linkButton->getTooltip(), parts.linkButton->getURL().toString (false));
    EXPECT_EQ (parts.linkButton->findColour (juce::HyperlinkButton::textColourId), juce::Colour (0xffff0000));

    EXPECT_EQ (parts.version->getText(), "v1.14  Build 25");
    EXPECT_EQ (parts.version->getFont().getHeight(), 18.0f);
    EXPECT_EQ (parts.version->getJustificationType(), juce::Justification::centred);

    for (auto* label : { parts.title, parts.notice, parts.version })
        EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xffeeeeee));

    // Layout at the own size and resized: centred on the integer half of the width, the link follows the bottom edge.
    using R = juce::Rectangle<int>;
    struct Case { int width, height; R title, version, notice, link; };
    const Case cases[] = {
        { 500, 278, { 10, 72, 480, 56 }, { 16, 128, 150, 24 }, { 13, 243, 195, 24 }, { 393, 242, 94, 24 } },
        { 601, 300, { 60, 72, 480, 56 }, { 66, 128, 150, 24 }, { 13, 243, 195, 24 }, { 393, 264, 94, 24 } },
    };
    for (const auto& c : cases)
    {
        about.setSize (c.width, c.height);
        EXPECT_EQ (parts.title->getBounds(), c.title) << c.width;
        EXPECT_EQ (parts.version->getBounds(), c.version) << c.width;
        EXPECT_EQ (parts.notice->getBounds(), c.notice) << c.width;
        EXPECT_EQ (parts.linkButton->getBounds(), c.link) << c.width;
        testsupport::expectNoTwoChildrenOverlap (about);
    }

    const auto image = about.createComponentSnapshot (about.getLocalBounds(), false);
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour (0xff222222)) << "a dark background";
    EXPECT_EQ (image.getPixelAt (597, 150), juce::Colour (0xff222222));
}
} // namespace
