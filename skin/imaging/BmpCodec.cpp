#include "imaging/BmpCodec.h"

#include "imaging/ByteOrder.h"
#include "imaging/Image.h"
#include "imaging/MemFile.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

static_assert(sizeof(BITMAPINFOHEADER) == 40, "BITMAPINFOHEADER is the 40-byte on-disk record");
static_assert(sizeof(RGBQUAD) == 4, "RGBQUAD is the 4-byte on-disk palette entry");

namespace {

const char NotABmp[] = "Not a BMP";
const char BadInfoHeader[] = "Error reading BMP info";
const char CannotCreate[] = "Can't allocate memory";
const char PaletteCompressionUnsupported[] = "compression type not supported";
const char UnknownCompression[] = "unknown compression";
const char CannotAllocateRows[] = "can't allocate memory";
const char InvalidDimensions[] = "Invalid BMP dimensions";
const char DimensionsTooLarge[] = "BMP dimensions too large";
const char UnsupportedBitCount[] = "Unsupported BMP bit count";
const char TruncatedPalette[] = "Truncated BMP palette";
const char TruncatedPixels[] = "Truncated BMP pixel data";
const char NothingToEncode[] = "Encode: no image";
const char CannotWrite[] = "Encode: can't write BMP";

// Skin bitmaps are screen-sized. A header asking for more pixels than this
// is refused before anything is allocated, so that a few bytes of RLE
// cannot demand gigabytes of zeroed memory. Fuzz builds lower it to keep
// every input fast.
#ifndef SSO_BMP_MAX_PIXELS
#define SSO_BMP_MAX_PIXELS (int64_t(1) << 26)
#endif
const int64_t MaxPixels = SSO_BMP_MAX_PIXELS;

const uint16_t BmpSignature = 0x4D42; // "BM"
const size_t FileHeaderSize = 14;
const uint32_t CoreHeaderSize = 12;
const uint32_t InfoHeaderSize = 40;
const uint32_t Os2HeaderSize = 64;
const uint32_t MaskBytes = 12;

const uint32_t CompressionNone = 0;
const uint32_t CompressionRle8 = 1;
const uint32_t CompressionRle4 = 2;
const uint32_t CompressionBitfields = 3;

// Raised inside a decode and caught at BmpCodec::Decode.
struct DecodeFailure {
    const char* message;
};

[[noreturn]] void Fail(const char* message)
{
    throw DecodeFailure{message};
}

int32_t LoadI32(const BYTE* p)
{
    return static_cast<int32_t>(LoadLittleEndian32(p));
}

// One colour channel of a 16-bit bitfield pixel, widened to 8 bits.
class ChannelMask {
public:
    explicit ChannelMask(uint32_t mask)
        : mask_(mask & 0xFFFF)
        , shift_(0)
        , bits_(0)
    {
        while (shift_ < 16 && !(mask_ & (1u << shift_)))
            ++shift_;
        for (uint32_t rest = mask_; rest; rest &= rest - 1)
            ++bits_;
    }

    BYTE Extract(uint32_t pixel) const
    {
        uint32_t value = (pixel & mask_) >> shift_;
        if (bits_ >= 8)
            return static_cast<BYTE>(value >> (bits_ - 8));
        return static_cast<BYTE>(value << (8 - bits_));
    }

private:
    uint32_t mask_;
    int shift_;
    int bits_;
};

// What the file and info headers say, in the 40-byte header's terms.
struct BmpLayout {
    int32_t start = 0;
    uint32_t pixelOffset = 0; // from start; 0 = pixels follow the palette
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0; // positive; topDown keeps the sign
    bool topDown = false;
    int bitCount = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;
    int32_t xPixelsPerMetre = 0;
    int32_t yPixelsPerMetre = 0;
    int64_t headerEnd = 0; // file position right behind the info header
};

class BmpReader {
public:
    BmpReader(MemFile& file, Image& image)
        : file_(file)
        , image_(image)
    {
    }

