#include "imaging/DrawUtils.h"

#include "imaging/Image.h"

#include "DcStateCheck.h"
#include "Surface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBack = RGB(100, 100, 100);
const COLORREF kInk = RGB(200, 0, 0);
const COLORREF kOddText = RGB(1, 2, 3);
const COLORREF kOddBack = RGB(4, 5, 6);

// Key, ink / ink, key.
HBITMAP MakeChecker(int bitsPerPixel)
{
    return MakeBitmapOfDepth(2, 2, bitsPerPixel, {kKey, kInk, kInk, kKey});
}

void ExpectChecker(const Surface& surface, int x, int y, int scale)
{
    EXPECT_TRUE(surface.AllAre(x, y, x + scale, y + scale, kBack));
    EXPECT_TRUE(surface.AllAre(x + scale, y, x + 2 * scale, y + scale, kInk));
    EXPECT_TRUE(surface.AllAre(x, y + scale, x + scale, y + 2 * scale, kInk));
    EXPECT_TRUE(surface.AllAre(x + scale, y + scale, x + 2 * scale, y + 2 * scale, kBack));
}

// Odd colours that a helper must give back untouched.
void PaintOddColours(HDC dc)
{
    SetTextColor(dc, kOddText);
    SetBkColor(dc, kOddBack);
}

void ExpectOddColours(HDC dc)
{
    EXPECT_EQ(kOddText, GetTextColor(dc));
    EXPECT_EQ(kOddBack, GetBkColor(dc));
}

}  // namespace

TEST(Fills, SolidRectangle)
{
    Surface surface(4, 4, kBack);
    const DcState before(surface.Dc());
    FillSolidRect(surface.Dc(), RECT{1, 1, 3, 4}, kInk);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(1, 1, 3, 4, kInk));
    EXPECT_EQ(10, surface.Count(0, 0, 4, 4, kBack));
}

TEST(Fills, TriangleKeepsTheSelectedBrushAndPen)
{
    Surface surface(20, 20, kBack);
    HGDIOBJ brush = GetCurrentObject(surface.Dc(), OBJ_BRUSH);
    Pen pen(CreatePen(PS_SOLID, 1, kKey));
    ObjectSelector selection(surface.Dc(), pen);
    const DcState before(surface.Dc());
    FillTriangle(surface.Dc(), 2, 2, 18, 2, 10, 18, kInk);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kInk, surface.At(10, 6));
    EXPECT_EQ(kKey, surface.At(10, 2)) << "outline drawn with the DC's pen";
    EXPECT_EQ(kBack, surface.At(2, 17));
    EXPECT_EQ(brush, GetCurrentObject(surface.Dc(), OBJ_BRUSH));
    EXPECT_EQ(pen.Get(), GetCurrentObject(surface.Dc(), OBJ_PEN));
}

TEST(KeyedBlits, BitmapKeyPixelsLeaveTheDestination)
{
    Bitmap bitmap(MakeChecker(32));
    Surface surface(4, 4, kBack);
    PaintOddColours(surface.Dc());
    const DcState before(surface.Dc());
    TransparentBlitBitmap(surface.Dc(), 1, 1, 2, 2, bitmap, 0, 0, kKey, nullptr);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    ExpectChecker(surface, 1, 1, 1);
    EXPECT_EQ(16 - 2, surface.Count(0, 0, 4, 4, kBack));
    ExpectOddColours(surface.Dc());
}

TEST(KeyedBlits, SourceOffsetPicksThePart)
{
    Bitmap bitmap(MakeChecker(24));
    Surface surface(2, 1, kBack);
    const DcState before(surface.Dc());
    TransparentBlitBitmap(surface.Dc(), 0, 0, 1, 1, bitmap, 1, 0, kKey, nullptr);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kInk, surface.At(0, 0));
    EXPECT_EQ(kBack, surface.At(1, 0));
}

TEST(KeyedBlits, StretchFromADc)
{
    Surface source(2, 2);
    source.Set(0, 0, kKey);
    source.Set(1, 0, kInk);
    source.Set(0, 1, kInk);
    source.Set(1, 1, kKey);
    Surface same(2, 2, kBack), stretched(6, 6, kBack);
    PaintOddColours(stretched.Dc());
    const DcState sourceBefore(source.Dc()), sameBefore(same.Dc()), stretchedBefore(stretched.Dc());
    TransparentStretchBlit(same.Dc(), 0, 0, 2, 2, source.Dc(), 0, 0, 2, 2, kKey);
    EXPECT_TRUE(sameBefore.Unchanged(same.Dc()));
    TransparentStretchBlit(stretched.Dc(), 1, 1, 4, 4, source.Dc(), 0, 0, 2, 2, kKey);
    EXPECT_TRUE(stretchedBefore.Unchanged(stretched.Dc()));
    EXPECT_TRUE(sourceBefore.Unchanged(source.Dc())) << "the source DC";
    ExpectChecker(same, 0, 0, 1);
    ExpectChecker(stretched, 1, 1, 2);
    EXPECT_EQ(36 - 8, stretched.Count(0, 0, 6, 6, kBack));
    ExpectOddColours(stretched.Dc());
}

TEST(KeyedBlits, ImageKeyedIsCutToTheDestination)
{
    Image image;
    MakeFromColours(image, 3, 2, {kKey, kInk, kInk, kInk, kKey, kInk});
    Surface surface(4, 4, kBack);
    const DcState before(surface.Dc());
    EXPECT_EQ(1, DrawImageKeyed(surface.Dc(), image, RECT{1, 1, 3, 3}, kKey));
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    ExpectChecker(surface, 1, 1, 1);
    EXPECT_EQ(16 - 2, surface.Count(0, 0, 4, 4, kBack));
}

TEST(KeyedBlits, BitmapMaskedStretchesEveryDepth)
{
    for (int depth : {8, 24, 32}) {
        Bitmap bitmap(MakeChecker(depth));
        Surface surface(6, 6, kBack);
        PaintOddColours(surface.Dc());
        const DcState before(surface.Dc());
        EXPECT_EQ(1, DrawBitmapMasked(surface.Dc(), bitmap, RECT{1, 1, 5, 5}, kKey));
        EXPECT_TRUE(before.Unchanged(surface.Dc())) << depth;
        SCOPED_TRACE(depth);
        ExpectChecker(surface, 1, 1, 2);
        ExpectOddColours(surface.Dc());
    }
}

TEST(KeyedBlits, BitmapMaskedWithKeyOutsideThePaletteCopiesAll)
{
    Bitmap bitmap(MakeBitmapOfDepth(2, 1, 8, {kInk, RGB(0, 0, 200)}));
    Surface surface(2, 1, kBack);
    const DcState before(surface.Dc());
    DrawBitmapMasked(surface.Dc(), bitmap, RECT{0, 0, 2, 1}, kKey);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kInk, surface.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 200), surface.At(1, 0));
}
