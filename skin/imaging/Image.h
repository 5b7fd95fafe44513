// A decoded bitmap in memory: a packed DIB (header, palette, bottom-up
// pixel rows) with an optional alpha plane, an optional selection plane and
// a colour key.
//
// Where the members live:
//   Image.cpp       creation, copies, pixel/palette/alpha access, closest
//                   colour, the format dispatch of Decode/Encode, and the
//                   pixel operations that need no device context:
//                   Crop, Rotate, Rotate180, Flip.
//   ImageDevice.cpp MakeBitmap.
//   ImageDraw.cpp   CreateFromBitmap, Draw, DrawMasked, Stretch, Tile.
//   DeviceCopies.cpp the device-side copies drawing keeps between calls.
//   BmpCodec.cpp    the BMP reader and writer behind Decode/Encode.
//
// Everything except ImageDevice.cpp and ImageDraw.cpp is byte-level code:
// it calls no GDI function, so it also builds natively for fuzzing.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

class ImageDeviceCopies;
class MemFile;
template <typename Handle>
class GdiObject;  // imaging/GdiObject.h, which only the device members need

class Image {
public:
    // Origin of an image's bytes.
    enum Format : int32_t { FormatUnknown = 0, FormatBmp = 1 };

    static const size_t LastErrorSize = 256;

    explicit Image(int32_t formatType = FormatUnknown);
    // Whether a width x height image of that depth fits the 32-bit sizes of
    // the DIB block and the per-pixel planes.
    static bool IsRepresentable(int width, int height, int bitCount);
    // 1, 4, 8 or 24: the depth an image of that bit count is stored with.
    static int NormaliseBitCount(int bitCount);
    // A copy of the source's fields at the same size and depth; the pixels,
    // selection and alpha planes only when asked (otherwise the palette).
    Image(const Image& source, bool copyPixels, bool copySelection, bool copyAlpha);
    ~Image();

    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Replaces the image by a blank one; the bit count is normalised to 1,
    // 4, 8 or 24. Palette and pixels are zero. Returns the DIB block (header
    // followed by palette and pixels), or null when the size is invalid or
    // cannot be allocated.
    BYTE* Create(int width, int height, int bitCount, int32_t formatType);
    void Destroy();
    // Takes over the source's state and buffers; the source becomes empty.
    void Transfer(Image& source);

    // Geometry and raw access.
    bool IsValid() const { return dib_ != nullptr; }
    int GetWidth() const { return header_.biWidth; }
    int GetHeight() const { return header_.biHeight; }
    int GetBpp() const { return header_.biBitCount; }
    int GetRowStride() const { return rowStride_; }
    int GetColourCount() const { return static_cast<int>(header_.biClrUsed); }
    uint32_t GetImageSize() const { return header_.biSizeImage; }
    const BITMAPINFOHEADER& GetHeader() const { return header_; }
    // Header, palette and pixels as one BITMAPINFO-compatible block.
    const BYTE* GetDib() const { return dib_.get(); }
    // Pixel row `row` counted from the bottom; null without pixels.
    BYTE* GetBits(int row = 0);
    const BYTE* GetBits(int row = 0) const;
    RGBQUAD* GetPalette();
    const RGBQUAD* GetPalette() const;
    int32_t GetFormatType() const { return formatType_; }
    int GetXDpi() const { return xDpi_; }
    int GetYDpi() const { return yDpi_; }
    // Stores the header's pixels-per-metre fields and the resolution in dots
    // per inch rounded from them.
    void SetPixelsPerMetre(int32_t xPerMetre, int32_t yPerMetre);
    bool IsInside(int x, int y) const;

    // Palette and pixels. y counts rows from the bottom.
    RGBQUAD GetPaletteColour(int index) const;
    void SetPalette(const RGBQUAD* entries, int count);
    BYTE GetPixelIndex(int x, int y) const;
    void SetPixelIndex(int x, int y, BYTE index);
    RGBQUAD GetPixelColour(int x, int y) const;
    void SetPixelColour(int x, int y, RGBQUAD colour, bool setAlpha = false);
    // The first palette index nearest to colour (0 without palette).
    BYTE GetClosestIndex(RGBQUAD colour);

    // Colour key.
    int GetTransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(int index)
    {
        transparentIndex_ = index;
        ++revision_;
    }
    // The key colour: the palette entry at the key index for palette images,
    // the stored key colour otherwise.
    RGBQUAD GetTransparentColour() const;
    void SetTransparentColour(RGBQUAD colour)
    {
        transparentColour_ = colour;
        ++revision_;
    }

