#include "imaging/Image.h"

#include "DcStateCheck.h"
#include "Surface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBack = RGB(100, 100, 100);
const COLORREF kRed = RGB(200, 0, 0);
const COLORREF kGreen = RGB(0, 200, 0);
const COLORREF kBlue = RGB(0, 0, 200);
const COLORREF kWhite = RGB(255, 255, 255);

// 2 x 2: red, green / blue, white.
void MakeQuadrants(Image& image)
{
    MakeFromColours(image, 2, 2, {kRed, kGreen, kBlue, kWhite});
}

int Blend(int source, int destination, int alpha)
{
    return (source * alpha + destination * (255 - alpha)) >> 8;
}

}  // namespace

TEST(ImageDraw, NaturalSizeCopiesTopRowToTop)
{
    Image image;
    MakeQuadrants(image);
    Surface surface(4, 4, kBack);
    const DcState before(surface.Dc());
    EXPECT_EQ(1, image.Draw(surface.Dc(), 1, 1));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kRed, surface.At(1, 1));
    EXPECT_EQ(kGreen, surface.At(2, 1));
    EXPECT_EQ(kBlue, surface.At(1, 2));
    EXPECT_EQ(kWhite, surface.At(2, 2));
    EXPECT_EQ(12, surface.Count(0, 0, 4, 4, kBack));
}

TEST(ImageDraw, StretchingRepeatsEachPixel)
{
    Image image;
    MakeQuadrants(image);
    Surface surface(4, 4, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0, 4, 4);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kRed));
    EXPECT_TRUE(surface.AllAre(2, 0, 4, 2, kGreen));
    EXPECT_TRUE(surface.AllAre(0, 2, 2, 4, kBlue));
    EXPECT_TRUE(surface.AllAre(2, 2, 4, 4, kWhite));
}

TEST(ImageDraw, ShrinkingSamplesFirstColumnsAndLowerRows)
{
    // Columns take floor(u * 2); the row whose lower edge is e takes the
    // source row ceil(e * 2) - 1 counted from the top.
    Image image;
    MakeSolid(image, 4, 4, kBack);
    SetTopDown(image, 0, 1, kRed);
    SetTopDown(image, 2, 1, kGreen);
    SetTopDown(image, 0, 3, kBlue);
    SetTopDown(image, 2, 3, kWhite);
    Surface surface(2, 2);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0, 2, 2);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kRed, surface.At(0, 0));
    EXPECT_EQ(kGreen, surface.At(1, 0));
    EXPECT_EQ(kBlue, surface.At(0, 1));
    EXPECT_EQ(kWhite, surface.At(1, 1));
}

TEST(ImageDraw, KeyPixelsLeaveTheDestination)
{
    Image image;
    MakeFromColours(image, 2, 1, {kKey, kRed});
    KeyOn(image, kKey);
    Surface surface(4, 2, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    image.Draw(surface.Dc(), 0, 1, 4, 1);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kBack, surface.At(0, 0));
    EXPECT_EQ(kRed, surface.At(1, 0));
    EXPECT_TRUE(surface.AllAre(0, 1, 2, 2, kBack)) << "stretched keyed drawing";
    EXPECT_TRUE(surface.AllAre(2, 1, 4, 2, kRed));
}

TEST(ImageDraw, PaletteKeyMatchesEveryEntryOfTheKeyColour)
{
    Image image;
    MakePaletted(image, 3, 1, {Quad(kRed), Quad(kKey), Quad(kKey)});
    image.SetPixelIndex(1, 0, 1);
    image.SetPixelIndex(2, 0, 2);
    image.SetTransparentIndex(1);
    Surface surface(3, 1, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kRed, surface.At(0, 0));
    EXPECT_EQ(kBack, surface.At(1, 0));
    EXPECT_EQ(kBack, surface.At(2, 0));
}

TEST(ImageDraw, KeyedDrawingTouchesOnlyTheVisibleHalf)
{
    Image image;
    MakeFromColours(image, 4, 1, {kRed, kKey, kRed, kRed});
    KeyOn(image, kKey);
    Surface surface(4, 1, kBack);
    Region left(CreateRectRgn(0, 0, 2, 1));
    SelectClipRgn(surface.Dc(), left);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    SelectClipRgn(surface.Dc(), nullptr);
    EXPECT_EQ(kRed, surface.At(0, 0));
    EXPECT_EQ(kBack, surface.At(1, 0));
    EXPECT_EQ(kBack, surface.At(2, 0));
    EXPECT_EQ(kBack, surface.At(3, 0));
}

