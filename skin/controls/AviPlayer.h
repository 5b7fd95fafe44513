// The video functions of avifil32 and msvfw32, loaded at run time and
// bound by name (the program imports neither, so it starts where they are
// missing), and the one clip an animation control has open.
#pragma once

#include <windows.h>

#include <vfw.h>

class AviPlayer {
public:
    AviPlayer();
    ~AviPlayer();

    AviPlayer(const AviPlayer&) = delete;
    AviPlayer& operator=(const AviPlayer&) = delete;

    // Both libraries loaded and every function found.
    bool IsAvailable() const { return available_; }

    // Opens the first video stream of the file, closing the clip open so
    // far; false leaves no clip open.
    bool Open(const wchar_t* path);
    void Close();
    bool IsOpen() const { return stream_ != nullptr; }

    int Width() const { return static_cast<int>(info_.dwWidth); }
    int Height() const { return static_cast<int>(info_.dwHeight); }
    LONG Length() const;
    // How long each frame of the open clip shows, in milliseconds.
    DWORD FrameInterval() const { return FrameInterval(info_.dwRate, info_.dwScale); }
    // 1000 * scale / rate, kept between kShortestFrame and kLongestFrame: a
    // clip slower than one frame a second keeps its pace, and a header
    // with a zero rate or scale neither divides by zero nor stalls the
    // clip or spins its thread.
    static DWORD FrameInterval(DWORD rate, DWORD scale);
    static const DWORD kShortestFrame = 10;
    static const DWORD kLongestFrame = 10000;

    // Decodes and draws frames of the open clip for one thread, for as
    // long as that thread plays; the clip stays open meanwhile.
    class Frames {
    public:
        explicit Frames(const AviPlayer& player);
        ~Frames();

        Frames(const Frames&) = delete;
        Frames& operator=(const Frames&) = delete;

        bool IsValid() const { return frames_ && drawDib_; }
        // Frame `index` (counted from the stream's first) at (0, 0) of dc
        // in the clip's size; false when it could not be decoded.
        bool Draw(HDC dc, LONG index) const;

    private:
        const AviPlayer& player_;
        PGETFRAME frames_ = nullptr;
        HDRAWDIB drawDib_ = nullptr;
    };

private:
    bool Bind();

    HMODULE avifil_;
    HMODULE msvfw_;
    bool available_ = false;
    PAVIFILE file_ = nullptr;
    PAVISTREAM stream_ = nullptr;
    AVIFILEINFOA info_ = {};

    // Bound by name from the two libraries.
    decltype(&AVIFileInit) fileInit_ = nullptr;
    decltype(&AVIFileExit) fileExit_ = nullptr;
    decltype(&AVIFileOpenW) fileOpen_ = nullptr;
    decltype(&AVIFileInfoA) fileInfo_ = nullptr;
    decltype(&AVIFileGetStream) fileGetStream_ = nullptr;
    decltype(&AVIFileRelease) fileRelease_ = nullptr;
    decltype(&AVIStreamRelease) streamRelease_ = nullptr;
    decltype(&AVIStreamStart) streamStart_ = nullptr;
    decltype(&AVIStreamLength) streamLength_ = nullptr;
    decltype(&AVIStreamGetFrameOpen) getFrameOpen_ = nullptr;
    decltype(&AVIStreamGetFrame) getFrame_ = nullptr;
    decltype(&AVIStreamGetFrameClose) getFrameClose_ = nullptr;
    decltype(&DrawDibOpen) drawDibOpen_ = nullptr;
    decltype(&DrawDibDraw) drawDibDraw_ = nullptr;
    decltype(&DrawDibClose) drawDibClose_ = nullptr;
};