    // Drawing switches read by the device members.
    BYTE GetAlphaMax() const { return alphaMax_; }
    void SetAlphaMax(BYTE value)
    {
        alphaMax_ = value;
        ++revision_;
    }
    bool IsPaletteAlpha() const { return paletteAlpha_; }
    void SetPaletteAlpha(bool on)
    {
        paletteAlpha_ = on;
        ++revision_;
    }
    bool IsEnabled() const { return enabled_; }
    void SetEnabled(bool on)
    {
        enabled_ = on;
        ++revision_;
    }

    // Alpha plane: one byte per pixel, rows bottom-up, no padding.
    bool HasAlpha() const { return alpha_ != nullptr; }
    bool AlphaCreate();
    void AlphaDelete();
    void AlphaClear();
    void AlphaSet(int x, int y, BYTE value);
    BYTE AlphaGet(int x, int y) const;
    bool AlphaFlip();
    const BYTE* GetAlphaPlane() const { return alpha_.get(); }

    // Selection plane, same layout as the alpha plane.
    bool HasSelection() const { return selection_ != nullptr; }
    bool SelectionCreate();
    void SelectionDelete();
    void SelectionSet(int x, int y, BYTE value);
    BYTE SelectionGet(int x, int y) const;

    // Codec entry points. Decode leaves the image unchanged on failure and
    // keeps the reason in GetLastError().
    bool Decode(const BYTE* bytes, int32_t size, int32_t formatType);
    bool Decode(MemFile& file, int32_t formatType);
    // bufferOut must be null on entry; on success it receives a block that
    // the caller releases with std::free.
    bool Encode(BYTE*& bufferOut, int32_t& sizeOut, int32_t formatType);
    bool Encode(MemFile& file, int32_t formatType);
    const char* GetLastError() const { return lastError_; }
    void SetLastError(const char* text);

    // Device conversion (ImageDevice.cpp): with a DC a device-dependent
    // bitmap, without one a DIB section. Empty when there are no pixels.
    GdiObject<HBITMAP> MakeBitmap(HDC dc) const;

    // Drawing keeps device-side copies of the pixels between calls, made on
    // first use and freed with the image. Every member that can change what
    // a draw shows moves this revision on, and the copies are remade when
    // it moved; pixels written through a pointer from the non-const GetBits
    // or GetPalette must therefore be written before the next draw.
    uint32_t GetRevision() const { return revision_; }

    // Device drawing (ImageDraw.cpp). A negative cx/cy means natural size.
    bool CreateFromBitmap(HBITMAP bitmap);
    int Draw(HDC hdc, int x, int y, int cx = -1, int cy = -1, const RECT* clipRect = nullptr);
    int DrawMasked(HDC hdc, int x, int y, int cx = -1, int cy = -1);
    int Stretch(HDC hdc, int x, int y, int cx, int cy);
    int Tile(HDC hdc, const RECT* rect);

    // Pixel operations (Image.cpp). dest null means this image. Rows of the
    // crop rectangle count from the top.
    bool Crop(int left, int top, int right, int bottom, Image* dest = nullptr);
    bool Rotate(double angleDegrees, Image* dest = nullptr);
    bool Rotate180(Image* dest = nullptr);
    bool Flip();

private:
    friend class ImageDeviceCopies;

    struct FreeDeleter {
        void operator()(void* block) const;
    };
    using Block = std::unique_ptr<BYTE[], FreeDeleter>;

    BYTE* GetPixelAddress(int x, int y);
    const BYTE* GetPixelAddress(int x, int y) const;
    size_t GetPlaneSize() const;
    void CopyAttributesFrom(const Image& source);
    // A blank image of the source's depth, palette and attributes.
    bool CreateLike(const Image& source, int width, int height);
    void SyncDibHeader();
    void TakeResult(Image& result, Image* dest);

    Block dib_;
    BITMAPINFOHEADER header_;
    int rowStride_;
    int32_t formatType_;
    char lastError_[LastErrorSize];
    int transparentIndex_;
    RGBQUAD transparentColour_;
    int xDpi_;
    int yDpi_;
    BYTE alphaMax_;
    bool paletteAlpha_;
    bool enabled_;
    struct ClosestCache {
        RGBQUAD colour;
        BYTE index;
        bool valid;
    } closestCache_;
    Block selection_;
    Block alpha_;
    uint32_t revision_ = 0;
    // Shared so that a draw on another thread keeps them alive to its end.
    mutable std::shared_ptr<ImageDeviceCopies> deviceCopies_;
};
