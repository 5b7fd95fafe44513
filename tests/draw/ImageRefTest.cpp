#include "imaging/ImageRef.h"

#include "imaging/Image.h"

#include "DcStateCheck.h"
#include "Surface.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

const COLORREF kKey = RGB(255, 0, 255);
const COLORREF kBack = RGB(100, 100, 100);
const COLORREF kFallback = RGB(0, 0, 50);
const COLORREF kMarker = RGB(1, 2, 3);

class ImageMap : public ImageSource {
public:
    Image& operator[](const std::string& name) { return images_[name]; }
    Image* FindImage(const char* name) const override
    {
        auto found = images_.find(name);
        return found == images_.end() ? nullptr : const_cast<Image*>(&found->second);
    }

private:
    std::map<std::string, Image> images_;
};

ImageRef Ref(const char* name, SourceRect source, int32_t drawMode)
{
    ImageRef ref = {};
    std::strncpy(ref.name, name, sizeof ref.name - 1);
    ref.source = source;
    ref.drawMode = drawMode;
    return ref;
}

COLORREF PieceColour(int piece)
{
    return RGB(20 + 20 * piece, 200 - 20 * piece, 50);
}

// 12 x 12 in nine 4 x 4 pieces of distinct colours, each with a marker
// pixel in its bottom-right corner: tiled pieces repeat the marker every
// 4 pixels, stretched ones grow it.
ImageMap NineGridSkin()
{
    ImageMap skin;
    Image& image = skin["frame.bmp"];
    image.Create(12, 12, 24, Image::FormatBmp);
    for (int row = 0; row < 12; ++row)
        for (int x = 0; x < 12; ++x)
            SetTopDown(image, x, row, x % 4 == 3 && row % 4 == 3 ? kMarker : PieceColour(row / 4 * 3 + x / 4));
    return skin;
}

FrameImageRef Frame(int32_t stretchMode, SourceRect source = {0, 0, 12, 12})
{
    FrameImageRef frame = {};
    std::strcpy(frame.name, "frame.bmp");
    frame.source = source;
    frame.marginLeft = frame.marginTop = frame.marginRight = frame.marginBottom = 4;
    frame.stretchMode = stretchMode;
    return frame;
}

