// The default skin's pictures drawn by the engine's own drawing code at sizes
// other than the ones they were drawn at: the shapes that regions are cut
// from stay put, and the key colour never shows where nothing removes it.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <vector>

#include "SkinFile.h"
#include "Surface.h"
#include "data/ButtonPart.h"
#include "data/ButtonSkins.h"
#include "data/ClientEdgeSkin.h"
#include "data/ComboBoxSkin.h"
#include "data/FrameSkin.h"
#include "data/ScrollBarSkin.h"
#include "data/SkinStore.h"
#include "imaging/ImageRef.h"

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kUntouched = RGB(1, 2, 3);

// Which pixels of a drawing are key colour, untouched, or painted.
enum class Pixel { Key, Untouched, Painted };

std::vector<Pixel> Classify(const Surface& surface)
{
    std::vector<Pixel> pixels;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) {
            const COLORREF c = surface.At(x, y);
            pixels.push_back(c == kKey ? Pixel::Key : c == kUntouched ? Pixel::Untouched : Pixel::Painted);
        }
    return pixels;
}

int CountOf(const std::vector<Pixel>& pixels, Pixel kind)
{
    int n = 0;
    for (Pixel p : pixels)
        n += p == kind;
    return n;
}

// The nine frame parts for a window of w x h, as the skinned-window base
// lays them out: corners keep their design size, edges and client stretch.
std::array<RECT, 9> LayoutParts(const RECT (&d)[9], int w, int h)
{
    const int w2 = d[2].right - d[2].left, w5 = d[5].right - d[5].left, w8 = d[8].right - d[8].left;
    const int h6 = d[6].bottom - d[6].top;
    return {{d[0],
             {d[1].left, d[1].top, w - w2, d[1].bottom},
             {w - w2, d[2].top, w, d[2].bottom},
             {d[3].left, d[3].top, d[3].right, h - h6},
             {d[4].left, d[4].top, w - w5, h - h6},
             {w - w5, d[5].top, w, h - h6},
             {d[6].left, h - h6, d[6].right, h},
             {d[7].left, h - h6, w - w8, h},
             {w - w8, h - h6, w, h}}};
}

class DefaultSkinArt : public ::testing::Test {
protected:
    static void SetUpTestSuite() { store_ = LoadSkinFile(SSO_DEFAULT_SKIN); }
    static void TearDownTestSuite() { store_.reset(); }

    void SetUp() override { ASSERT_TRUE(store_) << "cannot load " << SSO_DEFAULT_SKIN; }

    template <typename T>
    static T& Object(const char* name)
    {
        SkinObject* object = store_->FindObject(name);
        EXPECT_TRUE(object) << name;
        return *static_cast<T*>(object);
    }

    // The frame border (every part but the client) of a w x h window.
    static std::vector<Pixel> DrawFrame(const FrameSkinBase& frame, int w, int h, bool active)
    {
        Surface surface(w, h, kUntouched);
        const std::array<RECT, 9> parts = LayoutParts(frame.designRects, w, h);
        for (int part : {3, 5, 0, 1, 2, 6, 7, 8})
            DrawImageRef(surface.Dc(), parts[part], frame.frameImages[active ? part : part + 9], RGB(0, 0, 0), true,
                         *store_);
        return Classify(surface);
    }

    static std::vector<Pixel> DrawKeyed(const FrameImageRef& ref, int w, int h)
    {
        Surface surface(w, h, kUntouched);
        const RECT all = {0, 0, w, h};
        DrawFrameImageKeyed(surface.Dc(), all, ref, kKey, *store_);
        return Classify(surface);
    }

    static std::vector<Pixel> DrawPlain(const ImageRef& ref, int w, int h)
    {
        Surface surface(w, h, kUntouched);
        const RECT all = {0, 0, w, h};
        DrawImageRef(surface.Dc(), all, ref, RGB(0, 0, 0), true, *store_);
        return Classify(surface);
    }

    static std::vector<Pixel> DrawPlain(const FrameImageRef& ref, int w, int h, bool borderOnly = false)
    {
        Surface surface(w, h, kUntouched);
        const RECT all = {0, 0, w, h};
        if (borderOnly)
            DrawFrameBorder(surface.Dc(), all, ref, RGB(0, 0, 0), true, *store_);
        else
            DrawFrameImage(surface.Dc(), all, ref, RGB(0, 0, 0), true, *store_);
        return Classify(surface);
    }

