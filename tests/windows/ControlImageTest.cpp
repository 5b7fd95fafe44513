// Pictures in controls: bitmap and icon statics show their picture at its
// own size at the top-left and the background around it; icon and bitmap
// push buttons show theirs where the alignment styles put it, over the
// state's image, in our skin and in a skin of other margins and sizes.
#include "ControlTestSupport.h"

#include "DcStateCheck.h"
#include "core/SkinManager.h"
#include "data/ButtonSkins.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

#include <cstdio>

namespace {

// Pixels that tell where they came from: no two neighbours alike, never the
// key colour, never black (a mask's XOR would hide it).
unsigned PatternPixel(int x, int y)
{
    return (0x20 + x * 7 % 0xC0) << 16 | (0x30 + y * 11 % 0xC0) << 8 | 0x5A;
}

// A top-down 32-bit section of width x height filled with PatternPixel.
Bitmap PatternBitmap(int width, int height, unsigned (*pixel)(int, int) = PatternPixel)
{
    unsigned* pixels = nullptr;
    Bitmap bitmap = TopDownSection(nullptr, width, height, &pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = pixel(x, y);
    return bitmap;
}

WindowPixels PatternPicture(int width, int height)
{
    WindowPixels picture;
    picture.width = width;
    picture.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.pixels.push_back(PatternPixel(x, y));
    return picture;
}

// The icon's see-through corner: the top-left 5 x 4 pixels.
bool InClearCorner(int x, int y)
{
    return x < 5 && y < 4;
}

unsigned IconPixel(int x, int y)
{
    return InClearCorner(x, y) ? 0 : PatternPixel(x, y);
}

// An icon of the pattern, see-through in its top-left corner.
OwnedIcon PatternIcon(int width, int height)
{
    const Bitmap colour = PatternBitmap(width, height, IconPixel);
    const int stride = (width + 15) / 16 * 2;  // monochrome rows are word-aligned
    std::vector<BYTE> maskBits(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (InClearCorner(x, y))
                maskBits[y * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
    const Bitmap mask(CreateBitmap(width, height, 1, 1, maskBits.data()));
    ICONINFO info = {TRUE, 0, 0, mask.Get(), colour.Get()};
    return OwnedIcon(CreateIconIndirect(&info));
}

struct PictureSize {
    int width;
    int height;
};
const PictureSize kSizes[] = {{20, 11}, {37, 23}};

std::string Hex(unsigned pixel)
{
    char text[16];
    snprintf(text, sizeof text, "0x%06X", pixel);
    return text;
}

// The picture's pixels at (x0, y0) of `shown`, the background elsewhere in
// `shown`'s area; the icon's clear corner shows the background too.
testing::AssertionResult ShowsPictureOver(const WindowPixels& shown, const WindowPixels& background, int x0, int y0,
                                          const PictureSize& size, bool clearCorner)
{
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x) {
            const int px = x - x0, py = y - y0;
            const bool inPicture = px >= 0 && py >= 0 && px < size.width && py < size.height &&
                                   !(clearCorner && InClearCorner(px, py));
            const unsigned want = inPicture ? PatternPixel(px, py) : background.At(x, y);
            if (want == 0xFF00FF)
                continue;
            if (shown.At(x, y) != want)
                return testing::AssertionFailure() << "pixel " << x << "," << y << " is " << Hex(shown.At(x, y))
                                                   << ", expected " << Hex(want)
                                                   << (inPicture ? " of the picture" : " of the background");
        }
    return testing::AssertionSuccess();
}

}  // namespace

TEST_F(ControlTest, BitmapAndIconStaticsShowTheirPictureAtTheTopLeft)
{
    for (const PictureSize& size : kSizes) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const Bitmap bitmap = PatternBitmap(size.width, size.height);
        const OwnedIcon icon = PatternIcon(size.width, size.height);
        struct Kind {
            const char* what;
            DWORD style;
            UINT message;
            WPARAM type;
            HANDLE picture;
            bool isIcon;
        };
        const Kind kinds[] = {
            {"bitmap", SS_BITMAP, STM_SETIMAGE, IMAGE_BITMAP, bitmap.Get(), false},
            {"bitmap, centred image", SS_BITMAP | SS_CENTERIMAGE, STM_SETIMAGE, IMAGE_BITMAP, bitmap.Get(), false},
            {"icon", SS_ICON, STM_SETICON, 0, icon.Get(), true},
            {"icon, centred image", SS_ICON | SS_CENTERIMAGE, STM_SETICON, 0, icon.Get(), true},
        };
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(kind.what);
            HWND control = AddControl("Static", "", kind.style, 30, 40, 80, 60);
            ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(control));
            const WPARAM first = kind.isIcon ? reinterpret_cast<WPARAM>(kind.picture) : kind.type;
            const LPARAM second = kind.isIcon ? 0 : reinterpret_cast<LPARAM>(kind.picture);
            SendMessageA(control, kind.message, first, second);
            // The system fits a picture static to its picture; ours draws the
            // picture at its own size whatever the control's.
            SetWindowPos(control, nullptr, 0, 0, 80, 60, SWP_NOMOVE | SWP_NOZORDER);
            PumpFor(20);
            const WindowPixels shown = CaptureWindow(control);
            ASSERT_EQ(80, shown.width);
            EXPECT_TRUE(ShowsPictureOver(shown, BackgroundBehind(control), 0, 0, size, kind.isIcon));
            // Detached from the static before the picture goes.
            SendMessageA(control, kind.message, kind.isIcon ? 0 : kind.type, 0);
            DestroyWindow(control);
        }
    }
}

