#include "windows/FrameLabel.h"

#include "core/SkinnedWindow.h"
#include "data/ButtonPart.h"
#include "data/SkinFontHandle.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"
#include "imaging/Regions.h"
#include "imaging/TextEffect.h"

namespace {

const int kWindowTextSize = 300;
const UINT kOwnerDrawnLabelType = 5;
const char kNoOwnerText[] = "OD";

// Function codes 1 to 10 stand for these hit-test codes.
const int kHitCodes[] = {HTCAPTION, HTLEFT, HTTOPLEFT, HTTOP, HTTOPRIGHT,
                         HTRIGHT, HTBOTTOMRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTCAPTION};

UINT TextFormat(const FrameLabelSkin& label)
{
    // No prefix processing: a window text "Save & Exit" must show its "&".
    UINT format = DT_SINGLELINE | DT_NOPREFIX;
    if (label.hAlign == 1)
        format |= DT_CENTER;
    else if (label.hAlign == 2)
        format |= DT_RIGHT;
    if (label.vAlign == 1)
        format |= DT_VCENTER;
    else if (label.vAlign == 2)
        format |= DT_BOTTOM;
    return format;
}

// One side of a label laid out along one axis: the design span [designFrom,
// designTo) of a frame designed `designExtent` long, fitted to [from, to).
void FitSpan(LONG designFrom, LONG designTo, int designExtent, bool anchorStart, bool anchorEnd, int from, int to,
             LONG& outFrom, LONG& outTo)
{
    outFrom = anchorStart || !anchorEnd ? from + designFrom : to + designFrom - designExtent;
    outTo = anchorEnd ? to + designTo - designExtent : outFrom + (designTo - designFrom);
}

// The only reader of the prepared image's region: the label's shape as
// its skin bitmap cut it out, in image coordinates, or null.
RegionHandle PreparedRegion(const FrameLabelSkin& label)
{
    return RegionHandle(label.prepared.Region());
}

}  // namespace

FrameLabel::FrameLabel(const RECT& placement, SkinnedWindow& owner) : FrameElement(placement, owner) {}

void FrameLabel::Draw(HDC hdc)
{
    const FrameLabelSkin* label = Label();
    if (!label)
        return;
    if (label->function == FunctionOwnerDrawn) {
        DrawByOwner(hdc, *label);
        return;
    }
    DrawImageRef(hdc, rect_, label->image, label->backColour, false, owner_.Store());
    if (label->function != FunctionWindowText) {
        DrawLabelText(hdc, *label, WindowText(label->labelText));
        return;
    }
    DrawLabelText(hdc, *label, WindowText::Of(owner_.Window()).Part(0, kWindowTextSize - 1));
}

void FrameLabel::DrawByOwner(HDC hdc, const FrameLabelSkin& label)
{
    const HWND window = owner_.Window();
    if (!window) {
        DrawLabelText(hdc, label, WindowText(kNoOwnerText));
        return;
    }
    DRAWITEMSTRUCT item = {};
    item.CtlType = kOwnerDrawnLabelType;
    item.CtlID = static_cast<UINT>(label.commandId);
    item.itemID = static_cast<UINT>(-1);
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = window;
    item.hDC = hdc;
    item.rcItem = rect_;
    // The owner's drawing may leave anything selected in the frame's DC.
    SavedDCState saved(hdc);
    SendMessageA(window, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void FrameLabel::DrawLabelText(HDC hdc, const FrameLabelSkin& label, const WindowText& text)
{
    if (text.Empty())
        return;
    SkinFontHandle font;
    font.Create(label.font);
    ObjectSelector selectFont(hdc, font.Get());
    DrawTextWithEffect(hdc, label.effect, rect_, text, TextFormat(label));
}

bool FrameLabel::HitTest(int x, int y)
{
    if (!Label() || !IsVisible())
        return false;
    Region region(BuildRegion());
    return region && PtInRegion(region, x, y);
}

void FrameLabel::Layout(int left, int top, int right, int bottom)
{
    const FrameLabelSkin* label = Label();
    SIZE design;
    rect_ = placement_;
    if (!label || !OwnerDesignSize(0, design))
        return;
    const int32_t* anchors = label->anchors;  // left, top, right, bottom
    FitSpan(placement_.left, placement_.right, design.cx, anchors[0] != 0, anchors[2] != 0, left, right, rect_.left,
            rect_.right);
    FitSpan(placement_.top, placement_.bottom, design.cy, anchors[1] != 0, anchors[3] != 0, top, bottom, rect_.top,
            rect_.bottom);
}

int FrameLabel::Function() const
{
    const FrameLabelSkin* label = Label();
    return label ? label->function : 0;
}

int FrameLabel::HitCode() const
{
    const int function = Function();
    const int count = static_cast<int>(sizeof kHitCodes / sizeof kHitCodes[0]);
    return function >= 1 && function <= count ? kHitCodes[function - 1] : 0;
}

int FrameLabel::CombineMode() const
{
    const FrameLabelSkin* label = Label();
    switch (label ? label->value : 2) {
    case 0:
        return RGN_AND;
    case 1:
        return RGN_DIFF;
    case 3:
        return RGN_XOR;
    default:
        // 2, and codes the format does not know: adding the label's own
        // area never cuts the window's shape by surprise.
        return RGN_OR;
    }
}

HRGN FrameLabel::BuildRegion() const
{
    const FrameLabelSkin* label = Label();
    const RegionHandle shape = label ? PreparedRegion(*label) : RegionHandle();
    HRGN placed = nullptr;
    if (shape && label->prepared.width > 0 && label->prepared.height > 0) {
        const int width = rect_.right - rect_.left;
        const int height = rect_.bottom - rect_.top;
        switch (label->image.drawMode) {
        case DrawModeOnce:
            placed = ScaleRegion(shape, 1.0f, 1.0f, rect_.left, rect_.top);
            break;
        case DrawModeTile:
            placed = TileRegion(shape, label->prepared.width, label->prepared.height, rect_.left, rect_.top,
                                rect_.right, rect_.bottom);
            break;
        default:
            placed = ScaleRegion(shape, static_cast<float>(width) / label->prepared.width,
                                 static_cast<float>(height) / label->prepared.height, rect_.left, rect_.top);
            break;
        }
    }
    return placed ? placed : CreateRectRgnIndirect(&rect_);
}

const FrameLabelSkin* FrameLabel::Label() const
{
    return static_cast<const FrameLabelSkin*>(skinObject_);
}

void FrameLabel::JoinRegion(HRGN region) const
{
    Region own(BuildRegion());
    if (own)
        CombineRgn(region, region, own, CombineMode());
}
