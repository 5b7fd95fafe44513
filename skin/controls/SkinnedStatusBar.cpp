#include "controls/SkinnedStatusBar.h"

#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

SkinObject* SkinnedStatusBar::SetSkinObject(SkinObject* skinObject)
{
    return SkinnedControl::SetSkinObject(skinObject ? skinObject : &default_);
}

void SkinnedStatusBar::OnPaint()
{
    // The system's status bar paints nothing of its own: it finds its
    // client validated.
    ValidateRect(window_, nullptr);
    CallPrevious(WM_PAINT, 0, 0);
    RedrawNow();
}

void SkinnedStatusBar::Paint(HDC hdc)
{
    const auto* skin = dynamic_cast<const StatusBarSkin*>(skinObject_);
    if (!skin)
        skin = &default_;
    PaintFace(hdc, skin->mainImage);
    SavedDCState saved(hdc);
    PrepareText(hdc, skin->font.colour);
    const int parts = static_cast<int>(CallPrevious(SB_GETPARTS, 0, 0));
    for (int part = 0; part < parts; ++part)
        PaintPart(hdc, *skin, part);
}

void SkinnedStatusBar::PaintPart(HDC hdc, const StatusBarSkin& skin, int part)
{
    RECT area;
    if (!CallPrevious(SB_GETRECT, part, reinterpret_cast<LPARAM>(&area)))
        return;
    const FrameImageRef& image = skin.itemImage;
    DrawFrameImage(hdc, area, image, GetSysColor(COLOR_BTNFACE), true, Store());
    const bool unicode = IsUnicode();
    const int length = LOWORD(CallPrevious(unicode ? SB_GETTEXTLENGTHW : SB_GETTEXTLENGTHA, part, 0));
    if (length == 0)
        return;
    // SB_GETTEXT writes the whole text, however long: the buffer is made
    // for the length the status bar gave.
    TextBuffer text(unicode, static_cast<size_t>(length) + 1);
    CallPrevious(unicode ? SB_GETTEXTW : SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.Address<char>()));
    RECT textArea = {area.left + image.marginLeft, area.top + image.marginTop, area.right - image.marginRight,
                     area.bottom - image.marginBottom};
    text.Text().Draw(hdc, textArea, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}
