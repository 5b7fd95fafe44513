// An ImageRef cut out of its skin bitmap once, with the region of its
// non-transparent pixels, ready to be drawn many times.
//
// PreparedImage.cpp is byte-level code (the fuzzing build compiles it);
// the region is made and deleted in PreparedImageDevice.cpp.
#pragma once

#include <windows.h>

#include <cstdint>

class Image;
class SkinStore;
struct ImageRef;

struct PreparedImage {
    PreparedImage() = default;
    ~PreparedImage();

    PreparedImage(const PreparedImage&) = delete;
    PreparedImage& operator=(const PreparedImage&) = delete;

    int32_t width = 0;
    int32_t height = 0;
    int32_t reserved = 0;
    HRGN region = nullptr;   // owned; the pixels that are not the key colour
    Image* image = nullptr;  // owned; the cut-out
};

// Cuts `ref` out of its bitmap; the region is built only when the skin's
// SkinInfo asks for transparency. A missing bitmap or an unusable rectangle
// leaves `out` all zero.
void PrepareImageRef(SkinStore& store, const ImageRef& ref, PreparedImage& out);
// Destroys the image and the region and sets every field to 0.
void ReleasePreparedImage(PreparedImage& prepared);

// The region of the pixels of `image` that are not `transparentColour`.
HRGN CreatePreparedRegion(const Image& image, COLORREF transparentColour);
void DeletePreparedRegion(HRGN region);
