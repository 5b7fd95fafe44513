// The pixel operations the painters rely on: cropping, quarter and half
// turns, flipping.
#include "imaging/Image.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF A = RGB(1, 0, 0), B = RGB(2, 0, 0), C = RGB(3, 0, 0), D = RGB(4, 0, 0), E = RGB(5, 0, 0),
               F = RGB(6, 0, 0);

// A B C
// D E F
void MakeThreeByTwo(Image& image)
{
    MakeFromColours(image, 3, 2, {A, B, C, D, E, F});
}

std::vector<COLORREF> Pixels(const Image& image)
{
    std::vector<COLORREF> pixels;
    for (int row = 0; row < image.GetHeight(); ++row)
        for (int x = 0; x < image.GetWidth(); ++x)
            pixels.push_back(GetTopDown(image, x, row));
    return pixels;
}

}  // namespace

TEST(ImageTurns, QuarterTurnClockwise)
{
    Image image, turned;
    MakeThreeByTwo(image);
    ASSERT_TRUE(image.Rotate(90, &turned));
    ASSERT_EQ(2, turned.GetWidth());
    ASSERT_EQ(3, turned.GetHeight());
    EXPECT_EQ((std::vector<COLORREF>{D, A, E, B, F, C}), Pixels(turned));
}

TEST(ImageTurns, QuarterTurnAnticlockwise)
{
    Image image;
    MakeThreeByTwo(image);
    ASSERT_TRUE(image.Rotate(270));
    ASSERT_EQ(2, image.GetWidth());
    ASSERT_EQ(3, image.GetHeight());
    EXPECT_EQ((std::vector<COLORREF>{C, F, B, E, A, D}), Pixels(image));
}

TEST(ImageTurns, HalfTurnAndFlip)
{
    Image image, turned;
    MakeThreeByTwo(image);
    ASSERT_TRUE(image.Rotate180(&turned));
    EXPECT_EQ((std::vector<COLORREF>{F, E, D, C, B, A}), Pixels(turned));
    ASSERT_TRUE(image.Flip());
    EXPECT_EQ((std::vector<COLORREF>{D, E, F, A, B, C}), Pixels(image));
}

TEST(ImageCrop, ClampsToTheImage)
{
    Image image, piece;
    MakeThreeByTwo(image);
    ASSERT_TRUE(image.Crop(-5, -5, 2, 1, &piece));
    EXPECT_EQ((std::vector<COLORREF>{A, B}), Pixels(piece));
    ASSERT_TRUE(image.Crop(1, 0, 99, 99, &piece));
    EXPECT_EQ((std::vector<COLORREF>{B, C, E, F}), Pixels(piece));
}

TEST(ImageCrop, SwapsReversedCornersAndKeepsTheKey)
{
    Image image, piece;
    MakeThreeByTwo(image);
    KeyOn(image, E);
    ASSERT_TRUE(image.Crop(3, 2, 1, 1, &piece));
    EXPECT_EQ((std::vector<COLORREF>{E, F}), Pixels(piece));
    EXPECT_EQ(0, piece.GetTransparentIndex());
    EXPECT_EQ(GetRValue(E), piece.GetTransparentColour().rgbRed);
}

TEST(ImageCrop, EmptyRectangleFailsAndLeavesTheDestination)
{
    Image image, piece;
    MakeThreeByTwo(image);
    MakeSolid(piece, 1, 1, A);
    EXPECT_FALSE(image.Crop(1, 0, 1, 2, &piece));
    EXPECT_EQ((std::vector<COLORREF>{A}), Pixels(piece));
    ASSERT_TRUE(image.Crop(0, 1, 3, 2));
    EXPECT_EQ((std::vector<COLORREF>{D, E, F}), Pixels(image)) << "null destination crops in place";
}
