#include "controls/SkinnedToolBar.h"

#include "controls/BarBackground.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "data/ToolBarSkin.h"
#include "imaging/DrawUtils.h"
#include "imaging/GdiObject.h"

#include <algorithm>
#include <cstring>

namespace {

const int kClassChars = 32;
const int kTextChars = 99;
// Buttons show their text only under both of these toolbar styles
// (CCS_NOPARENTALIGN, CCS_NODIVIDER), as the framework's toolbars have.
const LONG_PTR kTextStyles = 0x08 | 0x40;
const int kArrowWidth = 6;

// The black triangle of a drop-down button, near its right edge.
void DrawDropDownArrow(HDC hdc, const RECT& button)
{
    const int middle = (button.top + button.bottom) / 2;
    ObjectSelector pen(hdc, GetStockObject(BLACK_PEN));
    FillTriangle(hdc, button.right - 8, middle - 2, button.right - 3, middle - 2, button.right - 5, middle + 2,
                 RGB(0, 0, 0));
}

}  // namespace

SkinnedToolBar::SkinnedToolBar() : SkinnedControl(kTypeToolBar) {}

const ToolBarSkin* SkinnedToolBar::Skin() const
{
    return dynamic_cast<const ToolBarSkin*>(skinObject_);
}

SkinnedToolBar::Face SkinnedToolBar::FaceOf(BYTE state, bool hot)
{
    if (state & (TBSTATE_CHECKED | TBSTATE_PRESSED))
        return FacePressed;
    if ((state & TBSTATE_INDETERMINATE) || !(state & TBSTATE_ENABLED))
        return FaceDisabled;
    return hot ? FaceHot : FaceNormal;
}

bool SkinnedToolBar::IsUpright() const
{
    const HWND parent = GetParent(window_);
    char name[kClassChars] = {};
    if (!parent || !GetClassNameA(parent, name, kClassChars))
        return false;
    return (strcmp(name, "AfxControlBar42sd") == 0 || strcmp(name, "AfxControlBar42s") == 0) &&
           IsUprightBarStyle(GetWindowLongPtrA(parent, GWL_STYLE));
}

LRESULT SkinnedToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!previous_)
        return SkinnedControl::WindowProc(message, wParam, lParam);
    switch (message) {
    case WM_NCPAINT:
        OnNcPaint();
        return 0;
    case WM_LBUTTONDOWN: {
        const HWND window = window_;
        CallPrevious(message, wParam, lParam);
        if (IsStillSkinOf(window, this))
            RedrawButtonAt(lParam);
        return 0;
    }
    default:
        return SkinnedControl::WindowProc(message, wParam, lParam);
    }
}

void SkinnedToolBar::OnPaint()
{
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(window_, &paint);
    // The system's toolbar keeps its own paint (it finds nothing left to
    // paint); the skin's picture is the one shown.
    CallPrevious(WM_PAINT, 0, 0);
    if (hdc)
        RenderInto(hdc, hdc);
    EndPaint(window_, &paint);
}

void SkinnedToolBar::OnNcPaint()
{
    const ToolBarSkin* skin = Skin();
    WholeWindowDC dc(window_);
    if (!skin || !dc)
        return;
    RECT window, client;
    WindowAndClientRects(window, client);
    SavedDCState saved(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    DrawBarBackground(dc, window, *skin, Store(), IsUpright());
}

void SkinnedToolBar::RedrawButtonAt(LPARAM point)
{
    POINT where = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    const int index = static_cast<int>(CallPrevious(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&where)));
    RECT area;
    if (index < 0 || !CallPrevious(TB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&area)) || !IsWindowVisible(window_))
        return;
    WindowDC dc(window_);
    if (dc)
        RenderInto(dc, dc, &area);
}

void SkinnedToolBar::Paint(HDC hdc)
{
    const ToolBarSkin* skin = Skin();
    if (!skin)
        return;
    RECT client;
    GetClientRect(window_, &client);
    DrawBarBackground(hdc, client, *skin, Store(), IsUpright());
    SavedDCState saved(hdc);
    if (const HFONT font = ControlFont())
        SelectObject(hdc, font);
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, skin->font.colour);
    const int count = static_cast<int>(CallPrevious(TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index)
        PaintButton(hdc, *skin, index, false);
    const int hot = static_cast<int>(CallPrevious(TB_GETHOTITEM, 0, 0));
    if (hot >= 0 && hot < count)
        PaintButton(hdc, *skin, hot, true);
}