// Draws the frame into 20 x 20 (middle pieces 12 wide) and tells for each
// piece whether it was stretched: its pixel (3, 3) is the marker when tiled.
unsigned StretchedPieces(int32_t stretchMode)
{
    ImageMap skin = NineGridSkin();
    Surface surface(20, 20, kBack);
    const RECT dest = {0, 0, 20, 20};
    const DcState before(surface.Dc());
    DrawFrameImage(surface.Dc(), dest, Frame(stretchMode), kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    unsigned stretched = 0;
    for (int piece = 0; piece < FramePieceCount; ++piece) {
        const RECT pieceDest = FramePieceDest(Frame(stretchMode), dest, piece);
        EXPECT_EQ(PieceColour(piece), surface.At(pieceDest.left, pieceDest.top)) << "piece " << piece;
        if (surface.At(pieceDest.left + 3, pieceDest.top + 3) != kMarker)
            stretched |= 1u << piece;
    }
    return stretched;
}


// 20 x 20 with a colour of its own at every pixel, so that a drawn pixel
// tells exactly which source pixel it came from.
COLORREF SourcePixel(int x, int row)
{
    return RGB(12 * x, 12 * row, 99);
}

ImageMap DistinctPixelSkin()
{
    ImageMap skin;
    Image& image = skin["frame.bmp"];
    image.Create(20, 20, 24, Image::FormatBmp);
    for (int row = 0; row < 20; ++row)
        for (int x = 0; x < 20; ++x)
            SetTopDown(image, x, row, SourcePixel(x, row));
    return skin;
}

struct Margins {
    int32_t left, top, right, bottom;
};

// The source coordinate a tiled frame shows at destination coordinate `at`
// along one axis, from the margins alone: the near band is copied from the
// source's start, the far band is anchored to the source's end, and the
// middle band repeats the source between the margins.
int TiledSourceAt(int at, int destStart, int destEnd, int sourceStart, int sourceEnd, int nearMargin, int farMargin)
{
    if (at < destStart + nearMargin)
        return sourceStart + (at - destStart);
    if (at >= destEnd - farMargin)
        return sourceEnd - (destEnd - at);
    const int middle = sourceEnd - sourceStart - nearMargin - farMargin;
    return sourceStart + nearMargin + (at - destStart - nearMargin) % middle;
}

// Draws the frame (all pieces tiled) and counts the destination pixels
// that do not show the source pixel the margins call for; with
// `borderOnly` the centre must keep the background.
int WrongFramePixels(const Margins& margins, bool borderOnly)
{
    ImageMap skin = DistinctPixelSkin();
    FrameImageRef frame = Frame(0, {2, 3, 18, 19});
    frame.marginLeft = margins.left;
    frame.marginTop = margins.top;
    frame.marginRight = margins.right;
    frame.marginBottom = margins.bottom;
    const RECT dest = {1, 2, 30, 25};
    Surface surface(32, 27, kBack);
    const DcState before(surface.Dc());
    if (borderOnly)
        DrawFrameBorder(surface.Dc(), dest, frame, kFallback, true, skin);
    else
        DrawFrameImage(surface.Dc(), dest, frame, kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    int wrong = 0;
    for (int y = 0; y < surface.Height(); ++y) {
        for (int x = 0; x < surface.Width(); ++x) {
            const bool inFrame = x >= dest.left && x < dest.right && y >= dest.top && y < dest.bottom;
            const bool inCentre = x >= dest.left + margins.left && x < dest.right - margins.right &&
                                  y >= dest.top + margins.top && y < dest.bottom - margins.bottom;
            COLORREF expected = kBack;
            if (inFrame && !(borderOnly && inCentre))
                expected = SourcePixel(TiledSourceAt(x, dest.left, dest.right, 2, 18, margins.left, margins.right),
                                       TiledSourceAt(y, dest.top, dest.bottom, 3, 19, margins.top, margins.bottom));
            wrong += surface.At(x, y) != expected;
        }
    }
    return wrong;
}
}  // namespace

TEST(ImageRefDraw, OnceShowsTheTopLeftPartOfALargerSource)
{
    ImageMap skin;
    MakeSolid(skin["a.bmp"], 8, 8, RGB(200, 0, 0));
    SetTopDown(skin["a.bmp"], 2, 1, kMarker);
    Surface surface(6, 6, kBack);
    const DcState before(surface.Dc());
    DrawImageRef(surface.Dc(), RECT{1, 1, 4, 4}, Ref("a.bmp", {2, 1, 8, 8}, DrawModeOnce), kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(kMarker, surface.At(1, 1));
    EXPECT_EQ(8, surface.Count(1, 1, 4, 4, RGB(200, 0, 0)));
    EXPECT_EQ(36 - 9, surface.Count(0, 0, 6, 6, kBack));
}

TEST(ImageRefDraw, OnceLeavesTheRestOfALargerDestination)
{
    ImageMap skin;
    MakeSolid(skin["a.bmp"], 8, 8, RGB(200, 0, 0));
    Surface surface(6, 6, kBack);
    const DcState before(surface.Dc());
    DrawImageRef(surface.Dc(), RECT{0, 0, 6, 6}, Ref("a.bmp", {0, 0, 2, 3}, DrawModeOnce), kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 3, RGB(200, 0, 0)));
    EXPECT_EQ(36 - 6, surface.Count(0, 0, 6, 6, kBack));
}

TEST(ImageRefDraw, TileCutsTheLastRowAndColumn)
{
    ImageMap skin;
    MakeSolid(skin["a.bmp"], 10, 10, RGB(200, 0, 0));
    SetTopDown(skin["a.bmp"], 0, 0, kMarker);
    Surface surface(30, 20, kBack);
    const DcState before(surface.Dc());
    DrawImageRef(surface.Dc(), RECT{0, 0, 25, 15}, Ref("a.bmp", {0, 0, 10, 10}, DrawModeTile), kFallback, true,
                 skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    for (int x : {0, 10, 20})
        for (int y : {0, 10})
            EXPECT_EQ(kMarker, surface.At(x, y)) << x << "," << y;
    EXPECT_EQ(25 * 15 - 6, surface.Count(0, 0, 25, 15, RGB(200, 0, 0)));
    EXPECT_EQ(30 * 20 - 25 * 15, surface.Count(0, 0, 30, 20, kBack));
}

TEST(ImageRefDraw, StretchAndUnknownModesFillTheDestination)
{
    ImageMap skin;
    MakeFromColours(skin["a.bmp"], 2, 1, {kKey, RGB(200, 0, 0)});
    KeyOn(skin["a.bmp"], kKey);
    for (int32_t mode : {int32_t{DrawModeStretch}, int32_t{7}}) {
        Surface surface(4, 2, kBack);
        const DcState before(surface.Dc());
        DrawImageRef(surface.Dc(), RECT{0, 0, 4, 2}, Ref("a.bmp", {0, 0, 2, 1}, mode), kFallback, true, skin);
        EXPECT_TRUE(before.Unchanged(surface.Dc()));
        EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kKey)) << "no colour key when stretching, mode " << mode;
        EXPECT_TRUE(surface.AllAre(2, 0, 4, 2, RGB(200, 0, 0)));
    }
}

