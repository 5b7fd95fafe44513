#include "imaging/Image.h"
#include "imaging/MemFile.h"

#include "BmpBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool DecodeBytes(Image& image, const std::vector<BYTE>& bytes, int32_t format = Image::FormatBmp)
{
    return image.Decode(bytes.data(), static_cast<int32_t>(bytes.size()), format);
}

// Pixel rows of an 8-bit image whose pixel (x, y) is x + 10 * y (bottom-up).
std::vector<BYTE> NumberedRows8(int width, int height)
{
    std::vector<BYTE> rows(RowBytes(width, 8) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y * RowBytes(width, 8) + x] = static_cast<BYTE>(x + 10 * y);
    return rows;
}

void ExpectNumbered8(const Image& image, int width, int height)
{
    ASSERT_TRUE(image.IsValid());
    ASSERT_EQ(width, image.GetWidth());
    ASSERT_EQ(height, image.GetHeight());
    ASSERT_EQ(8, image.GetBpp());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(x + 10 * y, image.GetPixelIndex(x, y)) << x << "," << y;
}

std::string DecodeError(const std::vector<BYTE>& bytes)
{
    Image image;
    EXPECT_FALSE(DecodeBytes(image, bytes));
    return image.GetLastError();
}

} // namespace

TEST(BmpDecode, PaletteDepthsReadTheirPackedRows)
{
    // 1 bit: 10 pixels 1010110000, rows padded to 4 bytes.
    Image one;
    ASSERT_TRUE(DecodeBytes(one, BmpBuilder(10, 1, 1).Palette({Rgb(0, 0, 0), Rgb(255, 255, 255)})
                                     .Pixels({0xAC, 0x00, 0, 0}).Build()));
    EXPECT_EQ(1, one.GetBpp());
    const int bits[10] = {1, 0, 1, 0, 1, 1, 0, 0, 0, 0};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(bits[x], one.GetPixelIndex(x, 0)) << x;
    EXPECT_TRUE(SameRgb(Rgb(255, 255, 255), one.GetPixelColour(0, 0)));

    // 4 bit: two rows of three pixels.
    Image four;
    ASSERT_TRUE(DecodeBytes(four, BmpBuilder(3, 2, 4).Palette(RampPalette(16))
                                      .Pixels({0x12, 0x30, 0, 0, 0xAB, 0xC0, 0, 0}).Build()));
    EXPECT_EQ(4, four.GetBpp());
    EXPECT_EQ(0x3, four.GetPixelIndex(2, 0));
    EXPECT_EQ(0xA, four.GetPixelIndex(0, 1));
    EXPECT_TRUE(SameRgb(RampPalette(16)[0xC], four.GetPixelColour(2, 1)));

    Image eight;
    ASSERT_TRUE(DecodeBytes(eight, BmpBuilder(5, 3, 8).Palette(RampPalette(256)).Pixels(NumberedRows8(5, 3)).Build()));
    ExpectNumbered8(eight, 5, 3);
    EXPECT_EQ(Image::FormatBmp, eight.GetFormatType());
}

TEST(BmpDecode, ShortPalettesLeaveTheRestBlack)
{
    // Three entries declared; the pixels follow them directly.
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(5, 3, 8).ColoursUsed(3).Palette(RampPalette(3))
                                       .Pixels(NumberedRows8(5, 3)).Build()));
    ExpectNumbered8(image, 5, 3);
    EXPECT_EQ(256, image.GetColourCount());
    EXPECT_TRUE(SameRgb(RampPalette(3)[2], image.GetPaletteColour(2)));
    EXPECT_TRUE(SameRgb(Rgb(0, 0, 0), image.GetPaletteColour(3)));
}

TEST(BmpDecode, TwentyFourAndThirtyTwoBitsKeepBlueGreenRed)
{
    Image rgb;
    ASSERT_TRUE(DecodeBytes(rgb, BmpBuilder(2, 1, 24).Pixels({1, 2, 3, 4, 5, 6, 0, 0}).Build()));
    EXPECT_EQ(24, rgb.GetBpp());
    EXPECT_TRUE(SameRgb(Rgb(3, 2, 1), rgb.GetPixelColour(0, 0)));
    EXPECT_TRUE(SameRgb(Rgb(6, 5, 4), rgb.GetPixelColour(1, 0)));

    // The fourth byte is dropped; masks, even odd ones, are not applied.
    for (uint32_t compression : {0u, 3u}) {
        BmpBuilder builder(2, 2, 32);
        builder.Compression(compression).Pixels({1, 2, 3, 0xFF, 4, 5, 6, 0x80, 7, 8, 9, 0, 10, 11, 12, 1});
        if (compression == 3)
            builder.Masks(0x000000FF, 0x0000FF00, 0x00FF0000);
        Image image;
        ASSERT_TRUE(DecodeBytes(image, builder.Build())) << compression;
        EXPECT_EQ(24, image.GetBpp());
        EXPECT_FALSE(image.HasAlpha());
        EXPECT_TRUE(SameRgb(Rgb(3, 2, 1), image.GetPixelColour(0, 0)));
        EXPECT_TRUE(SameRgb(Rgb(12, 11, 10), image.GetPixelColour(1, 1)));
    }
}

