// Both views of the unit in a real window, placed as the main view places
// them, photographed and checked pixel by pixel. Set KIVRA_SCREENSHOT_DIR to
// keep the picture (unit-views.png) for a person to look at.
#include "app/ControlSectionForDlm.h"
#include "app/MixerSection.h"
#include "support/FreshModel.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

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
        setSize (1010, 670);
    }

    void paint (juce::Graphics& g) override { g.fillAll (panelColour); }

    void resized() override
    {
        mixer.setBounds (mixerBounds);
        control.setBounds (controlBounds);
    }

private:
    MixerSection mixer;
    ControlSection control;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UnitViews)
};

class UnitViewsWindow : public juce::DocumentWindow
{
public:
    UnitViewsWindow() : DocumentWindow ("Unit views", panelColour, 0)
    {
        setUsingNativeTitleBar (true); // as the editor's main window
        setContentOwned (new UnitViews(), true);
        centreWithSize (getWidth(), getHeight());
        setVisible (true);
    }

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UnitViewsWindow)
};

/** Where the picture goes: KIVRA_SCREENSHOT_DIR, or else the test run's
    temporary home folder, which goes with the run. */
juce::File screenshotFolder()
{
    const auto named = juce::SystemStats::getEnvironmentVariable ("KIVRA_SCREENSHOT_DIR", {});
    return named.isNotEmpty() ? juce::File (named) : juce::File::getSpecialLocation (juce::File::userHomeDirectory);
}

bool savePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream out (file);
    return out.openedOk() && juce::PNGImageFormat().writeImageToStream (image, out);
}

bool isNear (juce::Colour actual, juce::Colour expected, int tolerance = 6)
{
    return std::abs (actual.getRed() - expected.getRed()) <= tolerance
           && std::abs (actual.getGreen() - expected.getGreen()) <= tolerance
           && std::abs (actual.getBlue() - expected.getBlue()) <= tolerance && actual.getAlpha() == 255;
}

class UnitViewsScreenshotTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::useFreshModel();
        window = std::make_unique<UnitViewsWindow>();
        juce::MessageManager::getInstance()->runDispatchLoopUntil (200);
    }

    juce::Component& content() { return *window->getContentComponent(); }

    std::unique_ptr<UnitViewsWindow> window;
};

TEST_F (UnitViewsScreenshotTest, TheWindowShowsBothSectionsAtTheirPlaces)
{
    ASSERT_NE (window->getContentComponent(), nullptr);
    ASSERT_NE (window->getPeer(), nullptr);
    EXPECT_TRUE (content().isShowing());
    EXPECT_EQ (content().getBounds(), juce::Rectangle<int> (0, 0, 1010, 670));
    EXPECT_EQ (window->getPeer()->getBounds().getWidth(), 1010);
    EXPECT_EQ (window->getPeer()->getBounds().getHeight(), 670);

    const auto screen = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    ASSERT_NE (screen, nullptr);
    EXPECT_TRUE (screen->totalArea.contains (content().getScreenBounds())) << "not all of the content is on screen";

    ASSERT_EQ (content().getNumChildComponents(), 2);
    EXPECT_EQ (content().getChildComponent (0)->getBounds(), mixerBounds);
    EXPECT_EQ (content().getChildComponent (1)->getBounds(), controlBounds);
}

TEST_F (UnitViewsScreenshotTest, TheSnapshotShowsButtonsOnTheGreyPanel)
{
    const auto snapshot = content().createComponentSnapshot (content().getLocalBounds());
    ASSERT_EQ (snapshot.getBounds(), juce::Rectangle<int> (0, 0, 1010, 670));

    const auto file = screenshotFolder().getChildFile ("unit-views.png");
    ASSERT_TRUE (file.getParentDirectory().createDirectory().wasOk());
    ASSERT_TRUE (savePng (snapshot, file)) << file.getFullPathName();
    EXPECT_TRUE (juce::ImageFileFormat::loadFrom (file).getBounds() == snapshot.getBounds());

    // Left of REC 1's caption (the button spans 24..75 x 160..185 of the mixer).
    const auto rec1 = snapshot.getPixelAt (mixerBounds.getX() + 28, mixerBounds.getY() + 172);
    EXPECT_TRUE (isNear (rec1, buttonColour)) << rec1.toDisplayString (true);

    // Play (id 87) of the control area, at (72, 456) 51 x 25 there.
    const auto play = snapshot.getPixelAt (controlBounds.getX() + 75, controlBounds.getY() + 468);
    EXPECT_TRUE (isNear (play, buttonColour)) << play.toDisplayString (true);

    // Between the sections' children and right of the control area: the panel.
    for (const auto point : { juce::Point<int> (5, 5), { 1000, 300 }, { 12, 600 } })
        EXPECT_TRUE (isNear (snapshot.getPixelAt (point.x, point.y), panelColour, 0))
            << point.toString() << " " << snapshot.getPixelAt (point.x, point.y).toDisplayString (true);
}
} // namespace
