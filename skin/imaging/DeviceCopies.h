// Device-side copies of an Image that drawing keeps between calls: the
// pixels as a 32-bit section selected into its own DC, per key colour a
// mask and a key-blackened copy, per piece of the image pattern brushes and
// whether it holds key pixels, the opacity of each pixel, and the section a
// composed or resampled draw is built in. With them a piece draws as one
// blit, a keyed piece as two.
//
// The copies belong to the image: made on first use, remade when the image
// changed (Image::GetRevision), freed with the image. Each image's copies
// have one lock, held for the whole of a draw that uses their DCs, so that
// threads drawing the same image take turns: a DC serves one thread at a
// time.
#pragma once

#include "imaging/GdiObject.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class Image;

// Off only for comparisons with the plain path (tests) and diagnosis:
// every draw then converts the image's pixels again, as it would without
// copies. On by default.
void EnableDeviceCopies(bool on);
bool DeviceCopiesEnabled();

// True when pixels drawn into `hdc` keep all 24 bits of colour, so that a
// 32-bit copy blitted there gives exactly what drawing the image itself
// gives. Lower depths (16-bit, palette devices) round colours and compare
// keys after rounding; they take the plain path.
bool IsTrueColourTarget(HDC hdc);
// The display's answer is kept: asking a window DC for its depth is a
// query of the display settings under Wine (about 150 us each time).
// Windows call this when told the display changed.
void ForgetDisplayColourDepth();

// The header of a 32-bit BI_RGB section of width x height (a negative
// height is top-down).
BITMAPINFO Section32Info(int width, int height);

// A 32-bit top-down DIB section kept selected into its own memory DC.
class KeptSection {
public:
    KeptSection() = default;
    ~KeptSection() { Reset(); }

    KeptSection(const KeptSection&) = delete;
    KeptSection& operator=(const KeptSection&) = delete;

    // Replaces the section by one of width x height with undefined contents.
    bool Create(HDC reference, int width, int height);
    void Reset();

    bool IsValid() const { return bits_ != nullptr; }
    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The section's header and pixels, for StretchDIBits.
    const BITMAPINFO& Info() const { return info_; }
    const void* Bits() const { return bits_; }
    // Row y counted from the top; pixels are 0x00RRGGBB.
    uint32_t* Row(int y) const { return bits_ + static_cast<size_t>(height_ - 1 - y) * width_; }

private:
    OwnedDC dc_;
    Bitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    BITMAPINFO info_ = {};
    uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The colour of pixel x of a bottom-up source row as 0x00RRGGBB: the
// palette entry for palette images (black beyond the palette), the pixel's
// own bytes otherwise.
uint32_t SourcePixel(const Image& image, const BYTE* row, int x);
// The colour of that pixel as an RGBQUAD, reserved byte included.
RGBQUAD SourceColour(const Image& image, const BYTE* row, int x);

// Equal in all four bytes.
bool SameColour(const RGBQUAD& a, const RGBQUAD& b);

// How an image's pixels combine with what the destination already shows.
struct Composition {
    bool keyed;
    RGBQUAD key;
    const BYTE* alphaPlane;
    int alphaScale;  // alpha maximum + 1
    bool paletteAlpha;

