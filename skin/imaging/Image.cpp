#include "imaging/Image.h"

#include "imaging/BmpCodec.h"
#include "imaging/MemFile.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

const double InchesPerMetre = 0.0254;
const int DefaultDpi = 96;
const int32_t DefaultPixelsPerMetre = 3780; // 96 dpi
// Larger than any squared distance between two colours, so the first palette
// entry always becomes a candidate.
const int ClosestSearchStart = 200000;

int64_t RowStrideFor(int64_t width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

int ColourCountFor(int bitCount)
{
    return bitCount <= 8 ? 1 << bitCount : 0;
}

int DpiFromPixelsPerMetre(int32_t perMetre)
{
    return static_cast<int>(std::floor(perMetre * InchesPerMetre + 0.5));
}

void* AllocateZeroed(size_t bytes)
{
    return std::calloc(bytes, 1);
}

bool SameColour(RGBQUAD a, RGBQUAD b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed;
}

int ColourDistance(RGBQUAD a, RGBQUAD b)
{
    int blue = a.rgbBlue - b.rgbBlue;
    int green = a.rgbGreen - b.rgbGreen;
    int red = a.rgbRed - b.rgbRed;
    return blue * blue + green * green + red * red;
}

RGBQUAD ZeroColour()
{
    RGBQUAD colour = {0, 0, 0, 0};
    return colour;
}

void ReverseRows(BYTE* rows, size_t rowBytes, int rowCount)
{
    for (int low = 0, high = rowCount - 1; low < high; ++low, --high)
        std::swap_ranges(rows + rowBytes * low, rows + rowBytes * (low + 1), rows + rowBytes * high);
}

// Copies source pixel (sx, sy) to pixel (x, y) of result, with its alpha;
// source coordinates outside the image read as the accessors define.
void CopyPixel(Image& result, int x, int y, const Image& source, int sx, int sy)
{
    if (source.GetPalette())
        result.SetPixelIndex(x, y, source.GetPixelIndex(sx, sy));
    else
        result.SetPixelColour(x, y, source.GetPixelColour(sx, sy));
    result.AlphaSet(x, y, source.AlphaGet(sx, sy));
}

} // namespace

void Image::FreeDeleter::operator()(void* block) const
{
    std::free(block);
}

Image::Image(int32_t formatType)
    : header_()
    , rowStride_(0)
    , formatType_(formatType)
    , transparentIndex_(-1)
    , transparentColour_(ZeroColour())
    , xDpi_(DefaultDpi)
    , yDpi_(DefaultDpi)
    , alphaMax_(255)
    , paletteAlpha_(false)
    , enabled_(true)
    , closestCache_()
{
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biXPelsPerMeter = DefaultPixelsPerMetre;
    header_.biYPelsPerMeter = DefaultPixelsPerMetre;
    lastError_[0] = '\0';
}

Image::Image(const Image& source, bool copyPixels, bool copySelection, bool copyAlpha)
    : Image(source.formatType_)
{
    CopyAttributesFrom(source);
    if (!source.IsValid() || !Create(source.GetWidth(), source.GetHeight(), source.GetBpp(), source.formatType_))
        return;
    if (copyPixels)
        std::memcpy(dib_.get(), source.dib_.get(), sizeof(BITMAPINFOHEADER) + header_.biClrUsed * sizeof(RGBQUAD) + header_.biSizeImage);
    else
        SetPalette(source.GetPalette(), source.GetColourCount());
    if (copySelection && source.HasSelection() && SelectionCreate())
        std::memcpy(selection_.get(), source.selection_.get(), GetPlaneSize());
    if (copyAlpha && source.HasAlpha() && AlphaCreate())
        std::memcpy(alpha_.get(), source.alpha_.get(), GetPlaneSize());
}

Image::~Image() = default;

bool Image::IsRepresentable(int width, int height, int bitCount)
{
    if (width <= 0 || height <= 0)
        return false;
    int depth = NormaliseBitCount(bitCount);
    int64_t imageSize = RowStrideFor(width, depth) * height;
    int64_t dibSize = static_cast<int64_t>(sizeof(BITMAPINFOHEADER)) + ColourCountFor(depth) * 4 + imageSize;
    int64_t planeSize = static_cast<int64_t>(width) * height;
    return dibSize <= INT32_MAX && planeSize <= INT32_MAX;
}

