#include "controls/ButtonLayout.h"

#include "imaging/ImageRef.h"

#include <algorithm>
#include <cstring>

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

SIZE MeasureButtonText(HDC hdc, const char* text, bool italic)
{
    SIZE letter = {};
    GetTextExtentPoint32A(hdc, "A", 1, &letter);
    const int length = static_cast<int>(std::min<size_t>(strlen(text), kMeasuredChars));
    SIZE result = {0, 0};
    int lines = 0;
    for (int start = 0; start <= length; ++lines) {
        const char* end = static_cast<const char*>(memchr(text + start, '\n', length - start));
        const int stop = end ? static_cast<int>(end - text) : length;
        SIZE line = {};
        GetTextExtentPoint32A(hdc, text + start, stop - start, &line);
        result.cx = std::max(result.cx, line.cx);
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
