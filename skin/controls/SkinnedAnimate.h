// Animation controls: the skin opens and plays the clip itself, on a worker
// thread that composes every frame over the skinned background, so that a
// transparent clip shows the dialog or tab page behind it. Without the
// video libraries the control stays the system's.
#pragma once

#include "controls/AviPlayer.h"
#include "controls/SkinnedControl.h"
#include "imaging/TempFiles.h"

#include <memory>

class AnimateSkin;

class SkinnedAnimate : public SkinnedControl {
public:
    SkinnedAnimate(int controlType, SkinnedWindow& owner);
    ~SkinnedAnimate() override;

    WNDPROC Attach(HWND hwnd) override;
    void Detach() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct HandleCloser {
        void operator()(HANDLE handle) const { CloseHandle(handle); }
    };
    using OwnedHandle = std::unique_ptr<void, HandleCloser>;
    // The last frame of a clip played to its end.
    static const WORD kToEnd = 0xFFFF;

    const AnimateSkin* Skin() const;
    LRESULT OpenAnsi(HINSTANCE module, const char* name);
    LRESULT Open(HINSTANCE module, const wchar_t* name);
    bool OpenResource(HINSTANCE module, const wchar_t* name, const char* tempName);
    void CloseClip();
    LRESULT Play(WPARAM repeat, LPARAM frames);
    bool Start();
    LRESULT Stop();
    void EndWorker();
    void Notify(WORD code) const;
    bool PaintBorder();
    // The background of one frame: the window behind for a transparent
    // clip, else the skin's BACKGROUND.
    void PaintClipBackground(HDC hdc);

    // The worker thread.
    static DWORD WINAPI WorkerMain(void* self);
    void RunWorker();
    void DrawFrame(const AviPlayer::Frames& frames, WORD frame);
    // The next frame; false when the repeat count is used up.
    bool Advance(LONG length, int& loops);

    int controlId_ = 0;
    DWORD style_ = 0;
    OwnedHandle stopEvent_;
    OwnedHandle thread_;
    bool playing_ = false;
    int repeat_ = -1;  // -1: for ever
    WORD first_ = 0;
    WORD last_ = kToEnd;
    WORD current_ = 0;  // the worker's while it runs
    AviPlayer player_;
    // A resource's clip file the platform would not delete while open; it
    // goes when the clip is closed.
    std::unique_ptr<TempFile> clipFile_;
};
