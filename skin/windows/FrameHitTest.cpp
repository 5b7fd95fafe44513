#include "windows/FrameHitTest.h"

#include "core/SkinnedWindow.h"

namespace {

const int kCorner = 5;

bool InRect(const RECT& rect, int x, int y)
{
    const POINT point = {x, y};
    return PtInRect(&rect, point) != FALSE;
}

}  // namespace

bool InCaptionParts(const SkinnedWindow& window, int x, int y)
{
    return InRect(window.PartRect(SkinnedWindow::PartTopLeft), x, y) ||
           InRect(window.PartRect(SkinnedWindow::PartTop), x, y) ||
           InRect(window.PartRect(SkinnedWindow::PartTopRight), x, y);
}

int HitTestFrameParts(SkinnedWindow& window, int x, int y, bool sizable, int outside)
{
    if (const int label = window.LabelHitCode(POINT{x, y}))
        return label;
    auto sized = [sizable](int code, int fallback) { return sizable ? code : fallback; };
    const RECT& topLeft = window.PartRect(SkinnedWindow::PartTopLeft);
    if (InRect(topLeft, x, y))
        return x < topLeft.left + kCorner && y < topLeft.top + kCorner ? sized(HTTOPLEFT, HTCAPTION) : HTCAPTION;
    const RECT& top = window.PartRect(SkinnedWindow::PartTop);
    if (InRect(top, x, y))
        return y < top.top + kCorner ? sized(HTTOP, HTCAPTION) : HTCAPTION;
    const RECT& topRight = window.PartRect(SkinnedWindow::PartTopRight);
    if (InRect(topRight, x, y))
        return x >= topRight.right - kCorner && y < topRight.top + kCorner ? sized(HTTOPRIGHT, HTCAPTION)
                                                                             : HTCAPTION;
    if (InRect(window.PartRect(SkinnedWindow::PartRight), x, y))
        return sized(HTRIGHT, 0);
    if (InRect(window.PartRect(SkinnedWindow::PartLeft), x, y))
        return sized(HTLEFT, 0);
    const RECT& bottomRight = window.PartRect(SkinnedWindow::PartBottomRight);
    if (InRect(bottomRight, x, y))
        return x >= bottomRight.right - kCorner && y >= bottomRight.bottom - kCorner ? sized(HTBOTTOMRIGHT, 0)
                                                                                       : sized(HTBOTTOM, 0);
    const RECT& bottomLeft = window.PartRect(SkinnedWindow::PartBottomLeft);
    if (InRect(bottomLeft, x, y))
        return x < bottomLeft.left + kCorner && y >= bottomLeft.bottom - kCorner ? sized(HTBOTTOMLEFT, 0)
                                                                                   : sized(HTBOTTOM, 0);
    if (InRect(window.PartRect(SkinnedWindow::PartBottom), x, y))
        return sized(HTBOTTOM, 0);
    if (InRect(window.PartRect(SkinnedWindow::PartClient), x, y))
        return HTCLIENT;
    return outside;
}
