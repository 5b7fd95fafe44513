// Where a button's content goes: the caption measured as the skin font
// says, and icons, bitmaps and captions placed by the button's alignment
// styles. Shared by every button painter.
#pragma once

#include <windows.h>

#include "imaging/WindowText.h"

struct ImageRef;
struct FrameImageRef;

// Check boxes and radio buttons keep unaligned content at the left; push
// buttons centre it.
bool IsCheckOrRadioStyle(LONG_PTR style);

// A width x height content inside `area` as the BS_ alignment bits place it;
// content larger than the area keeps the area in that direction.
RECT PlaceContent(const RECT& area, int width, int height, LONG_PTR style);

// The caption's extent: its widest line by the number of lines (split at
// "\n"), one "A" wider for an italic font, whose last glyph overhangs.
SIZE MeasureButtonText(HDC hdc, const WindowText& text, bool italic);

bool IsEmptyImage(const ImageRef& ref);
bool IsEmptyImage(const FrameImageRef& ref);

// The first image when it has one; otherwise the third when given and the
// second has none; otherwise the second.
template <typename Ref>
const Ref& PickRef(const Ref& first, const Ref& second, const Ref* third = nullptr)
{
    if (!IsEmptyImage(first))
        return first;
    if (third && IsEmptyImage(second) && !IsEmptyImage(*third))
        return *third;
    return second;
}