TEST(BmpDecode, SixteenBitsWidenWithDefaultOrGivenMasks)
{
    // 5-5-5 without masks: red 31, green 16, blue 1 in one pixel.
    uint16_t w = (31 << 10) | (16 << 5) | 1;
    Image plain;
    ASSERT_TRUE(DecodeBytes(plain, BmpBuilder(1, 1, 16).Pixels({BYTE(w), BYTE(w >> 8), 0, 0}).Build()));
    EXPECT_EQ(24, plain.GetBpp());
    EXPECT_TRUE(SameRgb(Rgb(31 << 3, 16 << 3, 1 << 3), plain.GetPixelColour(0, 0)));

    // 5-6-5 with masks: every channel keeps its low bits 0. Three pixels make
    // a padded row.
    uint16_t p0 = 0xFFFF, p1 = (1 << 11) | (1 << 5) | 1, p2 = 0x07E0;
    Image masked;
    ASSERT_TRUE(DecodeBytes(masked, BmpBuilder(3, 1, 16).Compression(3).Masks(0xF800, 0x07E0, 0x001F)
                                        .Pixels({BYTE(p0), BYTE(p0 >> 8), BYTE(p1), BYTE(p1 >> 8), BYTE(p2), BYTE(p2 >> 8), 0, 0})
                                        .Build()));
    EXPECT_TRUE(SameRgb(Rgb(248, 252, 248), masked.GetPixelColour(0, 0)));
    EXPECT_TRUE(SameRgb(Rgb(8, 4, 8), masked.GetPixelColour(1, 0)));
    EXPECT_TRUE(SameRgb(Rgb(0, 252, 0), masked.GetPixelColour(2, 0)));

    // Masks in unusual places still land in their own channel.
    uint16_t q = (3 << 14) | (0x1F << 3) | 1; // red: top 2 bits, green: 5 bits, blue: bit 0
    Image odd;
    ASSERT_TRUE(DecodeBytes(odd, BmpBuilder(1, 1, 16).Compression(3).Masks(0xC000, 0x00F8, 0x0001)
                                     .Pixels({BYTE(q), BYTE(q >> 8), 0, 0}).Build()));
    EXPECT_TRUE(SameRgb(Rgb(0xC0, 0xF8, 0x80), odd.GetPixelColour(0, 0)));
}

TEST(BmpDecode, CoreAndOs2HeadersDecodeLikeTheInfoHeader)
{
    std::vector<RGBQUAD> palette = RampPalette(256);
    std::vector<BYTE> rows = NumberedRows8(6, 4);
    Image reference;
    ASSERT_TRUE(DecodeBytes(reference, BmpBuilder(6, 4, 8).Palette(palette).Pixels(rows).Build()));
    for (uint32_t headerSize : {12u, 64u}) {
        SCOPED_TRACE(headerSize);
        Image image;
        ASSERT_TRUE(DecodeBytes(image, BmpBuilder(6, 4, 8).HeaderSize(headerSize).Palette(palette).Pixels(rows).Build()));
        ExpectNumbered8(image, 6, 4);
        for (int i = 0; i < 256; ++i)
            ASSERT_TRUE(SameRgb(reference.GetPaletteColour(i), image.GetPaletteColour(i))) << i;
        EXPECT_EQ(0, image.GetPaletteColour(255).rgbReserved);
        EXPECT_EQ(40u, image.GetHeader().biSize);
    }
}