    bool NeedsBackground() const { return keyed || alphaPlane || paletteAlpha; }
    // 0 (the destination stays) to 255 (the colour replaces it) for a pixel
    // of that colour and alpha value.
    int Opacity(const RGBQUAD& colour, int alphaValue) const;
};

Composition CompositionOf(const Image& image);

// For each column of the paint box the source column, for each row of the
// box counted from its bottom the source row counted from the image's
// bottom (closest-pixel sampling; 1:1 at natural size).
struct SamplingMap {
    std::vector<int> columns;
    std::vector<int> rows;
};

SamplingMap MapPaintBox(int imageWidth, int imageHeight, int x, int y, int cx, int cy, const RECT& box);

// Masks and copies for one key colour. A mask pixel is white where the
// image has the key and black elsewhere; the blackened copy is the image
// with its key pixels black. AND with the mask, then OR with the copy
// leaves the destination where the key was.
struct KeyCopies {
    KeptSection mask;
    KeptSection blackened;
};

// One piece of the image on its own, for stretching (a stretch samples a
// piece cut out exactly as it samples the cut-out image), and as a pattern
// brush, for tiling, made by its first tiling: a piece only stretched or
// drawn once never needs one. `stretched` keeps the last stretch of the piece (for
// a keyed piece its mask above its blackened copy): a frame repaints at
// one size many times.
struct PieceCopies {
    struct Keyed {
        bool holdsKey = false;
        KeptSection mask;
        KeptSection blackened;
        Brush maskPattern;
        Brush blackenedPattern;
        KeptSection stretched;
    };
    KeptSection pixels;
    // Every pixel of the piece this colour (0x00RRGGBB): a stretch or a
    // tiling of it is a solid fill.
    bool uniform = false;
    uint32_t colour = 0;
    Brush pattern;
    KeptSection stretched;
    std::map<COLORREF, Keyed> keyed;
};

class ImageDeviceCopies {
public:
    // The image's copies, created empty on first request. Callers hold the
    // returned pointer and draw through Serve().
    static std::shared_ptr<ImageDeviceCopies> Of(const Image& image);
    // Frees the image's copies; drawing makes them again when it next
    // needs them. A draw in progress keeps its own until it ends.
    static void Forget(const Image& image);

    // Calls draw() with the lock held; it returns `unserved` when GDI
    // refused a copy it needed. A process near its handle limit refuses
    // new copies while the ones it keeps hold handles: then every copy of
    // this image is freed and draw() tried once more, so kept copies never
    // stand in the way of their own image's next draw.
    template <typename Result, typename Draw>
    Result Serve(Result unserved, Draw draw)
    {
        const std::lock_guard<std::mutex> guard(lock_);
        const Result result = draw();
        if (result != unserved)
            return result;
        Release();
        return draw();
    }

    // The members below expect the lock held (inside Serve). Each brings the copy it
    // returns up to date with the image first; null or invalid when GDI
    // refused it.
    const KeptSection* Pixels(HDC reference);
    const KeyCopies* KeyedPixels(HDC reference, COLORREF key);
    // The piece `source` (inside the image, top-down) on its own.
    PieceCopies* Piece(HDC reference, const RECT& source);
    // Whether the piece holds the key, and with `cutOut` its own mask and
    // blackened copy (a piece drawn 1:1 is drawn from the whole image's).
    PieceCopies::Keyed* KeyedPiece(HDC reference, const RECT& source, COLORREF key, bool cutOut);
    // The pattern brushes a tiling of the piece fills with (for `keyed`
    // holding key pixels, its mask's and its blackened copy's); false when
    // GDI refused one.
    static bool TilingPatterns(PieceCopies& piece, PieceCopies::Keyed* keyed);
    // Opacity of every pixel under the image's composition, rows top-down.
    const std::vector<BYTE>* Opacities();
    // A section of at least width x height, contents undefined.
    KeptSection* Scratch(HDC reference, int width, int height);
    // The sampling map of the last request with the same geometry, or a
    // new one.
    const SamplingMap& Map(int x, int y, int cx, int cy, const RECT& box);

private:
    explicit ImageDeviceCopies(const Image& image) : image_(image) {}

    void Refresh();
    void Release();

    const Image& image_;
    std::mutex lock_;
    uint32_t revision_ = 0;
    bool current_ = false;
    KeptSection pixels_;
    std::map<COLORREF, KeyCopies> keys_;
    std::map<std::array<LONG, 4>, PieceCopies> pieces_;
    std::vector<BYTE> opacities_;
    bool opacitiesMade_ = false;
    KeptSection scratch_;
    std::array<int, 8> mapKey_ = {};
    SamplingMap map_;
    bool mapMade_ = false;
};
