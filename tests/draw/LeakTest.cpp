// Every drawing operation, repeated a thousand times with only a few
// hundred GDI handles left, must keep working: a leak of one handle per
// call would exhaust the table long before the end.
#include "imaging/DrawUtils.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"
#include "imaging/MemoryDC.h"
#include "imaging/Regions.h"
#include "imaging/TextEffect.h"

#include "DcStateCheck.h"
#include "GdiPressure.h"
#include "Surface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBack = RGB(100, 100, 100);
const COLORREF kInk = RGB(200, 0, 0);
const int kRepeats = 1000;

class OneImage : public ImageSource {
public:
    explicit OneImage(Image& image) : image_(image) {}
    Image* FindImage(const char* name) const override { return std::strcmp(name, "a.bmp") ? nullptr : &image_; }

private:
    Image& image_;
};

class GdiLeaks : public testing::Test {
protected:
    static void SetUpTestSuite() { pressure_ = new GdiPressure(300); }
    static void TearDownTestSuite()
    {
        delete pressure_;
        pressure_ = nullptr;
    }

    void SetUp() override
    {
        // Key, ink / ink, key; keyed and with an alpha plane of 255.
        MakeFromColours(image_, 2, 2, {kKey, kInk, kInk, kKey});
        KeyOn(image_, kKey);
        image_.AlphaCreate();
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                image_.AlphaSet(x, y, 255);
    }

    // Runs `draw` kRepeats times on a fresh surface each time the last run
    // is checked, and checks that the operation still works at the end and
    // that the DC is still as it was before the first run.
    void Repeat(const std::function<void(HDC)>& draw)
    {
        const DcState before(surface_.Dc());
        for (int i = 0; i < kRepeats; ++i)
            draw(surface_.Dc());
        surface_.Fill(kBack);
        draw(surface_.Dc());
        EXPECT_TRUE(before.Unchanged(surface_.Dc()));
    }

    void ExpectKeyedChecker()
    {
        EXPECT_EQ(kBack, surface_.At(0, 0));
        EXPECT_EQ(kInk, surface_.At(1, 0));
        EXPECT_EQ(kInk, surface_.At(0, 1));
        EXPECT_EQ(kBack, surface_.At(1, 1));
    }

    static GdiPressure* pressure_;
    Image image_;
    Surface surface_{16, 16, kBack};
};

GdiPressure* GdiLeaks::pressure_ = nullptr;

}  // namespace

TEST_F(GdiLeaks, PressureLeavesFewHandles)
{
    EXPECT_GT(pressure_->Filled(), 1000);
}

TEST_F(GdiLeaks, ImageDrawing)
{
    const RECT clip = {0, 0, 2, 2};
    Repeat([&](HDC dc) { image_.Draw(dc, 0, 0, -1, -1, &clip); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { image_.DrawMasked(dc, 0, 0, 2, 2); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { image_.Tile(dc, &clip); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { image_.Stretch(dc, 0, 0, 4, 4); });
    EXPECT_EQ(kKey, surface_.At(1, 1));
    Image copy;
    Bitmap bitmap(MakeBitmapOfDepth(2, 2, 32, {kKey, kInk, kInk, kKey}));
    for (int i = 0; i < kRepeats; ++i)
        copy.CreateFromBitmap(bitmap);
    ASSERT_TRUE(copy.CreateFromBitmap(bitmap));
    EXPECT_EQ(kInk, GetTopDown(copy, 1, 0));
}

TEST_F(GdiLeaks, ImageRefsAndFrames)
{
    OneImage skin(image_);
    ImageRef ref = {};
    std::strcpy(ref.name, "a.bmp");
    ref.source = SourceRect{0, 0, 2, 2};
    Repeat([&](HDC dc) { DrawImageRef(dc, RECT{0, 0, 2, 2}, ref, kInk, true, skin); });
    ExpectKeyedChecker();
    FrameImageRef frame = {};
    std::strcpy(frame.name, "a.bmp");
    frame.source = SourceRect{0, 0, 2, 2};
    frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 1;
    Repeat([&](HDC dc) { DrawFrameImageKeyed(dc, RECT{0, 0, 2, 2}, frame, kKey, skin); });
    ExpectKeyedChecker();
}

TEST_F(GdiLeaks, KeyedBlits)
{
    Bitmap bitmap(MakeBitmapOfDepth(2, 2, 32, {kKey, kInk, kInk, kKey}));
    Surface source(2, 2);
    source.Set(0, 0, kKey);
    source.Set(1, 0, kInk);
    source.Set(0, 1, kInk);
    source.Set(1, 1, kKey);
    Repeat([&](HDC dc) { TransparentBlitBitmap(dc, 0, 0, 2, 2, bitmap, 0, 0, kKey, nullptr); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { TransparentStretchBlit(dc, 0, 0, 2, 2, source.Dc(), 0, 0, 2, 2, kKey); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { DrawImageKeyed(dc, image_, RECT{0, 0, 2, 2}, kKey); });
    ExpectKeyedChecker();
    Repeat([&](HDC dc) { DrawBitmapMasked(dc, bitmap, RECT{0, 0, 2, 2}, kKey); });
    ExpectKeyedChecker();
}

TEST_F(GdiLeaks, FillsTextAndSurfaces)
{
    Repeat([&](HDC dc) { FillSolidRect(dc, RECT{0, 0, 1, 1}, kInk); });
    EXPECT_EQ(kInk, surface_.At(0, 0));
    Repeat([&](HDC dc) { FillTriangle(dc, 0, 0, 3, 0, 0, 3, kInk); });
    EXPECT_EQ(kInk, surface_.At(1, 1));
    Repeat([&](HDC dc) {
        DrawShadowedText(dc, RECT{0, 0, 16, 16}, 0x0101, TextEffectShadow, kKey, kInk, WindowText("W"), DT_SINGLELINE);
    });
    EXPECT_LT(surface_.Count(0, 0, 16, 16, kBack), 16 * 16) << "text drawn";
    Repeat([&](HDC dc) {
        MemoryDC buffer(dc, RECT{1, 1, 3, 3});
        FillSolidRect(buffer.Dc(), RECT{1, 1, 3, 3}, kInk);
    });
    EXPECT_TRUE(surface_.AllAre(1, 1, 3, 3, kInk));
    EXPECT_EQ(kBack, surface_.At(0, 0));
    Repeat([&](HDC dc) {
        MemoryDC buffer(dc, 2, 2);
        Bitmap detached(buffer.DetachBitmap());
    });
}

TEST_F(GdiLeaks, Regions)
{
    Bitmap bitmap(MakeBitmapOfDepth(2, 2, 24, {kKey, kInk, kInk, kKey}));
    Region expected(CreateRectRgn(1, 0, 2, 1));
    Region second(CreateRectRgn(0, 1, 1, 2));
    CombineRgn(expected, expected, second, RGN_OR);
    for (int i = 0; i < kRepeats; ++i) {
        Region region(CreateRegionFromBitmap(bitmap, kKey));
        Region scaled(ScaleRegion(region, 2.0f, 2.0f, 1, 1));
        Region tiled(TileRegion(region, 2, 2, 0, 0, 8, 8));
    }
    Region region(CreateRegionFromBitmap(bitmap, kKey));
    EXPECT_TRUE(EqualRgn(expected, region));
    EXPECT_NE(nullptr, Region(ScaleRegion(region, 2.0f, 2.0f, 1, 1)).Get());
    EXPECT_NE(nullptr, Region(TileRegion(region, 2, 2, 0, 0, 8, 8)).Get());
}