TEST_F(ControlTest, ABitmapLargerThanItsStaticIsCutToIt)
{
    const Bitmap bitmap = PatternBitmap(120, 90);
    HWND control = AddControl("Static", "", SS_BITMAP, 30, 40, 80, 60);
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    SetWindowPos(control, nullptr, 0, 0, 50, 30, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(20);
    EXPECT_TRUE(ShowsPicture(CaptureWindow(control), 0, 0, PatternPicture(50, 30)));
    SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0);
}

namespace {

const int kButtonWidth = 100;
const int kButtonHeight = 40;

// Our skin, and one whose normal push-button face has other, uneven
// margins and another piece of the art.
std::string SkinVariant(int index)
{
    const std::string source = DefaultSkinSource();
    if (index == 0)
        return source;
    return Replaced(source, "NORMAL.IMAGE = { bitmap \"controls.bmp\" rect 0 0 16 23 margins 5 5 5 5 stretch 1 }",
                    "NORMAL.IMAGE = { bitmap \"controls.bmp\" rect 90 0 106 23 margins 10 2 2 2 stretch 1 }");
}

struct Alignment {
    const char* what;
    DWORD style;
    // Where a w x h picture goes in the 100 x 40 button.
    int (*left)(int width);
    int (*top)(int height);
};

int AtLeft(int) { return 0; }
int AtCentre(int width) { return (kButtonWidth - width) / 2; }
int AtRight(int width) { return kButtonWidth - width; }
int AtTop(int) { return 0; }
int AtMiddle(int height) { return (kButtonHeight - height) / 2; }
int AtBottom(int height) { return kButtonHeight - height; }

const Alignment kAlignments[] = {
    {"no alignment", 0, AtCentre, AtMiddle},
    {"BS_LEFT", BS_LEFT, AtLeft, AtMiddle},
    {"BS_RIGHT", BS_RIGHT, AtRight, AtMiddle},
    {"BS_CENTER", BS_CENTER, AtCentre, AtMiddle},
    {"BS_TOP", BS_TOP, AtCentre, AtTop},
    {"BS_BOTTOM", BS_BOTTOM, AtCentre, AtBottom},
    {"BS_VCENTER", BS_VCENTER, AtCentre, AtMiddle},
    {"BS_RIGHT | BS_BOTTOM", BS_RIGHT | BS_BOTTOM, AtRight, AtBottom},
    {"BS_LEFT | BS_TOP", BS_LEFT | BS_TOP, AtLeft, AtTop},
};

class PictureButtonTest : public ControlTest {
protected:
    // The normal face of the skin with the picture where it belongs.
    static WindowPixels ExpectedFace(int x0, int y0, const PictureSize& size, bool clearCorner)
    {
        const auto& skin = *static_cast<const ButtonSkin*>(DefaultStore().FindObject("Button"));
        WindowPixels face = RenderFrameImage(skin.states[ButtonSkin::StateNormal].image, kButtonWidth, kButtonHeight,
                                             GetSysColor(COLOR_BTNFACE));
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                if (!(clearCorner && InClearCorner(x, y)))
                    face.pixels[(y0 + y) * kButtonWidth + x0 + x] = PatternPixel(x, y);
        return face;
    }

