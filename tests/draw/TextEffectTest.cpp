#include "imaging/TextEffect.h"

#include "DcStateCheck.h"
#include "Surface.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBack = RGB(255, 255, 255);
const COLORREF kText = RGB(200, 0, 0);
const COLORREF kShadow = RGB(0, 0, 200);
const RECT kArea = {4, 4, 60, 24};

// Whole-pixel glyphs, so that every pixel is text, shadow or background.
Font SharpFont()
{
    LOGFONTA font = {};
    font.lfHeight = -14;
    font.lfWeight = FW_BOLD;
    font.lfQuality = NONANTIALIASED_QUALITY;
    return Font(CreateFontIndirectA(&font));
}

void DrawSample(Surface& surface, int32_t offset, int32_t flags)
{
    Font font = SharpFont();
    ObjectSelector selection(surface.Dc(), font);
    const DcState before(surface.Dc());
    DrawShadowedText(surface.Dc(), kArea, offset, flags, kShadow, kText, WindowText("Wg"),
                     DT_LEFT | DT_TOP | DT_SINGLELINE);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}

// The pixels that a shadow at (dx, dy) must give: text where the text is,
// shadow where only the moved text is, background elsewhere.
void ExpectShadowAt(const Surface& textOnly, const Surface& withShadow, int dx, int dy)
{
    int shadowPixels = 0;
    for (int y = 1; y < textOnly.Height() - 1; ++y) {
        for (int x = 1; x < textOnly.Width() - 1; ++x) {
            COLORREF expected = kBack;
            if (textOnly.At(x, y) == kText)
                expected = kText;
            else if (textOnly.At(x - dx, y - dy) == kText)
                expected = kShadow;
            shadowPixels += expected == kShadow;
            ASSERT_EQ(expected, withShadow.At(x, y)) << x << "," << y;
        }
    }
    EXPECT_GT(shadowPixels, 0);
}

}  // namespace

TEST(Colour3, StoredRedGreenBlue)
{
    uint8_t bytes[3];
    StoreColour3(bytes, RGB(1, 2, 3));
    EXPECT_EQ(1, bytes[0]);
    EXPECT_EQ(2, bytes[1]);
    EXPECT_EQ(3, bytes[2]);
    EXPECT_EQ(RGB(1, 2, 3), LoadColour3(bytes));
}

TEST(ShadowedText, WithoutFlagDrawsOnlyTheText)
{
    Surface surface(64, 28, kBack);
    DrawSample(surface, 0x0101, 0);
    EXPECT_GT(surface.Count(0, 0, 64, 28, kText), 0);
    EXPECT_EQ(0, surface.Count(0, 0, 64, 28, kShadow));
}

TEST(ShadowedText, OffsetBytesAreSigned)
{
    Surface textOnly(64, 28, kBack), withShadow(64, 28, kBack);
    DrawSample(textOnly, 0, 0);
    DrawSample(withShadow, 0x01FF, TextEffectShadow);
    ExpectShadowAt(textOnly, withShadow, -1, 1);
}

TEST(ShadowedText, LeavesTheDcAsItFoundIt)
{
    Surface surface(64, 28, kBack);
    SetBkMode(surface.Dc(), OPAQUE);
    SetTextColor(surface.Dc(), RGB(1, 2, 3));
    DrawSample(surface, 0x0202, TextEffectShadow);
    EXPECT_EQ(OPAQUE, GetBkMode(surface.Dc()));
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(surface.Dc()));
}

TEST(ShadowedText, EffectSuppliesColoursOffsetAndFlags)
{
    TextEffect effect = {};
    effect.shadowOffset = 0x00020002;  // dx 2, dy 0; the upper half is not read
    StoreColour3(effect.textColour, kText);
    StoreColour3(effect.shadowColour, kShadow);
    effect.flags = TextEffectShadow;
    Surface textOnly(64, 28, kBack), withShadow(64, 28, kBack);
    DrawSample(textOnly, 0, 0);
    Font font = SharpFont();
    ObjectSelector selection(withShadow.Dc(), font);
    const DcState before(withShadow.Dc());
    DrawTextWithEffect(withShadow.Dc(), effect, kArea, WindowText("Wg"), DT_LEFT | DT_TOP | DT_SINGLELINE);
    EXPECT_TRUE(before.Unchanged(withShadow.Dc()));
    ExpectShadowAt(textOnly, withShadow, 2, 0);
}
