// Drawing through the kept device copies must give exactly the pixels the
// plain path gives: every comparison below draws the same thing twice, once
// with the copies and once without, on the same varied background.
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "imaging/DeviceCopies.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"
#include "imaging/Regions.h"

#include "SkinFile.h"
#include "Surface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const COLORREF kKey = RGB(255, 0, 255);

// A background no drawing could leave unnoticed: every pixel differs from
// its neighbours, and some are the key colour.
void PaintBackground(Surface& surface)
{
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            surface.Set(x, y, (x + y) % 17 == 0 ? kKey : RGB(x * 7 % 256, y * 11 % 256, (x ^ y) % 256));
}

std::vector<COLORREF> PixelsOf(const Surface& surface)
{
    std::vector<COLORREF> pixels;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            pixels.push_back(surface.At(x, y));
    return pixels;
}

// Where two drawings first differ, for the failure message.
std::string FirstDifference(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b, int width)
{
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return "first at (" + std::to_string(i % width) + ", " + std::to_string(i / width) + "): copies " +
                   std::to_string(a[i]) + ", plain " + std::to_string(b[i]);
    return "none";
}

// How the destination DC is set up before a draw.
struct Target {
    bool clipped;  // a clip rectangle inside the surface
    POINT origin;  // window origin
};

const Target kTargets[] = {{false, {0, 0}}, {true, {0, 0}}, {false, {-7, -3}}, {true, {5, 9}}};

std::string Describe(const Target& target)
{
    return std::string(target.clipped ? "clipped" : "unclipped") + ", origin " + std::to_string(target.origin.x) +
           "," + std::to_string(target.origin.y);
}

// The drawing made with and without the copies on a w x h surface.
void ExpectSameWithAndWithoutCopies(int width, int height, const Target& target, const std::function<void(HDC)>& draw,
                                    const std::string& what)
{
    std::vector<COLORREF> results[2];
    for (int plain = 0; plain < 2; ++plain) {
        Surface surface(width, height);
        PaintBackground(surface);
        const int level = SaveDC(surface.Dc());
        SetWindowOrgEx(surface.Dc(), target.origin.x, target.origin.y, nullptr);
        if (target.clipped)
            IntersectClipRect(surface.Dc(), target.origin.x + width / 5, target.origin.y + height / 4,
                              target.origin.x + width - width / 7, target.origin.y + height - 2);
        EnableDeviceCopies(plain == 0);
        draw(surface.Dc());
        EnableDeviceCopies(true);
        RestoreDC(surface.Dc(), level);
        results[plain] = PixelsOf(surface);
    }
    EXPECT_TRUE(results[0] == results[1]) << what << ", " << Describe(target) << ": "
                                          << FirstDifference(results[0], results[1], width);
}

FrameImageRef FrameOf(const std::string& name, SourceRect source, int margin, int stretchMode)
{
    FrameImageRef frame = {};
    std::strncpy(frame.name, name.c_str(), sizeof frame.name - 1);
    frame.source = source;
    frame.marginLeft = frame.marginRight = margin;
    frame.marginTop = frame.marginBottom = margin / 2 + 1;
    frame.stretchMode = stretchMode;
    return frame;
}

class CachedDraw : public ::testing::Test {
protected:
    static void SetUpTestSuite() { store_ = LoadSkinFile(SSO_DEFAULT_SKIN); }
    static void TearDownTestSuite() { store_.reset(); }
    void SetUp() override { ASSERT_TRUE(store_) << "cannot load " << SSO_DEFAULT_SKIN; }

    // Frames cut from every bitmap of the skin: the whole bitmap and an
    // inner part, with margins of a few pixels.
    static std::vector<FrameImageRef> SkinFrames(int stretchMode)
    {
        std::vector<FrameImageRef> frames;
        for (const auto& entry : store_->Images()) {
            const Image& image = entry.second->image;
            const int w = image.GetWidth(), h = image.GetHeight();
            frames.push_back(FrameOf(entry.first, SourceRect{0, 0, w, h}, std::min(w, h) / 4, stretchMode));
            frames.push_back(FrameOf(entry.first, SourceRect{w / 5, h / 6, w - w / 4, h - 1}, 3, stretchMode));
        }
        return frames;
    }

    static std::unique_ptr<SkinStore> store_;
};

std::unique_ptr<SkinStore> CachedDraw::store_;

