// The members of Image that need the window system: conversion of the
// decoded DIB into a device bitmap.
#include "imaging/Image.h"

#include "imaging/GdiObject.h"

#include <cstring>

Bitmap Image::MakeBitmap(HDC dc) const
{
    if (!dib_)
        return Bitmap();
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(dib_.get());
    if (dc)
        return Bitmap(CreateDIBitmap(dc, &header_, CBM_INIT, GetBits(0), info, DIB_RGB_COLORS));
    OwnedDC memory(CreateCompatibleDC(nullptr));
    if (!memory)
        return Bitmap();
    void* bits = nullptr;
    Bitmap bitmap(CreateDIBSection(memory, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits)
        std::memcpy(bits, GetBits(0), header_.biSizeImage);
    return bitmap;
}
