#include "imaging/Regions.h"

#include "Surface.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kInk = RGB(10, 120, 200);

bool operator==(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

std::vector<RECT> RunsOf(const std::vector<uint32_t>& row, uint32_t key)
{
    std::vector<RECT> runs;
    AppendOpaqueRuns(row.data(), static_cast<int>(row.size()), 7, key, 0xFFFFFF, runs);
    return runs;
}

Region RegionOfRects(const std::vector<RECT>& rects)
{
    Region region(CreateRectRgn(0, 0, 0, 0));
    for (const RECT& rect : rects) {
        Region piece(CreateRectRgnIndirect(&rect));
        CombineRgn(region, region, piece, RGN_OR);
    }
    return region;
}

Region RegionOfPixels(int width, int height, int bitsPerPixel, const std::vector<COLORREF>& pixels, COLORREF key)
{
    Bitmap bitmap(MakeBitmapOfDepth(width, height, bitsPerPixel, pixels));
    return Region(CreateRegionFromBitmap(bitmap, key));
}

// A pattern with key pixels at the edges and inside, so that rows break
// into several runs.
std::vector<COLORREF> KeyedPattern(int width, int height, COLORREF key)
{
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height, kInk);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x * 7 + y * 3) % 5 == 0 || x == 0)
                pixels[y * width + x] = key;
    return pixels;
}

}  // namespace

TEST(OpaqueRuns, RowWithoutKeyIsOneFullRun)
{
    std::vector<RECT> runs = RunsOf({1, 2, 3, 4}, 0xFF00FF);
    ASSERT_EQ(1u, runs.size());
    EXPECT_TRUE(runs[0] == (RECT{0, 7, 4, 8}));
}

TEST(OpaqueRuns, KeyInTheMiddleSplitsTheRow)
{
    std::vector<RECT> runs = RunsOf({1, 0xFF00FF, 1}, 0xFF00FF);
    ASSERT_EQ(2u, runs.size());
    EXPECT_TRUE(runs[0] == (RECT{0, 7, 1, 8}));
    EXPECT_TRUE(runs[1] == (RECT{2, 7, 3, 8}));
}

TEST(OpaqueRuns, MaskLimitsTheComparedBits)
{
    std::vector<uint32_t> row = {0x0F0F0F, 0x080808};
    std::vector<RECT> runs;
    AppendOpaqueRuns(row.data(), 2, 0, 0x0F0F0F, 0xF8F8F8, runs);
    EXPECT_TRUE(runs.empty());
}

TEST(RegionFromBitmap, AllKeyBitmapGivesEmptyRegion)
{
    Region region = RegionOfPixels(5, 4, 24, std::vector<COLORREF>(20, kKey), kKey);
    ASSERT_TRUE(region);
    RECT box;
    EXPECT_EQ(NULLREGION, GetRgnBox(region, &box));
}

TEST(RegionFromBitmap, BitmapWithoutKeyCoversItsRectangle)
{
    Region region = RegionOfPixels(6, 3, 32, std::vector<COLORREF>(18, kInk), kKey);
    Region full(CreateRectRgn(0, 0, 6, 3));
    EXPECT_TRUE(EqualRgn(region, full));
}

TEST(RegionFromBitmap, ThreePixelRowKeepsOuterPixels)
{
    Region region = RegionOfPixels(3, 1, 24, {kInk, kKey, kInk}, kKey);
    std::vector<RECT> rects = RegionRects(region);
    ASSERT_EQ(2u, rects.size());
    EXPECT_TRUE(rects[0] == (RECT{0, 0, 1, 1}));
    EXPECT_TRUE(rects[1] == (RECT{2, 0, 3, 1}));
}

TEST(RegionFromBitmap, CheckerboardRowGivesOneRectanglePerOpaquePixel)
{
    std::vector<COLORREF> pixels(200);
    std::vector<RECT> expected;
    for (int x = 0; x < 200; ++x) {
        pixels[x] = x % 2 ? kKey : kInk;
        if (x % 2 == 0)
            expected.push_back(RECT{x, 0, x + 1, 1});
    }
    Region region = RegionOfPixels(200, 1, 24, pixels, kKey);
    std::vector<RECT> rects = RegionRects(region);
    ASSERT_EQ(100u, rects.size());
    for (size_t i = 0; i < rects.size(); ++i)
        EXPECT_TRUE(rects[i] == expected[i]) << "rectangle " << i;
}