const SIZE kFrameSizes[] = {{1, 1}, {7, 5}, {75, 23}, {161, 97}};

TEST_F(CachedDraw, FramesOfEverySkinBitmapMatchThePlainPath)
{
    for (int stretchMode : {0, 1, 5}) {
        for (const FrameImageRef& frame : SkinFrames(stretchMode)) {
            for (const SIZE& size : kFrameSizes) {
                for (const Target& target : kTargets) {
                    const RECT dest = {target.origin.x + 2, target.origin.y + 3, target.origin.x + 2 + size.cx,
                                       target.origin.y + 3 + size.cy};
                    const std::string what = std::string(frame.name) + " mode " + std::to_string(stretchMode) +
                                             " size " + std::to_string(size.cx) + "x" + std::to_string(size.cy);
                    ExpectSameWithAndWithoutCopies(size.cx + 6, size.cy + 8, target, [&](HDC dc) {
                        DrawFrameImage(dc, dest, frame, RGB(9, 9, 9), true, *store_);
                    }, "frame " + what);
                    ExpectSameWithAndWithoutCopies(size.cx + 6, size.cy + 8, target, [&](HDC dc) {
                        DrawFrameImageKeyed(dc, dest, frame, kKey, *store_);
                    }, "keyed frame " + what);
                }
            }
        }
    }
}

TEST_F(CachedDraw, FramesWhosePiecesOverlapOrAreMissingMatchThePlainPath)
{
    const Image* main = store_->FindImage("main.bmp");
    ASSERT_TRUE(main);
    std::vector<FrameImageRef> frames = {
        FrameOf("main.bmp", SourceRect{0, 0, main->GetWidth(), main->GetHeight()}, 40, 1),  // margins wider than 50
        FrameOf("main.bmp", SourceRect{-5, -5, 30, 30}, 6, 0),                             // partly outside the bitmap
        FrameOf("main.bmp", SourceRect{main->GetWidth() - 4, 0, main->GetWidth() + 20, 20}, 2, 1),
        FrameOf("none.bmp", SourceRect{0, 0, 20, 20}, 4, 0),
    };
    FrameImageRef negative = FrameOf("main.bmp", SourceRect{0, 0, 30, 30}, 5, 1);
    negative.marginLeft = -3;
    frames.push_back(negative);
    for (const FrameImageRef& frame : frames) {
        const RECT dest = {1, 2, 51, 32};
        const std::string what = "source " + std::to_string(frame.source.left) + "," +
                                 std::to_string(frame.source.top) + " margin " + std::to_string(frame.marginLeft);
        ExpectSameWithAndWithoutCopies(56, 36, kTargets[0], [&](HDC dc) {
            DrawFrameImage(dc, dest, frame, RGB(9, 9, 9), true, *store_);
        }, "frame " + what);
        ExpectSameWithAndWithoutCopies(56, 36, kTargets[1], [&](HDC dc) {
            DrawFrameImageKeyed(dc, dest, frame, kKey, *store_);
        }, "keyed frame " + what);
    }
}

TEST_F(CachedDraw, TheSkinsOwnFramesAndPiecesMatchThePlainPath)
{
    for (const auto& entry : store_->Objects()) {
        const FrameSkinBase* frame = dynamic_cast<const FrameSkinBase*>(entry.second.get());
        if (!frame)
            continue;
        for (const ImageRef& ref : frame->frameImages) {
            for (int32_t mode : {DrawModeOnce, DrawModeTile, DrawModeStretch}) {
                ImageRef piece = ref;
                piece.drawMode = mode;
                for (const Target& target : kTargets) {
                    const RECT dest = {target.origin.x + 1, target.origin.y + 1, target.origin.x + 58,
                                       target.origin.y + 41};
                    ExpectSameWithAndWithoutCopies(60, 44, target, [&](HDC dc) {
                        DrawImageRef(dc, dest, piece, RGB(9, 9, 9), true, *store_);
                    }, entry.first + " piece of " + ref.name + " mode " + std::to_string(mode));
                }
            }
        }
    }
}

// Images of each depth and composition drawn by Image::Draw.
struct DrawCase {
    std::string name;
    std::function<void(Image&)> make;
};

