// The pictures compiled into the editor: each must decode at exactly the size
// the main view lays out, with transparency where the panel behind it has to
// show through, and the badges dark enough to stand out from the grey panel.
#include "BinaryData.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

TEST (ImagesTest, EveryPictureDecodesAtItsSizeWithTransparentCorners)
{
    struct Picture { const char* name; const char* data; int size, width, height; juce::Point<int> artwork; bool isBadge; };
    const Picture pictures[] = {
        { "logo", BinaryData::logo_png, BinaryData::logo_pngSize, 175, 51, { 87, 39 }, false }, // the accent bar
        { "DOLMAR badge", BinaryData::badgedolmar_png, BinaryData::badgedolmar_pngSize, 165, 54, { 6, 27 }, true },
        { "DOLMET badge", BinaryData::badgedolmet_png, BinaryData::badgedolmet_pngSize, 177, 58, { 6, 29 }, true },
    };
    const juce::Colour panel (0xffc8c8c8);
    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        const auto image = juce::ImageCache::getFromMemory (picture.data, picture.size);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getBounds(), juce::Rectangle<int> (picture.width, picture.height));
        EXPECT_EQ (image.getFormat(), juce::Image::ARGB);

        const auto right = image.getWidth() - 1, bottom = image.getHeight() - 1;
        for (const auto corner : { juce::Point<int> (0, 0), { right, 0 }, { 0, bottom }, { right, bottom } })
            EXPECT_EQ (image.getPixelAt (corner.x, corner.y).getAlpha(), 0) << corner.toString();

        const auto artwork = image.getPixelAt (picture.artwork.x, picture.artwork.y);
        EXPECT_EQ (artwork.getAlpha(), 255);
        EXPECT_TRUE (! picture.isBadge || artwork.getPerceivedBrightness() < panel.getPerceivedBrightness() / 2.0f);
    }
}
