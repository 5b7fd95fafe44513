// Feeds arbitrary bytes to the image decoder. Whatever decodes must survive
// an encode/decode round trip unchanged and the pixel operations.
#include "imaging/Image.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Round trips and pixel operations are linear in the image size (a turn by
// an odd angle in the size of its bounding box); larger images only slow the
// search down without reaching new code.
const uint32_t MaxRoundTripBytes = 1 << 18;
const int64_t MaxTurnedPixels = 1 << 12;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

size_t DibBytes(const Image& image)
{
    return sizeof(BITMAPINFOHEADER) + image.GetColourCount() * sizeof(RGBQUAD) + image.GetImageSize();
}

void CheckRoundTrip(Image& image)
{
    BYTE* encoded = nullptr;
    int32_t size = 0;
    Require(image.Encode(encoded, size, Image::FormatBmp));
    Image again;
    Require(again.Decode(encoded, size, Image::FormatBmp));
    Require(DibBytes(again) == DibBytes(image));
    Require(std::memcmp(again.GetDib(), image.GetDib(), DibBytes(image)) == 0);
    std::free(encoded);
}

void CheckPixelOperations(const Image& image)
{
    int width = image.GetWidth();
    int height = image.GetHeight();
    Image copy(image, true, false, false);
    Image result;
    Require(copy.Rotate(90, &result));
    Require(result.GetWidth() == height && result.GetHeight() == width);
    Require(copy.Rotate(33, &result));
    Require(copy.Rotate180(&result));
    Require(copy.Crop(width / 3, height / 3, width, height, &result));
    Require(copy.Flip());
    copy.GetClosestIndex(copy.GetPixelColour(width - 1, height - 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > INT32_MAX)
        return 0;
    Image image;
    if (!image.Decode(data, static_cast<int32_t>(size), Image::FormatUnknown)) {
        Require(!image.IsValid() && image.GetLastError()[0] != '\0');
        return 0;
    }
    Require(image.IsValid());
    if (image.GetImageSize() <= MaxRoundTripBytes)
        CheckRoundTrip(image);
    if (static_cast<int64_t>(image.GetWidth()) * image.GetHeight() <= MaxTurnedPixels)
        CheckPixelOperations(image);
    return 0;
}