void Gradient(Image& image, int width, int height, int bpp)
{
    image.Create(width, height, bpp, Image::FormatBmp);
    if (bpp <= 8) {
        std::vector<RGBQUAD> palette(static_cast<size_t>(image.GetColourCount()));
        for (size_t i = 0; i < palette.size(); ++i)
            palette[i] = RGBQUAD{static_cast<BYTE>(i * 37), static_cast<BYTE>(255 - i * 5), static_cast<BYTE>(i),
                                 static_cast<BYTE>(i * 3)};
        image.SetPalette(palette.data(), static_cast<int>(palette.size()));
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (bpp <= 8)
                image.SetPixelIndex(x, y, static_cast<BYTE>((x * 3 + y) % image.GetColourCount()));
            else
                image.SetPixelColour(x, y, RGBQUAD{static_cast<BYTE>(x * 9), static_cast<BYTE>(y * 13), 90, 0});
        }
}

std::vector<DrawCase> DrawCases()
{
    return {
        {"24-bit plain", [](Image& i) { Gradient(i, 23, 17, 24); }},
        {"8-bit plain", [](Image& i) { Gradient(i, 23, 17, 8); }},
        {"4-bit plain", [](Image& i) { Gradient(i, 13, 9, 4); }},
        {"1-bit plain", [](Image& i) { Gradient(i, 21, 5, 1); }},
        {"8-bit keyed", [](Image& i) {
             Gradient(i, 23, 17, 8);
             i.SetTransparentIndex(3);
         }},
        {"24-bit keyed", [](Image& i) {
             Gradient(i, 23, 17, 24);
             i.SetPixelColour(4, 4, Quad(kKey));
             KeyOn(i, kKey);
         }},
        {"24-bit alpha", [](Image& i) {
             Gradient(i, 23, 17, 24);
             i.AlphaCreate();
             for (int y = 0; y < 17; ++y)
                 for (int x = 0; x < 23; ++x)
                     i.AlphaSet(x, y, static_cast<BYTE>((x * 40 + y * 7) % 256));
             i.SetAlphaMax(200);
         }},
        {"8-bit palette alpha", [](Image& i) {
             Gradient(i, 23, 17, 8);
             i.SetPaletteAlpha(true);
         }},
    };
}

TEST(CachedImageDraw, EveryDepthAndCompositionMatchesThePlainPath)
{
    const struct {
        int x, y, cx, cy;
    } placements[] = {{3, 4, -1, -1}, {-5, -2, -1, -1}, {2, 1, 50, 40}, {6, 3, 9, 7}, {-9, 5, 31, 64}};
    for (const DrawCase& drawCase : DrawCases()) {
        Image image;
        drawCase.make(image);
        for (const auto& p : placements)
            for (const Target& target : kTargets) {
                ExpectSameWithAndWithoutCopies(48, 44, target, [&](HDC dc) {
                    image.Draw(dc, target.origin.x + p.x, target.origin.y + p.y, p.cx, p.cy);
                }, drawCase.name + " at " + std::to_string(p.x) + "," + std::to_string(p.y) + " size " +
                       std::to_string(p.cx) + "x" + std::to_string(p.cy));
                const RECT clip = {target.origin.x + 4, target.origin.y + 2, target.origin.x + 20,
                                   target.origin.y + 30};
                ExpectSameWithAndWithoutCopies(48, 44, target, [&](HDC dc) {
                    image.Draw(dc, target.origin.x + p.x, target.origin.y + p.y, p.cx, p.cy, &clip);
                }, drawCase.name + " with a clip rectangle");
            }
    }
}

TEST(CachedImageDraw, AChangedImageIsDrawnAsItIsNow)
{
    for (const DrawCase& drawCase : DrawCases()) {
        Image image;
        drawCase.make(image);
        Surface surface(30, 20);
        image.Draw(surface.Dc(), 0, 0);
        image.Draw(surface.Dc(), 0, 0, 40, 30);
        // Every kind of change the copies depend on.
        const std::vector<std::function<void()>> changes = {
            [&] { image.SetPixelIndex(1, 1, 2); },
            [&] { image.SetPixelColour(2, 2, Quad(RGB(1, 200, 3))); },
            [&] { image.GetBits(3)[0] ^= 0xFF; },
            [&] { image.SetTransparentIndex(image.GetTransparentIndex() == -1 ? 0 : -1); },
            [&] { image.SetTransparentColour(Quad(RGB(0, 0, 0))); },
            [&] { image.AlphaCreate() ? image.AlphaSet(1, 1, 99) : void(); },
            [&] { image.SetAlphaMax(17); },
            [&] { image.AlphaDelete(); },
            [&] { image.Flip(); },
            [&] { image.Crop(1, 1, 9, 8); },
        };
        for (size_t i = 0; i < changes.size(); ++i) {
            changes[i]();
            ExpectSameWithAndWithoutCopies(48, 44, kTargets[0], [&](HDC dc) { image.Draw(dc, 1, 2); },
                                           drawCase.name + " after change " + std::to_string(i));
            ExpectSameWithAndWithoutCopies(48, 44, kTargets[1], [&](HDC dc) { image.Draw(dc, 1, 2, 45, 33); },
                                           drawCase.name + " stretched after change " + std::to_string(i));
        }
    }
}

