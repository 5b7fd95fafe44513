#include "imaging/Image.h"

#include "BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A 4 x 3 palette image whose pixel (x, y) holds index x + 4 * y (bottom-up).
void MakeNumbered8(Image& image)
{
    ASSERT_NE(nullptr, image.Create(4, 3, 8, Image::FormatBmp));
    std::vector<RGBQUAD> palette = RampPalette(256);
    image.SetPalette(palette.data(), 256);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.SetPixelIndex(x, y, static_cast<BYTE>(x + 4 * y));
}

// A 24-bit image whose pixel (x, y) has red x, green y, blue 100.
void MakeCoordinates24(Image& image, int width, int height)
{
    ASSERT_NE(nullptr, image.Create(width, height, 24, Image::FormatBmp));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColour(x, y, Rgb(static_cast<BYTE>(x), static_cast<BYTE>(y), 100));
}

} // namespace

TEST(Image, NewImageHasTheDocumentedDefaults)
{
    Image image(Image::FormatBmp);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(Image::FormatBmp, image.GetFormatType());
    EXPECT_EQ(40u, image.GetHeader().biSize);
    EXPECT_EQ(3780, image.GetHeader().biXPelsPerMeter);
    EXPECT_EQ(3780, image.GetHeader().biYPelsPerMeter);
    EXPECT_EQ(96, image.GetXDpi());
    EXPECT_EQ(96, image.GetYDpi());
    EXPECT_EQ(-1, image.GetTransparentIndex());
    EXPECT_EQ(255, image.GetAlphaMax());
    EXPECT_TRUE(image.IsEnabled());
    EXPECT_FALSE(image.IsPaletteAlpha());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_STREQ("", image.GetLastError());
    EXPECT_EQ(nullptr, image.GetBits());
    EXPECT_EQ(nullptr, image.GetPalette());
}

TEST(Image, CreateNormalisesTheDepthAndLaysOutTheBlock)
{
    struct Case {
        int requested, depth, colours, stride;
    } cases[] = {
        {0, 1, 2, 4}, {1, 1, 2, 4}, {2, 4, 16, 8}, {4, 4, 16, 8}, {5, 8, 256, 16},
        {8, 8, 256, 16}, {9, 24, 0, 40}, {16, 24, 0, 40}, {32, 24, 0, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.requested);
        Image image;
        const BYTE* dib = image.Create(13, 5, c.requested, Image::FormatBmp);
        ASSERT_NE(nullptr, dib);
        EXPECT_EQ(c.depth, image.GetBpp());
        EXPECT_EQ(c.colours, image.GetColourCount());
        EXPECT_EQ(c.stride, image.GetRowStride());
        EXPECT_EQ(static_cast<uint32_t>(c.stride * 5), image.GetImageSize());
        // The block starts with the header; palette and pixels are zero.
        BITMAPINFOHEADER stored;
        std::memcpy(&stored, dib, sizeof(stored));
        EXPECT_EQ(13, stored.biWidth);
        EXPECT_EQ(5, stored.biHeight);
        EXPECT_EQ(1, stored.biPlanes);
        EXPECT_EQ(c.depth, stored.biBitCount);
        size_t body = c.colours * 4 + c.stride * 5;
        for (size_t i = 0; i < body; ++i)
            ASSERT_EQ(0, dib[40 + i]) << "byte " << i;
        EXPECT_EQ(dib + 40 + c.colours * 4, image.GetBits(0));
        EXPECT_EQ(dib + 40 + c.colours * 4 + c.stride * 4, image.GetBits(4));
        EXPECT_EQ(nullptr, image.GetBits(5));
    }
}

TEST(Image, CreateRefusesSizesThatCannotBeRepresented)
{
    Image image;
    EXPECT_EQ(nullptr, image.Create(0, 5, 8, 1));
    EXPECT_EQ(nullptr, image.Create(5, 0, 8, 1));
    EXPECT_EQ(nullptr, image.Create(-5, 5, 8, 1));
    EXPECT_EQ(nullptr, image.Create(5, -5, 8, 1));
    EXPECT_EQ(nullptr, image.Create(INT32_MAX, INT32_MAX, 24, 1));
    EXPECT_FALSE(image.IsValid());
    // The DIB block must fit 2^31 - 1 bytes with header and palette.
    EXPECT_TRUE(Image::IsRepresentable(46340, 46340, 8));
    EXPECT_FALSE(Image::IsRepresentable(65536, 32768, 8));
    EXPECT_FALSE(Image::IsRepresentable(1 << 30, 2, 24));
    // One-bit rows are small, but the alpha plane takes a byte per pixel.
    EXPECT_FALSE(Image::IsRepresentable(65536, 65536, 1));
    EXPECT_TRUE(Image::IsRepresentable(1, 1, 32));
}