TEST(BmpDecode, BareBitmapsStartWithTheInfoHeader)
{
    for (uint32_t headerSize : {12u, 40u, 64u}) {
        SCOPED_TRACE(headerSize);
        Image image;
        ASSERT_TRUE(DecodeBytes(image, BmpBuilder(5, 3, 8).HeaderSize(headerSize).Palette(RampPalette(256))
                                           .Pixels(NumberedRows8(5, 3)).WithoutFileHeader().Build()));
        ExpectNumbered8(image, 5, 3);
    }
    // Bitfield masks and a declared palette of a true-colour bare bitmap are
    // stepped over.
    Image rgb;
    ASSERT_TRUE(DecodeBytes(rgb, BmpBuilder(1, 1, 32).Compression(3).Masks(0xFF0000, 0xFF00, 0xFF).ColoursUsed(2)
                                     .Palette(RampPalette(2)).Pixels({7, 8, 9, 0}).WithoutFileHeader().Build()));
    EXPECT_TRUE(SameRgb(Rgb(9, 8, 7), rgb.GetPixelColour(0, 0)));
}

TEST(BmpDecode, PixelOffsetSkipsAGap)
{
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(5, 3, 8).Palette(RampPalette(256)).Gap(37).Pixels(NumberedRows8(5, 3)).Build()));
    ExpectNumbered8(image, 5, 3);
}

TEST(BmpDecode, NegativeHeightIsATopDownImage)
{
    std::vector<BYTE> bottomUp = NumberedRows8(5, 3);
    std::vector<BYTE> topDown;
    for (int row = 2; row >= 0; --row)
        topDown.insert(topDown.end(), bottomUp.begin() + row * 8, bottomUp.begin() + (row + 1) * 8);
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(5, -3, 8).Palette(RampPalette(256)).Pixels(topDown).Build()));
    ExpectNumbered8(image, 5, 3);
    EXPECT_GT(image.GetHeader().biHeight, 0);
}

TEST(BmpDecode, ResolutionComesFromPixelsPerMetre)
{
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(1, 1, 24).PixelsPerMetre(3780, 2834).Pixels({0, 0, 0, 0}).Build()));
    EXPECT_EQ(96, image.GetXDpi());
    EXPECT_EQ(72, image.GetYDpi());
    EXPECT_EQ(2834, image.GetHeader().biYPelsPerMeter);
}

TEST(BmpDecode, Rle8RunsDeltasAbsoluteRunsAndClipping)
{
    std::vector<BYTE> stream = {
        3, 7,             // row 0: 7 7 7
        0, 3, 1, 2, 9, 0, // absolute run of 3, padded: 1 2 9
        0, 0,             // end of line
        0, 2, 2, 1,       // delta: x 2, y 1 -> (2, 2)
        2, 5,             // 5 5
        0, 0,             // end of line -> row 3, beyond the 3-row image
        4, 6,             // dropped
        0, 1,             // end of bitmap
    };
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(6, 3, 8).Compression(1).Palette(RampPalette(256)).Pixels(stream).Build()));
    const int expected[3][6] = {{7, 7, 7, 1, 2, 9}, {0, 0, 0, 0, 0, 0}, {0, 0, 5, 5, 0, 0}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(expected[y][x], image.GetPixelIndex(x, y)) << x << "," << y;

    // Runs longer than the row and deltas far past the image write nothing
    // outside it.
    std::vector<BYTE> wild = {255, 1, 0, 2, 255, 255, 255, 3, 0, 5, 1, 2, 3, 4, 5, 0, 0, 1};
    Image clipped;
    ASSERT_TRUE(DecodeBytes(clipped, BmpBuilder(4, 2, 8).Compression(1).Palette(RampPalette(256)).Pixels(wild).Build()));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(1, clipped.GetPixelIndex(x, 0));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(0, clipped.GetPixelIndex(x, 1));
}

