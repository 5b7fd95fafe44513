// The skin source text: value syntax and the messages for bad input.
#include <gtest/gtest.h>

#include <cstring>

#include "data/ButtonSkins.h"
#include "data/FrameSkin.h"
#include "data/MemoryStream.h"
#include "FileBytes.h"
#include "SkinDocument.h"
#include "SkinSourceParser.h"
#include "SkinTestSupport.h"
#include "ValueText.h"

namespace {

const std::string kSourcePath = std::string(SSO_SKIN_SOURCE_DIR) + "/test.txt";

// The message of the SourceError that parsing `source` throws ("" if none).
std::string ParseError(const std::string& source)
{
    SkinDocument document;
    SkinSourceParser parser(kSourcePath, source);
    try {
        parser.Parse(document);
    } catch (const SourceError& error) {
        return error.what();
    }
    return "";
}

::testing::AssertionResult Reports(const std::string& source, const std::string& where, const std::string& what)
{
    const std::string message = ParseError(source);
    if (message.find(kSourcePath + ":" + where) == 0 && message.find(what) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "message was: " << message;
}

std::vector<SourceToken> Tokens(const std::string& text)
{
    std::vector<SourceToken> tokens;
    std::string error;
    EXPECT_TRUE(TokenizeSourceLine(text, tokens, error)) << error;
    return tokens;
}

bool Parse(FieldKind kind, const std::string& text, unsigned char* field, size_t size, std::string* error = nullptr)
{
    std::string message;
    const bool parsed = ParseFieldValue(kind, Tokens(text), 0, field, size, message);
    if (error)
        *error = message;
    return parsed;
}

// A chain of `levels` children under one top-level object, then an extra
// object that the container stores after it.
std::string NestedChildren(int levels)
{
    std::string source = "object EditSkin \"Top\"\n";
    for (int level = 1; level <= levels; ++level)
        source += "child EditSkin \"Level" + std::to_string(level) + "\"\n";
    for (int level = 0; level <= levels; ++level)
        source += "end\n";
    return source + "extra \"After\"\nend\n";
}

}  // namespace

TEST(SourceErrors, NameTheFileTheLineAndTheField)
{
    EXPECT_TRUE(Reports("object ButtonSkin \"B\"\n  NORMAL.IMAGEX = none\nend\n", "2: NORMAL.IMAGEX:", "no such field"));
    EXPECT_TRUE(Reports("skin 1.5\nobject FrameSkin \"F\"\n\n  SKINCLIENT = 1\nend\n", "4: SKINCLIENT:",
                        "not stored in containers of minor version 5"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  BACKCOLOR = #12345\nend\n", "2: BACKCOLOR:", "not a colour"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  FONT = { face \"Arial\" hieght 3 }\nend\n", "2: FONT:",
                        "unknown part 'hieght'"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  CONTROLID = 4294967296\nend\n", "2: CONTROLID:", "not a 32-bit"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  text = \"" + std::string(51, 'x') + "\"\nend\n", "2: text:",
                        "longer than 50"));
    EXPECT_TRUE(Reports("object RebarSkin \"R\"\n  bytes16 = <" + std::string(34, '1') + ">\nend\n", "2: bytes16:",
                        "more than 16 bytes"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  NAME = \"T\"\nend\n", "2: NAME:", "first line"));
}

TEST(SourceErrors, RefuseMisplacedAndUnfinishedObjects)
{
    EXPECT_TRUE(Reports("object CaptionButtonSkin \"Close\"\nend\n", "1: ", "cannot stand at top level"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  child FrameSkin \"F\"\n  end\nend\n", "2: ", "cannot stand as a child"));
    EXPECT_TRUE(Reports("object NoSuchSkin \"S\"\nend\n", "1: ", "unknown object type"));
    EXPECT_TRUE(Reports("\nobject StaticSkin \"S\"\n  TRANSPARENT = 1\n", "2: ", "object without end"));
    EXPECT_TRUE(Reports("object StaticSkin \"" + std::string(51, 'n') + "\"\nend\n", "1: ", "longer than 50"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\n  menubar\n  end\nend\n", "2: menubar:", "only a FrameSkin"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\"\nend\nskin 1.9\n", "3: skin:", "before the first entry"));
    EXPECT_TRUE(Reports("object StaticSkin \"S\n", "1: ", "closing quote"));
}

TEST(SourceErrors, ABitmapTheDecoderRefusesIsRefusedWithItsMessage)
{
    std::vector<uint8_t> notABitmap;
    ASSERT_TRUE(ReadFileBytes(std::string(SSO_SKIN_SOURCE_DIR) + "/skin.txt", notABitmap));
    Image probe;
    ASSERT_FALSE(probe.Decode(notABitmap.data(), static_cast<int32_t>(notABitmap.size()), Image::FormatBmp));
    EXPECT_TRUE(Reports("image \"x.bmp\"\n  file = \"skin.txt\"\nend\n", "2: file:", probe.GetLastError()));
    EXPECT_TRUE(Reports("image \"x.bmp\"\n  file = \"missing.bmp\"\nend\n", "2: file:", "cannot read"));
}

TEST(SourceText, ChildrenNestedDeeplyBuildAContainerReadToItsEnd)
{
    SkinDocument built;
    SkinSourceParser parser(kSourcePath, NestedChildren(200));
    parser.Parse(built);
    std::vector<uint8_t> container;
    ASSERT_TRUE(built.WriteContainer(container));
    SkinDocument read;
    ASSERT_TRUE(read.ReadContainer(MemoryStream(container.data(), static_cast<int32_t>(container.size()))));
    EXPECT_EQ(1u, read.extraObjects.size()) << "what follows the deepest child is read too";
}

TEST(SourceText, SettingAFieldTwiceIsAWarningAndTheLaterValueCounts)
{
    SkinDocument document;
    SkinSourceParser parser(kSourcePath, "object StaticSkin \"S\"\n  backColour = #010101\n  BACKCOLOR = #020202\nend\n");
    parser.Parse(document);
    ASSERT_EQ(parser.Warnings().size(), 1u);
    EXPECT_NE(parser.Warnings()[0].find("test.txt:3: BACKCOLOR"), std::string::npos);
    EXPECT_EQ(document.objects[0].object->backColour, 0x020202u);
}

TEST(SourceText, ColoursAreWrittenRedFirst)
{
    uint32_t colour = 0;
    ASSERT_TRUE(Parse(FieldKind::Colour, "#FF8000", reinterpret_cast<unsigned char*>(&colour), 4));
    EXPECT_EQ(colour, 0x0080FFu);
    ASSERT_TRUE(Parse(FieldKind::Colour, "#01FF8000", reinterpret_cast<unsigned char*>(&colour), 4));
    EXPECT_EQ(colour, 0x010080FFu);
    EXPECT_EQ(FormatFieldValue(FieldKind::Colour, reinterpret_cast<unsigned char*>(&colour), 4), "#01FF8000");
    EXPECT_FALSE(Parse(FieldKind::Colour, "FF8000", reinterpret_cast<unsigned char*>(&colour), 4));
}

TEST(SourceText, NumbersAreDecimalOrHexBitPatterns)
{
    int32_t value = 0;
    ASSERT_TRUE(Parse(FieldKind::Int, "0xFFFFFFFF", reinterpret_cast<unsigned char*>(&value), 4));
    EXPECT_EQ(value, -1);
    ASSERT_TRUE(Parse(FieldKind::Int, "-2147483648", reinterpret_cast<unsigned char*>(&value), 4));
    EXPECT_EQ(value, INT32_MIN);
    EXPECT_FALSE(Parse(FieldKind::Int, "2147483648", reinterpret_cast<unsigned char*>(&value), 4));
    EXPECT_FALSE(Parse(FieldKind::Int, "12abc", reinterpret_cast<unsigned char*>(&value), 4));
    EXPECT_FALSE(Parse(FieldKind::Int, "1 2", reinterpret_cast<unsigned char*>(&value), 4));
}

TEST(SourceText, StructuredValuesChangeOnlyTheNamedParts)
{
    SkinFont font = MakeDefaultFont("Arial");
    ASSERT_TRUE(Parse(FieldKind::Font, "{ face \"Tahoma\" weight 700 }", reinterpret_cast<unsigned char*>(&font), 64));
    EXPECT_STREQ(font.logFont.lfFaceName, "Tahoma");
    EXPECT_EQ(font.logFont.lfWeight, 700);
    EXPECT_EQ(font.logFont.lfHeight, -12);
    EXPECT_EQ(font.logFont.lfOutPrecision, 3);

    TextEffect effect = {};
    SetDefaultTextEffect(effect);
    ASSERT_TRUE(Parse(FieldKind::TextEffect, "{ offset -1 2 color #102030 }", reinterpret_cast<unsigned char*>(&effect), 16));
    EXPECT_EQ(effect.shadowOffset & 0xFFFF, 0x02FF);
    EXPECT_EQ(effect.textColour[0], 0x10);
    EXPECT_EQ(effect.textColour[2], 0x30);
    EXPECT_EQ(effect.reserved1, 255);
    EXPECT_EQ(effect.flags, 0x8004);

    ASSERT_TRUE(Parse(FieldKind::TextEffect, "none", reinterpret_cast<unsigned char*>(&effect), 16));
    EXPECT_EQ(effect.flags, 0);
    std::string error;
    EXPECT_FALSE(Parse(FieldKind::TextEffect, "{ color #102030 color #000000 }",
                       reinterpret_cast<unsigned char*>(&effect), 16, &error));
    EXPECT_NE(error.find("twice"), std::string::npos);
    EXPECT_FALSE(Parse(FieldKind::TextEffect, "{ offset 200 0 }", reinterpret_cast<unsigned char*>(&effect), 16));
    EXPECT_FALSE(Parse(FieldKind::Image, "{ bitmap \"a\"", reinterpret_cast<unsigned char*>(&effect), 16));
}

TEST(SourceText, EveryFormattedValueParsesBackToItsBytes)
{
    unsigned char bytes[88];
    for (size_t i = 0; i < sizeof bytes; ++i)
        bytes[i] = static_cast<unsigned char>(i * 37 + 11);
    bytes[49] = 0;  // names end within their 50 bytes
    bytes[59] = 0;  // face names within their 32
    bytes[50] = 0;  // the rest of a String
    const FieldKind kinds[] = {FieldKind::Font,  FieldKind::String,     FieldKind::Colour, FieldKind::Image,
                               FieldKind::FrameImage, FieldKind::Bool, FieldKind::Int, FieldKind::TextEffect,
                               FieldKind::Rect,  FieldKind::Byte};
    for (const FieldKind kind : kinds) {
        const size_t size = FieldKindSize(kind);
        unsigned char original[88];
        std::memcpy(original, bytes, size);
        if (kind == FieldKind::String)
            std::memset(original + 10, 0, size - 10);
        if (kind == FieldKind::Image || kind == FieldKind::FrameImage)
            std::memset(original + 10, 0, 40);
        if (kind == FieldKind::Font)
            std::memset(original + 40, 0, 20);
        const std::string text = FormatFieldValue(kind, original, size);
        unsigned char parsed[88] = {};
        ASSERT_TRUE(Parse(kind, text, parsed, size)) << FieldKindName(kind) << ": " << text;
        EXPECT_EQ(std::memcmp(parsed, original, size), 0) << FieldKindName(kind) << ": " << text;
    }
}

TEST(SourceText, StringsEscapeWhatIsNotPrintable)
{
    const std::string bytes = std::string("a\"b\\c\n") + '\x5c' + "\xa4\x5c" + '\0' + "z";
    const std::string quoted = QuoteSourceString(bytes);
    std::vector<SourceToken> tokens = Tokens("x = " + quoted + " ; comment");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[2].text, bytes);
}
