#include "controls/AviPlayer.h"

#include <algorithm>

namespace {

template <typename Function>
bool BindFunction(HMODULE library, const char* name, Function& function)
{
    function = library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
    return function != nullptr;
}

}  // namespace

AviPlayer::AviPlayer() : avifil_(LoadLibraryA("avifil32.dll")), msvfw_(LoadLibraryA("msvfw32.dll"))
{
    available_ = Bind();
    if (fileInit_)
        fileInit_();
}

AviPlayer::~AviPlayer()
{
    Close();
    if (fileExit_)
        fileExit_();
    if (msvfw_)
        FreeLibrary(msvfw_);
    if (avifil_)
        FreeLibrary(avifil_);
}

bool AviPlayer::Bind()
{
    // Every function is looked up, so that AVIFileInit and AVIFileExit stay
    // paired even where another one is missing.
    bool all = BindFunction(avifil_, "AVIFileInit", fileInit_);
    all &= BindFunction(avifil_, "AVIFileExit", fileExit_);
    all &= BindFunction(avifil_, "AVIFileOpenW", fileOpen_);
    all &= BindFunction(avifil_, "AVIFileInfoA", fileInfo_);
    all &= BindFunction(avifil_, "AVIFileGetStream", fileGetStream_);
    all &= BindFunction(avifil_, "AVIFileRelease", fileRelease_);
    all &= BindFunction(avifil_, "AVIStreamRelease", streamRelease_);
    all &= BindFunction(avifil_, "AVIStreamStart", streamStart_);
    all &= BindFunction(avifil_, "AVIStreamLength", streamLength_);
    all &= BindFunction(avifil_, "AVIStreamGetFrameOpen", getFrameOpen_);
    all &= BindFunction(avifil_, "AVIStreamGetFrame", getFrame_);
    all &= BindFunction(avifil_, "AVIStreamGetFrameClose", getFrameClose_);
    all &= BindFunction(msvfw_, "DrawDibOpen", drawDibOpen_);
    all &= BindFunction(msvfw_, "DrawDibDraw", drawDibDraw_);
    all &= BindFunction(msvfw_, "DrawDibClose", drawDibClose_);
    return all;
}

DWORD AviPlayer::FrameInterval(DWORD rate, DWORD scale)
{
    if (rate == 0)
        return kLongestFrame;
    const ULONGLONG interval = 1000ull * scale / rate;
    return static_cast<DWORD>(std::min<ULONGLONG>(std::max<ULONGLONG>(interval, kShortestFrame), kLongestFrame));
}

bool AviPlayer::Open(const wchar_t* path)
{
    Close();
    if (!available_)
        return false;
    if (fileOpen_(&file_, path, OF_READ | OF_SHARE_DENY_WRITE, nullptr) != 0) {
        file_ = nullptr;
        return false;
    }
    if (fileInfo_(file_, &info_, sizeof info_) != 0 || fileGetStream_(file_, &stream_, streamtypeVIDEO, 0) != 0) {
        stream_ = nullptr;
        Close();
        return false;
    }
    return true;
}

void AviPlayer::Close()
{
    // The stream holds the file too: without its release the file would
    // stay open (and undeletable) for good.
    if (stream_)
        streamRelease_(stream_);
    if (file_)
        fileRelease_(file_);
    stream_ = nullptr;
    file_ = nullptr;
    info_ = AVIFILEINFOA{};
}

LONG AviPlayer::Length() const
{
    return stream_ ? streamLength_(stream_) : 0;
}

AviPlayer::Frames::Frames(const AviPlayer& player) : player_(player)
{
    if (!player.stream_)
        return;
    frames_ = player.getFrameOpen_(player.stream_, nullptr);
    drawDib_ = player.drawDibOpen_();
}

AviPlayer::Frames::~Frames()
{
    // Each DrawDib instance keeps a DC and a section of its own once it
    // has drawn; one per frame would run the process out of GDI handles.
    if (drawDib_)
        player_.drawDibClose_(drawDib_);
    if (frames_)
        player_.getFrameClose_(frames_);
}

bool AviPlayer::Frames::Draw(HDC dc, LONG index) const
{
    if (!IsValid())
        return false;
    auto* header =
        static_cast<BITMAPINFOHEADER*>(player_.getFrame_(frames_, index + player_.streamStart_(player_.stream_)));
    if (!header)
        return false;
    return player_.drawDibDraw_(drawDib_, dc, 0, 0, player_.Width(), player_.Height(), header, nullptr, 0, 0, -1, -1,
                                0) != FALSE;
}
