#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

// What a painter may change in a caller's device context and must give
// back: the selected bitmap, font, brush, pen and palette, the text and
// background colours, the background, raster-operation and stretch modes,
// the text alignment, the window and viewport origins and the clip region.
//
// Wine defers deleting an object that is still selected into a DC, so a
// painter that forgets to select the caller's object back passes every
// leak test there and leaks on Windows; this check sees it anywhere.
//
//     DcState before(dc);
//     ...paint into dc...
//     EXPECT_TRUE(before.Unchanged(dc));
class DcState {
public:
    explicit DcState(HDC dc);

    // Success when the DC is as it was at construction; otherwise the
    // failure names every part that changed.
    testing::AssertionResult Unchanged(HDC dc) const;

private:
    HGDIOBJ bitmap_;
    HGDIOBJ font_;
    HGDIOBJ brush_;
    HGDIOBJ pen_;
    HGDIOBJ palette_;
    COLORREF textColour_;
    COLORREF backColour_;
    int backMode_;
    int rop2_;
    int stretchMode_;
    UINT textAlign_;
    POINT windowOrigin_;
    POINT viewportOrigin_;
    bool hasClip_;
    std::vector<BYTE> clip_;  // GetRegionData of the clip region
};