    void Read()
    {
        ReadFileHeader();
        ReadInfoHeader();
        Validate();
        if (!image_.Create(layout_.width, layout_.height, layout_.bitCount, Image::FormatBmp))
            Fail(CannotCreate);
        image_.SetPixelsPerMetre(layout_.xPixelsPerMetre, layout_.yPixelsPerMetre);
        ReadMasks();
        ReadPalette();
        SeekTo(PixelStart(), TruncatedPixels);
        ReadPixels();
        if (layout_.topDown)
            image_.Flip();
    }

private:
    void ReadFileHeader()
    {
        layout_.start = file_.Tell();
        BYTE header[FileHeaderSize];
        if (file_.Read(header, 1, sizeof(header)) != sizeof(header))
            Fail(NotABmp);
        if (LoadLittleEndian16(header) == BmpSignature) {
            layout_.pixelOffset = LoadLittleEndian32(header + 10);
        } else {
            SeekTo(layout_.start, NotABmp);
            layout_.pixelOffset = 0;
        }
    }

    void ReadInfoHeader()
    {
        BYTE header[InfoHeaderSize] = {};
        ReadExact(header, 4, BadInfoHeader);
        layout_.headerSize = LoadLittleEndian32(header);
        if (layout_.headerSize == CoreHeaderSize) {
            ReadExact(header + 4, CoreHeaderSize - 4, BadInfoHeader);
            layout_.width = LoadLittleEndian16(header + 4);
            layout_.height = LoadLittleEndian16(header + 6);
            layout_.bitCount = LoadLittleEndian16(header + 10);
        } else if (layout_.headerSize == InfoHeaderSize || layout_.headerSize == Os2HeaderSize) {
            ReadExact(header + 4, InfoHeaderSize - 4, BadInfoHeader);
            layout_.width = LoadI32(header + 4);
            layout_.height = LoadI32(header + 8);
            layout_.bitCount = LoadLittleEndian16(header + 14);
            layout_.compression = LoadLittleEndian32(header + 16);
            layout_.xPixelsPerMetre = LoadI32(header + 24);
            layout_.yPixelsPerMetre = LoadI32(header + 28);
            layout_.coloursUsed = LoadLittleEndian32(header + 32);
        } else {
            Fail(BadInfoHeader);
        }
        int64_t unread = layout_.headerSize == Os2HeaderSize ? Os2HeaderSize - InfoHeaderSize : 0;
        layout_.headerEnd = file_.Tell() + unread;
        if (layout_.coloursUsed == 0 && layout_.bitCount <= 8)
            layout_.coloursUsed = 1u << layout_.bitCount;
    }

    void Validate()
    {
        if (layout_.width <= 0 || layout_.height == 0 || layout_.height == INT32_MIN)
            Fail(InvalidDimensions);
        layout_.topDown = layout_.height < 0;
        if (layout_.topDown)
            layout_.height = -layout_.height;
        CheckBitCountAndCompression();
        if (static_cast<int64_t>(layout_.width) * layout_.height > MaxPixels ||
            !Image::IsRepresentable(layout_.width, layout_.height, layout_.bitCount))
            Fail(DimensionsTooLarge);
        // Uncompressed pixels have a known size: a file too short for them is
        // refused before the image is allocated.
        if (layout_.compression != CompressionRle8 && layout_.compression != CompressionRle4 &&
            PixelStart() + UncompressedPixelBytes() > file_.Size())
            Fail(TruncatedPixels);
    }

    void CheckBitCountAndCompression() const
    {
        uint32_t compression = layout_.compression;
        switch (layout_.bitCount) {
        case 1:
        case 4:
        case 8:
            // Run-length codes exist for one depth each; any other pairing
            // would scatter bytes or nibbles over the wrong pixel layout.
            if (compression != CompressionNone && !(compression == CompressionRle8 && layout_.bitCount == 8) &&
                !(compression == CompressionRle4 && layout_.bitCount == 4))
                Fail(PaletteCompressionUnsupported);
            break;
        case 16:
        case 32:
            if (compression != CompressionNone && compression != CompressionBitfields)
                Fail(UnknownCompression);
            break;
        case 24:
            if (compression != CompressionNone)
                Fail(UnknownCompression);
            break;
        default:
            Fail(UnsupportedBitCount);
        }
    }

    bool HasMasks() const
    {
        return layout_.compression == CompressionBitfields && (layout_.bitCount == 16 || layout_.bitCount == 32);
    }

    int PaletteEntrySize() const
    {
        return layout_.headerSize == CoreHeaderSize ? 3 : 4;
    }

