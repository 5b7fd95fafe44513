// Progress bars: the bar drawn over the whole window (border included)
// from the skin's background and progress images, filling from the left,
// or from the bottom with PBS_VERTICAL. The skin keeps the control's range,
// position and step itself, so that the system never repaints the bar, and
// gives them back when it lets the control go; the colours the application
// sets are the control's.
#pragma once

#include "controls/SkinnedControl.h"
#include "imaging/TurnedDrawing.h"

class ProgressSkin;

class SkinnedProgress : public SkinnedControl {
public:
    // What the bar shows: the range, the position and the step.
    struct State {
        int low = 0;
        int high = 0;
        int position = 0;
        int step = 0;
    };

    using SkinnedControl::SkinnedControl;

    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint(HDC hdc) override;

    // The filled length of a bar `length` pixels long.
    static int FilledLength(const State& state, int length);
    // The position one step on.
    static int Stepped(const State& state);

private:
    const ProgressSkin* Skin() const;
    QuarterTurn Turn() const;
    // The state the bar shows: the skin's own once read, the control's before.
    State ShownState() const;
    void ReadControlState();
    bool OnStateMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    LRESULT SetRange(int low, int high);
    // Kept within the range, also below it (a negative delta or step).
    LRESULT SetPosition(long long position);
    // The border from the background image; false without a skin object.
    bool PaintBorder();
    // The bar over `bar`, horizontal, into `hdc`.
    void PaintBar(HDC hdc, const RECT& bar, const State& state) const;

    bool ready_ = false;
    State state_;
};
