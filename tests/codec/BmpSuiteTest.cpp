// The public BMP corpus (good, questionable, bad and foreign files) run
// through the decoder: every file either decodes by our rules, matching the
// reference rendering where one applies, or is refused with the message our
// rules give. docs/bmpsuite-results.md explains each refusal.
#include "imaging/Image.h"

#include "PngReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Compare {
    None,      // decodes; the file is damaged or has no applicable rendering
    Reference, // every pixel within `tolerance` of the reference PNG
    RawBgrx,   // 32-bit pixels: bytes 0, 1, 2 of the file, masks not applied
};

struct CorpusCase {
    const char* file;
    const char* refusal; // null: the file must decode
    Compare compare;
    const char* reference;
    // Largest channel difference allowed. An n-bit channel widened by a
    // shift keeps its low bits 0, so it may lie 2^(8-n) - 1 below a
    // full-scale reference.
    int tolerance;
};

const char Info[] = "Error reading BMP info";
const char Compression[] = "compression type not supported";
const char Unknown[] = "unknown compression";
const char BitCount[] = "Unsupported BMP bit count";

const CorpusCase Corpus[] = {
    {"g/pal1.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"g/pal1bg.bmp", nullptr, Compare::Reference, "pal1bg", 0},
    {"g/pal1wb.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"g/pal4.bmp", nullptr, Compare::Reference, "pal4", 0},
    {"g/pal4gs.bmp", nullptr, Compare::Reference, "pal4gs", 0},
    {"g/pal4rle.bmp", nullptr, Compare::Reference, "pal4", 0},
    {"g/pal8-0.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"g/pal8.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"g/pal8gs.bmp", nullptr, Compare::Reference, "pal8gs", 0},
    {"g/pal8nonsquare.bmp", nullptr, Compare::Reference, "pal8nonsquare-e", 0},
    {"g/pal8os2.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"g/pal8rle.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"g/pal8topdown.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"g/pal8v4.bmp", Info, Compare::None, nullptr, 0},
    {"g/pal8v5.bmp", Info, Compare::None, nullptr, 0},
    {"g/pal8w124.bmp", nullptr, Compare::Reference, "pal8w124", 0},
    {"g/pal8w125.bmp", nullptr, Compare::Reference, "pal8w125", 0},
    {"g/pal8w126.bmp", nullptr, Compare::Reference, "pal8w126", 0},
    {"g/rgb16-565.bmp", nullptr, Compare::Reference, "rgb16-565", 7},
    {"g/rgb16-565pal.bmp", nullptr, Compare::Reference, "rgb16-565", 7},
    {"g/rgb16.bmp", nullptr, Compare::Reference, "rgb16", 7},
    {"g/rgb16bfdef.bmp", nullptr, Compare::Reference, "rgb16", 7},
    {"g/rgb24.bmp", nullptr, Compare::Reference, "rgb24", 0},
    {"g/rgb24pal.bmp", nullptr, Compare::Reference, "rgb24", 0},
    {"g/rgb32.bmp", nullptr, Compare::Reference, "rgb24", 0},
    {"g/rgb32bf.bmp", nullptr, Compare::RawBgrx, nullptr, 0},
    {"g/rgb32bfdef.bmp", nullptr, Compare::Reference, "rgb24", 0},

    {"q/pal1huffmsb.bmp", Compression, Compare::None, nullptr, 0},
    {"q/pal1p1.bmp", nullptr, Compare::Reference, "pal1p1", 0},
    {"q/pal2.bmp", BitCount, Compare::None, nullptr, 0},
    {"q/pal2color.bmp", BitCount, Compare::None, nullptr, 0},
    // Pixels that the RLE stream skips are index 0: the "-0" renderings.
    {"q/pal4rlecut.bmp", nullptr, Compare::Reference, "pal4rlecut-0", 0},
    {"q/pal4rletrns.bmp", nullptr, Compare::Reference, "pal4rletrns-0", 0},
    {"q/pal8offs.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2-hs.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2-sz.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2sp.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2v2-16.bmp", Info, Compare::None, nullptr, 0},
    {"q/pal8os2v2-40sz.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2v2-sz.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8os2v2.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8oversizepal.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"q/pal8rlecut.bmp", nullptr, Compare::Reference, "pal8rlecut-0", 0},
    {"q/pal8rletrns.bmp", nullptr, Compare::Reference, "pal8rletrns-0", 0},
    {"q/rgb16-231.bmp", nullptr, Compare::Reference, "rgb16-231", 127},
    {"q/rgb16-3103.bmp", nullptr, Compare::Reference, "rgb16-3103", 31},
    // The top bit is outside the 5-5-5 masks: no transparency, plain rgb16.
    {"q/rgb16faketrns.bmp", nullptr, Compare::Reference, "rgb16", 7},
    {"q/rgb24jpeg.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb24largepal.bmp", nullptr, Compare::Reference, "rgb24", 0},
    {"q/rgb24lprof.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb24png.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb24prof.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb24prof2.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb24rle24.bmp", Unknown, Compare::None, nullptr, 0},
    {"q/rgb32-111110.bmp", nullptr, Compare::RawBgrx, nullptr, 0},
    {"q/rgb32-7187.bmp", nullptr, Compare::RawBgrx, nullptr, 0},
    {"q/rgb32-xbgr.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgb32fakealpha.bmp", nullptr, Compare::Reference, "rgb24", 0},
    {"q/rgb32h52.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba16-1924.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba16-4444.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba16-5551.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32-1.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32-1010102.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32-2.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32-61754.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32-81284.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba32abf.bmp", Unknown, Compare::None, nullptr, 0},
    {"q/rgba32h56.bmp", Info, Compare::None, nullptr, 0},
    {"q/rgba64.bmp", BitCount, Compare::None, nullptr, 0},

    {"b/badbitcount.bmp", BitCount, Compare::None, nullptr, 0},
    // Header fields the decoder does not rely on are wrong; the pixels are fine.
    {"b/badbitssize.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"b/baddens1.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"b/baddens2.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"b/badfilesize.bmp", nullptr, Compare::Reference, "pal1", 0},
    {"b/badheadersize.bmp", Info, Compare::None, nullptr, 0},
    {"b/badpalettesize.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"b/badplanes.bmp", nullptr, Compare::Reference, "pal1", 0},
    // Damaged RLE streams: runs past the row or the image are dropped.
    {"b/badrle.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badrle4.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badrle4bis.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badrle4ter.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badrlebis.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badrleter.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/badwidth.bmp", "Invalid BMP dimensions", Compare::None, nullptr, 0},
    {"b/pal8badindex.bmp", nullptr, Compare::None, nullptr, 0},
    {"b/reallybig.bmp", "BMP dimensions too large", Compare::None, nullptr, 0},
    {"b/rgb16-880.bmp", nullptr, Compare::Reference, "rgb16-880", 0},
    // A top-down RLE image is flipped like any top-down image.
    {"b/rletopdown.bmp", nullptr, Compare::Reference, "pal8", 0},
    {"b/shortfile.bmp", "Truncated BMP pixel data", Compare::None, nullptr, 0},

    {"x/ba-bm.bmp", Info, Compare::None, nullptr, 0},
};

std::string CorpusRoot()
{
    std::string root = BMPSUITE_DIR;
    // Under Wine a Unix path is reached through the drive that maps "/".
    if (!root.empty() && root[0] == '/')
        root = "Z:" + root;
    return root;
}

std::vector<BYTE> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Load32(const BYTE* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void ExpectReference(const Image& image, const std::string& pngPath, int tolerance)
{
    ReferencePixels reference;
    ASSERT_TRUE(LoadReferencePng(pngPath, reference)) << pngPath;
    ASSERT_EQ(reference.width, image.GetWidth());
    ASSERT_EQ(reference.height, image.GetHeight());
    int worst = 0;
    for (int y = 0; y < reference.height; ++y) {
        for (int x = 0; x < reference.width; ++x) {
            RGBQUAD expected = reference.At(x, y);
            RGBQUAD actual = image.GetPixelColour(x, image.GetHeight() - 1 - y);
            for (int d : {expected.rgbRed - actual.rgbRed, expected.rgbGreen - actual.rgbGreen,
                          expected.rgbBlue - actual.rgbBlue})
                worst = std::max(worst, d < 0 ? -d : d);
        }
    }
    EXPECT_LE(worst, tolerance) << "largest channel difference from " << pngPath;
}

// A bottom-up 32-bit file: each pixel keeps the file's first three bytes.
void ExpectRawBgrx(const Image& image, const std::vector<BYTE>& file)
{
    const BYTE* pixels = file.data() + Load32(file.data() + 10);
    ASSERT_LE(Load32(file.data() + 10) + image.GetWidth() * 4u * image.GetHeight(), file.size());
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            const BYTE* in = pixels + (static_cast<size_t>(y) * image.GetWidth() + x) * 4;
            RGBQUAD actual = image.GetPixelColour(x, y);
            ASSERT_EQ(in[0], actual.rgbBlue) << x << "," << y;
            ASSERT_EQ(in[1], actual.rgbGreen) << x << "," << y;
            ASSERT_EQ(in[2], actual.rgbRed) << x << "," << y;
        }
    }
}

class BmpSuite : public testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(CorpusRoot()))
            GTEST_SKIP() << "BMP corpus not found at " << CorpusRoot();
    }
};

} // namespace

TEST_F(BmpSuite, TableCoversEveryCorpusFile)
{
    std::set<std::string> listed;
    for (const CorpusCase& c : Corpus)
        listed.insert(c.file);
    std::set<std::string> present;
    for (const char* folder : {"g", "q", "b", "x"})
        for (const auto& entry : std::filesystem::directory_iterator(CorpusRoot() + "/" + folder))
            if (entry.path().extension() == ".bmp")
                present.insert(std::string(folder) + "/" + entry.path().filename().string());
    EXPECT_EQ(listed, present);
}

TEST_F(BmpSuite, EveryFileDecodesOrIsRefusedByOurRules)
{
    for (const CorpusCase& c : Corpus) {
        SCOPED_TRACE(c.file);
        std::vector<BYTE> bytes = ReadFileBytes(CorpusRoot() + "/" + c.file);
        ASSERT_FALSE(bytes.empty());
        Image image;
        bool decoded = image.Decode(bytes.data(), static_cast<int32_t>(bytes.size()), Image::FormatBmp);
        if (c.refusal) {
            EXPECT_FALSE(decoded);
            EXPECT_STREQ(c.refusal, image.GetLastError());
            EXPECT_FALSE(image.IsValid());
            continue;
        }
        ASSERT_TRUE(decoded) << image.GetLastError();
        if (c.compare == Compare::Reference)
            ExpectReference(image, CorpusRoot() + "/reference/" + c.reference + ".png", c.tolerance);
        else if (c.compare == Compare::RawBgrx)
            ExpectRawBgrx(image, bytes);
    }
}

TEST_F(BmpSuite, IndexesPastThePaletteShowBlack)
{
    std::vector<BYTE> bytes = ReadFileBytes(CorpusRoot() + "/b/pal8badindex.bmp");
    Image image;
    ASSERT_TRUE(image.Decode(bytes.data(), static_cast<int32_t>(bytes.size()), Image::FormatBmp));
    uint32_t declared = Load32(bytes.data() + 46);
    int pastPalette = 0;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            if (image.GetPixelIndex(x, y) < declared)
                continue;
            ++pastPalette;
            RGBQUAD colour = image.GetPixelColour(x, y);
            ASSERT_EQ(0, colour.rgbRed | colour.rgbGreen | colour.rgbBlue);
        }
    }
    EXPECT_GT(pastPalette, 0);
}

TEST_F(BmpSuite, EveryPrefixOfEveryFileDecodesOrFailsCleanly)
{
    // Truncation anywhere must end in a result, never a crash or a hang.
    for (const CorpusCase& c : Corpus) {
        SCOPED_TRACE(c.file);
        std::vector<BYTE> bytes = ReadFileBytes(CorpusRoot() + "/" + c.file);
        for (size_t length = 0; length < bytes.size(); length += 1 + length / 8) {
            std::vector<BYTE> prefix(bytes.begin(), bytes.begin() + length);
            Image image;
            if (!image.Decode(prefix.data(), static_cast<int32_t>(prefix.size()), Image::FormatUnknown)) {
                EXPECT_STRNE("", image.GetLastError());
            }
        }
    }
}
