#include "controls/SkinnedHeader.h"

#include "data/HeaderSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

namespace {

const int kTextChars = 100;

}  // namespace

const HeaderSkin* SkinnedHeader::Skin() const
{
    return dynamic_cast<const HeaderSkin*>(skinObject_);
}

UINT SkinnedHeader::TextFormat(int format)
{
    UINT text = DT_SINGLELINE | DT_VCENTER | DT_WORD_ELLIPSIS;
    if ((format & HDF_JUSTIFYMASK) == HDF_CENTER)
        text |= DT_CENTER;
    else if ((format & HDF_JUSTIFYMASK) == HDF_RIGHT)
        text |= DT_RIGHT;
    return text;
}

void SkinnedHeader::Paint(HDC hdc)
{
    const HeaderSkin* skin = Skin();
    if (!skin)
        return;
    PaintFace(hdc, skin->mainImage);
    SavedDCState saved(hdc);
    PrepareText(hdc, LoadColour3(skin->effect.textColour));
    const int count = static_cast<int>(CallPrevious(HDM_GETITEMCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
        PaintItem(hdc, *skin, index);
}

void SkinnedHeader::PaintItem(HDC hdc, const HeaderSkin& skin, int index)
{
    char text[kTextChars] = {};
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = kTextChars;
    RECT area;
    if (!CallPrevious(HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item)) ||
        !CallPrevious(HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&area)))
        return;
    DrawFrameImage(hdc, area, skin.item, GetSysColor(COLOR_BTNFACE), true, Store());
    // The text keeps clear of the background's edges, not of the item's.
    const FrameImageRef& edges = skin.mainImage;
    RECT textArea = {area.left + edges.marginLeft, area.top + edges.marginTop, area.right - edges.marginRight,
                     area.bottom - edges.marginBottom};
    text[kTextChars - 1] = '\0';
    DrawTextA(hdc, text, -1, &textArea, TextFormat(item.fmt));
}
