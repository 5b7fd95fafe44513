// The MDI client of a skinned frame: its background from the frame skin's
// MDI-client picture, and the repaint its children's frames need.
#pragma once

#include "core/SkinnedWindow.h"

class SkinnedMdiClient : public SkinnedWindow {
public:
    explicit SkinnedMdiClient(HWND frame) : frame_(frame) {}

    // The client follows its frame's skin, whatever the new store holds.
    int KeepWithoutSkinObject() override { return 1; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool EraseBackground(HDC hdc);
    LRESULT DestroyChild(WPARAM child);

    HWND frame_;
};
