// Times the costly drawing paths against a plain BitBlt of the same area,
// measured in turns with each operation, and prints medians in
// microseconds with their ratios and goals.
#include "Measure.h"
#include "data/ButtonSkins.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"
#include "imaging/MemoryDC.h"
#include "imaging/Regions.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const int kRuns = 31;
const int kFrameWidth = 800;
const int kFrameHeight = 600;
const COLORREF kKey = RGB(255, 0, 255);

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

std::unique_ptr<SkinStore> LoadDefaultSkin()
{
    std::vector<char> bytes;
    if (FILE* file = std::fopen(SSO_DEFAULT_SKIN, "rb")) {
        char chunk[65536];
        size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(file);
    }
    auto store = std::make_unique<SkinStore>();
    const MemoryStream container(bytes.data(), static_cast<int32_t>(bytes.size()));
    return store->Load(container) ? std::move(store) : nullptr;
}

}  // namespace

int main()
{
    WindowDC screen(nullptr);
    MemoryDC target(screen, kFrameWidth, kFrameHeight);
    MemoryDC source(screen, kFrameWidth, kFrameHeight);
    const RECT frameRect = {0, 0, kFrameWidth, kFrameHeight};
    auto blit = [&](int x, int y, int cx, int cy) {
        return [&target, &source, x, y, cx, cy] { BitBlt(target.Dc(), x, y, cx, cy, source.Dc(), 0, 0, SRCCOPY); };
    };

    Image frameBitmap;
    MakeFrameBitmap(frameBitmap);
    OneImage skin(frameBitmap);
    FrameImageRef frame = {};
    std::strcpy(frame.name, "frame.bmp");
    frame.source = SourceRect{0, 0, 90, 90};
    frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 30;
    frame.stretchMode = 5;
    const Timing keyedFrame =
        MeasureAgainst(kRuns, [&] { DrawFrameImageKeyed(target.Dc(), frameRect, frame, kKey, skin); },
                       blit(0, 0, kFrameWidth, kFrameHeight));
    const Timing plainFrame =
        MeasureAgainst(kRuns, [&] { DrawFrameImage(target.Dc(), frameRect, frame, kKey, true, skin); },
                       blit(0, 0, kFrameWidth, kFrameHeight));

    const std::unique_ptr<SkinStore> store = LoadDefaultSkin();
    const ButtonSkin* button = store ? dynamic_cast<const ButtonSkin*>(store->FindObject("Button")) : nullptr;
    if (!button) {
        std::fprintf(stderr, "bench_draw: the default skin %s does not load\n", SSO_DEFAULT_SKIN);
        return 1;
    }
    const RECT buttonRect = {0, 0, 75, 23};
    const FrameImageRef& buttonFrame = button->states[ButtonSkin::StateNormal].image;
    const Timing keyedButton =
        MeasureAgainst(kRuns, [&] { DrawFrameImageKeyed(target.Dc(), buttonRect, buttonFrame, kKey, *store); },
                       blit(0, 0, 75, 23));

    Image alphaImage;
    alphaImage.Create(256, 256, 24, Image::FormatBmp);
    alphaImage.AlphaCreate();
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            alphaImage.SetPixelColour(x, y, RGBQUAD{static_cast<BYTE>(x), static_cast<BYTE>(y), 128, 0});
            alphaImage.AlphaSet(x, y, static_cast<BYTE>(x ^ y));
        }
    const Timing alpha = MeasureAgainst(kRuns, [&] { alphaImage.Draw(target.Dc(), 10, 10); }, blit(10, 10, 256, 256));
    alphaImage.AlphaDelete();
    const Timing plain = MeasureAgainst(kRuns, [&] { alphaImage.Draw(target.Dc(), 10, 10); }, blit(10, 10, 256, 256));
    const Timing stretched =
        MeasureAgainst(kRuns, [&] { alphaImage.Draw(target.Dc(), 10, 10, 512, 512); }, blit(10, 10, 512, 512));

    Bitmap shape(MakeWindowShapeBitmap(screen));
    const Timing shapeRegion = MeasureAgainst(kRuns, [&] { Region region(CreateRegionFromBitmap(shape, kKey)); },
                                              blit(0, 0, kFrameWidth, kFrameHeight));

    std::printf("bench_draw: medians of %d runs, each against a BitBlt of the same area timed in turns with it\n",
                kRuns);
    PrintTableHeader("BitBlt us");
    PrintRatioRow("DrawFrameImageKeyed 800x600, edges stretched", keyedFrame, 3);
    PrintRatioRow("DrawFrameImage 800x600, edges stretched", plainFrame, 3);
    PrintRatioRow("DrawFrameImageKeyed 75x23, our skin's button", keyedButton, 12);
    PrintRatioRow("Image::Draw 256x256 plain", plain, 2);
    PrintRatioRow("Image::Draw 256x256 with alpha plane", alpha, 30);
    PrintRatioRow("Image::Draw 256x256 stretched to 512x512", stretched, 6);
    PrintShareRow("CreateRegionFromBitmap 800x600", shapeRegion);
    return 0;
}
