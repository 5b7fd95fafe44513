// Trackbars: background, channel and thumb from the skin, never tick
// marks. The system keeps the behaviour and says where channel and thumb
// are; the skin gives the control TBS_BOTH while it draws it, so that the
// system lays out a thumb without a point.
#pragma once

#include "controls/SkinnedControl.h"
#include "imaging/TurnedDrawing.h"

class TrackBarSkin;

class SkinnedTrackBar : public SkinnedControl {
public:
    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    // The channel in client coordinates. Windows reports a vertical
    // trackbar's channel across (as if horizontal); Wine reports it as it
    // lies.
    static RECT ChannelInClient(const RECT& reported, bool vertical);

private:
    const TrackBarSkin* Skin() const;
    void PaintBackground(HDC hdc, const RECT& client, QuarterTurn turn) const;
    void PaintThumb(HDC hdc, const RECT& thumb, bool vertical) const;

    LONG_PTR attachStyle_ = 0;
};
