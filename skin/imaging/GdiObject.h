// Scoped ownership of GDI handles and of device-context state.
//
// Every GDI object the engine creates lives in one of these types, so that
// an early return can neither leak a handle nor leave a caller's DC with a
// foreign object selected. Owning types delete copy and allow move; the
// view type only names a handle that someone else owns.
#pragma once

#include <windows.h>

#include <utility>

// Non-owning handle of any GDI object type; copies freely.
template <typename Handle>
class GdiHandle {
public:
    GdiHandle(Handle handle = nullptr) : handle_(handle) {}

    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_;
};

// Owns a pen, brush, bitmap, region, font or palette; deletes it at the
// end of its scope. The object must not be selected into a DC by then,
// which the selector below guarantees when both live in the same scope.
template <typename Handle>
class GdiObject {
public:
    explicit GdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~GdiObject() { Reset(); }

    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    operator Handle() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // Gives the handle away; the caller deletes it.
    Handle Release()
    {
        Handle handle = handle_;
        handle_ = nullptr;
        return handle;
    }

    void Reset(Handle handle = nullptr)
    {
        if (handle_)
            DeleteObject(handle_);
        handle_ = handle;
    }

private:
    Handle handle_;
};

using Pen = GdiObject<HPEN>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;
using Region = GdiObject<HRGN>;
using Font = GdiObject<HFONT>;
using Palette = GdiObject<HPALETTE>;

using RegionHandle = GdiHandle<HRGN>;

// A DC from CreateCompatibleDC or CreateIC: deleted with DeleteDC.
class OwnedDC {
public:
    explicit OwnedDC(HDC dc = nullptr) : dc_(dc) {}
    ~OwnedDC() { Reset(); }

    OwnedDC(const OwnedDC&) = delete;
    OwnedDC& operator=(const OwnedDC&) = delete;
    OwnedDC(OwnedDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    OwnedDC& operator=(OwnedDC&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.dc_, nullptr));
        return *this;
    }

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void Reset(HDC dc = nullptr)
    {
        if (dc_)
            DeleteDC(dc_);
        dc_ = dc;
    }

private:
    HDC dc_;
};

// A window's DC, released with ReleaseDC: from GetDC (the client area, or
// the screen's for a null window) or from GetWindowDC (the whole window,
// non-client area included).
template <HDC(WINAPI* Acquire)(HWND)>
class ReleasedDC {
public:
    explicit ReleasedDC(HWND window) : window_(window), dc_(Acquire(window)) {}
    ~ReleasedDC()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }

    ReleasedDC(const ReleasedDC&) = delete;
    ReleasedDC& operator=(const ReleasedDC&) = delete;

    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

using WindowDC = ReleasedDC<GetDC>;
using WholeWindowDC = ReleasedDC<GetWindowDC>;

// An icon this code created (ExtractIconEx, CreateIconIndirect):
// destroyed with DestroyIcon. Icons a window or class lends are never
// wrapped in this.
class OwnedIcon {
public:
    explicit OwnedIcon(HICON icon = nullptr) : icon_(icon) {}
    ~OwnedIcon()
    {
        if (icon_)
            DestroyIcon(icon_);
    }

    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    HICON Get() const { return icon_; }
    // Receives a new icon from functions that write one through a pointer;
    // any icon held so far is destroyed first.
    HICON* Put()
    {
        if (icon_)
            DestroyIcon(icon_);
        icon_ = nullptr;
        return &icon_;
    }

private:
    HICON icon_;
};

// Selects an object into a DC for the length of a scope and selects the
// previous one back at its end.
class ObjectSelector {
public:
    ObjectSelector(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ObjectSelector()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }

    ObjectSelector(const ObjectSelector&) = delete;
    ObjectSelector& operator=(const ObjectSelector&) = delete;

    // False when the selection failed (a null DC or an unfit object).
    bool Selected() const { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Selects a palette (foreground) and restores the previous one.
class PaletteSelector {
public:
    PaletteSelector(HDC dc, HPALETTE palette) : dc_(dc), previous_(SelectPalette(dc, palette, FALSE)) {}
    ~PaletteSelector()
    {
        if (previous_)
            SelectPalette(dc_, previous_, FALSE);
    }

    PaletteSelector(const PaletteSelector&) = delete;
    PaletteSelector& operator=(const PaletteSelector&) = delete;

private:
    HDC dc_;
    HPALETTE previous_;
};

// Saves the whole DC state (selected objects, colours, modes, clip region)
// and restores exactly that state at the end of the scope.
class SavedDCState {
public:
    // With `save` false nothing is saved and nothing restored, at no cost.
    explicit SavedDCState(HDC dc, bool save = true) : dc_(dc), level_(save ? SaveDC(dc) : 0) {}
    ~SavedDCState()
    {
        if (level_)
            RestoreDC(dc_, level_);
    }

    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

    bool Saved() const { return level_ != 0; }

private:
    HDC dc_;
    int level_;
};

// Narrows a DC's clipping to a region (device coordinates) for a scope and
// restores the DC's whole state at its end; a null region leaves the DC
// alone, at no cost.
class ClipRegionScope {
public:
    ClipRegionScope(HDC dc, HRGN region) : saved_(dc, region != nullptr)
    {
        if (saved_.Saved())
            ExtSelectClipRgn(dc, region, RGN_AND);
    }

private:
    SavedDCState saved_;
};

// Sets the text and background colours for a scope.
class TextColours {
public:
    TextColours(HDC dc, COLORREF text, COLORREF background)
        : dc_(dc), text_(SetTextColor(dc, text)), background_(SetBkColor(dc, background))
    {
    }
    ~TextColours()
    {
        SetTextColor(dc_, text_);
        SetBkColor(dc_, background_);
    }

    TextColours(const TextColours&) = delete;
    TextColours& operator=(const TextColours&) = delete;

private:
    HDC dc_;
    COLORREF text_;
    COLORREF background_;
};

// Sets the brush origin (device coordinates) for a scope.
class BrushOriginScope {
public:
    BrushOriginScope(HDC dc, POINT origin) : dc_(dc), previous_() { SetBrushOrgEx(dc, origin.x, origin.y, &previous_); }
    ~BrushOriginScope() { SetBrushOrgEx(dc_, previous_.x, previous_.y, nullptr); }

    BrushOriginScope(const BrushOriginScope&) = delete;
    BrushOriginScope& operator=(const BrushOriginScope&) = delete;

private:
    HDC dc_;
    POINT previous_;
};

// Sets a stretch-blit mode for a scope.
class StretchModeScope {
public:
    StretchModeScope(HDC dc, int mode) : dc_(dc), previous_(SetStretchBltMode(dc, mode)) {}
    ~StretchModeScope()
    {
        if (previous_)
            SetStretchBltMode(dc_, previous_);
    }

    StretchModeScope(const StretchModeScope&) = delete;
    StretchModeScope& operator=(const StretchModeScope&) = delete;

private:
    HDC dc_;
    int previous_;
};