TEST(ImageRefDraw, MissingPicturesFillOnlyWhenAsked)
{
    ImageMap skin;
    MakeSolid(skin["a.bmp"], 4, 4, RGB(200, 0, 0));
    const ImageRef missing[] = {
        Ref("none.bmp", {0, 0, 2, 2}, DrawModeOnce),  // unknown name
        Ref("a.bmp", {2, 2, 2, 4}, DrawModeTile),     // empty source rectangle
        Ref("a.bmp", {5, 5, 9, 9}, DrawModeStretch),  // outside the bitmap
    };
    for (const ImageRef& ref : missing) {
        Surface surface(3, 3, kBack);
        const DcState before(surface.Dc());
        DrawImageRef(surface.Dc(), RECT{0, 0, 2, 2}, ref, kFallback, false, skin);
        EXPECT_TRUE(surface.AllAre(0, 0, 3, 3, kBack));
        DrawImageRef(surface.Dc(), RECT{0, 0, 2, 2}, ref, kFallback, true, skin);
        EXPECT_TRUE(before.Unchanged(surface.Dc()));
        EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, kFallback));
        EXPECT_EQ(5, surface.Count(0, 0, 3, 3, kBack));
    }
}

TEST(ImageRefDraw, UnterminatedNameIsReadWithinItsField)
{
    ImageMap skin;
    const std::string longName(kImageNameSize, 'n');
    MakeSolid(skin[longName], 2, 2, RGB(200, 0, 0));
    ImageRef ref = Ref("", {0, 0, 2, 2}, DrawModeOnce);
    std::memcpy(ref.name, longName.data(), kImageNameSize);
    Surface surface(2, 2, kBack);
    const DcState before(surface.Dc());
    DrawImageRef(surface.Dc(), RECT{0, 0, 2, 2}, ref, kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(0, 0, 2, 2, RGB(200, 0, 0)));
}

TEST(ImageRefDraw, EmptyMeansNoNameOrNoRectangle)
{
    EXPECT_TRUE(IsImageRefEmpty(Ref("", {0, 0, 2, 2}, 0)));
    EXPECT_TRUE(IsImageRefEmpty(Ref("a.bmp", {2, 0, 2, 2}, 0)));
    EXPECT_TRUE(IsImageRefEmpty(Ref("a.bmp", {0, 3, 2, 2}, 0)));
    EXPECT_FALSE(IsImageRefEmpty(Ref("a.bmp", {0, 0, 2, 2}, 0)));
}

TEST(FrameImage, EachStretchModeStretchesItsPieces)
{
    const unsigned edges = 1u << PieceTop | 1u << PieceLeft | 1u << PieceRight | 1u << PieceBottom;
    const struct {
        int32_t mode;
        unsigned stretched;
    } cases[] = {
        {0, 0}, {1, 0x1FF}, {2, 1u << PieceBottom}, {3, 1u << PieceCentre}, {4, 1u << PieceLeft},
        {5, edges}, {6, 1u << PieceRight}, {7, 1u << PieceTop}, {9, 0}, {-1, 0},
    };
    // Corners keep their size, so stretching them shows nothing.
    const unsigned visible = 0x1FF & ~(1u << PieceTopLeft | 1u << PieceTopRight | 1u << PieceBottomLeft |
                                       1u << PieceBottomRight);
    for (const auto& c : cases)
        EXPECT_EQ(c.stretched & visible, StretchedPieces(c.mode)) << "stretch mode " << c.mode;
}