    static std::unique_ptr<SkinStore> store_;
};

std::unique_ptr<SkinStore> DefaultSkinArt::store_;

// True when every painted pixel of `inner` is also painted in `outer`.
bool PaintedWithin(const std::vector<Pixel>& inner, const std::vector<Pixel>& outer)
{
    for (size_t i = 0; i < inner.size(); ++i)
        if (inner[i] == Pixel::Painted && outer[i] != Pixel::Painted)
            return false;
    return true;
}

}  // namespace

TEST_F(DefaultSkinArt, FramesKeepTheirRoundedCornersAtAnySize)
{
    for (const char* name : {"MainFrame", "Dialog"}) {
        const FrameSkin& frame = Object<FrameSkin>(name);
        for (const SIZE& size : {SIZE{300, 200}, SIZE{913, 611}}) {
            const int w = size.cx, h = size.cy;
            const std::vector<Pixel> pixels = DrawFrame(frame, w, h, true);
            SCOPED_TRACE(testing::Message() << name << " " << w << "x" << h);
            for (const POINT& corner : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
                EXPECT_EQ(pixels[corner.y * w + corner.x], Pixel::Key);
            // Away from the corners every border pixel is painted: the region
            // built from the key keeps the whole border.
            const int corner = 10;
            for (int x = corner; x < w - corner; ++x) {
                EXPECT_EQ(pixels[x], Pixel::Painted) << "top edge at " << x;
                EXPECT_EQ(pixels[(h - 1) * w + x], Pixel::Painted) << "bottom edge at " << x;
            }
            for (int y = corner; y < h - corner; ++y) {
                EXPECT_EQ(pixels[y * w], Pixel::Painted) << "left edge at " << y;
                EXPECT_EQ(pixels[y * w + w - 1], Pixel::Painted) << "right edge at " << y;
            }
            // Only the corners are cut, so the cut is the same at every size.
            EXPECT_EQ(CountOf(pixels, Pixel::Key), CountOf(DrawFrame(frame, 300, 200, true), Pixel::Key));
        }
    }
}

TEST_F(DefaultSkinArt, InactiveFramesHaveTheActiveShape)
{
    // The window region comes from the active pieces only; an inactive look
    // of another shape would show key colour or be cut.
    for (const char* name : {"MainFrame", "Dialog"}) {
        const FrameSkin& frame = Object<FrameSkin>(name);
        const std::vector<Pixel> active = DrawFrame(frame, 420, 260, true);
        const std::vector<Pixel> inactive = DrawFrame(frame, 420, 260, false);
        for (size_t i = 0; i < active.size(); ++i)
            ASSERT_EQ(active[i] == Pixel::Key, inactive[i] == Pixel::Key) << name << " pixel " << i;
    }
}

TEST_F(DefaultSkinArt, CaptionTextBandIsOneColourAcross)
{
    // Stretched caption pieces must not pick up neighbouring sprites.
    const FrameSkin& frame = Object<FrameSkin>("MainFrame");
    Surface surface(700, 120, kUntouched);
    const std::array<RECT, 9> parts = LayoutParts(frame.designRects, 700, 120);
    DrawImageRef(surface.Dc(), parts[1], frame.frameImages[1], RGB(0, 0, 0), true, *store_);
    for (int y = parts[1].top; y < parts[1].bottom; ++y) {
        const COLORREF first = surface.At(parts[1].left, y);
        EXPECT_NE(first, kKey);
        EXPECT_TRUE(surface.AllAre(parts[1].left, y, parts[1].right, y + 1, first)) << "row " << y;
    }
}

TEST_F(DefaultSkinArt, EveryPushButtonLookFitsTheRegionOfTheNormalLook)
{
    // The button's window region is cut from NORMAL.IMAGE; the other looks
    // are drawn through the key inside it.
    const ButtonSkin& button = Object<ButtonSkin>("Button");
    for (const SIZE& size : {SIZE{75, 23}, SIZE{120, 40}, SIZE{30, 17}}) {
        const std::vector<Pixel> normal = DrawPlain(button.states[ButtonSkin::StateNormal].image, size.cx, size.cy);
        EXPECT_EQ(normal[0], Pixel::Key);
        EXPECT_EQ(normal[size.cx * size.cy - 1], Pixel::Key);
        for (int state = 0; state < ButtonSkin::StateCount; ++state) {
            const std::vector<Pixel> look = DrawKeyed(button.states[state].image, size.cx, size.cy);
            SCOPED_TRACE(testing::Message() << "state " << state << " at " << size.cx << "x" << size.cy);
            EXPECT_EQ(CountOf(look, Pixel::Key), 0);
            EXPECT_EQ(look[0], Pixel::Untouched);
            EXPECT_EQ(look[(size.cy / 2) * size.cx + size.cx / 2], Pixel::Painted);
            EXPECT_TRUE(PaintedWithin(look, normal));
        }
    }
}

TEST_F(DefaultSkinArt, CaptionButtonLooksFitTheRegionOfTheHotLook)
{
    // A caption button's region is cut from its hot look.
    std::vector<const CaptionButtonSkin*> buttons;
    for (const char* name : {"Close", "Max", "MaxRestore", "Min", "MinRestore", "Sys", "DialogCLose"})
        buttons.push_back(&Object<CaptionButtonSkin>(name));
    for (const CaptionButtonSkin* button : buttons) {
        const int w = button->image.source.right - button->image.source.left;
        const int h = button->image.source.bottom - button->image.source.top;
        const std::vector<Pixel> hot = DrawPlain(button->hotImage, w, h);
        EXPECT_EQ(hot[0], Pixel::Key) << button->Name();
        for (const ImageRef* look : {&button->image, &button->pressedImage, &button->disabledImage}) {
            std::vector<Pixel> drawn = DrawPlain(*look, w, h);
            EXPECT_GT(CountOf(drawn, Pixel::Painted), 0) << button->Name();
            EXPECT_TRUE(PaintedWithin(drawn, hot)) << button->Name();
        }
    }
}

TEST_F(DefaultSkinArt, PicturesCopiedWithoutTheKeyNeverShowIt)
{
    const ScrollBarSkin& scroll = Object<ScrollBarSkin>("ScrollBar");
    for (const ScrollBarStateLook& look : scroll.states) {
        for (const ImageRef* arrow : {&look.arrow1, &look.arrow2})
            EXPECT_EQ(CountOf(DrawPlain(*arrow, 16, 16), Pixel::Key), 0);
        EXPECT_EQ(CountOf(DrawPlain(look.bar, 200, 16), Pixel::Key), 0);
        EXPECT_EQ(CountOf(DrawPlain(look.thumb, 57, 12), Pixel::Key), 0);
        EXPECT_EQ(CountOf(DrawPlain(look.thumb, 16, 12), Pixel::Key), 0);
    }
    const ComboBoxSkin& combo = Object<ComboBoxSkin>("ComboBox");
    for (const FrameImageRef& thumb : combo.thumbs)
        for (int height : {17, 20, 26})
            EXPECT_EQ(CountOf(DrawPlain(thumb, 16, height), Pixel::Key), 0) << height;
    EXPECT_EQ(CountOf(DrawPlain(combo.mainImage, 150, 22, true), Pixel::Key), 0);
    EXPECT_EQ(CountOf(DrawPlain(Object<ClientEdgeSkin>("Edit").mainImage, 200, 60, true), Pixel::Key), 0);

    const MenuBarSkin& bar = Object<FrameSkin>("MainFrame").menuBar;
    EXPECT_EQ(CountOf(DrawPlain(bar.barBackground, 500, 27, true), Pixel::Key), 0);
    EXPECT_EQ(CountOf(DrawPlain(bar.hotImage, 40, 20, true), Pixel::Key), 0);
    EXPECT_EQ(CountOf(DrawPlain(bar.openImage, 40, 20, true), Pixel::Key), 0);
}

TEST_F(DefaultSkinArt, MenuHighlightIsRoundedAndSolidInside)
{
    const PopupMenuSkin& popup = Object<PopupMenuSkin>("PopupMenu");
    const std::vector<Pixel> item = DrawKeyed(popup.activeItemImage, 160, 24);
    EXPECT_EQ(item[0], Pixel::Untouched);
    EXPECT_EQ(item[160 * 24 - 1], Pixel::Untouched);
    EXPECT_EQ(CountOf(item, Pixel::Key), 0);
    EXPECT_LT(CountOf(item, Pixel::Untouched), 20);
}