TEST(Image, PackedIndexesFollowTheDibBitOrder)
{
    Image one;
    ASSERT_TRUE(one.Create(10, 1, 1, 1));
    one.SetPixelIndex(0, 0, 1);
    one.SetPixelIndex(9, 0, 1);
    EXPECT_EQ(0x80, one.GetBits(0)[0]) << "bit 7 holds x = 0";
    EXPECT_EQ(0x40, one.GetBits(0)[1]);
    one.SetPixelIndex(0, 0, 0);
    EXPECT_EQ(0x00, one.GetBits(0)[0]);
    EXPECT_EQ(1, one.GetPixelIndex(9, 0));

    Image four;
    ASSERT_TRUE(four.Create(3, 1, 4, 1));
    four.SetPixelIndex(0, 0, 0xA);
    four.SetPixelIndex(1, 0, 0x5);
    four.SetPixelIndex(2, 0, 0xFF);
    EXPECT_EQ(0xA5, four.GetBits(0)[0]) << "the high nibble holds the even x";
    EXPECT_EQ(0xF0, four.GetBits(0)[1]);
    EXPECT_EQ(0x5, four.GetPixelIndex(1, 0));
    EXPECT_EQ(0xF, four.GetPixelIndex(2, 0));

    Image eight;
    MakeNumbered8(eight);
    EXPECT_EQ(6, eight.GetBits(1)[2]);
    EXPECT_EQ(11, eight.GetPixelIndex(3, 2));
}

TEST(Image, ReadsOutsideTheImageGiveTheKeyOrTheFirstPixel)
{
    Image image;
    MakeNumbered8(image);
    EXPECT_EQ(0, image.GetPixelIndex(-1, 0));
    image.SetTransparentIndex(7);
    EXPECT_EQ(7, image.GetPixelIndex(4, 0));
    EXPECT_TRUE(SameRgb(image.GetPaletteColour(7), image.GetPixelColour(0, 3)));
    image.SetPixelIndex(-1, 0, 99); // ignored
    image.SetTransparentIndex(-1);
    image.SetPixelIndex(0, 0, 42);
    EXPECT_TRUE(SameRgb(image.GetPaletteColour(42), image.GetPixelColour(100, 100)));

    Image rgb;
    MakeCoordinates24(rgb, 3, 3);
    EXPECT_EQ(0, rgb.GetPixelIndex(1, 1)) << "no palette, no index";
    EXPECT_TRUE(SameRgb(Rgb(0, 0, 100), rgb.GetPixelColour(-1, -1)));
    rgb.SetTransparentIndex(0);
    rgb.SetTransparentColour(Rgb(1, 2, 3));
    EXPECT_TRUE(SameRgb(Rgb(1, 2, 3), rgb.GetPixelColour(3, 0)));
}

TEST(Image, TwentyFourBitColoursCarryTheKeyReservedByteOrTheAlpha)
{
    Image image;
    MakeCoordinates24(image, 4, 2);
    RGBQUAD key = Rgb(9, 9, 9);
    key.rgbReserved = 0x33;
    image.SetTransparentColour(key);
    RGBQUAD pixel = image.GetPixelColour(3, 1);
    EXPECT_TRUE(SameRgb(Rgb(3, 1, 100), pixel));
    EXPECT_EQ(0x33, pixel.rgbReserved);

    ASSERT_TRUE(image.AlphaCreate());
    RGBQUAD translucent = Rgb(200, 201, 202);
    translucent.rgbReserved = 77;
    image.SetPixelColour(2, 0, translucent, true);
    EXPECT_EQ(77, image.GetPixelColour(2, 0).rgbReserved);
    EXPECT_EQ(0, image.GetPixelColour(1, 0).rgbReserved) << "alpha plane starts cleared";
    image.SetPixelColour(1, 0, translucent, false);
    EXPECT_EQ(0, image.AlphaGet(1, 0)) << "alpha is only set when asked";
    EXPECT_TRUE(SameRgb(translucent, image.GetPixelColour(1, 0)));
    image.SetPixelColour(4, 0, translucent, true); // outside: nothing
}