    void CheckEveryAlignment(DWORD kind)
    {
        ASSERT_NE(SkinVariant(0), SkinVariant(1)) << "the other skin is our skin";
        for (int variant = 0; variant < 2; ++variant) {
            SCOPED_TRACE(variant ? "the other skin" : "our skin");
            ASSERT_TRUE(LoadSkinSource(SkinVariant(variant)));
            for (const PictureSize& size : kSizes) {
                SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
                const Bitmap bitmap = PatternBitmap(size.width, size.height);
                const OwnedIcon icon = PatternIcon(size.width, size.height);
                const bool isIcon = kind == BS_ICON;
                for (const Alignment& alignment : kAlignments) {
                    SCOPED_TRACE(alignment.what);
                    HWND button = AddControl("Button", "Text", kind | alignment.style, 20, 20, kButtonWidth,
                                             kButtonHeight);
                    SetFocus(Frame());
                    const LPARAM picture = isIcon ? reinterpret_cast<LPARAM>(icon.Get())
                                                  : reinterpret_cast<LPARAM>(bitmap.Get());
                    SendMessageA(button, BM_SETIMAGE, isIcon ? IMAGE_ICON : IMAGE_BITMAP, picture);
                    PumpFor(10);
                    const WindowPixels expected = ExpectedFace(alignment.left(size.width),
                                                               alignment.top(size.height), size, isIcon);
                    EXPECT_TRUE(ShowsPicture(CaptureWindow(button), 0, 0, expected));
                    DestroyWindow(button);
                }
            }
        }
    }
};

}  // namespace

TEST_F(PictureButtonTest, BitmapsGoWhereTheAlignmentPutsThem)
{
    CheckEveryAlignment(BS_BITMAP);
}

TEST_F(PictureButtonTest, IconsGoWhereTheAlignmentPutsThem)
{
    CheckEveryAlignment(BS_ICON);
}

TEST_F(PictureButtonTest, PicturePaintersLeaveTheDcAsTheyFoundIt)
{
    const Bitmap bitmap = PatternBitmap(20, 11);
    const OwnedIcon icon = PatternIcon(20, 11);
    HWND bitmapButton = AddControl("Button", "", BS_BITMAP, 20, 20, kButtonWidth, kButtonHeight, 101);
    SendMessageA(bitmapButton, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    HWND iconButton = AddControl("Button", "", BS_ICON, 20, 70, kButtonWidth, kButtonHeight, 102);
    SendMessageA(iconButton, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon.Get()));
    HWND bitmapStatic = AddControl("Static", "", SS_BITMAP, 20, 120, 60, 40, 103);
    SendMessageA(bitmapStatic, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
    HWND iconStatic = AddControl("Static", "", SS_ICON, 20, 170, 60, 40, 104);
    SendMessageA(iconStatic, STM_SETICON, reinterpret_cast<WPARAM>(icon.Get()), 0);
    for (HWND control : {bitmapButton, iconButton, bitmapStatic, iconStatic}) {
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(control);
        ASSERT_NE(nullptr, skin);
        WindowDC screen(nullptr);
        OwnedDC dc(CreateCompatibleDC(screen));
        Bitmap surface(CreateCompatibleBitmap(screen, kButtonWidth, kButtonHeight));
        ObjectSelector selected(dc, surface);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        SetStretchBltMode(dc, HALFTONE);
        const DcState before(dc);
        skin->Paint(dc);
        EXPECT_TRUE(before.Unchanged(dc));
    }
    for (HWND control : {bitmapButton, iconButton})
        DestroyWindow(control);
    SendMessageA(bitmapStatic, STM_SETIMAGE, IMAGE_BITMAP, 0);
    SendMessageA(iconStatic, STM_SETICON, 0, 0);
}