    int64_t PixelStart() const
    {
        if (layout_.pixelOffset != 0)
            return static_cast<int64_t>(layout_.start) + layout_.pixelOffset;
        return layout_.headerEnd + (HasMasks() ? MaskBytes : 0) + static_cast<int64_t>(layout_.coloursUsed) * PaletteEntrySize();
    }

    int64_t UncompressedRowBytes() const
    {
        switch (layout_.bitCount) {
        case 16: return (static_cast<int64_t>(layout_.width) + 1) / 2 * 4;
        case 32: return static_cast<int64_t>(layout_.width) * 4;
        default: return (static_cast<int64_t>(layout_.width) * layout_.bitCount + 31) / 32 * 4;
        }
    }

    int64_t UncompressedPixelBytes() const
    {
        return UncompressedRowBytes() * layout_.height;
    }

    // Moves behind the info header (past the unread rest of a 64-byte one)
    // and reads the bitfield masks that follow it.
    void ReadMasks()
    {
        SeekTo(layout_.headerEnd, BadInfoHeader);
        if (!HasMasks())
            return;
        BYTE masks[MaskBytes];
        ReadExact(masks, sizeof(masks), BadInfoHeader);
        red_ = LoadLittleEndian32(masks);
        green_ = LoadLittleEndian32(masks + 4);
        blue_ = LoadLittleEndian32(masks + 8);
    }

    void ReadPalette()
    {
        RGBQUAD* palette = image_.GetPalette();
        if (!palette)
            return;
        int entries = image_.GetColourCount();
        if (layout_.coloursUsed < static_cast<uint32_t>(entries))
            entries = static_cast<int>(layout_.coloursUsed);
        int entrySize = PaletteEntrySize();
        BYTE* bytes = reinterpret_cast<BYTE*>(palette);
        ReadExact(bytes, static_cast<size_t>(entries) * entrySize, TruncatedPalette);
        if (entrySize == 3) {
            // Widen from the last entry down so no entry is overwritten
            // before it has been moved.
            for (int i = entries - 1; i >= 0; --i) {
                palette[i].rgbRed = bytes[i * 3 + 2];
                palette[i].rgbGreen = bytes[i * 3 + 1];
                palette[i].rgbBlue = bytes[i * 3];
                palette[i].rgbReserved = 0;
            }
        }
    }

    void ReadPixels()
    {
        switch (layout_.bitCount) {
        case 16: ReadBitfieldRows(); break;
        case 32: ReadBgrxRows(); break;
        default:
            if (layout_.compression == CompressionRle8)
                ReadRle(false);
            else if (layout_.compression == CompressionRle4)
                ReadRle(true);
            else
                ReadExact(image_.GetBits(0), image_.GetImageSize(), TruncatedPixels);
        }
    }

    // A row buffer for the depths that are converted to 24 bits.
    std::unique_ptr<BYTE[]> AllocateRow() const
    {
        std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[static_cast<size_t>(UncompressedRowBytes())]);
        if (!row)
            Fail(CannotAllocateRows);
        return row;
    }

    void ReadBitfieldRows()
    {
        ChannelMask red(HasMasks() ? red_ : 0x7C00);
        ChannelMask green(HasMasks() ? green_ : 0x03E0);
        ChannelMask blue(HasMasks() ? blue_ : 0x001F);
        std::unique_ptr<BYTE[]> row = AllocateRow();
        for (int y = 0; y < layout_.height; ++y) {
            ReadExact(row.get(), static_cast<size_t>(UncompressedRowBytes()), TruncatedPixels);
            BYTE* out = image_.GetBits(y);
            for (int x = 0; x < layout_.width; ++x, out += 3) {
                uint32_t pixel = LoadLittleEndian16(row.get() + x * 2);
                out[0] = blue.Extract(pixel);
                out[1] = green.Extract(pixel);
                out[2] = red.Extract(pixel);
            }
        }
    }

