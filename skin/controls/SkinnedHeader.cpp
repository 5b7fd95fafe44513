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
    RECT client;
    GetClientRect(window_, &client);
    // The application's custom draw is asked around the skin's drawing as
    // the system's header asks it around its own: the whole control's
    // stages and each item's first stage.
    const LRESULT wanted = NotifyCustomDraw(hdc, CDDS_PREPAINT, 0, client, 0);
    PaintFace(hdc, skin->mainImage);
    {
        SavedDCState saved(hdc);
        PrepareText(hdc, LoadColour3(skin->effect.textColour));
        const int count = static_cast<int>(CallPrevious(HDM_GETITEMCOUNT, 0, 0));
        for (int index = 0; index < count; ++index)
            PaintItem(hdc, *skin, index, wanted);
    }
    if (wanted & CDRF_NOTIFYPOSTPAINT)
        NotifyCustomDraw(hdc, CDDS_POSTPAINT, 0, client, 0);
}

void SkinnedHeader::PaintItem(HDC hdc, const HeaderSkin& skin, int index, LRESULT wanted)
{
    TextBuffer text(IsUnicode(), kTextChars);
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_LPARAM;
    item.pszText = text.Address<wchar_t>();
    item.cchTextMax = text.Chars();
    RECT area;
    if (!CallPrevious(IsUnicode() ? HDM_GETITEMW : HDM_GETITEMA, index, reinterpret_cast<LPARAM>(&item)) ||
        !CallPrevious(HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&area)))
        return;
    // An owner-drawn item is the application's, as an owner-drawn control
    // is never the skin's.
    if (item.fmt & HDF_OWNERDRAW) {
        DrawOwnerItem(hdc, index, area, item.lParam);
        return;
    }
    if ((wanted & CDRF_NOTIFYITEMDRAW) &&
        (NotifyCustomDraw(hdc, CDDS_ITEMPREPAINT, static_cast<DWORD_PTR>(index), area, item.lParam) & CDRF_SKIPDEFAULT))
        return;
    DrawFrameImage(hdc, area, skin.item, GetSysColor(COLOR_BTNFACE), true, Store());
    // The text keeps clear of the background's edges, not of the item's.
    const FrameImageRef& edges = skin.mainImage;
    RECT textArea = {area.left + edges.marginLeft, area.top + edges.marginTop, area.right - edges.marginRight,
                     area.bottom - edges.marginBottom};
    text.Text().Draw(hdc, textArea, TextFormat(item.fmt));
}

LRESULT SkinnedHeader::NotifyCustomDraw(HDC hdc, DWORD stage, DWORD_PTR item, const RECT& area, LPARAM itemParam)
{
    NMCUSTOMDRAW draw = {};
    draw.hdr.hwndFrom = window_;
    draw.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = stage;
    draw.hdc = hdc;
    draw.rc = area;
    draw.dwItemSpec = item;
    draw.lItemlParam = itemParam;
    return SendMessageA(GetParent(window_), WM_NOTIFY, draw.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
}

void SkinnedHeader::DrawOwnerItem(HDC hdc, int index, const RECT& area, LPARAM itemParam)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_HEADER;
    draw.CtlID = static_cast<UINT>(GetDlgCtrlID(window_));
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = window_;
    draw.hDC = hdc;
    draw.rcItem = area;
    draw.itemData = static_cast<ULONG_PTR>(itemParam);
    SendMessageA(GetParent(window_), WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
}
