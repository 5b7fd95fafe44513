// The title bar of a skinned frame or dialog as a reader sees the
// system's: its close, maximise (or restore) and minimise (or restore)
// buttons are push buttons named as the window's system menu names those
// commands, so they read in the person's language as the system's do.
#pragma once

#include <windows.h>

#include "AccessibleObject.h"

class CaptionButton;

class CaptionAccessible : public AccessibleObject {
public:
    explicit CaptionAccessible(HWND window) : window_(window) {}

    // WM_GETOBJECT of a skinned window: true, with the answer, for its
    // title bar.
    static bool AnswerTitleBar(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    long ChildCount() override;
    long Role(long child) override;
    long State(long child) override;
    bool Name(long child, std::wstring& name) override;
    bool DefaultAction(long child, std::wstring& action) override;
    bool Location(long child, RECT& screen) override;
    IDispatch* Parent() override;
    bool DoDefaultAction(long child) override;

private:
    // The visible buttons that run a window command, in the skin's order;
    // looked up at each question, as the skin may have changed.
    CaptionButton* Button(long child);

    HWND window_;
};