int Image::NormaliseBitCount(int bitCount)
{
    if (bitCount < 2)
        return 1;
    if (bitCount <= 4)
        return 4;
    if (bitCount <= 8)
        return 8;
    return 24;
}

BYTE* Image::Create(int width, int height, int bitCount, int32_t formatType)
{
    Destroy();
    if (!IsRepresentable(width, height, bitCount))
        return nullptr;
    int depth = NormaliseBitCount(bitCount);
    int64_t stride = RowStrideFor(width, depth);
    header_.biSize = sizeof(BITMAPINFOHEADER);
    header_.biWidth = width;
    header_.biHeight = height;
    header_.biPlanes = 1;
    header_.biBitCount = static_cast<WORD>(depth);
    header_.biCompression = BI_RGB;
    header_.biSizeImage = static_cast<DWORD>(stride * height);
    header_.biClrUsed = static_cast<DWORD>(ColourCountFor(depth));
    header_.biClrImportant = 0;
    // Pixels are cleared as well as the palette: a decoder that skips pixels
    // (RLE gaps) must not leave stale heap contents in the image.
    dib_.reset(static_cast<BYTE*>(AllocateZeroed(sizeof(BITMAPINFOHEADER) + header_.biClrUsed * sizeof(RGBQUAD) + header_.biSizeImage)));
    if (!dib_) {
        Destroy();
        return nullptr;
    }
    rowStride_ = static_cast<int>(stride);
    formatType_ = formatType;
    closestCache_.valid = false;
    SyncDibHeader();
    return dib_.get();
}

void Image::Destroy()
{
    ++revision_;
    selection_.reset();
    alpha_.reset();
    dib_.reset();
    header_.biWidth = 0;
    header_.biHeight = 0;
    header_.biBitCount = 0;
    header_.biSizeImage = 0;
    header_.biClrUsed = 0;
    rowStride_ = 0;
    closestCache_.valid = false;
}

void Image::Transfer(Image& source)
{
    if (&source == this)
        return;
    Destroy();
    CopyAttributesFrom(source);
    header_ = source.header_;
    rowStride_ = source.rowStride_;
    dib_ = std::move(source.dib_);
    selection_ = std::move(source.selection_);
    alpha_ = std::move(source.alpha_);
    source.Destroy();
}

void Image::CopyAttributesFrom(const Image& source)
{
    ++revision_;
    header_.biXPelsPerMeter = source.header_.biXPelsPerMeter;
    header_.biYPelsPerMeter = source.header_.biYPelsPerMeter;
    formatType_ = source.formatType_;
    std::memcpy(lastError_, source.lastError_, sizeof(lastError_));
    transparentIndex_ = source.transparentIndex_;
    transparentColour_ = source.transparentColour_;
    xDpi_ = source.xDpi_;
    yDpi_ = source.yDpi_;
    alphaMax_ = source.alphaMax_;
    paletteAlpha_ = source.paletteAlpha_;
    enabled_ = source.enabled_;
    closestCache_ = source.closestCache_;
}

void Image::SyncDibHeader()
{
    if (dib_)
        std::memcpy(dib_.get(), &header_, sizeof(header_));
}

void Image::SetPixelsPerMetre(int32_t xPerMetre, int32_t yPerMetre)
{
    header_.biXPelsPerMeter = xPerMetre;
    header_.biYPelsPerMeter = yPerMetre;
    xDpi_ = DpiFromPixelsPerMetre(xPerMetre);
    yDpi_ = DpiFromPixelsPerMetre(yPerMetre);
    SyncDibHeader();
}

bool Image::IsInside(int x, int y) const
{
    return x >= 0 && x < GetWidth() && y >= 0 && y < GetHeight();
}

BYTE* Image::GetBits(int row)
{
    ++revision_;
    return const_cast<BYTE*>(static_cast<const Image*>(this)->GetBits(row));
}

const BYTE* Image::GetBits(int row) const
{
    if (!dib_ || row < 0 || row >= GetHeight())
        return nullptr;
    return dib_.get() + sizeof(BITMAPINFOHEADER) + header_.biClrUsed * sizeof(RGBQUAD) + static_cast<size_t>(rowStride_) * row;
}

RGBQUAD* Image::GetPalette()
{
    ++revision_;
    return const_cast<RGBQUAD*>(static_cast<const Image*>(this)->GetPalette());
}

