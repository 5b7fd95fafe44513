#include "imaging/TurnedDrawing.h"

#include "imaging/Image.h"

#include "DcStateCheck.h"
#include "Surface.h"

#include <gtest/gtest.h>

namespace {

// Every pixel of the picture distinct, so a turn that lands one pixel off
// or mirrors instead of turning shows.
COLORREF PatternAt(int x, int y)
{
    return RGB(10 + x * 7, 20 + y * 5, (x * 3 + y) & 0xFF);
}

void PaintPattern(HDC hdc, const RECT& frame)
{
    for (int y = frame.top; y < frame.bottom; ++y)
        for (int x = frame.left; x < frame.right; ++x)
            SetPixelV(hdc, x, y, PatternAt(x - frame.left, y - frame.top));
}

// The same picture as an image turned by the imaging layer.
COLORREF RotatedImagePixel(const Image& image, int x, int y)
{
    const RGBQUAD colour = image.GetPixelColour(x, image.GetHeight() - 1 - y);
    return RGB(colour.rgbRed, colour.rgbGreen, colour.rgbBlue);
}

struct TurnCase {
    QuarterTurn turn;
    double degrees;
    int width, height;  // of the destination
};

const TurnCase kTurns[] = {
    {TurnClockwise, 90, 7, 19},
    {TurnHalf, 180, 19, 7},
    {TurnAnticlockwise, 270, 7, 19},
    {TurnClockwise, 90, 1, 5},
};

TEST(TurnedDrawing, EachTurnEqualsTheImageRotationOfThePicture)
{
    for (const TurnCase& c : kTurns) {
        SCOPED_TRACE(c.degrees);
        const RECT dest = {3, 2, 3 + c.width, 2 + c.height};
        const RECT frame = UnturnedFrame(dest, c.turn);
        Image picture;
        ASSERT_TRUE(picture.Create(frame.right, frame.bottom, 24, Image::FormatUnknown));
        for (int y = 0; y < frame.bottom; ++y)
            for (int x = 0; x < frame.right; ++x) {
                const COLORREF colour = PatternAt(x, y);
                picture.SetPixelColour(x, frame.bottom - 1 - y,
                                       RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0});
            }
        ASSERT_TRUE(picture.Rotate(c.degrees));
        ASSERT_EQ(picture.GetWidth(), c.width);
        ASSERT_EQ(picture.GetHeight(), c.height);

        Surface target(30, 30, RGB(1, 1, 1));
        const DcState before(target.Dc());
        ASSERT_TRUE(DrawTurned(target.Dc(), dest, c.turn, PaintPattern));
        EXPECT_TRUE(before.Unchanged(target.Dc()));
        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                wrong += target.At(dest.left + x, dest.top + y) != RotatedImagePixel(picture, x, y);
        EXPECT_EQ(wrong, 0);
        // Nothing outside the destination.
        EXPECT_EQ(target.Count(0, 0, 30, 30, RGB(1, 1, 1)), 900 - c.width * c.height);
    }
}

TEST(TurnedDrawing, ATurnInsideATurnGetsSurfacesOfItsOwn)
{
    Surface target(20, 20, RGB(1, 1, 1));
    const RECT outer = {0, 0, 4, 10};
    const RECT inner = {10, 0, 14, 10};
    DrawTurned(target.Dc(), outer, TurnClockwise, [&](HDC hdc, const RECT& frame) {
        PaintPattern(hdc, frame);
        DrawTurned(target.Dc(), inner, TurnClockwise, PaintPattern);
    });
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.At(x, y), target.At(10 + x, y)) << x << "," << y;
}

}  // namespace
