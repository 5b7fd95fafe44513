// Building, dumping and rebuilding containers, through the library and
// through the skinc program itself, and bitmaps through skinc image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "data/SkinFileReader.h"
#include "FileBytes.h"
#include "imaging/ByteOrder.h"
#include "SkinTestSupport.h"

namespace {

const char* const kBitmaps[] = {"active.bmp", "controls.bmp", "dialogwindow.bmp", "main.bmp", "menuitems.bmp", "pw.bmp"};

std::string Skinc(const std::string& arguments)
{
    return std::string("\"") + SSO_SKINC + "\" " + arguments;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

uint32_t Read32(const std::vector<uint8_t>& bytes, size_t offset)
{
    return LoadLittleEndian32(&bytes[offset]);
}

// The palette and pixel rows of an uncompressed BMP with a 40-byte header,
// read without the engine's decoder: what two files must share to show the
// same picture.
struct RawPixels {
    int32_t width = 0;
    int32_t height = 0;
    int bitCount = 0;
    std::vector<uint8_t> palette;  // blue, green, red per entry
    std::vector<uint8_t> rows;     // bottom row first, without padding
};

RawPixels ReadRawPixels(const std::vector<uint8_t>& file)
{
    RawPixels pixels;
    EXPECT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(Read32(file, 14), 40u);
    pixels.width = static_cast<int32_t>(Read32(file, 18));
    const int32_t height = static_cast<int32_t>(Read32(file, 22));
    pixels.height = height < 0 ? -height : height;
    pixels.bitCount = file[28] | file[29] << 8;
    EXPECT_EQ(Read32(file, 30), 0u) << "compressed";
    const uint32_t pixelOffset = Read32(file, 10);
    if (pixels.bitCount <= 8) {
        const size_t entries = size_t(1) << pixels.bitCount;
        for (size_t i = 0; i < entries && 54 + i * 4 + 3 <= pixelOffset; ++i)
            pixels.palette.insert(pixels.palette.end(), file.begin() + 54 + i * 4, file.begin() + 54 + i * 4 + 3);
    }
    const size_t stride = ((size_t(pixels.width) * pixels.bitCount + 31) / 32) * 4;
    const size_t used = (size_t(pixels.width) * pixels.bitCount + 7) / 8;
    for (int32_t row = 0; row < pixels.height; ++row) {
        const int32_t stored = height < 0 ? pixels.height - 1 - row : row;
        const size_t start = pixelOffset + stored * stride;
        EXPECT_LE(start + used, file.size());
        if (start + used <= file.size())
            pixels.rows.insert(pixels.rows.end(), file.begin() + start, file.begin() + start + used);
    }
    return pixels;
}

}  // namespace

TEST(RoundTrip, TheDefaultSkinCompilesInProcessToTheBuildsContainer)
{
    std::vector<uint8_t> source;
    ASSERT_TRUE(ReadFileBytes(std::string(SSO_SKIN_SOURCE_DIR) + "/skin.txt", source));
    EXPECT_EQ(BuildContainer(std::string(source.begin(), source.end())), ReadTestFile(SSO_DEFAULT_SKIN));
}

TEST(RoundTrip, SkincDumpThenBuildGivesTheSameContainer)
{
    const std::string directory = TestOutputPath("skinc-dump");
    CreateDirectoryA(directory.c_str(), nullptr);
    std::string output;
    ASSERT_EQ(RunProgram(Skinc("dump " + Quoted(SSO_DEFAULT_SKIN) + " -o " + Quoted(directory + "/skin.txt")), output), 0)
        << output;
    for (const char* bitmap : kBitmaps)
        EXPECT_TRUE(FileExists(directory + "/" + bitmap)) << bitmap;
    const std::string rebuilt = directory + "/again.skin";
    ASSERT_EQ(RunProgram(Skinc("build " + Quoted(directory + "/skin.txt") + " -o " + Quoted(rebuilt)), output), 0)
        << output;
    EXPECT_EQ(ReadTestFile(rebuilt), ReadTestFile(SSO_DEFAULT_SKIN));
}

TEST(RoundTrip, SkincImageKeepsThePixelsOfEveryBitmap)
{
    for (const char* bitmap : kBitmaps) {
        const std::string in = std::string(SSO_SKIN_SOURCE_DIR) + "/" + bitmap;
        const std::string out = TestOutputPath(std::string("reencoded-") + bitmap);
        std::string output;
        ASSERT_EQ(RunProgram(Skinc("image " + Quoted(in) + " " + Quoted(out)), output), 0) << output;
        const RawPixels original = ReadRawPixels(ReadTestFile(in));
        const RawPixels reencoded = ReadRawPixels(ReadTestFile(out));
        EXPECT_EQ(reencoded.width, original.width) << bitmap;
        EXPECT_EQ(reencoded.height, original.height) << bitmap;
        EXPECT_EQ(reencoded.bitCount, original.bitCount) << bitmap;
        EXPECT_EQ(reencoded.palette, original.palette) << bitmap;
        EXPECT_TRUE(reencoded.rows == original.rows) << bitmap;
    }
}

TEST(RoundTrip, ABuilderTextThatFillsItsFieldIsDumpedAndBuiltAgain)
{
    std::vector<uint8_t> stream = Unpack(BuildContainer("object ButtonSkin \"Only\"\nend\n"));
    std::fill(stream.begin() + SkinHeader::kBuilderTextOffset,
              stream.begin() + SkinHeader::kBuilderTextOffset + SkinHeader::kBuilderTextSize, 'B');
    const std::vector<uint8_t> container = Pack(stream);
    ASSERT_TRUE(LoadStore(container));
    EXPECT_EQ(DumpAndRebuild(container), container);
}

TEST(RoundTrip, SkincRefusesBadSourceAndLeavesNoOutput)
{
    const std::string source = TestOutputPath("bad-source.txt");
    const std::string text = "skin 1.11\nobject StaticSkin \"S\"\n  FONT = { face \"Arial\" size 3 }\nend\n";
    ASSERT_TRUE(WriteFileBytes(source, text.data(), text.size()));
    const std::string container = TestOutputPath("bad-source.skin");
    DeleteFileA(container.c_str());
    std::string output;
    EXPECT_EQ(RunProgram(Skinc("build " + Quoted(source) + " -o " + Quoted(container)), output), 1);
    EXPECT_NE(output.find("bad-source.txt:3: FONT: unknown part 'size'"), std::string::npos) << output;
    EXPECT_FALSE(FileExists(container));
    EXPECT_FALSE(FileExists(container + ".partial"));

    EXPECT_EQ(RunProgram(Skinc("image " + Quoted(source) + " " + Quoted(container)), output), 1);
    EXPECT_FALSE(FileExists(container));
}

TEST(RoundTrip, SkincCheckReportsWhatTheEngineLoads)
{
    std::string output;
    ASSERT_EQ(RunProgram(Skinc("check " + Quoted(SSO_DEFAULT_SKIN)), output), 0) << output;
    EXPECT_NE(output.find("(to the last byte)"), std::string::npos) << output;
    EXPECT_NE(output.find("objects: 26"), std::string::npos) << output;
    EXPECT_NE(output.find("images: 6"), std::string::npos) << output;
    EXPECT_NE(output.find("extra objects: 0"), std::string::npos) << output;
    EXPECT_NE(output.find("    Close  CaptionButtonSkin (3)"), std::string::npos) << output;

    const std::string damaged = TestOutputPath("damaged.skin");
    std::vector<uint8_t> bytes = ReadTestFile(SSO_DEFAULT_SKIN);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(WriteFileBytes(damaged, bytes.data(), bytes.size()));
    EXPECT_EQ(RunProgram(Skinc("check " + Quoted(damaged)), output), 1);
    EXPECT_NE(output.find("does not unpack"), std::string::npos) << output;
}