TEST(Image, PaletteAccessIsBoundedByTheColourCount)
{
    Image image;
    ASSERT_TRUE(image.Create(2, 2, 4, 1));
    std::vector<RGBQUAD> many = RampPalette(40);
    image.SetPalette(many.data(), 40); // only 16 fit
    EXPECT_TRUE(SameRgb(many[15], image.GetPaletteColour(15)));
    RGBQUAD none = image.GetPaletteColour(16);
    EXPECT_EQ(0, none.rgbRed + none.rgbGreen + none.rgbBlue + none.rgbReserved);
    none = image.GetPaletteColour(-1);
    EXPECT_EQ(0, none.rgbRed + none.rgbGreen + none.rgbBlue + none.rgbReserved);
    image.SetPixelColour(1, 1, many[9]);
    EXPECT_EQ(9, image.GetPixelIndex(1, 1)) << "palette images store the nearest index";
}

TEST(Image, ClosestIndexPrefersExactThenFirstOfEquallyNear)
{
    Image image;
    ASSERT_TRUE(image.Create(1, 1, 4, 1));
    std::vector<RGBQUAD> palette(16, Rgb(255, 255, 255));
    palette[2] = Rgb(10, 10, 10);
    palette[3] = Rgb(30, 10, 10);
    palette[5] = Rgb(50, 50, 50);
    palette[6] = Rgb(50, 50, 50);
    image.SetPalette(palette.data(), 16);
    EXPECT_EQ(5, image.GetClosestIndex(Rgb(50, 50, 50))) << "an exact colour gives its first index";
    EXPECT_EQ(2, image.GetClosestIndex(Rgb(20, 10, 10))) << "a tie between 2 and 3 gives the lower index";
    EXPECT_EQ(0, image.GetClosestIndex(Rgb(250, 250, 250))) << "index 0 (white) wins the tie with 1, 4, 7...";
    // The one-entry cache must not outlive a palette change.
    EXPECT_EQ(2, image.GetClosestIndex(Rgb(12, 10, 10)));
    palette[0] = Rgb(12, 10, 10);
    image.SetPalette(palette.data(), 16);
    EXPECT_EQ(0, image.GetClosestIndex(Rgb(12, 10, 10)));

    Image rgb;
    ASSERT_TRUE(rgb.Create(1, 1, 24, 1));
    EXPECT_EQ(0, rgb.GetClosestIndex(Rgb(1, 2, 3)));
}

TEST(Image, AlphaPlaneAccessAndFlip)
{
    Image image;
    EXPECT_FALSE(image.AlphaCreate()) << "no plane without pixels";
    ASSERT_TRUE(image.Create(3, 2, 24, 1));
    EXPECT_EQ(0, image.AlphaGet(0, 0));
    image.AlphaSet(0, 0, 5); // no plane: nothing
    ASSERT_TRUE(image.AlphaCreate());
    image.AlphaSet(0, 0, 10);
    image.AlphaSet(2, 1, 20);
    image.AlphaSet(3, 1, 30); // outside
    EXPECT_EQ(20, image.GetAlphaPlane()[5]) << "x + y * width, no padding";
    ASSERT_TRUE(image.AlphaFlip());
    EXPECT_EQ(10, image.AlphaGet(0, 1));
    EXPECT_EQ(20, image.AlphaGet(2, 0));
    image.AlphaClear();
    EXPECT_EQ(0, image.AlphaGet(2, 0));
    image.AlphaDelete();
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_FALSE(image.AlphaFlip());
    // A new image drops the old plane.
    ASSERT_TRUE(image.AlphaCreate());
    ASSERT_TRUE(image.Create(3, 2, 24, 1));
    EXPECT_FALSE(image.HasAlpha());
}