    // 32-bit pixels keep blue, green and red; the fourth byte and any masks
    // are ignored.
    void ReadBgrxRows()
    {
        std::unique_ptr<BYTE[]> row = AllocateRow();
        for (int y = 0; y < layout_.height; ++y) {
            ReadExact(row.get(), static_cast<size_t>(UncompressedRowBytes()), TruncatedPixels);
            BYTE* out = image_.GetBits(y);
            const BYTE* in = row.get();
            for (int x = 0; x < layout_.width; ++x, in += 4, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }

    // RLE8 and RLE4 share one grammar: runs, end of line, end of bitmap,
    // delta and absolute runs. The cursor counts pixels; pixels outside the
    // image are dropped, and the cursor saturates so no count can wrap it.
    void ReadRle(bool nibbles)
    {
        int x = 0;
        int y = 0;
        for (;;) {
            int count = NextRleByte();
            if (count > 0) {
                int value = NextRleByte();
                for (int k = 0; k < count; ++k)
                    PutRlePixel(x, y, nibbles ? RunNibble(value, k) : value);
                continue;
            }
            int code = NextRleByte();
            if (code == 0) {
                x = 0;
                y = Saturate(y, 1, layout_.height);
            } else if (code == 1) {
                return;
            } else if (code == 2) {
                x = Saturate(x, NextRleByte(), layout_.width);
                y = Saturate(y, NextRleByte(), layout_.height);
            } else {
                ReadAbsoluteRun(code, nibbles, x, y);
            }
        }
    }

    void ReadAbsoluteRun(int pixels, bool nibbles, int& x, int y)
    {
        int bytes = nibbles ? (pixels + 1) / 2 : pixels;
        int value = 0;
        for (int k = 0; k < pixels; ++k) {
            if (!nibbles || k % 2 == 0)
                value = NextRleByte();
            PutRlePixel(x, y, nibbles ? RunNibble(value, k) : value);
        }
        if (bytes % 2 == 1)
            NextRleByte();
    }

    static int RunNibble(int value, int k)
    {
        return k % 2 == 0 ? value >> 4 : value & 0x0F;
    }

    static int Saturate(int value, int step, int limit)
    {
        return step >= limit - value ? limit : value + step;
    }

    void PutRlePixel(int& x, int y, int index)
    {
        image_.SetPixelIndex(x, y, static_cast<BYTE>(index));
        x = Saturate(x, 1, layout_.width);
    }

    int NextRleByte()
    {
        int value = file_.GetC();
        if (value < 0)
            Fail(TruncatedPixels);
        return value;
    }

    void ReadExact(void* dest, size_t bytes, const char* failure)
    {
        if (bytes != 0 && file_.Read(dest, 1, bytes) != bytes)
            Fail(failure);
    }

    void SeekTo(int64_t position, const char* failure)
    {
        if (position > INT32_MAX || !file_.Seek(static_cast<int32_t>(position), MemFile::FromStart))
            Fail(failure);
    }

    MemFile& file_;
    Image& image_;
    BmpLayout layout_;
    uint32_t red_ = 0;
    uint32_t green_ = 0;
    uint32_t blue_ = 0;
};

} // namespace

bool BmpCodec::Decode(MemFile& file, Image& image)
{
    try {
        BmpReader(file, image).Read();
        return true;
    } catch (const DecodeFailure& failure) {
        image.SetLastError(failure.message);
        return false;
    }
}

const char* BmpCodec::Encode(MemFile& file, const Image& image)
{
    if (!image.IsValid())
        return NothingToEncode;
    uint32_t paletteBytes = static_cast<uint32_t>(image.GetColourCount()) * sizeof(RGBQUAD);
    uint32_t pixelOffset = static_cast<uint32_t>(FileHeaderSize + sizeof(BITMAPINFOHEADER)) + paletteBytes;
    BYTE fileHeader[FileHeaderSize] = {};
    StoreLittleEndian16(fileHeader, BmpSignature);
    StoreLittleEndian32(fileHeader + 2, pixelOffset + image.GetImageSize());
    StoreLittleEndian32(fileHeader + 10, pixelOffset);
    const BYTE* body = image.GetDib() + sizeof(BITMAPINFOHEADER);
    size_t bodyBytes = paletteBytes + static_cast<size_t>(image.GetImageSize());
    if (file.Write(fileHeader, 1, sizeof(fileHeader)) != sizeof(fileHeader) ||
        file.Write(&image.GetHeader(), sizeof(BITMAPINFOHEADER), 1) != 1 || file.Write(body, 1, bodyBytes) != bodyBytes)
        return CannotWrite;
    return nullptr;
}