const RGBQUAD* Image::GetPalette() const
{
    if (!dib_ || header_.biClrUsed == 0)
        return nullptr;
    return reinterpret_cast<const RGBQUAD*>(dib_.get() + sizeof(BITMAPINFOHEADER));
}

size_t Image::GetPlaneSize() const
{
    return static_cast<size_t>(GetWidth()) * static_cast<size_t>(GetHeight());
}

RGBQUAD Image::GetPaletteColour(int index) const
{
    const RGBQUAD* palette = GetPalette();
    if (!palette || index < 0 || index >= GetColourCount())
        return ZeroColour();
    return palette[index];
}

void Image::SetPalette(const RGBQUAD* entries, int count)
{
    RGBQUAD* palette = GetPalette();
    if (!palette || !entries || count <= 0)
        return;
    int copied = count < GetColourCount() ? count : GetColourCount();
    std::memcpy(palette, entries, copied * sizeof(RGBQUAD));
    closestCache_.valid = false;
}

// Address of the byte holding pixel (x, y); the caller checked IsInside.
const BYTE* Image::GetPixelAddress(int x, int y) const
{
    return GetBits(y) + static_cast<size_t>(x) * GetBpp() / 8;
}

BYTE* Image::GetPixelAddress(int x, int y)
{
    ++revision_;
    return const_cast<BYTE*>(static_cast<const Image*>(this)->GetPixelAddress(x, y));
}

BYTE Image::GetPixelIndex(int x, int y) const
{
    if (!GetPalette())
        return 0;
    if (!IsInside(x, y))
        return transparentIndex_ != -1 ? static_cast<BYTE>(transparentIndex_) : 0;
    BYTE packed = *GetPixelAddress(x, y);
    switch (GetBpp()) {
    case 8: return packed;
    case 4: return (x % 2 == 0) ? packed >> 4 : packed & 0x0F;
    default: return (packed >> (7 - x % 8)) & 1;
    }
}

void Image::SetPixelIndex(int x, int y, BYTE index)
{
    if (!GetPalette() || !IsInside(x, y))
        return;
    BYTE* packed = GetPixelAddress(x, y);
    switch (GetBpp()) {
    case 8:
        *packed = index;
        break;
    case 4:
        if (x % 2 == 0)
            *packed = static_cast<BYTE>((*packed & 0x0F) | ((index & 0x0F) << 4));
        else
            *packed = static_cast<BYTE>((*packed & 0xF0) | (index & 0x0F));
        break;
    default: {
        BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        *packed = static_cast<BYTE>((index & 1) ? (*packed | bit) : (*packed & ~bit));
        break;
    }
    }
}

RGBQUAD Image::GetPixelColour(int x, int y) const
{
    if (!dib_)
        return ZeroColour();
    if (!IsInside(x, y)) {
        if (transparentIndex_ == -1)
            return GetPixelColour(0, 0);
        return GetPalette() ? GetPaletteColour(transparentIndex_) : transparentColour_;
    }
    if (GetPalette())
        return GetPaletteColour(GetPixelIndex(x, y));
    const BYTE* pixel = GetPixelAddress(x, y);
    RGBQUAD colour;
    colour.rgbBlue = pixel[0];
    colour.rgbGreen = pixel[1];
    colour.rgbRed = pixel[2];
    colour.rgbReserved = alpha_ ? AlphaGet(x, y) : transparentColour_.rgbReserved;
    return colour;
}

void Image::SetPixelColour(int x, int y, RGBQUAD colour, bool setAlpha)
{
    if (!dib_ || !IsInside(x, y))
        return;
    if (GetPalette()) {
        SetPixelIndex(x, y, GetClosestIndex(colour));
        return;
    }
    BYTE* pixel = GetPixelAddress(x, y);
    pixel[0] = colour.rgbBlue;
    pixel[1] = colour.rgbGreen;
    pixel[2] = colour.rgbRed;
    if (setAlpha)
        AlphaSet(x, y, colour.rgbReserved);
}

BYTE Image::GetClosestIndex(RGBQUAD colour)
{
    const RGBQUAD* palette = GetPalette();
    if (!palette)
        return 0;
    if (closestCache_.valid && SameColour(closestCache_.colour, colour))
        return closestCache_.index;
    int best = ClosestSearchStart;
    BYTE answer = 0;
    for (int i = 0; i < GetColourCount(); ++i) {
        int distance = ColourDistance(palette[i], colour);
        if (distance == 0) {
            answer = static_cast<BYTE>(i);
            break;
        }
        if (distance < best) {
            best = distance;
            answer = static_cast<BYTE>(i);
        }
    }
    closestCache_.colour = colour;
    closestCache_.index = answer;
    closestCache_.valid = true;
    return answer;
}

