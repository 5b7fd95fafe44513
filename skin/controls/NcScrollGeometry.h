// The geometry of a self-drawn scroll bar, computed for a horizontal bar:
// a vertical bar is transposed (x and y exchanged) before and after, so
// one set of rules serves both.
#pragma once

#include <windows.h>

// Hit codes, also the item codes the painter is given.
enum ScrollBarPart {
    PartNone = -1,
    PartArrowLeft = 0,
    PartArrowRight = 1,
    PartPageLeft = 2,
    PartPageRight = 3,
    PartThumb = 5,
    PartSizeBox = 32,
};

// What places a bar's parts: the scroll values, the arrow length and the
// smallest thumb.
struct ScrollBarMetrics {
    int minPos, maxPos;
    UINT page;
    int pos;
    int arrowLength;
    int minThumb;
};

struct ThumbPlacement {
    int size;  // 0: no thumb
    int left;  // along the bar
};

RECT Transposed(const RECT& rect);
POINT Transposed(POINT point);

// The room between the arrows of a bar `length` long.
int TrackSpace(int length, int arrowLength);
ThumbPlacement PlaceThumb(const RECT& bar, const ScrollBarMetrics& metrics);
// The arrows' rectangles: arrowLength from each end, or half the bar each
// when two arrows do not fit (an odd middle pixel is page area).
void ArrowRects(const RECT& bar, int arrowLength, RECT& left, RECT& right);
ScrollBarPart HitTestBar(const RECT& bar, const ScrollBarMetrics& metrics, POINT point);
// Whether the range scrolls: more than a page of it, and not the empty
// range of a bar never set up.
bool IsScrollable(const ScrollBarMetrics& metrics);