TEST_F(CachedDraw, RegionsFromTheImagesPixelsEqualRegionsFromTheirBitmaps)
{
    for (const auto& entry : store_->Images()) {
        const Image& image = entry.second->image;
        for (COLORREF key : {kKey, RGB(255, 255, 255), RGB(0, 0, 0)}) {
            const Bitmap bitmap = image.MakeBitmap(nullptr);
            const Region fromBitmap(CreateRegionFromBitmap(bitmap, key));
            const Region fromImage(CreateRegionFromImage(image, key));
            ASSERT_TRUE(fromBitmap && fromImage) << entry.first;
            EXPECT_TRUE(EqualRgn(fromBitmap, fromImage)) << entry.first << " key " << key;
        }
    }
    for (const DrawCase& drawCase : DrawCases()) {
        Image image;
        drawCase.make(image);
        const RGBQUAD sample = image.GetPixelColour(5, 5);
        const COLORREF key = RGB(sample.rgbRed, sample.rgbGreen, sample.rgbBlue);
        const Region fromBitmap(CreateRegionFromBitmap(image.MakeBitmap(nullptr), key));
        const Region fromImage(CreateRegionFromImage(image, key));
        EXPECT_TRUE(EqualRgn(fromBitmap, fromImage)) << drawCase.name;
    }
}

TEST_F(CachedDraw, PreparedFrameRegionsAreBuiltOnceAndEqualTheBitmapsRegions)
{
    const FrameSkinBase* frame = dynamic_cast<const FrameSkinBase*>(store_->FindObject("MainFrame"));
    ASSERT_TRUE(frame);
    int checked = 0;
    for (const PreparedImage& piece : frame->preparedImages) {
        if (!piece.image)
            continue;
        const HRGN region = piece.Region();
        ASSERT_TRUE(region);
        EXPECT_EQ(region, piece.Region()) << "the region is kept";
        const Region fromBitmap(CreateRegionFromBitmap(piece.image->MakeBitmap(nullptr), kKey));
        EXPECT_TRUE(EqualRgn(fromBitmap, region));
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// Animation controls draw on worker threads: the same skin bitmaps drawn
// from several threads at once give each thread the single-thread picture.
TEST_F(CachedDraw, ThreadsDrawingTheSameBitmapsAtOnceEachGetTheRightPixels)
{
    const FrameImageRef frame = SkinFrames(5).front();
    Image& shared = *store_->FindImage(frame.name);
    const RECT dest = {0, 0, 90, 70};
    auto drawAll = [&](HDC dc) {
        DrawFrameImageKeyed(dc, dest, frame, kKey, *store_);
        DrawFrameImage(dc, RECT{10, 10, 80, 60}, frame, RGB(9, 9, 9), true, *store_);
        shared.Draw(dc, 5, 5, 60, 50);
        shared.Draw(dc, 1, 1);
    };
    Surface expected(90, 70);
    PaintBackground(expected);
    EnableDeviceCopies(false);
    drawAll(expected.Dc());
    EnableDeviceCopies(true);
    const std::vector<COLORREF> reference = PixelsOf(expected);

    const int kThreads = 4, kRounds = 60;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            Surface surface(90, 70);
            for (int round = 0; round < kRounds; ++round) {
                PaintBackground(surface);
                drawAll(surface.Dc());
                mismatches[static_cast<size_t>(t)] += PixelsOf(surface) != reference;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(mismatches[static_cast<size_t>(t)], 0) << "thread " << t;
}

}  // namespace
