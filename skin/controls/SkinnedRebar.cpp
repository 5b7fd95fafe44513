#include "controls/SkinnedRebar.h"

#include "data/RebarSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

namespace {

const int kTextChars = 200;

}  // namespace

void SkinnedRebar::Paint(HDC hdc)
{
    const auto* skin = dynamic_cast<const RebarSkin*>(skinObject_);
    if (!skin)
        return;
    PaintFace(hdc, skin->mainImage);
    SavedDCState saved(hdc);
    PrepareText(hdc, LoadColour3(skin->BandEffect().textColour));
    const int bands = static_cast<int>(CallPrevious(RB_GETBANDCOUNT, 0, 0));
    for (int band = 0; band < bands; ++band)
        PaintBand(hdc, *skin, band);
}

void SkinnedRebar::PaintBand(HDC hdc, const RebarSkin& skin, int band)
{
    TextBuffer buffer(IsUnicode(), kTextChars);
    // The size every comctl32 version reads, on 32 and 64 bits alike.
    REBARBANDINFOW info = {};
    info.cbSize = REBARBANDINFOW_V3_SIZE;
    info.fMask = RBBIM_STYLE | RBBIM_TEXT;
    info.lpText = buffer.Address<wchar_t>();
    info.cch = static_cast<UINT>(buffer.Chars());
    RECT area;
    if (!CallPrevious(IsUnicode() ? RB_GETBANDINFOW : RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info)) ||
        (info.fStyle & RBBS_HIDDEN) || !CallPrevious(RB_GETRECT, band, reinterpret_cast<LPARAM>(&area)))
        return;
    const FrameImageRef& image = skin.bandImage;
    DrawFrameImage(hdc, area, image, GetSysColor(COLOR_BTNFACE), true, Store());
    const WindowText text = buffer.Text();
    if (text.Empty())
        return;
    RECT textArea = {area.left + image.marginLeft, area.top + image.marginTop, area.right,
                     area.bottom - image.marginBottom};
    text.Draw(hdc, textArea, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP);
}