RGBQUAD Image::GetTransparentColour() const
{
    if (GetBpp() < 24 && transparentIndex_ != -1)
        return GetPaletteColour(transparentIndex_);
    return transparentColour_;
}

bool Image::AlphaCreate()
{
    ++revision_;
    alpha_.reset();
    if (!dib_)
        return false;
    alpha_.reset(static_cast<BYTE*>(AllocateZeroed(GetPlaneSize())));
    return alpha_ != nullptr;
}

void Image::AlphaDelete()
{
    ++revision_;
    alpha_.reset();
}

void Image::AlphaClear()
{
    ++revision_;
    if (alpha_)
        std::memset(alpha_.get(), 0, GetPlaneSize());
}

void Image::AlphaSet(int x, int y, BYTE value)
{
    ++revision_;
    if (alpha_ && IsInside(x, y))
        alpha_[static_cast<size_t>(y) * GetWidth() + x] = value;
}

BYTE Image::AlphaGet(int x, int y) const
{
    if (!alpha_ || !IsInside(x, y))
        return 0;
    return alpha_[static_cast<size_t>(y) * GetWidth() + x];
}

bool Image::AlphaFlip()
{
    ++revision_;
    if (!alpha_)
        return false;
    ReverseRows(alpha_.get(), static_cast<size_t>(GetWidth()), GetHeight());
    return true;
}

bool Image::SelectionCreate()
{
    selection_.reset();
    if (!dib_)
        return false;
    selection_.reset(static_cast<BYTE*>(AllocateZeroed(GetPlaneSize())));
    return selection_ != nullptr;
}

void Image::SelectionDelete()
{
    selection_.reset();
}

void Image::SelectionSet(int x, int y, BYTE value)
{
    if (selection_ && IsInside(x, y))
        selection_[static_cast<size_t>(y) * GetWidth() + x] = value;
}

BYTE Image::SelectionGet(int x, int y) const
{
    if (!selection_ || !IsInside(x, y))
        return 0;
    return selection_[static_cast<size_t>(y) * GetWidth() + x];
}

void Image::SetLastError(const char* text)
{
    if (!text)
        text = "";
    size_t length = std::strlen(text);
    if (length >= sizeof(lastError_))
        length = sizeof(lastError_) - 1;
    std::memcpy(lastError_, text, length);
    lastError_[length] = '\0';
}

bool Image::Decode(const BYTE* bytes, int32_t size, int32_t formatType)
{
    // The decoder only reads; the file never writes through the pointer.
    MemFile file(const_cast<BYTE*>(bytes), size);
    return Decode(file, formatType);
}