// Every side has a margin of its own, as in our skin (10 2 2 2, 0 2 12 2):
// a margin read for the wrong side moves a band and shows.
TEST(FrameImage, EachSideIsCutByItsOwnMargin)
{
    const Margins cases[] = {{5, 1, 2, 3}, {1, 4, 3, 2}, {10, 2, 2, 2}, {0, 2, 12, 2}, {2, 0, 3, 12}};
    for (const Margins& margins : cases) {
        for (bool borderOnly : {false, true}) {
            EXPECT_EQ(0, WrongFramePixels(margins, borderOnly))
                << "margins " << margins.left << " " << margins.top << " " << margins.right << " " << margins.bottom
                << (borderOnly ? ", border only" : "");
        }
    }
}

TEST(FrameImage, MissingPiecesAreFilledOneByOne)
{
    // A source 8 wide has an empty middle column: only pieces 1, 4, 7 miss.
    ImageMap skin = NineGridSkin();
    Surface surface(20, 20, kBack);
    const RECT dest = {0, 0, 20, 20};
    const FrameImageRef frame = Frame(0, {0, 0, 8, 12});
    const DcState before(surface.Dc());
    DrawFrameImage(surface.Dc(), dest, frame, kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(4, 0, 16, 20, kFallback));
    EXPECT_EQ(PieceColour(PieceTopLeft), surface.At(0, 0));
    EXPECT_EQ(PieceColour(PieceTop), surface.At(16, 0)) << "right column cut from x = 4 of the source";
}

TEST(FrameImage, DestinationAsWideAsTheMarginsDrawsOnlyTheSides)
{
    ImageMap skin = NineGridSkin();
    Surface surface(8, 20, kBack);
    const DcState before(surface.Dc());
    DrawFrameImage(surface.Dc(), RECT{0, 0, 8, 20}, Frame(1), kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_EQ(0, surface.Count(0, 0, 8, 20, kFallback));
    EXPECT_EQ(0, surface.Count(0, 0, 8, 20, kBack));
    EXPECT_EQ(PieceColour(PieceLeft), surface.At(0, 10));
    EXPECT_EQ(PieceColour(PieceRight), surface.At(4, 10));
}

TEST(FrameImage, BorderLeavesTheCentre)
{
    ImageMap skin = NineGridSkin();
    Surface surface(20, 20, kBack);
    const DcState before(surface.Dc());
    DrawFrameBorder(surface.Dc(), RECT{0, 0, 20, 20}, Frame(1), kFallback, true, skin);
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
    EXPECT_TRUE(surface.AllAre(4, 4, 16, 16, kBack));
    EXPECT_EQ(PieceColour(PieceBottomRight), surface.At(16, 16));
}

TEST(FrameImageKeyed, KeyPixelsAndMissingPiecesLeaveTheDestination)
{
    ImageMap skin = NineGridSkin();
    Image& image = skin["frame.bmp"];
    for (int row = 4; row < 8; ++row)
        for (int x = 4; x < 8; ++x)
            SetTopDown(image, x, row, kKey);
    for (bool keyedImage : {false, true}) {
        if (keyedImage)
            KeyOn(image, kKey);
        Surface surface(20, 20, kBack);
        const DcState before(surface.Dc());
        EXPECT_NE(0, DrawFrameImageKeyed(surface.Dc(), RECT{0, 0, 20, 20}, Frame(1), kKey, skin));
        EXPECT_TRUE(before.Unchanged(surface.Dc()));
        EXPECT_TRUE(surface.AllAre(4, 4, 16, 16, kBack)) << "key-coloured centre, keyed image " << keyedImage;
        EXPECT_EQ(PieceColour(PieceTopLeft), surface.At(0, 0));
    }

    FrameImageRef missing = Frame(1);
    std::strcpy(missing.name, "none.bmp");
    Surface untouched(20, 20, kBack);
    const DcState before(untouched.Dc());
    DrawFrameImageKeyed(untouched.Dc(), RECT{0, 0, 20, 20}, missing, kKey, skin);
    EXPECT_TRUE(before.Unchanged(untouched.Dc()));
    EXPECT_TRUE(untouched.AllAre(0, 0, 20, 20, kBack));
}
