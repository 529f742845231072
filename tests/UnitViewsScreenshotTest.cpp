// Both views of the unit in a real window, placed as the main view places
// them, photographed and checked pixel by pixel. Set KIVRA_SCREENSHOT_DIR to
// keep the picture (unit-views.png) for a person to look at.
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

namespace
{
const juce::Colour panelColour (0xffc8c8c8);
const juce::Colour buttonColour (0xff222222);
const juce::Rectangle<int> mixerBounds { 0, 66, 540, 500 };
const juce::Rectangle<int> controlBounds { 540, 22, 450, 670 };

/** The main view's arrangement of the two sections on the grey panel. */
class UnitViews : public juce::Component
{
public:
    UnitViews()
    {
        addAndMakeVisible (mixer);
        addAndMakeVisible (control);
        mixer.setBounds (mixerBounds);
        control.setBounds (controlBounds);
        setSize (1010, 670);
    }

    void paint (juce::Graphics& g) override { g.fillAll (panelColour); }

private:
    MixerSection mixer;
    ControlSection control;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UnitViews)
};

bool isNear (juce::Colour actual, juce::Colour expected, int tolerance = 6)
{
    return std::abs (actual.getRed() - expected.getRed()) <= tolerance && std::abs (actual.getGreen() - expected.getGreen()) <= tolerance
           && std::abs (actual.getBlue() - expected.getBlue()) <= tolerance && actual.getAlpha() == 255;
}

TEST (UnitViewsScreenshotTest, TheWindowShowsButtonsOnTheGreyPanel)
{
    testsupport::useFreshModel();
    UnitViews content;
    juce::DocumentWindow window ("Unit views", panelColour, 0);
    window.setUsingNativeTitleBar (true); // as the editor's main window
    window.setContentNonOwned (&content, true);
    window.centreWithSize (window.getWidth(), window.getHeight());
    window.setVisible (true);
    juce::MessageManager::getInstance()->runDispatchLoopUntil (200);

    ASSERT_NE (window.getPeer(), nullptr);
    EXPECT_EQ (window.getPeer()->getBounds().withZeroOrigin(), juce::Rectangle<int> (1010, 670));
    const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    ASSERT_NE (screen, nullptr);
    EXPECT_TRUE (content.isShowing() && screen->totalArea.contains (content.getScreenBounds())) << "not all of the content is on screen";

    const auto snapshot = content.createComponentSnapshot (content.getLocalBounds());
    if (const auto folder = juce::SystemStats::getEnvironmentVariable ("KIVRA_SCREENSHOT_DIR", {}); folder.isNotEmpty())
    {
        juce::FileOutputStream out (juce::File (folder).getChildFile ("unit-views.png"));
        EXPECT_TRUE (out.openedOk() && out.setPosition (0) && out.truncate().wasOk() && juce::PNGImageFormat().writeImageToStream (snapshot, out));
    }

    // Left of REC 1's caption (the button spans 24..75 x 160..185 of the
    // mixer), Play (id 87) of the control area at (72, 456) 51 x 25 there, and
    // the panel between the sections' children and right of the control area.
    const std::pair<juce::Point<int>, juce::Colour> pixels[] = {
        { mixerBounds.getPosition() + juce::Point<int> (28, 172), buttonColour },
        { controlBounds.getPosition() + juce::Point<int> (75, 468), buttonColour },
        { { 5, 5 }, panelColour }, { { 1000, 300 }, panelColour }, { { 12, 600 }, panelColour },
    };
    for (const auto& [point, colour] : pixels)
        EXPECT_TRUE (isNear (snapshot.getPixelAt (point.x, point.y), colour))
            << point.toString() << " " << snapshot.getPixelAt (point.x, point.y).toDisplayString (true);
}
} // namespace
