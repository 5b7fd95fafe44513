#include "imaging/Image.h"

#include "imaging/GdiObject.h"

#include "BmpBuilder.h"
#include "GdiPressure.h"

#include <gtest/gtest.h>

namespace {

void MakeGradient(Image& image)
{
    ASSERT_TRUE(image.Create(9, 4, 24, Image::FormatBmp));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            image.SetPixelColour(x, y, Rgb(BYTE(x * 20), BYTE(y * 50), 7));
}

// The bitmap's pixels as 24-bit bottom-up rows, read back through GDI.
std::vector<BYTE> ReadBack(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<BYTE> bits(RowBytes(width, 24) * height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(height, rows);
    return bits;
}

} // namespace

TEST(ImageDevice, MakeBitmapKeepsThePixelsWithAndWithoutADC)
{
    Image image;
    MakeGradient(image);
    std::vector<BYTE> expected(image.GetBits(0), image.GetBits(0) + image.GetImageSize());
    HDC screen = GetDC(nullptr);
    const Bitmap device = image.MakeBitmap(screen);
    ReleaseDC(nullptr, screen);
    const Bitmap section = image.MakeBitmap(nullptr);
    ASSERT_NE(nullptr, device);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ(expected, ReadBack(device, 9, 4));
    EXPECT_EQ(expected, ReadBack(section, 9, 4));

    Image empty;
    EXPECT_FALSE(empty.MakeBitmap(nullptr));
}

TEST(ImageDevice, MakeBitmapLeavesNoHandleBehind)
{
    Image image;
    MakeGradient(image);
    GdiPressure pressure;
    for (int i = 0; i < 1000; ++i) {
        const Bitmap bitmap = image.MakeBitmap(nullptr);
        ASSERT_TRUE(bitmap) << "iteration " << i;
    }
}
