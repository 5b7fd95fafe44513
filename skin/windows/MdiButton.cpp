#include "windows/MdiButton.h"

bool MdiButton::Contains(int x, int y) const
{
    const POINT point = {x, y};
    return PtInRect(&rect_, point) != FALSE;
}

bool MdiButton::SetState(int state)
{
    if (state == state_)
        return false;
    state_ = state;
    return true;
}

void MdiButton::Draw(HDC hdc, const ImageSource& images) const
{
    static const ImageRef kNone = {};
    const ImageRef& normal = images_ ? images_[Normal] : kNone;
    const ImageRef& wanted = images_ ? images_[state_] : kNone;
    DrawImageRef(hdc, rect_, IsImageRefEmpty(wanted) ? normal : wanted, GetSysColor(COLOR_BTNFACE), true, images);
}