TEST(RegionFromBitmap, AllDepthsAgreeForTheDefaultKey)
{
    const int width = 13, height = 9;
    std::vector<COLORREF> pixels = KeyedPattern(width, height, kKey);
    Region reference = RegionOfPixels(width, height, 32, pixels, kKey);
    RECT box;
    ASSERT_EQ(COMPLEXREGION, GetRgnBox(reference, &box));
    for (int depth : {8, 16, 24}) {
        Region region = RegionOfPixels(width, height, depth, pixels, kKey);
        EXPECT_TRUE(EqualRgn(reference, region)) << depth << " bits per pixel";
    }
}

TEST(RegionFromBitmap, KeyChannelsAreMatchedByName)
{
    // Pure red as key: blue pixels must stay opaque.
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    Region region = RegionOfPixels(2, 1, 24, {red, blue}, red);
    Region expected(CreateRectRgn(1, 0, 2, 1));
    EXPECT_TRUE(EqualRgn(region, expected));
}

TEST(RegionFromBitmap, SixteenBitKeyMatchesItsStoredApproximation)
{
    const COLORREF key = RGB(13, 201, 77);
    std::vector<COLORREF> pixels = KeyedPattern(8, 4, key);
    Region reference = RegionOfPixels(8, 4, 24, pixels, key);
    Region region = RegionOfPixels(8, 4, 16, pixels, key);
    EXPECT_TRUE(EqualRgn(reference, region));
}

TEST(RegionFromBitmap, TallBitmapIsReadWholeAcrossBands)
{
    const int width = 300, height = 200;
    std::vector<COLORREF> pixels(static_cast<size_t>(width) * height, kKey);
    std::vector<RECT> diagonal;
    for (int y = 0; y < height; ++y) {
        pixels[y * width + y] = kInk;
        diagonal.push_back(RECT{y, y, y + 1, y + 1});
    }
    Region region = RegionOfPixels(width, height, 32, pixels, kKey);
    Region expected = RegionOfRects(diagonal);
    EXPECT_TRUE(EqualRgn(expected, region));
}

TEST(RegionFromBitmap, NullBitmapGivesNoRegion)
{
    EXPECT_EQ(nullptr, CreateRegionFromBitmap(nullptr, kKey));
}

TEST(TileRegion, CopiesEveryCellAndCutsAtTheRectangle)
{
    Region cell(CreateRectRgn(0, 0, 8, 8));
    Region tiled(TileRegion(cell, 10, 10, 0, 0, 25, 15));
    Region expected = RegionOfRects({{0, 0, 8, 8}, {10, 0, 18, 8}, {20, 0, 25, 8},
                                     {0, 10, 8, 15}, {10, 10, 18, 15}, {20, 10, 25, 15}});
    EXPECT_TRUE(EqualRgn(expected, tiled));
    RECT box;
    GetRgnBox(cell, &box);
    EXPECT_TRUE(box == (RECT{0, 0, 8, 8})) << "source region unchanged";
}

TEST(TileRegion, StartsAtTheRectanglesCorner)
{
    Region cell(CreateRectRgn(0, 0, 2, 2));
    Region tiled(TileRegion(cell, 5, 5, 3, 4, 9, 9));
    Region expected = RegionOfRects({{3, 4, 5, 6}, {8, 4, 9, 6}});
    EXPECT_TRUE(EqualRgn(expected, tiled));
}

TEST(TileRegion, ZeroCellSizeGivesOneCopy)
{
    Region cell(CreateRectRgn(0, 0, 4, 4));
    Region tiled(TileRegion(cell, 0, 10, 1, 1, 100, 100));
    Region expected(CreateRectRgn(1, 1, 5, 5));
    EXPECT_TRUE(EqualRgn(expected, tiled));
}

TEST(ScaleRegion, ScalesAboutTheOriginThenMoves)
{
    Region source(CreateRectRgn(1, 1, 3, 2));
    Region scaled(ScaleRegion(source, 2.0f, 3.0f, 5, 7));
    ASSERT_TRUE(scaled);
    RECT box;
    GetRgnBox(scaled, &box);
    EXPECT_TRUE(box == (RECT{7, 10, 11, 13}));
    GetRgnBox(source, &box);
    EXPECT_TRUE(box == (RECT{1, 1, 3, 2})) << "source region unchanged";
}

TEST(ScaleRegion, KeepsTheShapeOfComplexRegions)
{
    Region source = RegionOfRects({{0, 0, 1, 1}, {2, 0, 3, 1}});
    Region scaled(ScaleRegion(source, 2.0f, 2.0f, 0, 0));
    Region expected = RegionOfRects({{0, 0, 2, 2}, {4, 0, 6, 2}});
    EXPECT_TRUE(EqualRgn(expected, scaled));
}

TEST(ScaleRegion, InvalidRegionGivesNull)
{
    EXPECT_EQ(nullptr, ScaleRegion(nullptr, 1.0f, 1.0f, 0, 0));
}