TEST(ImageDraw, ClipRectangleLimitsDrawingAndRestoresTheClipRegion)
{
    Image image;
    MakeSolid(image, 4, 4, kRed);
    Surface surface(4, 4, kBack);
    const RECT clip = {1, 1, 3, 3};
    const DcState unclipped(surface.Dc());
    image.Draw(surface.Dc(), 0, 0, -1, -1, &clip);
    EXPECT_TRUE(unclipped.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(1, 1, 3, 3, kRed));
    EXPECT_EQ(12, surface.Count(0, 0, 4, 4, kBack));
    Region probe(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(0, GetClipRgn(surface.Dc(), probe)) << "a DC without clip region keeps none";

    // A complex clip region comes back exactly, not as its bounding box.
    Region twoSquares(CreateRectRgn(0, 0, 1, 1));
    Region second(CreateRectRgn(3, 3, 4, 4));
    CombineRgn(twoSquares, twoSquares, second, RGN_OR);
    SelectClipRgn(surface.Dc(), twoSquares);
    const DcState clipped(surface.Dc());
    image.Draw(surface.Dc(), 0, 0, -1, -1, &clip);
    EXPECT_TRUE(clipped.Unchanged(surface.Dc()));
    ASSERT_EQ(1, GetClipRgn(surface.Dc(), probe));
    EXPECT_TRUE(EqualRgn(probe, twoSquares));
}

TEST(ImageDraw, AlphaPlaneBlendsWithTheDestination)
{
    Image image;
    MakeFromColours(image, 4, 1, {RGB(200, 200, 200), RGB(200, 200, 200), RGB(200, 200, 200), kRed});
    image.AlphaCreate();
    const BYTE alphas[4] = {128, 0, 255, 1};
    for (int x = 0; x < 4; ++x)
        image.AlphaSet(x, 0, alphas[x]);
    Surface surface(4, 1, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    const int half = Blend(200, 100, 128);
    EXPECT_EQ(RGB(half, half, half), surface.At(0, 0)) << "(200 x 128 + 100 x 127) >> 8";
    EXPECT_EQ(kBack, surface.At(1, 0)) << "alpha 0 draws nothing";
    EXPECT_EQ(RGB(200, 200, 200), surface.At(2, 0)) << "alpha 255 copies";
    EXPECT_EQ(RGB(Blend(200, 100, 1), Blend(0, 100, 1), Blend(0, 100, 1)), surface.At(3, 0));
}

TEST(ImageDraw, AlphaMaximumScalesThePlane)
{
    Image image;
    MakeSolid(image, 1, 1, RGB(200, 200, 200));
    image.AlphaCreate();
    image.AlphaSet(0, 0, 255);
    image.SetAlphaMax(127);
    Surface surface(1, 1, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    const int expected = Blend(200, 100, (255 * 128) >> 8);
    EXPECT_EQ(RGB(expected, expected, expected), surface.At(0, 0));
}

TEST(ImageDraw, PaletteAlphaUsesTheReservedByte)
{
    Image image;
    MakePaletted(image, 2, 1, {Quad(RGB(200, 200, 200), 63), Quad(kRed, 0)});
    image.SetPixelIndex(1, 0, 1);
    image.SetPaletteAlpha(true);
    Surface surface(2, 1, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    const int expected = Blend(200, 100, (255 * 64) >> 8);
    EXPECT_EQ(RGB(expected, expected, expected), surface.At(0, 0));
    EXPECT_EQ(kBack, surface.At(1, 0)) << "reserved 0: (255 x 1) >> 8 = 0, transparent";
}

TEST(ImageDraw, NothingIsDrawnForEmptyDisabledOrZeroSize)
{
    Image image;
    Surface surface(2, 2, kBack);
    const DcState before(surface.Dc());
    EXPECT_EQ(0, image.Draw(surface.Dc(), 0, 0)) << "no pixels";
    MakeSolid(image, 2, 2, kRed);
    EXPECT_EQ(0, image.Draw(nullptr, 0, 0));
    EXPECT_EQ(0, image.Draw(surface.Dc(), 0, 0, 0, 2));
    EXPECT_EQ(0, image.DrawMasked(surface.Dc(), 0, 0, 2, 0));
    image.SetEnabled(false);
    EXPECT_EQ(0, image.Draw(surface.Dc(), 0, 0));
    EXPECT_EQ(0, image.DrawMasked(surface.Dc(), 0, 0));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kBack));
    EXPECT_EQ(1, image.Stretch(surface.Dc(), 0, 0, 2, 2)) << "Stretch ignores the switch";
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kRed));
}