TEST(BmpDecode, Rle4AlternatesNibbles)
{
    std::vector<BYTE> stream = {
        5, 0x12,          // 1 2 1 2 1
        0, 0,             // end of line
        0, 3, 0xAB, 0xC0, // absolute run of 3 pixels: 2 bytes, no padding
        0, 2, 1, 0,       // delta x 1
        0, 5, 0x34, 0x56, 0x70, 0, // absolute run of 5: 3 bytes, padded
        0, 1,
    };
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(10, 2, 4).Compression(2).Palette(RampPalette(16)).Pixels(stream).Build()));
    const int expected[2][10] = {{1, 2, 1, 2, 1, 0, 0, 0, 0, 0}, {0xA, 0xB, 0xC, 0, 3, 4, 5, 6, 7, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(expected[y][x], image.GetPixelIndex(x, y)) << x << "," << y;

    std::vector<BYTE> wild = {255, 0xFF, 0, 2, 200, 200, 9, 0x11, 0, 1};
    Image clipped;
    ASSERT_TRUE(DecodeBytes(clipped, BmpBuilder(3, 1, 4).Compression(2).Palette(RampPalette(16)).Pixels(wild).Build()));
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(0xF, clipped.GetPixelIndex(x, 0));
}

TEST(BmpDecode, FormatDispatch)
{
    std::vector<BYTE> bmp = BmpBuilder(5, 3, 8).Palette(RampPalette(256)).Pixels(NumberedRows8(5, 3)).Build();
    Image unknown;
    ASSERT_TRUE(DecodeBytes(unknown, bmp, Image::FormatUnknown)) << "format 0 tries BMP";
    EXPECT_EQ(Image::FormatBmp, unknown.GetFormatType());
    ExpectNumbered8(unknown, 5, 3);

    Image image;
    EXPECT_FALSE(DecodeBytes(image, bmp, 2));
    EXPECT_STREQ("Decode: Unknown or wrong format", image.GetLastError());
    std::vector<BYTE> junk(100, 0x11);
    EXPECT_FALSE(DecodeBytes(image, junk, Image::FormatUnknown));
    EXPECT_STREQ("Decode: Unknown or wrong format", image.GetLastError());
}

TEST(BmpDecode, DecodesFromTheFilePositionAndRewindsOnUnknownFormat)
{
    std::vector<BYTE> bytes(7, 0xCC);
    std::vector<BYTE> bmp = BmpBuilder(5, 3, 8).Palette(RampPalette(256)).Pixels(NumberedRows8(5, 3)).Build();
    bytes.insert(bytes.end(), bmp.begin(), bmp.end());
    MemFile file(bytes.data(), static_cast<int32_t>(bytes.size()));
    ASSERT_TRUE(file.Seek(7, MemFile::FromStart));
    Image image;
    ASSERT_TRUE(image.Decode(file, Image::FormatBmp)) << "the pixel offset counts from the start of the BMP";
    ExpectNumbered8(image, 5, 3);

    ASSERT_TRUE(file.Seek(1, MemFile::FromStart));
    EXPECT_FALSE(image.Decode(file, Image::FormatUnknown));
    EXPECT_EQ(1, file.Tell());
}

TEST(BmpDecode, FailureKeepsTheImageAndNamesTheReason)
{
    Image image;
    ASSERT_TRUE(DecodeBytes(image, BmpBuilder(5, 3, 8).Palette(RampPalette(256)).Pixels(NumberedRows8(5, 3)).Build()));
    EXPECT_FALSE(DecodeBytes(image, std::vector<BYTE>(5, 'B')));
    EXPECT_STREQ("Not a BMP", image.GetLastError());
    ExpectNumbered8(image, 5, 3);
}

TEST(BmpDecode, EveryRefusalHasItsMessage)
{
    std::vector<BYTE> rows8 = NumberedRows8(5, 3);
    std::vector<RGBQUAD> palette = RampPalette(256);
    std::vector<BYTE> good = BmpBuilder(5, 3, 8).Palette(palette).Pixels(rows8).Build();

    EXPECT_EQ("Not a BMP", DecodeError(std::vector<BYTE>(good.begin(), good.begin() + 13)));
    EXPECT_EQ("Error reading BMP info", DecodeError(std::vector<BYTE>(good.begin(), good.begin() + 30)));
    EXPECT_EQ("Error reading BMP info", DecodeError(BmpBuilder(5, 3, 8).HeaderSize(108).Palette(palette).Pixels(rows8).Build()));
    EXPECT_EQ("Error reading BMP info", DecodeError(BmpBuilder(5, 3, 8).HeaderSize(16).Palette(palette).Pixels(rows8).Build()));

    for (uint32_t compression : {2u, 3u, 4u})
        EXPECT_EQ("compression type not supported",
                  DecodeError(BmpBuilder(5, 3, 8).Compression(compression).Palette(palette).Pixels(rows8).Build()));
    EXPECT_EQ("compression type not supported",
              DecodeError(BmpBuilder(8, 1, 4).Compression(1).Palette(RampPalette(16)).Pixels({0, 1}).Build()));
    EXPECT_EQ("compression type not supported",
              DecodeError(BmpBuilder(8, 1, 1).Compression(1).Palette(RampPalette(2)).Pixels({0, 1}).Build()));
    EXPECT_EQ("unknown compression", DecodeError(BmpBuilder(1, 1, 24).Compression(1).Pixels({0, 0, 0, 0}).Build()));
    EXPECT_EQ("unknown compression", DecodeError(BmpBuilder(1, 1, 32).Compression(6).Pixels({0, 0, 0, 0}).Build()));
    EXPECT_EQ("unknown compression", DecodeError(BmpBuilder(1, 1, 16).Compression(1).Pixels({0, 0, 0, 0}).Build()));

    EXPECT_EQ("Invalid BMP dimensions", DecodeError(BmpBuilder(0, 3, 24).Pixels({}).Build()));
    EXPECT_EQ("Invalid BMP dimensions", DecodeError(BmpBuilder(-5, 3, 24).Pixels({}).Build()));
    EXPECT_EQ("Invalid BMP dimensions", DecodeError(BmpBuilder(5, 0, 24).Pixels({}).Build()));
    EXPECT_EQ("Invalid BMP dimensions", DecodeError(BmpBuilder(5, INT32_MIN, 24).Pixels({}).Build()));
    EXPECT_EQ("BMP dimensions too large", DecodeError(BmpBuilder(3000000, 2000000, 24).Pixels({}).Build()));
    EXPECT_EQ("BMP dimensions too large", DecodeError(BmpBuilder(65536, -65536, 8).Compression(1).Palette(palette).Pixels({0, 1}).Build()));
    for (uint16_t bitCount : {0, 2, 7, 15, 64})
        EXPECT_EQ("Unsupported BMP bit count", DecodeError(BmpBuilder(1, 1, bitCount).Pixels(std::vector<BYTE>(8, 0)).Build()))
            << bitCount;

    // Uncompressed pixel data must all be there before anything is
    // allocated, so only a compressed image reaches its palette short.
    std::vector<BYTE> bare = BmpBuilder(5, 3, 8).Compression(1).Palette(palette).Pixels({0, 1}).WithoutFileHeader().Build();
    EXPECT_EQ("Truncated BMP palette", DecodeError(std::vector<BYTE>(bare.begin(), bare.begin() + 40 + 500)));
    std::vector<BYTE> bareRows = BmpBuilder(5, 3, 8).Palette(palette).Pixels(rows8).WithoutFileHeader().Build();
    EXPECT_EQ("Truncated BMP pixel data", DecodeError(std::vector<BYTE>(bareRows.begin(), bareRows.begin() + 40 + 500)));
    EXPECT_EQ("Truncated BMP pixel data", DecodeError(std::vector<BYTE>(good.begin(), good.end() - 1)));
    EXPECT_EQ("Truncated BMP pixel data",
              DecodeError(BmpBuilder(4, 1, 8).Compression(1).Palette(palette).Pixels({4, 1, 0}).Build()))
        << "an RLE stream without its end";
}

TEST(BmpDecode, PixelCountIsCappedBeforeAllocation)
{
    // A two-byte RLE stream may describe any size; past 2^26 pixels the
    // header alone is refused.
    std::vector<RGBQUAD> palette = RampPalette(256);
    Image largest;
    ASSERT_TRUE(DecodeBytes(largest, BmpBuilder(8192, 8192, 8).Compression(1).Palette(palette).Pixels({0, 1}).Build()))
        << largest.GetLastError();
    EXPECT_EQ(8192, largest.GetHeight());
    EXPECT_EQ("BMP dimensions too large",
              DecodeError(BmpBuilder(8193, 8192, 8).Compression(1).Palette(palette).Pixels({0, 1}).Build()));
    EXPECT_EQ("BMP dimensions too large",
              DecodeError(BmpBuilder(1, (1 << 26) + 1, 1).Compression(0).Palette(RampPalette(2)).Pixels({}).Build()));
}

TEST(BmpDecode, ShippedSkinBitmapLayout)
{
    // The skin's bitmaps: 8-bit, 256 colours, bottom-up, pixels at 1078.
    std::vector<BYTE> rows(RowBytes(516, 8) * 281, 0x42);
    std::vector<BYTE> bmp = BmpBuilder(516, 281, 8).Palette(RampPalette(256)).Pixels(rows).PixelsPerMetre(2834, 2834).Build();
    ASSERT_EQ(1078u, bmp[10] | (bmp[11] << 8));
    Image image;
    ASSERT_TRUE(DecodeBytes(image, bmp));
    EXPECT_EQ(516, image.GetWidth());
    EXPECT_EQ(281, image.GetHeight());
    EXPECT_EQ(8, image.GetBpp());
    EXPECT_EQ(72, image.GetXDpi());
    EXPECT_EQ(0x42, image.GetPixelIndex(515, 280));
}
