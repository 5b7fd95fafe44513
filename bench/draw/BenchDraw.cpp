// Times the costly drawing paths against a plain BitBlt of the same area
// and prints medians in microseconds with their ratios.
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"
#include "imaging/MemoryDC.h"
#include "imaging/Regions.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

const int kRuns = 31;
const int kFrameWidth = 800;
const int kFrameHeight = 600;
const COLORREF kKey = RGB(255, 0, 255);

double Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

double MedianMicroseconds(const std::function<void()>& work)
{
    std::vector<double> times;
    work();  // warm-up
    for (int i = 0; i < kRuns; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        work();
        GdiFlush();
        QueryPerformanceCounter(&end);
        times.push_back(Microseconds(start, end));
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

void Report(const char* name, double measured, double baseline)
{
    std::printf("%-44s %10.1f us   BitBlt %8.1f us   ratio %6.1f\n", name, measured, baseline, measured / baseline);
}

class OneImage : public ImageSource {
public:
    explicit OneImage(Image& image) : image_(image) {}
    Image* FindImage(const char*) const override { return &image_; }

private:
    Image& image_;
};

// An 8-bit skin bitmap like the shipped ones: a 90 x 90 frame with 30-pixel
// margins, a gradient palette, key-coloured outer corners.
void MakeFrameBitmap(Image& image)
{
    image.Create(90, 90, 8, Image::FormatBmp);
    RGBQUAD palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i / 2), 0};
    palette[255] = RGBQUAD{255, 0, 255, 0};
    image.SetPalette(palette, 256);
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 90; ++x) {
            const bool corner = (x < 6 || x >= 84) && (y < 6 || y >= 84);
            image.SetPixelIndex(x, y, corner ? 255 : static_cast<BYTE>((x + y) % 255));
        }
}

// A window-shaped bitmap: rounded-off corners and a notch in the caption.
HBITMAP MakeWindowShapeBitmap(HDC reference)
{
    MemoryDC surface(reference, kFrameWidth, kFrameHeight);
    Brush key(CreateSolidBrush(kKey)), body(CreateSolidBrush(RGB(40, 80, 160)));
    const RECT all = {0, 0, kFrameWidth, kFrameHeight};
    FillRect(surface.Dc(), &all, key);
    Region shape(CreateRoundRectRgn(0, 0, kFrameWidth + 1, kFrameHeight + 1, 24, 24));
    FillRgn(surface.Dc(), shape, body);
    const RECT notch = {300, 0, 500, 6};
    FillRect(surface.Dc(), &notch, key);
    return surface.DetachBitmap();
}

}  // namespace

int main()
{
    WindowDC screen(nullptr);
    MemoryDC target(screen, kFrameWidth, kFrameHeight);
    MemoryDC source(screen, kFrameWidth, kFrameHeight);
    const RECT frameRect = {0, 0, kFrameWidth, kFrameHeight};

    const double frameBlit = MedianMicroseconds(
        [&] { BitBlt(target.Dc(), 0, 0, kFrameWidth, kFrameHeight, source.Dc(), 0, 0, SRCCOPY); });

    Image frameBitmap;
    MakeFrameBitmap(frameBitmap);
    OneImage skin(frameBitmap);
    FrameImageRef frame = {};
    std::strcpy(frame.name, "frame.bmp");
    frame.source = SourceRect{0, 0, 90, 90};
    frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 30;
    frame.stretchMode = 5;
    Report("DrawFrameImageKeyed 800x600, edges stretched",
           MedianMicroseconds([&] { DrawFrameImageKeyed(target.Dc(), frameRect, frame, kKey, skin); }), frameBlit);
    Report("DrawFrameImage 800x600, edges stretched",
           MedianMicroseconds([&] { DrawFrameImage(target.Dc(), frameRect, frame, kKey, true, skin); }), frameBlit);

    Image alphaImage;
    alphaImage.Create(256, 256, 24, Image::FormatBmp);
    alphaImage.AlphaCreate();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            alphaImage.SetPixelColour(x, y, RGBQUAD{static_cast<BYTE>(x), static_cast<BYTE>(y), 128, 0});
            alphaImage.AlphaSet(x, y, static_cast<BYTE>(x ^ y));
        }
    const double alphaBlit =
        MedianMicroseconds([&] { BitBlt(target.Dc(), 10, 10, 256, 256, source.Dc(), 0, 0, SRCCOPY); });
    Report("Image::Draw 256x256 with alpha plane", MedianMicroseconds([&] { alphaImage.Draw(target.Dc(), 10, 10); }),
           alphaBlit);
    alphaImage.AlphaDelete();
    Report("Image::Draw 256x256 plain", MedianMicroseconds([&] { alphaImage.Draw(target.Dc(), 10, 10); }),
           alphaBlit);
    Report("Image::Draw 256x256 stretched to 512x512",
           MedianMicroseconds([&] { alphaImage.Draw(target.Dc(), 10, 10, 512, 512); }),
           MedianMicroseconds([&] { BitBlt(target.Dc(), 10, 10, 512, 512, source.Dc(), 0, 0, SRCCOPY); }));

    Bitmap shape(MakeWindowShapeBitmap(screen));
    Report("CreateRegionFromBitmap 800x600", MedianMicroseconds([&] {
               Region region(CreateRegionFromBitmap(shape, kKey));
           }),
           frameBlit);
    return 0;
}
