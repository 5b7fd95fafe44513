#include "imaging/Image.h"
#include "imaging/MemFile.h"

#include "BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeBlock {
    void operator()(BYTE* block) const { std::free(block); }
};
using EncodedBytes = std::unique_ptr<BYTE, FreeBlock>;

uint32_t Load32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// An image of the given depth with a recognisable pattern.
void MakePattern(Image& image, int width, int height, int depth)
{
    ASSERT_TRUE(image.Create(width, height, depth, Image::FormatBmp));
    std::vector<RGBQUAD> palette = RampPalette(256);
    image.SetPalette(palette.data(), 256);
    int colours = depth == 24 ? 256 : 1 << depth;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColour(x, y, depth == 24 ? Rgb(BYTE(x * 9), BYTE(y * 13), BYTE(x ^ y))
                                                   : palette[(x + 3 * y) % colours]);
    image.SetPixelsPerMetre(2834, 3780);
}

} // namespace

TEST(BmpEncode, WritesAFileHeaderAndTheWholeDib)
{
    Image image;
    MakePattern(image, 7, 3, 8);
    BYTE* raw = nullptr;
    int32_t size = 0;
    ASSERT_TRUE(image.Encode(raw, size, Image::FormatBmp));
    EncodedBytes bytes(raw);
    uint32_t dibSize = 40 + 1024 + image.GetImageSize();
    ASSERT_EQ(static_cast<int32_t>(14 + dibSize), size);
    EXPECT_EQ('B', raw[0]);
    EXPECT_EQ('M', raw[1]);
    EXPECT_EQ(static_cast<uint32_t>(size), Load32(raw + 2));
    EXPECT_EQ(0u, Load32(raw + 6)) << "reserved words";
    EXPECT_EQ(14u + 40 + 1024, Load32(raw + 10));
    EXPECT_EQ(0, std::memcmp(raw + 14, image.GetDib(), dibSize));
    EXPECT_EQ(2834u, Load32(raw + 14 + 24));
}

TEST(BmpEncode, RoundTripsEveryDepth)
{
    for (int depth : {1, 4, 8, 24}) {
        SCOPED_TRACE(depth);
        Image image;
        MakePattern(image, 13, 5, depth);
        ASSERT_TRUE(image.AlphaCreate());
        BYTE* raw = nullptr;
        int32_t size = 0;
        ASSERT_TRUE(image.Encode(raw, size, Image::FormatBmp));
        EncodedBytes bytes(raw);
        Image decoded;
        ASSERT_TRUE(decoded.Decode(raw, size, Image::FormatUnknown));
        ASSERT_EQ(image.GetBpp(), decoded.GetBpp());
        EXPECT_EQ(0, std::memcmp(image.GetDib(), decoded.GetDib(), 40 + image.GetColourCount() * 4 + image.GetImageSize()));
        EXPECT_EQ(72, decoded.GetXDpi());
        EXPECT_FALSE(decoded.HasAlpha()) << "no alpha plane is written";
    }
}

TEST(BmpEncode, SixteenBitSourcesComeBackAsTwentyFourBits)
{
    uint16_t w = (1 << 10) | (2 << 5) | 3;
    std::vector<BYTE> source = BmpBuilder(1, 1, 16).Pixels({BYTE(w), BYTE(w >> 8), 0, 0}).Build();
    Image first;
    ASSERT_TRUE(first.Decode(source.data(), static_cast<int32_t>(source.size()), Image::FormatBmp));
    MemFile file;
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(first.Encode(file, Image::FormatBmp));
    Image second;
    ASSERT_TRUE(second.Decode(file.GetBuffer(), file.Size(), Image::FormatBmp));
    EXPECT_EQ(24, second.GetBpp());
    EXPECT_TRUE(SameRgb(Rgb(8, 16, 24), second.GetPixelColour(0, 0)));
}

TEST(BmpEncode, RefusesWhatItCannotWrite)
{
    Image image;
    MakePattern(image, 2, 2, 8);
    BYTE existing[1];
    BYTE* buffer = existing;
    int32_t size = 0;
    EXPECT_FALSE(image.Encode(buffer, size, Image::FormatBmp)) << "the caller's buffer must be empty";
    EXPECT_EQ(existing, buffer);

    MemFile file;
    ASSERT_TRUE(file.Open());
    EXPECT_FALSE(image.Encode(file, 2));
    EXPECT_STREQ("Encode: Unknown format", image.GetLastError());
    EXPECT_EQ(0, file.Size());

    Image empty;
    buffer = nullptr;
    EXPECT_FALSE(empty.Encode(buffer, size, Image::FormatBmp)) << "an empty image is no BMP";
    EXPECT_STREQ("Encode: no image", empty.GetLastError());
    EXPECT_EQ(nullptr, buffer);
}
