// The DC-state check that the drawing tests run after each painter: it must
// name whatever a painter left behind, and accept a DC given back intact.
#include "DcStateCheck.h"

#include "imaging/GdiObject.h"

#include "Surface.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

struct Change {
    const char* named;
    std::function<void(HDC)> apply;
};

testing::AssertionResult CheckAfter(const std::function<void(HDC)>& paint)
{
    Surface surface(8, 8);
    const DcState before(surface.Dc());
    const int saved = SaveDC(surface.Dc());
    paint(surface.Dc());
    testing::AssertionResult result = before.Unchanged(surface.Dc());
    RestoreDC(surface.Dc(), saved);
    return result;
}

}  // namespace

TEST(DcStateCheck, NamesEveryPartAPainterLeftChanged)
{
    Bitmap bitmap(CreateBitmap(2, 2, 1, 32, nullptr));
    Font font(CreateFontA(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma"));
    Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
    Pen pen(CreatePen(PS_SOLID, 1, RGB(1, 2, 3)));
    LOGPALETTE palette = {0x300, 1, {{1, 2, 3, 0}}};
    Palette ownPalette(CreatePalette(&palette));
    Region clip(CreateRectRgn(1, 1, 3, 3));
    const Change changes[] = {
        {"selected bitmap", [&](HDC dc) { SelectObject(dc, bitmap); }},
        {"selected font", [&](HDC dc) { SelectObject(dc, font); }},
        {"selected brush", [&](HDC dc) { SelectObject(dc, brush); }},
        {"selected pen", [&](HDC dc) { SelectObject(dc, pen); }},
        {"selected palette", [&](HDC dc) { SelectPalette(dc, ownPalette, FALSE); }},
        {"text colour", [](HDC dc) { SetTextColor(dc, RGB(9, 8, 7)); }},
        {"background colour", [](HDC dc) { SetBkColor(dc, RGB(9, 8, 7)); }},
        {"background mode", [](HDC dc) { SetBkMode(dc, GetBkMode(dc) == OPAQUE ? TRANSPARENT : OPAQUE); }},
        {"raster operation", [](HDC dc) { SetROP2(dc, R2_XORPEN); }},
        {"stretch mode",
         [](HDC dc) { SetStretchBltMode(dc, GetStretchBltMode(dc) == HALFTONE ? COLORONCOLOR : HALFTONE); }},
        {"text alignment", [](HDC dc) { SetTextAlign(dc, TA_RIGHT | TA_BOTTOM); }},
        {"window origin", [](HDC dc) { SetWindowOrgEx(dc, 3, 4, nullptr); }},
        {"viewport origin", [](HDC dc) { SetViewportOrgEx(dc, 3, 4, nullptr); }},
        {"clip region added", [&](HDC dc) { SelectClipRgn(dc, clip); }},
    };
    for (const Change& change : changes) {
        const testing::AssertionResult result = CheckAfter(change.apply);
        EXPECT_FALSE(result) << change.named;
        EXPECT_NE(std::string::npos, std::string(result.message()).find(change.named)) << result.message();
    }
}

TEST(DcStateCheck, TellsAClipRegionChangedOrRemoved)
{
    Surface surface(8, 8);
    Region clip(CreateRectRgn(1, 1, 3, 3));
    SelectClipRgn(surface.Dc(), clip);
    const DcState before(surface.Dc());
    Region other(CreateRectRgn(1, 1, 3, 4));
    SelectClipRgn(surface.Dc(), other);
    EXPECT_NE(std::string::npos, std::string(before.Unchanged(surface.Dc()).message()).find("clip region changed"));
    SelectClipRgn(surface.Dc(), nullptr);
    EXPECT_NE(std::string::npos, std::string(before.Unchanged(surface.Dc()).message()).find("clip region removed"));
    // The same area through another handle is the same clip region.
    Region same(CreateRectRgn(1, 1, 3, 3));
    SelectClipRgn(surface.Dc(), same);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}

TEST(DcStateCheck, AcceptsAPainterThatPutsEverythingBack)
{
    Surface surface(8, 8);
    const DcState before(surface.Dc());
    {
        Brush brush(CreateSolidBrush(RGB(1, 2, 3)));
        ObjectSelector selection(surface.Dc(), brush);
        TextColours colours(surface.Dc(), RGB(1, 2, 3), RGB(4, 5, 6));
        SavedDCState saved(surface.Dc());
        IntersectClipRect(surface.Dc(), 0, 0, 2, 2);
        SetBkMode(surface.Dc(), TRANSPARENT);
        PatBlt(surface.Dc(), 0, 0, 8, 8, PATCOPY);
    }
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}
