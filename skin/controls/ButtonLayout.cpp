#include "controls/ButtonLayout.h"

#include "imaging/ImageRef.h"

#include <algorithm>

namespace {

const int kMeasuredChars = 499;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void PlaceHorizontally(RECT& placed, const RECT& area, int width, LONG_PTR style)
{
    if (width >= Width(area))
        return;
    const LONG_PTR horizontal = style & BS_CENTER;
    const bool centred = horizontal == BS_CENTER || (horizontal == 0 && !IsCheckOrRadioStyle(style));
    if (centred) {
        placed.left = area.left + (Width(area) - width) / 2;
        placed.right = placed.left + width;
    } else if (horizontal == BS_RIGHT) {
        placed.left = area.right - width;
    } else {
        placed.right = area.left + width;
    }
}

void PlaceVertically(RECT& placed, const RECT& area, int height, LONG_PTR style)
{
    if (height >= Height(area))
        return;
    const LONG_PTR vertical = style & BS_VCENTER;
    if (vertical == BS_TOP) {
        placed.bottom = area.top + height;
    } else if (vertical == BS_BOTTOM) {
        placed.top = area.bottom - height;
    } else {
        placed.top = area.top + (Height(area) - height) / 2;
        placed.bottom = placed.top + height;
    }
}

}  // namespace

bool IsCheckOrRadioStyle(LONG_PTR style)
{
    return (style & 9) == 9 || (style & 3) == 3 || (style & 4) != 0 || (style & 2) != 0;
}

RECT PlaceContent(const RECT& area, int width, int height, LONG_PTR style)
{
    RECT placed = area;
    PlaceHorizontally(placed, area, width, style);
    PlaceVertically(placed, area, height, style);
    return placed;
}

SIZE MeasureButtonText(HDC hdc, const WindowText& whole, bool italic)
{
    SIZE letter = {};
    GetTextExtentPoint32A(hdc, "A", 1, &letter);
    const WindowText text = whole.Part(0, std::min(whole.Length(), kMeasuredChars));
    const int length = text.Length();
    SIZE result = {0, 0};
    int lines = 0;
    for (int start = 0; start <= length; ++lines) {
        const int end = text.Find('\n', start);
        const int stop = end == WindowText::kNotFound ? length : end;
        result.cx = std::max(result.cx, text.Part(start, stop - start).Extent(hdc).cx);
        start = stop + 1;
    }
    result.cy = letter.cy * lines;
    if (italic)
        result.cx += letter.cx;
    return result;
}

bool IsEmptyImage(const ImageRef& ref)
{
    return IsImageRefEmpty(ref);
}

bool IsEmptyImage(const FrameImageRef& ref)
{
    return ref.name[0] == '\0' || ref.source.right <= ref.source.left || ref.source.bottom <= ref.source.top;
}
