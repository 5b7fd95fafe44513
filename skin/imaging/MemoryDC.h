// An off-screen drawing surface: a memory DC with a bitmap of the reference
// DC's colours selected into it (a 32-bit section where the reference keeps
// 24 bits of colour).
#pragma once

#include "imaging/GdiObject.h"

#include <windows.h>

class MemoryDC {
public:
    // A surface of width x height whose contents stay here until the
    // caller copies them or takes the bitmap with DetachBitmap.
    MemoryDC(HDC reference, int width, int height);
    // A surface covering `area` of `target`, addressed in the target's own
    // coordinates; its contents are copied back into `area` when the
    // surface goes away, unless the bitmap was detached.
    MemoryDC(HDC target, const RECT& area);
    virtual ~MemoryDC();

    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Dc() const { return dc_.Get(); }
    // False when the DC or the bitmap could not be created; drawing into
    // such a surface does nothing.
    bool IsValid() const { return dc_ && bitmap_; }

    // Deselects the bitmap, deletes the DC and hands the bitmap over; the
    // caller deletes it. The surface keeps nothing and copies nothing back.
    HBITMAP DetachBitmap();

private:
    static HBITMAP CreateSection(HDC reference, int width, int height);
    void Create(HDC reference, int width, int height);
    void Deselect();

    OwnedDC dc_;
    Bitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    HDC target_ = nullptr;
    RECT area_ = {};
};
