// An ImageRef cut out of its skin bitmap once, ready to be drawn many
// times, with the region of its pixels that are not the skin's key colour
// built the first time someone asks for it.
//
// PreparedImage.cpp is byte-level code (the fuzzing build compiles it);
// the region is made and deleted in PreparedImageDevice.cpp.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <type_traits>

#include "imaging/Image.h"

class SkinStore;
struct ImageRef;

class PreparedImage {
public:
    PreparedImage() = default;

    PreparedImage(const PreparedImage&) = delete;
    PreparedImage& operator=(const PreparedImage&) = delete;

    // The region of the cut-out's pixels that are not the skin's key
    // colour, in the cut-out's coordinates. Built on the first call (one
    // scan of the pixels), then kept until the prepared image is released;
    // safe to call from any thread. Null when the skin uses no key colour,
    // nothing was cut out, or the region cannot be made. The prepared image
    // owns it: a caller that hands a region on to something that takes
    // ownership (SetWindowRgn) hands on a copy.
    HRGN Region() const;

    int32_t width = 0;
    int32_t height = 0;
    int32_t reserved = 0;
    std::unique_ptr<Image> image;  // the cut-out; null when there is none

private:
    friend void PrepareImageRef(SkinStore& store, const ImageRef& ref, PreparedImage& out);
    friend void ReleasePreparedImage(PreparedImage& prepared);

    struct RegionDeleter {
        void operator()(HRGN region) const;
    };
    using OwnedRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDeleter>;

    bool keyed_ = false;
    COLORREF key_ = 0;
    mutable std::mutex regionLock_;
    mutable bool regionMade_ = false;
    mutable OwnedRegion region_;
};

// Cuts `ref` out of its bitmap and notes whether the skin's SkinInfo asks
// for transparency (the region is then built on demand). A missing bitmap
// or an unusable rectangle leaves `out` all zero.
void PrepareImageRef(SkinStore& store, const ImageRef& ref, PreparedImage& out);
// Destroys the cut-out and the region and sets every field to 0.
void ReleasePreparedImage(PreparedImage& prepared);
