// References to skin bitmaps as the skin stores them, and their drawing:
// an ImageRef is one rectangle of a named bitmap with a draw mode; a
// FrameImageRef is one rectangle cut into nine pieces by four margins.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

class Image;

// Where reference drawing finds a skin's bitmaps by name.
class ImageSource {
public:
    // The bitmap of that name, or null.
    virtual Image* FindImage(const char* name) const = 0;

protected:
    ~ImageSource() = default;
};

// Rectangle of a bitmap, top-down, right and bottom exclusive.
struct SourceRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

enum ImageDrawMode : int32_t {
    DrawModeOnce = 0,     // 1:1 at the top-left corner, cut to the smaller size
    DrawModeTile = 1,     // repeated from the top-left corner
    DrawModeStretch = 2,  // stretched to the destination; so is any other value
};

const size_t kImageNameSize = 50;

// 72 bytes, stored as such in skin objects.
struct ImageRef {
    char name[kImageNameSize];  // NUL-terminated bitmap name
    uint8_t zero[2];
    SourceRect source;
    int32_t drawMode;
};

// 88 bytes, stored as such in skin objects.
struct FrameImageRef {
    char name[kImageNameSize];
    uint8_t zero[2];
    SourceRect source;
    int32_t marginLeft;  // source pixels
    int32_t marginTop;
    int32_t marginRight;
    int32_t marginBottom;
    int32_t stretchMode;  // which pieces are stretched; see PieceDrawMode
};

static_assert(sizeof(ImageRef) == 72, "ImageRef is a 72-byte skin value");
static_assert(offsetof(ImageRef, source) == 52 && offsetof(ImageRef, drawMode) == 68, "ImageRef layout");
static_assert(sizeof(FrameImageRef) == 88, "FrameImageRef is an 88-byte skin value");
static_assert(offsetof(FrameImageRef, marginLeft) == 68 && offsetof(FrameImageRef, stretchMode) == 84,
              "FrameImageRef layout");

// True when the source rectangle is empty or the name is "".
bool IsImageRefEmpty(const ImageRef& ref);

// The nine pieces of a frame, in drawing order.
enum FramePiece {
    PieceTopLeft, PieceTop, PieceTopRight,
    PieceLeft, PieceCentre, PieceRight,
    PieceBottomLeft, PieceBottom, PieceBottomRight,
    FramePieceCount
};

// Draw mode (tile or stretch) of one piece under a frame's stretch mode.
int32_t PieceDrawMode(int32_t stretchMode, int piece);

// The reference of one piece of a frame drawn into destRect, and that
// piece's own destination.
ImageRef FramePieceRef(const FrameImageRef& frame, int piece);
RECT FramePieceDest(const FrameImageRef& frame, const RECT& destRect, int piece);

// Each of these fills the destination (or each missing piece) with
// fallbackColour when fillIfMissing is set and the bitmap is missing or
// the source rectangle empty or unusable. `images` is the skin store whose
// bitmaps are drawn; their kept device copies (DeviceCopies.h) make each
// piece one blit, and a tiled piece one pattern fill.
// DrawImageRef returns false when there was nothing to draw from.
bool DrawImageRef(HDC hdc, const RECT& destRect, const ImageRef& ref, COLORREF fallbackColour, bool fillIfMissing,
                  const ImageSource& images);
// The reference as DrawImageRef draws it, with pixels of transparentColour
// leaving the destination unchanged; nothing is filled. False when there
// was nothing to draw from.
bool DrawImageRefKeyed(HDC hdc, const RECT& destRect, const ImageRef& ref, COLORREF transparentColour,
                       const ImageSource& images);
// All nine pieces.
void DrawFrameImage(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                    bool fillIfMissing, const ImageSource& images);
// The eight pieces around the centre.
void DrawFrameBorder(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF fallbackColour,
                     bool fillIfMissing, const ImageSource& images);
// The frame composed off-screen, then copied with transparentColour as
// key: missing pieces and key pixels leave the destination unchanged.
// Returns non-zero.
int DrawFrameImageKeyed(HDC hdc, const RECT& destRect, const FrameImageRef& frame, COLORREF transparentColour,
                        const ImageSource& images);
