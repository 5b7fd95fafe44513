// A label on a frame: the window text, an owner-drawn area, or a fixed
// text; it also marks caption and sizing areas for hit testing and may
// cut the window's shape with its region.
#pragma once

#include "core/FrameElement.h"
#include "imaging/WindowText.h"

class FrameLabelSkin;

class FrameLabel : public FrameElement {
public:
    enum Function { FunctionWindowText = 1, FunctionCaptionArea = 10, FunctionOwnerDrawn = 11 };

    FrameLabel(const RECT& placement, SkinnedWindow& owner);

    void Draw(HDC hdc) override;
    bool HitTest(int x, int y) override;
    void Layout(int left, int top, int right, int bottom) override;

    bool IsLabel() const override { return true; }
    bool ShowsWindowText() const override { return Function() == FunctionWindowText; }
    void JoinRegion(HRGN region) const override;
    int Function() const;
    // The non-client hit-test code the label stands for, 0 for none.
    int HitCode() const override;
    // RGN_AND, RGN_DIFF, RGN_OR or RGN_XOR: how the label's region joins
    // the window region.
    int CombineMode() const;
    // The label's region in window coordinates (its image's shape placed by
    // the image's draw mode, else its rectangle); the caller owns it.
    HRGN BuildRegion() const;

private:
    void DrawByOwner(HDC hdc, const FrameLabelSkin& label);
    void DrawLabelText(HDC hdc, const FrameLabelSkin& label, const WindowText& text);
    const FrameLabelSkin* Label() const;
};