TEST(ImageDraw, DrawMaskedStretchesAndSkipsKeyWhateverTheDcColours)
{
    Image image;
    MakeFromColours(image, 2, 1, {kKey, kRed});
    KeyOn(image, kKey);
    Surface surface(4, 2, kBack);
    SetTextColor(surface.Dc(), kGreen);
    SetBkColor(surface.Dc(), kBlue);
    const DcState before(surface.Dc());
    EXPECT_EQ(1, image.DrawMasked(surface.Dc(), 0, 0, 4, 2));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kBack));
    EXPECT_TRUE(surface.AllAre(2, 0, 4, 2, kRed));
    EXPECT_EQ(kGreen, GetTextColor(surface.Dc()));
    EXPECT_EQ(kBlue, GetBkColor(surface.Dc()));
}

TEST(ImageDraw, StretchIgnoresTheKey)
{
    Image image;
    MakeFromColours(image, 2, 1, {kKey, kRed});
    KeyOn(image, kKey);
    Surface surface(4, 1, kBack);
    const DcState before(surface.Dc());
    image.Stretch(surface.Dc(), 0, 0, 4, 1);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 1, kKey));
    EXPECT_TRUE(surface.AllAre(2, 0, 4, 1, kRed));
}

TEST(ImageDraw, TileRepeatsAndCutsTheLastRowAndColumn)
{
    Image image;
    MakeSolid(image, 10, 10, kRed);
    SetTopDown(image, 9, 9, kGreen);
    Surface surface(30, 20, kBack);
    const RECT area = {0, 0, 25, 15};
    const DcState before(surface.Dc());
    EXPECT_EQ(1, image.Tile(surface.Dc(), &area));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kGreen, surface.At(9, 9));
    EXPECT_EQ(kGreen, surface.At(19, 9));
    EXPECT_EQ(kRed, surface.At(24, 14));
    EXPECT_EQ(2, surface.Count(0, 0, 30, 20, kGreen)) << "the cut tiles lose their corner";
    EXPECT_TRUE(surface.AllAre(25, 0, 30, 20, kBack));
    EXPECT_TRUE(surface.AllAre(0, 15, 25, 20, kBack));
    EXPECT_EQ(0, image.Tile(surface.Dc(), nullptr));
}

TEST(ImageDraw, LargeAreasComeOutWholeAcrossBands)
{
    // 300 pixels wide: the paint box is composed in several bands.
    Image image;
    image.Create(150, 100, 24, Image::FormatBmp);
    image.AlphaCreate();
    for (int row = 0; row < 100; ++row)
        for (int x = 0; x < 150; ++x) {
            SetTopDown(image, x, row, RGB(row, x, 7));
            image.AlphaSet(x, 99 - row, row % 2 ? 0 : 255);
        }
    Surface surface(300, 200, kBack);
    const DcState before(surface.Dc());
    image.Draw(surface.Dc(), 0, 0, 300, 200);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            wrong += surface.At(x, y) != ((y / 2) % 2 ? kBack : RGB(y / 2, x / 2, 7));
    EXPECT_EQ(0, wrong) << "blended with alpha";
    image.AlphaDelete();
    image.Draw(surface.Dc(), 0, 0, 300, 200);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            wrong += surface.At(x, y) != RGB(y / 2, x / 2, 7);
    EXPECT_EQ(0, wrong) << "plain stretch";
}

TEST(ImageFromBitmap, TakesSizeColoursAndOrientation)
{
    Bitmap bitmap(MakeBitmapOfDepth(2, 2, 32, {kRed, kGreen, kBlue, kWhite}));
    Image image;
    ASSERT_TRUE(image.CreateFromBitmap(bitmap));
    EXPECT_EQ(24, image.GetBpp());
    EXPECT_EQ(kRed, GetTopDown(image, 0, 0));
    EXPECT_EQ(kGreen, GetTopDown(image, 1, 0));
    EXPECT_EQ(kBlue, GetTopDown(image, 0, 1));
    EXPECT_EQ(kWhite, GetTopDown(image, 1, 1));
}

TEST(ImageFromBitmap, PaletteBitmapKeepsItsPalette)
{
    Bitmap bitmap(MakeBitmapOfDepth(3, 1, 8, {kRed, kGreen, kRed}));
    Image image;
    ASSERT_TRUE(image.CreateFromBitmap(bitmap));
    EXPECT_EQ(8, image.GetBpp());
    EXPECT_EQ(image.GetPixelIndex(0, 0), image.GetPixelIndex(2, 0));
    EXPECT_EQ(kGreen, GetTopDown(image, 1, 0));
}

TEST(ImageFromBitmap, NullBitmapLeavesTheImageEmpty)
{
    Image image;
    MakeSolid(image, 2, 2, kRed);
    EXPECT_FALSE(image.CreateFromBitmap(nullptr));
    EXPECT_FALSE(image.IsValid());
}