TEST(Image, CopiesTakeFieldsAlwaysAndBuffersOnRequest)
{
    Image source;
    MakeNumbered8(source);
    source.SetTransparentIndex(3);
    source.SetAlphaMax(100);
    source.SetEnabled(false);
    ASSERT_TRUE(source.AlphaCreate());
    source.AlphaSet(1, 1, 50);
    ASSERT_TRUE(source.SelectionCreate());
    source.SelectionSet(2, 2, 60);

    Image full(source, true, true, true);
    EXPECT_EQ(0, std::memcmp(source.GetDib(), full.GetDib(), 40 + 1024 + source.GetImageSize()));
    EXPECT_EQ(3, full.GetTransparentIndex());
    EXPECT_EQ(100, full.GetAlphaMax());
    EXPECT_FALSE(full.IsEnabled());
    EXPECT_EQ(50, full.AlphaGet(1, 1));
    EXPECT_EQ(60, full.SelectionGet(2, 2));

    Image paletteOnly(source, false, false, false);
    EXPECT_TRUE(SameRgb(source.GetPaletteColour(200), paletteOnly.GetPaletteColour(200)));
    EXPECT_EQ(0, paletteOnly.GetPixelIndex(3, 2)) << "pixels are not copied";
    EXPECT_FALSE(paletteOnly.HasAlpha());
    EXPECT_FALSE(paletteOnly.HasSelection());

    Image empty;
    Image copyOfEmpty(empty, true, true, true);
    EXPECT_FALSE(copyOfEmpty.IsValid());
}

TEST(Image, TransferMovesEverythingAndEmptiesTheSource)
{
    Image source;
    MakeNumbered8(source);
    ASSERT_TRUE(source.AlphaCreate());
    source.SetTransparentIndex(4);
    const BYTE* dib = source.GetDib();
    Image target;
    MakeCoordinates24(target, 2, 2);
    target.Transfer(source);
    EXPECT_EQ(dib, target.GetDib()) << "buffers move, they are not copied";
    EXPECT_EQ(4, target.GetWidth());
    EXPECT_EQ(8, target.GetBpp());
    EXPECT_EQ(4, target.GetTransparentIndex());
    EXPECT_TRUE(target.HasAlpha());
    EXPECT_FALSE(source.IsValid());
    EXPECT_FALSE(source.HasAlpha());
    EXPECT_EQ(0, source.GetWidth());
    target.Transfer(target);
    EXPECT_TRUE(target.IsValid()) << "a transfer into itself changes nothing";
}

TEST(Image, CropClampsOrdersAndCountsRowsFromTheTop)
{
    Image source;
    MakeNumbered8(source); // rows from the top: 8..11, 4..7, 0..3
    source.SetTransparentIndex(2);
    ASSERT_TRUE(source.AlphaCreate());
    Image part;
    ASSERT_TRUE(source.Crop(3, 2, 1, 0, &part)) << "reversed pairs are swapped";
    ASSERT_EQ(2, part.GetWidth());
    ASSERT_EQ(2, part.GetHeight());
    EXPECT_EQ(9, part.GetPixelIndex(0, 1)) << "top-left of the crop is row 0 from the top";
    EXPECT_EQ(6, part.GetPixelIndex(1, 0));
    EXPECT_EQ(2, part.GetTransparentIndex());
    EXPECT_TRUE(SameRgb(source.GetPaletteColour(77), part.GetPaletteColour(77)));
    EXPECT_FALSE(part.HasAlpha()) << "the alpha plane is not carried over";

    ASSERT_TRUE(source.Crop(-5, -5, 100, 1, &part));
    EXPECT_EQ(4, part.GetWidth());
    EXPECT_EQ(1, part.GetHeight());
    EXPECT_EQ(8, part.GetPixelIndex(0, 0));

    EXPECT_FALSE(source.Crop(2, 0, 2, 3, &part)) << "an empty width fails";
    EXPECT_FALSE(source.Crop(0, 5, 4, 9, &part)) << "both rows clamp to the bottom edge";
    EXPECT_EQ(4, part.GetWidth()) << "a failed crop leaves dest unchanged";

    ASSERT_TRUE(source.Crop(1, 1, 2, 2, nullptr));
    EXPECT_EQ(1, source.GetWidth());
    EXPECT_EQ(5, source.GetPixelIndex(0, 0)) << "without dest the image itself is replaced";
}

