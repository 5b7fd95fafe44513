// Draws the parts of self-drawn scroll bars: from the skin's scroll bar
// object when the skin has one, else in the system's look.
#pragma once

#include <windows.h>

class ScrollBarSkin;

// Drawing stages and item states, as the engine asks the painter.
const DWORD kScrollStageBar = 1;
const DWORD kScrollStageItem = 0x10001;
const UINT kItemPressed = 1;
const UINT kItemDisabled = 4;
const UINT kItemNormal = 32;
const UINT kItemHot = 64;
// What the painter answers when it drew the item itself.
const LRESULT kPainterSkipDefault = 4;

// One part of a bar from the skin: `rect` lies in the bar's horizontal
// frame (the engine composes a vertical bar lying down and turns it), item
// and state as above, `bar` SB_HORZ, SB_VERT or SB_BOTH for the size box.
// Returns kPainterSkipDefault whenever the skin has a scroll bar object
// (at stage kScrollStageBar without drawing), else 0: the engine then
// draws the system's look.
LRESULT PaintScrollBarPart(HWND window, int controlId, DWORD stage, HDC hdc, const RECT& rect, int item, UINT state,
                           int bar);

// The system's look of one part, in the bar's own orientation. `look` is
// the bar's look (0 normal, 1 flat, 2 hot-tracked).
void PaintSystemScrollPart(HDC hdc, const RECT& rect, int item, UINT state, bool vertical, int look);
