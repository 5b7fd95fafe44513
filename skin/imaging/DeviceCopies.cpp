#include "imaging/DeviceCopies.h"

#include "imaging/Image.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <new>

namespace {

std::atomic<bool> copiesEnabled{true};
// Whether the display keeps 24 bits of colour: 1 or 0, -1 until asked.
std::atomic<int> displayTrueColour{-1};

// Guards only the creation of an image's copies; drawing holds the copies'
// own lock.
std::mutex& CreationLock()
{
    static std::mutex lock;
    return lock;
}

uint32_t PixelOf(const RGBQUAD& colour)
{
    return static_cast<uint32_t>(colour.rgbRed) << 16 | static_cast<uint32_t>(colour.rgbGreen) << 8 |
           colour.rgbBlue;
}

uint32_t PixelOf(COLORREF colour)
{
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | static_cast<uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

const uint32_t kWhite = 0x00FFFFFFu;

// The pixels of `source` (a rectangle of `from`) into a new section.
bool CutOut(HDC reference, const KeptSection& from, const RECT& source, KeptSection& to)
{
    const int width = source.right - source.left, height = source.bottom - source.top;
    if (!to.Create(reference, width, height))
        return false;
    for (int y = 0; y < height; ++y)
        std::copy_n(from.Row(source.top + y) + source.left, width, to.Row(y));
    return true;
}

// A pattern brush of a whole section, repeated across until the pattern
// is at least this wide: a fill copies the pattern row by row in spans of
// its width, and a few long spans cost far less than many short ones.
const int kMinPatternWidth = 512;

Brush PatternOf(const KeptSection& section)
{
    const int width = section.Width(), height = section.Height();
    const int repeats = std::max(1, (kMinPatternWidth + width - 1) / width);
    const size_t patternWidth = static_cast<size_t>(width) * repeats;
    std::vector<uint32_t> packed;
    try {
        packed.resize((sizeof(BITMAPINFOHEADER) + 3) / 4 + patternWidth * height);
    } catch (const std::bad_alloc&) {
        return Brush();
    }
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(packed.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = static_cast<LONG>(patternWidth);
    header->biHeight = -height;
    header->biPlanes = 1;
    header->biBitCount = 32;
    header->biCompression = BI_RGB;
    uint32_t* pixels = packed.data() + (sizeof(BITMAPINFOHEADER) + 3) / 4;
    for (int y = 0; y < height; ++y)
        for (int copy = 0; copy < repeats; ++copy)
            std::copy_n(section.Row(y), width, pixels + static_cast<size_t>(y) * patternWidth + copy * width);
    return Brush(CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS));
}

bool HoldsKey(const KeptSection& pixels, const RECT& source, uint32_t key)
{
    for (int y = source.top; y < source.bottom; ++y) {
        const uint32_t* row = pixels.Row(y);
        if (std::find(row + source.left, row + source.right, key) != row + source.right)
            return true;
    }
    return false;
}

bool IsUniform(const KeptSection& pixels, const RECT& source)
{
    const uint32_t first = pixels.Row(source.top)[source.left];
    for (int y = source.top; y < source.bottom; ++y) {
        const uint32_t* row = pixels.Row(y);
        if (std::find_if(row + source.left, row + source.right, [first](uint32_t pixel) { return pixel != first; }) !=
            row + source.right)
            return false;
    }
    return true;
}

}  // namespace

void EnableDeviceCopies(bool on)
{
    copiesEnabled = on;
}

bool DeviceCopiesEnabled()
{
    return copiesEnabled;
}

bool IsTrueColourTarget(HDC hdc)
{
    // A memory DC's depth is its bitmap's; GetDeviceCaps would report the
    // screen's.
    if (GetObjectType(hdc) == OBJ_MEMDC) {
        BITMAP bitmap = {};
        const HGDIOBJ selected = GetCurrentObject(hdc, OBJ_BITMAP);
        return selected && GetObject(selected, sizeof bitmap, &bitmap) && bitmap.bmBitsPixel >= 24;
    }
    const auto askDevice = [hdc] {
        return GetDeviceCaps(hdc, BITSPIXEL) >= 24 && !(GetDeviceCaps(hdc, RASTERCAPS) & RC_PALETTE);
    };
    if (GetDeviceCaps(hdc, TECHNOLOGY) != DT_RASDISPLAY)
        return askDevice();
    int known = displayTrueColour.load();
    if (known < 0) {
        known = askDevice() ? 1 : 0;
        displayTrueColour.store(known);
    }
    return known == 1;
}

void ForgetDisplayColourDepth()
{
    displayTrueColour.store(-1);
}

BITMAPINFO Section32Info(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool KeptSection::Create(HDC reference, int width, int height)
{
    Reset();
    if (width <= 0 || height <= 0)
        return false;
    BITMAPINFO info = Section32Info(width, height);
    void* bits = nullptr;
    dc_.Reset(CreateCompatibleDC(reference));
    bitmap_.Reset(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc_ || !bitmap_ || !bits) {
        Reset();
        return false;
    }
    previous_ = SelectObject(dc_, bitmap_);
    if (!previous_ || previous_ == HGDI_ERROR) {
        previous_ = nullptr;
        Reset();
        return false;
    }
    info_ = info;
    bits_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void KeptSection::Reset()
{
    if (previous_)
        SelectObject(dc_, previous_);
    previous_ = nullptr;
    dc_.Reset();
    bitmap_.Reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

RGBQUAD SourceColour(const Image& image, const BYTE* row, int x)
{
    const int bpp = image.GetBpp();
    if (bpp == 24)
        return RGBQUAD{row[3 * x], row[3 * x + 1], row[3 * x + 2], 0};
    int index;
    if (bpp == 8)
        index = row[x];
    else if (bpp == 4)
        index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F;
    else
        index = (row[x >> 3] >> (7 - (x & 7))) & 0x01;
    if (index >= image.GetColourCount())
        return RGBQUAD{0, 0, 0, 0};
    return image.GetPalette()[index];
}

bool SameColour(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbBlue == b.rgbBlue && a.rgbGreen == b.rgbGreen && a.rgbRed == b.rgbRed &&
           a.rgbReserved == b.rgbReserved;
}

uint32_t SourcePixel(const Image& image, const BYTE* row, int x)
{
    return PixelOf(SourceColour(image, row, x));
}

int Composition::Opacity(const RGBQUAD& colour, int alphaValue) const
{
    int opacity = (alphaValue * alphaScale) >> 8;
    if (paletteAlpha)
        opacity = (opacity * (colour.rgbReserved + 1)) >> 8;
    return opacity;
}

Composition CompositionOf(const Image& image)
{
    Composition composition;
    composition.keyed = image.GetTransparentIndex() != -1;
    composition.key = image.GetTransparentColour();
    // The key's reserved byte is no colour: 24-bit samples compare with it
    // as if they carried it.
    if (image.GetBpp() == 24)
        composition.key.rgbReserved = 0;
    composition.alphaPlane = image.GetAlphaPlane();
    composition.alphaScale = image.GetAlphaMax() + 1;
    composition.paletteAlpha = image.IsPaletteAlpha() && image.GetBpp() < 24;
    return composition;
}

SamplingMap MapPaintBox(int imageWidth, int imageHeight, int x, int y, int cx, int cy, const RECT& box)
{
    SamplingMap map;
    const double fx = static_cast<double>(imageWidth) / cx;
    const double fy = static_cast<double>(imageHeight) / cy;
    map.columns.resize(static_cast<size_t>(box.right - box.left));
    for (size_t i = 0; i < map.columns.size(); ++i) {
        const double u = static_cast<double>(box.left) - x + static_cast<double>(i);
        map.columns[i] = std::min(imageWidth - 1, static_cast<int>(std::floor(u * fx)));
    }
    map.rows.resize(static_cast<size_t>(box.bottom - box.top));
    for (size_t k = 0; k < map.rows.size(); ++k) {
        const double edge = static_cast<double>(box.bottom) - static_cast<double>(k) - y;
        const int row = imageHeight - static_cast<int>(std::ceil(edge * fy));
        map.rows[k] = std::min(imageHeight - 1, std::max(0, row));
    }
    return map;
}

std::shared_ptr<ImageDeviceCopies> ImageDeviceCopies::Of(const Image& image)
{
    std::lock_guard<std::mutex> guard(CreationLock());
    if (!image.deviceCopies_)
        image.deviceCopies_.reset(new (std::nothrow) ImageDeviceCopies(image));
    return image.deviceCopies_;
}

void ImageDeviceCopies::Forget(const Image& image)
{
    std::lock_guard<std::mutex> guard(CreationLock());
    image.deviceCopies_.reset();
}

void ImageDeviceCopies::Refresh()
{
    if (current_ && revision_ == image_.GetRevision())
        return;
    pixels_.Reset();
    keys_.clear();
    pieces_.clear();
    opacities_.clear();
    opacitiesMade_ = false;
    mapMade_ = false;
    revision_ = image_.GetRevision();
    current_ = true;
}

void ImageDeviceCopies::Release()
{
    current_ = false;
    Refresh();
    scratch_.Reset();
}

const KeptSection* ImageDeviceCopies::Pixels(HDC reference)
{
    Refresh();
    if (pixels_.IsValid() || !image_.IsValid())
        return &pixels_;
    const int width = image_.GetWidth(), height = image_.GetHeight();
    if (!pixels_.Create(reference, width, height))
        return &pixels_;
    for (int y = 0; y < height; ++y) {
        const BYTE* source = image_.GetBits(height - 1 - y);
        uint32_t* pixel = pixels_.Row(y);
        for (int x = 0; x < width; ++x)
            pixel[x] = SourcePixel(image_, source, x);
    }
    return &pixels_;
}

const KeyCopies* ImageDeviceCopies::KeyedPixels(HDC reference, COLORREF key)
{
    const KeptSection* pixels = Pixels(reference);
    if (!pixels->IsValid())
        return nullptr;
    const auto found = keys_.find(key);
    if (found != keys_.end())
        return &found->second;
    const int width = pixels->Width(), height = pixels->Height();
    KeyCopies& copies = keys_[key];
    if (!copies.mask.Create(reference, width, height) || !copies.blackened.Create(reference, width, height)) {
        keys_.erase(key);
        return nullptr;
    }
    const uint32_t keyPixel = PixelOf(key);
    for (int y = 0; y < height; ++y) {
        const uint32_t* pixel = pixels->Row(y);
        uint32_t* mask = copies.mask.Row(y);
        uint32_t* blackened = copies.blackened.Row(y);
        for (int x = 0; x < width; ++x) {
            const bool isKey = pixel[x] == keyPixel;
            mask[x] = isKey ? kWhite : 0;
            blackened[x] = isKey ? 0 : pixel[x];
        }
    }
    return &copies;
}

PieceCopies* ImageDeviceCopies::Piece(HDC reference, const RECT& source)
{
    const KeptSection* pixels = Pixels(reference);
    if (!pixels->IsValid())
        return nullptr;
    PieceCopies& piece = pieces_[{source.left, source.top, source.right, source.bottom}];
    if (piece.pixels.IsValid())
        return &piece;
    if (!CutOut(reference, *pixels, source, piece.pixels))
        return nullptr;
    piece.uniform = IsUniform(*pixels, source);
    piece.colour = pixels->Row(source.top)[source.left];
    return &piece;
}

PieceCopies::Keyed* ImageDeviceCopies::KeyedPiece(HDC reference, const RECT& source, COLORREF key, bool cutOut)
{
    const KeyCopies* copies = KeyedPixels(reference, key);
    if (!copies)
        return nullptr;
    PieceCopies& piece = pieces_[{source.left, source.top, source.right, source.bottom}];
    const bool known = piece.keyed.count(key) != 0;
    PieceCopies::Keyed& keyed = piece.keyed[key];
    if (!known)
        keyed.holdsKey = HoldsKey(pixels_, source, PixelOf(key));
    if (!cutOut || !keyed.holdsKey || keyed.mask.IsValid())
        return &keyed;
    if (!CutOut(reference, copies->mask, source, keyed.mask) ||
        !CutOut(reference, copies->blackened, source, keyed.blackened)) {
        piece.keyed.erase(key);
        return nullptr;
    }
    return &keyed;
}

bool ImageDeviceCopies::TilingPatterns(PieceCopies& piece, PieceCopies::Keyed* keyed)
{
    if (keyed && keyed->holdsKey) {
        if (!keyed->maskPattern)
            keyed->maskPattern = PatternOf(keyed->mask);
        if (!keyed->blackenedPattern)
            keyed->blackenedPattern = PatternOf(keyed->blackened);
        return keyed->maskPattern && keyed->blackenedPattern;
    }
    if (!piece.pattern)
        piece.pattern = PatternOf(piece.pixels);
    return static_cast<bool>(piece.pattern);
}

const std::vector<BYTE>* ImageDeviceCopies::Opacities()
{
    Refresh();
    if (opacitiesMade_)
        return &opacities_;
    const int width = image_.GetWidth(), height = image_.GetHeight();
    const Composition composition = CompositionOf(image_);
    try {
        opacities_.resize(static_cast<size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int y = 0; y < height; ++y) {
        const int sourceRow = height - 1 - y;
        const BYTE* source = image_.GetBits(sourceRow);
        const BYTE* alphaRow =
            composition.alphaPlane ? composition.alphaPlane + static_cast<size_t>(sourceRow) * width : nullptr;
        BYTE* opacity = &opacities_[static_cast<size_t>(y) * width];
        for (int x = 0; x < width; ++x) {
            const RGBQUAD colour = SourceColour(image_, source, x);
            const bool key = composition.keyed && SameColour(colour, composition.key);
            opacity[x] = key ? 0 : static_cast<BYTE>(composition.Opacity(colour, alphaRow ? alphaRow[x] : 255));
        }
    }
    opacitiesMade_ = true;
    return &opacities_;
}

KeptSection* ImageDeviceCopies::Scratch(HDC reference, int width, int height)
{
    if (scratch_.IsValid() && scratch_.Width() >= width && scratch_.Height() >= height)
        return &scratch_;
    scratch_.Create(reference, std::max(width, scratch_.Width()), std::max(height, scratch_.Height()));
    return scratch_.IsValid() ? &scratch_ : nullptr;
}

const SamplingMap& ImageDeviceCopies::Map(int x, int y, int cx, int cy, const RECT& box)
{
    Refresh();
    const std::array<int, 8> key = {x, y, cx, cy, static_cast<int>(box.left), static_cast<int>(box.top),
                                    static_cast<int>(box.right), static_cast<int>(box.bottom)};
    if (!mapMade_ || key != mapKey_) {
        map_ = MapPaintBox(image_.GetWidth(), image_.GetHeight(), x, y, cx, cy, box);
        mapKey_ = key;
        mapMade_ = true;
    }
    return map_;
}
