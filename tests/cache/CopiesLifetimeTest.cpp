// The device copies drawing keeps belong to the skin: loading, drawing and
// clearing a skin over and over with only a few hundred GDI handles to
// spare must keep working, so nothing is left behind once a store is
// cleared or replaced.
#include "data/FrameSkin.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "imaging/DeviceCopies.h"
#include "imaging/Image.h"
#include "imaging/ImageRef.h"

#include "GdiPressure.h"
#include "SkinFile.h"
#include "Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBack = RGB(1, 2, 3);

// Draws every bitmap of the store in every way that makes copies: whole,
// stretched, as a tiled and a stretched keyed frame, and asks each frame
// skin for its pieces' regions. Returns how many pixels were painted.
int DrawEverything(SkinStore& store, Surface& surface)
{
    surface.Fill(kBack);
    for (const auto& entry : store.Images()) {
        Image& image = const_cast<Image&>(entry.second->image);
        image.Draw(surface.Dc(), 0, 0);
        image.Draw(surface.Dc(), 3, 3, 40, 30);
        FrameImageRef frame = {};
        std::strncpy(frame.name, entry.first.c_str(), sizeof frame.name - 1);
        frame.source = SourceRect{0, 0, image.GetWidth(), image.GetHeight()};
        frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 3;
        for (int32_t stretchMode : {0, 1}) {
            frame.stretchMode = stretchMode;
            DrawFrameImageKeyed(surface.Dc(), RECT{0, 0, 60, 40}, frame, kKey, store);
            DrawFrameImage(surface.Dc(), RECT{10, 10, 50, 30}, frame, kKey, true, store);
        }
    }
    for (const auto& entry : store.Objects())
        if (const FrameSkinBase* frame = dynamic_cast<const FrameSkinBase*>(entry.second.get()))
            for (const PreparedImage& piece : frame->preparedImages)
                piece.Region();
    return surface.Width() * surface.Height() - surface.Count(0, 0, surface.Width(), surface.Height(), kBack);
}

class CopiesLifetime : public ::testing::Test {
protected:
    void SetUp() override
    {
        bytes_ = ReadSkinFile(SSO_DEFAULT_SKIN);
        ASSERT_FALSE(bytes_.empty()) << "cannot read " << SSO_DEFAULT_SKIN;
    }

    bool Load(SkinStore& store) const
    {
        const MemoryStream container(bytes_.data(), static_cast<int32_t>(bytes_.size()));
        return store.Load(container);
    }

    std::vector<char> bytes_;
};

// One skin's copies take about 250 handles; with 800 free, a store that
// left even one handle behind per cycle would use them up before the end.
const int kHandlesLeft = 800;
const int kCycles = 900;

TEST_F(CopiesLifetime, LoadDrawAndClearCyclesLeaveNothingBehind)
{
    Surface surface(60, 40);
    SkinStore store;
    ASSERT_TRUE(Load(store));
    const int painted = DrawEverything(store, surface);
    ASSERT_GT(painted, 0);
    GdiPressure pressure(kHandlesLeft);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        store.Clear();
        ASSERT_TRUE(Load(store)) << "cycle " << cycle;
        ASSERT_EQ(DrawEverything(store, surface), painted) << "cycle " << cycle;
    }
}

TEST_F(CopiesLifetime, ReplacedStoresLeaveNothingBehind)
{
    Surface surface(60, 40);
    GdiPressure pressure(kHandlesLeft);
    int painted = -1;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SkinStore store;
        ASSERT_TRUE(Load(store)) << "cycle " << cycle;
        const int now = DrawEverything(store, surface);
        if (painted < 0)
            painted = now;
        ASSERT_EQ(now, painted) << "cycle " << cycle;
    }
}

// A keyed frame of every bitmap with margins no earlier draw used, so its
// pieces need copies of their own.
void DrawNewPieces(SkinStore& store, Surface& surface)
{
    surface.Fill(kBack);
    for (const auto& entry : store.Images()) {
        const Image& image = entry.second->image;
        FrameImageRef frame = {};
        std::strncpy(frame.name, entry.first.c_str(), sizeof frame.name - 1);
        frame.source = SourceRect{0, 0, image.GetWidth(), image.GetHeight()};
        frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 5;
        frame.stretchMode = 1;
        DrawFrameImageKeyed(surface.Dc(), RECT{0, 0, 60, 40}, frame, kKey, store);
    }
}

TEST_F(CopiesLifetime, CopiesKeptGiveWayWhenTheHandleTableIsFull)
{
    Surface expected(60, 40), surface(60, 40);
    SkinStore store;
    ASSERT_TRUE(Load(store));
    EnableDeviceCopies(false);
    DrawNewPieces(store, expected);
    EnableDeviceCopies(true);
    DrawEverything(store, surface);
    {
        GdiPressure full(0);
        DrawNewPieces(store, surface);
    }
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(expected.At(x, y), surface.At(x, y)) << "pixel " << x << "," << y;
}

// A piece's pattern brush, a wide copy of it, is made by its first tiling:
// a piece only ever stretched, as most of a skin's are, keeps none.
TEST_F(CopiesLifetime, APieceKeepsAPatternBrushOnlyOnceTiled)
{
    SkinStore store;
    ASSERT_TRUE(Load(store));
    const auto& entry = *store.Images().begin();
    const Image& image = entry.second->image;
    ImageRef ref = {};
    std::strncpy(ref.name, entry.first.c_str(), sizeof ref.name - 1);
    // Four rows across the middle of the image: not of one colour, which
    // would fill instead of tiling.
    const int top = image.GetHeight() / 2;
    ref.source = SourceRect{0, top, image.GetWidth(), top + 4};
    const RECT piece = {0, top, image.GetWidth(), top + 4};
    Surface surface(60, 40);
    const std::shared_ptr<ImageDeviceCopies> copies = ImageDeviceCopies::Of(image);
    ASSERT_TRUE(copies);
    const auto patternKept = [&] {
        return copies->Serve(false, [&] {
            const PieceCopies* kept = copies->Piece(surface.Dc(), piece);
            EXPECT_TRUE(kept && !kept->uniform);
            return kept && kept->pattern;
        });
    };
    for (int32_t mode : {DrawModeStretch, DrawModeTile}) {
        ref.drawMode = mode;
        ASSERT_TRUE(DrawImageRef(surface.Dc(), RECT{0, 0, 60, 40}, ref, kBack, true, store));
        EXPECT_EQ(mode == DrawModeTile, patternKept()) << "after drawing in mode " << mode;
    }
}

TEST_F(CopiesLifetime, ImagesChangedBetweenDrawsRemakeTheirCopiesWithoutLeaking)
{
    Image image;
    image.Create(40, 30, 24, Image::FormatBmp);
    Surface surface(50, 40);
    GdiPressure pressure(300);
    for (int i = 0; i < 1000; ++i) {
        image.SetPixelColour(i % 40, i % 30, RGBQUAD{static_cast<BYTE>(i), 7, 9, 0});
        image.Draw(surface.Dc(), 0, 0);
        ASSERT_EQ(surface.At(i % 40, 29 - i % 30), RGB(9, 7, i % 256)) << "draw " << i;
        image.Draw(surface.Dc(), 0, 0, 45, 35);
    }
}

}  // namespace