void SkinnedToolBar::PaintButton(HDC hdc, const ToolBarSkin& skin, int index, bool hot)
{
    TBBUTTON button = {};
    RECT area;
    if (!CallPrevious(TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) || (button.fsStyle & BTNS_SEP) ||
        (button.fsState & TBSTATE_HIDDEN) ||
        !CallPrevious(TB_GETRECT, button.idCommand, reinterpret_cast<LPARAM>(&area)))
        return;
    DrawFrameImageKeyed(hdc, area, skin.frameImages[FaceOf(button.fsState, hot)], TransparentColour(), Store());
    RECT content = area;
    if (button.fsStyle & (BTNS_DROPDOWN | BTNS_WHOLEDROPDOWN)) {
        DrawDropDownArrow(hdc, area);
        content.right -= kArrowWidth;
    }
    if ((CallPrevious(TB_GETSTYLE, 0, 0) & kTextStyles) == kTextStyles)
        PaintText(hdc, button, content);
    PaintIcon(hdc, button, hot, content);
}

void SkinnedToolBar::PaintText(HDC hdc, const TBBUTTON& button, RECT& content)
{
    // TB_GETBUTTONTEXT writes the whole text, however long: asked for its
    // length first, it gets a buffer that holds it.
    const UINT message = IsUnicode() ? TB_GETBUTTONTEXTW : TB_GETBUTTONTEXTA;
    const int length = static_cast<int>(CallPrevious(message, button.idCommand, 0));
    if (length <= 0)
        return;
    TextBuffer buffer(IsUnicode(), static_cast<size_t>(length) + 1);
    CallPrevious(message, button.idCommand, reinterpret_cast<LPARAM>(buffer.Address<char>()));
    const WindowText text = buffer.Text().Part(0, std::min(length, kTextChars));
    RECT strip = {content.left, content.bottom - text.Extent(hdc).cy, content.right, content.bottom};
    text.Draw(hdc, strip, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    content.bottom = strip.top;
}

void SkinnedToolBar::PaintIcon(HDC hdc, const TBBUTTON& button, bool hot, const RECT& content)
{
    auto list = hot ? reinterpret_cast<HIMAGELIST>(CallPrevious(TB_GETHOTIMAGELIST, 0, 0)) : nullptr;
    if (!list)
        list = reinterpret_cast<HIMAGELIST>(CallPrevious(TB_GETIMAGELIST, 0, 0));
    const int image = ImageIndex(button);
    int width = 0, height = 0;
    if (!list || image < 0 || !ImageList_GetIconSize(list, &width, &height))
        return;
    const int x = content.left + (content.right - content.left - width) / 2;
    const int y = content.top + (content.bottom - content.top - height) / 2;
    if ((button.fsState & TBSTATE_INDETERMINATE) || !(button.fsState & TBSTATE_ENABLED)) {
        const OwnedIcon icon(ImageList_GetIcon(list, image, ILD_NORMAL));
        if (icon.Get())
            DrawStateA(hdc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.Get()), 0, x, y, width, height,
                       DST_ICON | DSS_DISABLED);
        return;
    }
    ImageList_Draw(list, image, hdc, x, y, ILD_TRANSPARENT);
}

int SkinnedToolBar::ImageIndex(const TBBUTTON& button)
{
    if (button.iBitmap != I_IMAGECALLBACK)
        return button.iBitmap;
    // The application names the image when it is drawn. The system's
    // toolbar asks in the Unicode form whatever its own character set.
    NMTBDISPINFOW info = {};
    info.hdr.hwndFrom = window_;
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(window_));
    info.hdr.code = TBN_GETDISPINFOW;
    info.dwMask = TBNF_IMAGE;
    info.idCommand = button.idCommand;
    info.lParam = button.dwData;
    info.iImage = I_IMAGENONE;
    SendMessageA(GetParent(window_), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (info.dwMask & TBNF_DI_SETITEM) {
        TBBUTTONINFOA kept = {sizeof kept, TBIF_IMAGE};
        kept.iImage = info.iImage;
        CallPreviousHidden(TB_SETBUTTONINFOA, static_cast<WPARAM>(button.idCommand), reinterpret_cast<LPARAM>(&kept));
    }
    return info.iImage;
}
