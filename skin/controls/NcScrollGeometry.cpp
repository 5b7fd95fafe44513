#include "controls/NcScrollGeometry.h"

#include <algorithm>

RECT Transposed(const RECT& rect)
{
    return RECT{rect.top, rect.left, rect.bottom, rect.right};
}

POINT Transposed(POINT point)
{
    return POINT{point.y, point.x};
}

int TrackSpace(int length, int arrowLength)
{
    return length - 2 * arrowLength;
}

ThumbPlacement PlaceThumb(const RECT& bar, const ScrollBarMetrics& m)
{
    const int range = m.maxPos - m.minPos;
    const int start = bar.left + m.arrowLength;
    if (m.page != 0 && range < 0)
        return {0, start};
    const int space = TrackSpace(bar.right - bar.left, m.arrowLength);
    const int page = static_cast<int>(std::min<UINT>(m.page, 0x7FFFFFFF));
    const int size = page == 0 ? m.arrowLength : std::max(MulDiv(page, space, range + 1), m.minThumb);
    const int free = space - size;
    int offset = 0;
    if (range >= 0) {
        // MulDiv answers -1 for a zero divisor (the page covers the whole
        // range): the thumb then stays at the start.
        offset = MulDiv(m.pos - m.minPos, free, range - std::max(page, 1) + 1);
        offset = std::max(0, std::min(offset, free));
    }
    return {size, start + offset};
}

void ArrowRects(const RECT& bar, int arrowLength, RECT& left, RECT& right)
{
    const int length = bar.right - bar.left;
    const int arrow = 2 * arrowLength < length ? arrowLength : length / 2;
    left = RECT{bar.left, bar.top, bar.left + arrow, bar.bottom};
    right = RECT{bar.right - arrow, bar.top, bar.right, bar.bottom};
}

ScrollBarPart HitTestBar(const RECT& bar, const ScrollBarMetrics& m, POINT point)
{
    if (point.y < bar.top || point.y >= bar.bottom || point.x < bar.left || point.x >= bar.right)
        return PartNone;
    RECT left, right;
    ArrowRects(bar, m.arrowLength, left, right);
    if (point.x < left.right)
        return PartArrowLeft;
    if (point.x >= right.left)
        return PartArrowRight;
    const ThumbPlacement thumb = PlaceThumb(bar, m);
    if (thumb.size >= TrackSpace(bar.right - bar.left, m.arrowLength))
        return PartNone;
    if (point.x < thumb.left)
        return PartPageLeft;
    if (point.x < thumb.left + thumb.size)
        return PartThumb;
    return PartPageRight;
}

bool IsScrollable(const ScrollBarMetrics& m)
{
    return static_cast<long long>(m.maxPos) >= static_cast<long long>(m.page) && !(m.page == 0 && m.maxPos == 0) &&
           m.minPos < m.maxPos;
}
