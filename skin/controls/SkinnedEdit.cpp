#include "controls/SkinnedEdit.h"

#include "data/ClientEdgeSkin.h"
#include "data/SkinTypes.h"

#include <richedit.h>

HBRUSH SkinnedEdit::ColourBrush::For(COLORREF wanted)
{
    if (!brush || colour != wanted) {
        brush.Reset(CreateSolidBrush(wanted));
        colour = wanted;
    }
    return brush.Get();
}

bool SkinnedEdit::IsRichEditObject() const
{
    return skinObject_ && skinObject_->TypeCode() == kTypeRichEdit;
}

// A rich edit takes its scroll styles away while it is made, before the
// skin sees it, and shows its bars when it has text to scroll.
bool SkinnedEdit::MayShowScrollBars() const
{
    const bool multiLineRichEdit = IsRichEditObject() && (GetWindowLongPtrA(window_, GWL_STYLE) & ES_MULTILINE);
    return multiLineRichEdit || SkinnedScrollControl::MayShowScrollBars();
}

void SkinnedEdit::SetRichEditBackground()
{
    if (const ClientEdgeSkin* skin = IsRichEditObject() ? Skin() : nullptr)
        SendMessageA(window_, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(skin->backColour));
}

WNDPROC SkinnedEdit::Attach(HWND hwnd)
{
    const WNDPROC previous = SkinnedScrollControl::Attach(hwnd);
    if (previous)
        SetRichEditBackground();
    return previous;
}

// A rich edit no longer skinned takes the system's background again.
void SkinnedEdit::Detach()
{
    const HWND window = window_;
    const bool restore = IsSubclassed() && !windowDying_ && IsRichEditObject();
    SkinnedScrollControl::Detach();
    if (restore && IsWindow(window))
        SendMessageA(window, EM_SETBKGNDCOLOR, 1, 0);
}

SkinObject* SkinnedEdit::SetSkinObject(SkinObject* skinObject)
{
    SkinObject* previous = SkinnedScrollControl::SetSkinObject(skinObject);
    if (window_)
        SetRichEditBackground();
    return previous;
}

HBRUSH SkinnedEdit::AnswerParentColours(UINT message, HDC dc)
{
    const ClientEdgeSkin* skin = Skin();
    if (!skin)
        return nullptr;
    const bool third = message == WM_CTLCOLORSTATIC;
    const COLORREF background = third ? skin->keyColour : skin->backColour;
    SetBkColor(dc, background);
    SetTextColor(dc, skin->textColour);
    return third ? thirdBrush_.For(background) : backBrush_.For(background);
}

// The edit paints itself, text and background.
void SkinnedEdit::OnPaint()
{
    CallPrevious(WM_PAINT, 0, 0);
}

LRESULT SkinnedEdit::OnEraseBackground(HDC hdc)
{
    return CallPrevious(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
}
