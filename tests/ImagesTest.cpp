// The pictures compiled into the editor: each must decode, at exactly the
// size the main view lays out, with an alpha channel, and with transparency
// where the panel behind it has to show through.
#include "BinaryData.h"

#include <juce_gui_basics/juce_gui_basics.h>
#include <gtest/gtest.h>

namespace
{
struct Picture
{
    const char* name;
    const char* data;
    int size;
    int width, height;
    juce::Point<int> opaquePoint; // a point drawn in the picture's own colours
};

const Picture pictures[] = {
    { "logo", BinaryData::logo_png, BinaryData::logo_pngSize, 175, 51, { 87, 39 } }, // the accent bar
    { "DOLMAR badge", BinaryData::badgedolmar_png, BinaryData::badgedolmar_pngSize, 165, 54, { 6, 27 } },
    { "DOLMET badge", BinaryData::badgedolmet_png, BinaryData::badgedolmet_pngSize, 177, 58, { 6, 29 } },
};

juce::Image decode (const Picture& picture) { return juce::ImageCache::getFromMemory (picture.data, picture.size); }

TEST (ImagesTest, EveryPictureDecodesAtItsSizeWithAnAlphaChannel)
{
    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        const auto image = decode (picture);
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), picture.width);
        EXPECT_EQ (image.getHeight(), picture.height);
        EXPECT_TRUE (image.hasAlphaChannel());
        EXPECT_EQ (image.getFormat(), juce::Image::ARGB);
    }
}

TEST (ImagesTest, CornersAreTransparentAndTheArtworkIsOpaque)
{
    for (const auto& picture : pictures)
    {
        SCOPED_TRACE (picture.name);
        const auto image = decode (picture);
        ASSERT_TRUE (image.isValid());

        const auto right = image.getWidth() - 1, bottom = image.getHeight() - 1;
        for (const auto corner : { juce::Point<int> (0, 0), { right, 0 }, { 0, bottom }, { right, bottom } })
            EXPECT_EQ (image.getPixelAt (corner.x, corner.y).getAlpha(), 0) << corner.toString();

        EXPECT_EQ (image.getPixelAt (picture.opaquePoint.x, picture.opaquePoint.y).getAlpha(), 255);
    }
}

TEST (ImagesTest, TheBadgesAreDarkPlatesThatStandOutFromTheGreyPanel)
{
    const juce::Colour panel (0xffc8c8c8);
    for (const auto& picture : { pictures[1], pictures[2] })
    {
        SCOPED_TRACE (picture.name);
        const auto plate = decode (picture).getPixelAt (picture.opaquePoint.x, picture.opaquePoint.y);
        EXPECT_LT (plate.getPerceivedBrightness(), panel.getPerceivedBrightness() / 2.0f);
    }
}
} // namespace
