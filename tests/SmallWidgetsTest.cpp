// The About box: its texts, looks and layout.
#include "app/AboutComponent.h"
#include "support/LayoutChecks.h"

namespace
{
TEST (AboutBox, ChildrenTextsLooksAndLayout)
{
    AboutComponent about;
    EXPECT_EQ (about.getBounds(), juce::Rectangle<int> (500, 278));
    ASSERT_EQ (about.getChildren().size(), 4);
    auto* title = dynamic_cast<juce::Label*> (about.getChildren()[0]);
    juce::Label *notice = nullptr, *version = nullptr;
    juce::HyperlinkButton* link = nullptr;
    for (auto* child : about.getChildren())
    {
        if (auto* button = dynamic_cast<juce::HyperlinkButton*> (child))
            link = button;
        else if (child != title)
            (child->getName() == "VersionLabel" ? version : notice) = dynamic_cast<juce::Label*> (child);
    }
    ASSERT_TRUE (title && notice && link && version);

    EXPECT_EQ (title->getText(), "Dolmar/Dolmet Kivra");
    EXPECT_EQ (title->getFont().getHeight(), 50.0f);
    EXPECT_EQ (title->getFont().getTypefaceStyle(), "Bold");
    EXPECT_TRUE (notice->getText().contains ("Zevosonic"));
    EXPECT_EQ (notice->getJustificationType(), juce::Justification::centredLeft);
    EXPECT_EQ (link->getButtonText(), "About Us");
    EXPECT_TRUE (link->getURL().toString (false).startsWith ("https://"));
    EXPECT_EQ (link->findColour (juce::HyperlinkButton::textColourId), juce::Colour (0xffff0000));
    EXPECT_EQ (version->getText(), "v1.14  Build 25");
    EXPECT_EQ (version->getFont().getHeight(), 18.0f);
    for (auto* label : { title, notice, version })
        EXPECT_EQ (label->findColour (juce::Label::textColourId), juce::Colour (0xffeeeeee));

    // Centred on the integer half of the width; the link follows the bottom edge.
    using R = juce::Rectangle<int>;
    struct Case { int width, height; R title, version, notice, link; };
    const Case cases[] = {
        { 500, 278, { 10, 72, 480, 56 }, { 16, 128, 150, 24 }, { 13, 243, 195, 24 }, { 393, 242, 94, 24 } },
        { 601, 300, { 60, 72, 480, 56 }, { 66, 128, 150, 24 }, { 13, 243, 195, 24 }, { 393, 264, 94, 24 } },
    };
    for (const auto& c : cases)
    {
        about.setSize (c.width, c.height);
        EXPECT_TRUE (title->getBounds() == c.title && version->getBounds() == c.version && notice->getBounds() == c.notice
                     && link->getBounds() == c.link) << c.width;
        testsupport::expectNoTwoChildrenOverlap (about);
    }

    const auto image = about.createComponentSnapshot (about.getLocalBounds(), false);
    EXPECT_EQ (image.getPixelAt (2, 2), juce::Colour (0xff222222)) << "a dark background";
    EXPECT_EQ (image.getPixelAt (597, 150), juce::Colour (0xff222222));
}
} // namespace