bool Image::Decode(MemFile& file, int32_t formatType)
{
    if (formatType == FormatUnknown) {
        int32_t start = file.Tell();
        Image decoded(FormatBmp);
        if (BmpCodec::Decode(file, decoded)) {
            Transfer(decoded);
            return true;
        }
        file.Seek(start, MemFile::FromStart);
    }
    if (formatType != FormatBmp) {
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    Image decoded(FormatBmp);
    if (!BmpCodec::Decode(file, decoded)) {
        SetLastError(decoded.GetLastError());
        return false;
    }
    Transfer(decoded);
    return true;
}

bool Image::Encode(BYTE*& bufferOut, int32_t& sizeOut, int32_t formatType)
{
    if (bufferOut)
        return false;
    MemFile file;
    if (!file.Open() || !Encode(file, formatType))
        return false;
    sizeOut = file.Size();
    bufferOut = file.Detach();
    return true;
}

bool Image::Encode(MemFile& file, int32_t formatType)
{
    if (formatType != FormatBmp) {
        SetLastError("Encode: Unknown format");
        return false;
    }
    const char* failure = BmpCodec::Encode(file, *this);
    if (failure) {
        SetLastError(failure);
        return false;
    }
    return true;
}

bool Image::CreateLike(const Image& source, int width, int height)
{
    CopyAttributesFrom(source);
    if (!Create(width, height, source.GetBpp(), source.GetFormatType()))
        return false;
    SetPalette(source.GetPalette(), source.GetColourCount());
    return true;
}

void Image::TakeResult(Image& result, Image* dest)
{
    (dest ? dest : this)->Transfer(result);
}

bool Image::Crop(int left, int top, int right, int bottom, Image* dest)
{
    if (!dib_)
        return false;
    auto clamp = [](int value, int limit) { return value < 0 ? 0 : (value > limit ? limit : value); };
    left = clamp(left, GetWidth());
    right = clamp(right, GetWidth());
    top = clamp(top, GetHeight());
    bottom = clamp(bottom, GetHeight());
    if (left == right || top == bottom)
        return false;
    if (left > right)
        std::swap(left, right);
    if (top > bottom)
        std::swap(top, bottom);
    int width = right - left;
    int height = bottom - top;
    int firstRow = GetHeight() - bottom; // bottom-up index of the crop's lowest row
    Image result;
    if (!result.CreateLike(*this, width, height))
        return false;
    if (GetBpp() >= 8) {
        size_t offset = static_cast<size_t>(left) * GetBpp() / 8;
        size_t bytes = static_cast<size_t>(width) * GetBpp() / 8;
        for (int row = 0; row < height; ++row)
            std::memcpy(result.GetBits(row), GetBits(firstRow + row) + offset, bytes);
    } else {
        for (int row = 0; row < height; ++row)
            for (int x = 0; x < width; ++x)
                result.SetPixelIndex(x, row, GetPixelIndex(left + x, firstRow + row));
    }
    TakeResult(result, dest);
    return true;
}

bool Image::Rotate(double angleDegrees, Image* dest)
{
    if (!dib_)
        return false;
    const double pi = 3.14159265358979323846;
    double angle = -angleDegrees * pi / 180.0;
    double c = std::cos(angle);
    double s = std::sin(angle);
    // Bounding box of the turned rectangle; the tolerance keeps cos(90°)
    // (about 6e-17) from growing the box by a whole pixel.
    const double tolerance = 1e-6;
    double cornersX[4] = {0, static_cast<double>(GetWidth()), 0, static_cast<double>(GetWidth())};
    double cornersY[4] = {0, 0, static_cast<double>(GetHeight()), static_cast<double>(GetHeight())};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        double x = cornersX[i] * c - cornersY[i] * s;
        double y = cornersX[i] * s + cornersY[i] * c;
        minX = i == 0 || x < minX ? x : minX;
        maxX = i == 0 || x > maxX ? x : maxX;
        minY = i == 0 || y < minY ? y : minY;
        maxY = i == 0 || y > maxY ? y : maxY;
    }
    int x0 = static_cast<int>(std::floor(minX + tolerance));
    int y0 = static_cast<int>(std::floor(minY + tolerance));
    int width = static_cast<int>(std::ceil(maxX - tolerance)) - x0;
    int height = static_cast<int>(std::ceil(maxY - tolerance)) - y0;
    Image result;
    if (!result.CreateLike(*this, width, height))
        return false;
    if (alpha_ && !result.AlphaCreate())
        return false;
    // Each new pixel takes the source pixel under its centre turned back,
    // not a corner: corner sampling shifts quarter turns by a whole pixel.
    for (int j = 0; j < height; ++j) {
        double y = y0 + j + 0.5;
        for (int i = 0; i < width; ++i) {
            double x = x0 + i + 0.5;
            int sx = static_cast<int>(std::floor(x * c + y * s));
            int sy = static_cast<int>(std::floor(y * c - x * s));
            CopyPixel(result, i, j, *this, sx, sy);
        }
    }
    TakeResult(result, dest);
    return true;
}

bool Image::Rotate180(Image* dest)
{
    if (!dib_)
        return false;
    Image result;
    if (!result.CreateLike(*this, GetWidth(), GetHeight()))
        return false;
    if (alpha_ && !result.AlphaCreate())
        return false;
    for (int y = 0; y < GetHeight(); ++y)
        for (int x = 0; x < GetWidth(); ++x)
            CopyPixel(result, x, y, *this, GetWidth() - 1 - x, GetHeight() - 1 - y);
    TakeResult(result, dest);
    return true;
}

bool Image::Flip()
{
    if (!dib_)
        return false;
    ReverseRows(GetBits(0), static_cast<size_t>(rowStride_), GetHeight());
    AlphaFlip();
    return true;
}