TEST(Image, CropCopiesEveryDepth)
{
    for (int depth : {1, 4, 8, 24}) {
        SCOPED_TRACE(depth);
        Image source;
        ASSERT_TRUE(source.Create(19, 7, depth, 1));
        std::vector<RGBQUAD> palette = RampPalette(256);
        source.SetPalette(palette.data(), 256);
        int colours = depth == 24 ? 256 : 1 << depth;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 19; ++x)
                source.SetPixelColour(x, y, palette[(x * 3 + y * 5) % colours]);
        const RGBQUAD key = {9, 8, 7, 0};
        source.SetTransparentIndex(0);
        source.SetTransparentColour(key);
        Image part;
        ASSERT_TRUE(source.Crop(5, 2, 17, 6, &part));
        ASSERT_EQ(12, part.GetWidth());
        ASSERT_EQ(4, part.GetHeight());
        EXPECT_EQ(0, part.GetTransparentIndex());
        EXPECT_TRUE(SameRgb(source.GetTransparentColour(), part.GetTransparentColour())) << "the key goes along";
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 12; ++x)
                ASSERT_TRUE(SameRgb(source.GetPixelColour(5 + x, 1 + y), part.GetPixelColour(x, y))) << x << "," << y;
    }
}

TEST(Image, QuarterTurnsMoveEdgesWhereTheyBelong)
{
    Image source;
    MakeCoordinates24(source, 5, 3);
    ASSERT_TRUE(source.AlphaCreate());
    source.AlphaSet(0, 0, 99);
    Image turned;
    ASSERT_TRUE(source.Rotate(90, &turned));
    ASSERT_EQ(3, turned.GetWidth());
    ASSERT_EQ(5, turned.GetHeight());
    // Clockwise: the source's left column, bottom to top, becomes the top
    // row, left to right.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(SameRgb(source.GetPixelColour(0, i), turned.GetPixelColour(i, 4))) << i;
    // ... and its bottom row, left to right, the left column top to bottom.
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(SameRgb(source.GetPixelColour(i, 0), turned.GetPixelColour(0, 4 - i))) << i;
    EXPECT_EQ(99, turned.AlphaGet(0, 4)) << "alpha goes with its pixel";

    ASSERT_TRUE(source.Rotate(270, &turned));
    ASSERT_EQ(3, turned.GetWidth());
    ASSERT_EQ(5, turned.GetHeight());
    // Anticlockwise: the source's top row becomes the left column with its
    // right end at the top.
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(SameRgb(source.GetPixelColour(i, 2), turned.GetPixelColour(0, i))) << i;
    EXPECT_EQ(99, turned.AlphaGet(2, 0));

    Image back;
    ASSERT_TRUE(turned.Rotate(90, &back));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            ASSERT_TRUE(SameRgb(source.GetPixelColour(x, y), back.GetPixelColour(x, y))) << x << "," << y;
}

TEST(Image, RotateKeepsPaletteIndexesAndWorksInPlace)
{
    Image image;
    MakeNumbered8(image);
    ASSERT_TRUE(image.Rotate(270));
    ASSERT_EQ(3, image.GetWidth());
    ASSERT_EQ(4, image.GetHeight());
    EXPECT_EQ(8, image.GetPixelIndex(0, 0)) << "source top-left ends bottom-left";
    EXPECT_EQ(11, image.GetPixelIndex(0, 3));
    EXPECT_EQ(3, image.GetPixelIndex(2, 3));
    Image empty;
    EXPECT_FALSE(empty.Rotate(90));
}

TEST(Image, HalfTurnAndFlip)
{
    Image image;
    MakeNumbered8(image);
    ASSERT_TRUE(image.AlphaCreate());
    image.AlphaSet(0, 0, 1);
    Image turned;
    ASSERT_TRUE(image.Rotate180(&turned));
    EXPECT_EQ(11, turned.GetPixelIndex(0, 0));
    EXPECT_EQ(0, turned.GetPixelIndex(3, 2));
    EXPECT_EQ(1, turned.AlphaGet(3, 2));
    EXPECT_EQ(0, image.GetPixelIndex(0, 0)) << "the source stays as it was";

    ASSERT_TRUE(image.Flip());
    EXPECT_EQ(8, image.GetPixelIndex(0, 0));
    EXPECT_EQ(0, image.GetPixelIndex(0, 2));
    EXPECT_EQ(1, image.AlphaGet(0, 2));
    Image empty;
    EXPECT_FALSE(empty.Flip());
    EXPECT_FALSE(empty.Rotate180());
}
