// The record descriptions of every object type: sizes against the file
// format's tables, Load/Save symmetry at every version, unambiguous names.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>

#include "data/ControlSkinBase.h"
#include "data/MemoryStream.h"
#include "data/RecordCodec.h"
#include "data/SkinImage.h"
#include "data/SkinObject.h"
#include "data/SkinTypes.h"

namespace {

const int32_t kAllCodes[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                             18, 19, 20, 23, 24, 25, 26, 27, 28, 29, 30, 36, 37, 38, 39, 40, 100};
const uint8_t kMinors[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 200};

std::unique_ptr<SkinObject> Create(int32_t code)
{
    if (code == kTypeExtraObject)
        return std::unique_ptr<SkinObject>(new SkinObject(code));
    return CreateSkinObject(code);
}

std::vector<uint8_t> RecordBytes(SkinObject& object, uint8_t minor)
{
    MemoryStream stream;
    WriteContext context(minor);
    WriteRecord(object, stream, context);
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Length());
}

// Fills every field present at `minor` with bytes that differ from field to
// field.
void FillFields(SkinObject& object, uint8_t minor)
{
    int index = 0;
    for (const RecordStep& step : object.GetSchema().steps) {
        if (step.kind != StepKind::Field || !step.versions.Contains(minor))
            continue;
        unsigned char* field = static_cast<unsigned char*>(step.field.Locate(object));
        for (size_t i = 0; i < step.field.size; ++i)
            field[i] = static_cast<unsigned char>(0x21 + (index * 13 + i * 7) % 90);
        ++index;
    }
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct ExpectedSize {
    int32_t code;
    uint8_t minor;
    size_t bytes;
};

// From the format's tables: common record 138 bytes and a child count (4)
// at minor 8 and later, 118 + 4 before; control record 164 bytes at minor
// 10 and later.
const ExpectedSize kRecordSizes[] = {
    {1, 11, 3303},  // 1682 frame base + 4 + 1541 menu bar + 4 + 72
    {1, 5, 3148},   // 1662 frame base + 4 + 1482 menu bar; no client fields
    {2, 11, 255},
    {3, 11, 501},
    {3, 7, 442},    // placement in the part instead of the common record; no show code or text
    {4, 11, 1084},
    {4, 6, 968},    // no control part; font and second value after the looks
    {5, 11, 1704},
    {6, 11, 674},
    {6, 9, 658},    // no AUTOSKINFONT, no three colours
    {7, 11, 378},
    {7, 5, 362},    // the thrown-away rectangle; no CONTROLID, spare or AUTOSKINFONT
    {8, 11, 418},
    {9, 11, 378},
    {10, 11, 406},
    {11, 11, 1704},
    {12, 11, 1678},
    {13, 11, 594},
    {13, 8, 498},   // no AUTOSKINFONT, TRANSPARENT or THUMB.VERTICAL
    {14, 11, 377},
    {15, 11, 466},
    {16, 11, 878},
    {16, 8, 870},   // no AUTOSKINFONT or TRANSpARENT
    {17, 11, 2058},
    {17, 2, 1950},  // no caption effect or check image
    {18, 11, 150},
    {19, 11, 142},
    {19, 7, 122},
    {20, 11, 1541},
    {20, 1, 530},   // no MDI buttons, bar background, show code or text
    {23, 11, 746},
    {24, 11, 306},
    {25, 11, 401},
    {25, 3, 279},   // no e-mail or home page
    {26, 11, 378},
    {27, 11, 882},
    {28, 11, 378},
    {29, 11, 378},
    {30, 11, 378},
    {36, 11, 410},
    {37, 11, 410},
    {38, 11, 444},
    {39, 11, 230},
    {40, 11, 378},
    {100, 11, 361},
    // Each version boundary of the tables, once.
    {1, 2, 3044},   // no caption effect; the menu bar has its MDI buttons but no bar background
    {1, 6, 3224},   // with SKINCLIENT and MDICLIENT
    {4, 7, 1072},   // control part with the thrown-away rectangle, no spare
    {5, 8, 1700},
    {6, 10, 662},
    {7, 3, 346},    // control part without the rectangle
    {7, 6, 366},
    {7, 9, 374},
    {7, 10, 378},
    {13, 9, 590},
    {16, 9, 874},
    {17, 3, 2038},
    {20, 2, 1394},
    {20, 3, 1482},
    {20, 10, 1486},
    {25, 4, 381},
    {38, 7, 385},
};

}  // namespace

TEST(Schemas, RecordSizesFollowTheFormatTables)
{
    for (const ExpectedSize& expected : kRecordSizes) {
        std::unique_ptr<SkinObject> object = Create(expected.code);
        ASSERT_TRUE(object) << expected.code;
        EXPECT_EQ(RecordBytes(*object, expected.minor).size(), expected.bytes)
            << SkinTypeName(expected.code) << " at minor " << int(expected.minor);
    }
}

TEST(Schemas, EveryRecordReadsBackExactlyWhatWasWritten)
{
    for (const int32_t code : kAllCodes) {
        for (const uint8_t minor : kMinors) {
            std::unique_ptr<SkinObject> original = Create(code);
            FillFields(*original, minor);
            const std::vector<uint8_t> written = RecordBytes(*original, minor);

            std::unique_ptr<SkinObject> copy = Create(code);
            MemoryStream stream(written.data(), static_cast<int32_t>(written.size()));
            RecordReadContext context(minor, ReadContext::KeepStoredValues);
            ReadRecord(*copy, stream, context);
            EXPECT_EQ(stream.Position(), stream.Length()) << SkinTypeName(code) << " at minor " << int(minor);
            // Texts are terminated on reading; from then on the bytes stay.
            const std::vector<uint8_t> once = RecordBytes(*copy, minor);
            std::unique_ptr<SkinObject> again = Create(code);
            MemoryStream second(once.data(), static_cast<int32_t>(once.size()));
            RecordReadContext secondContext(minor, ReadContext::KeepStoredValues);
            ReadRecord(*again, second, secondContext);
            EXPECT_EQ(RecordBytes(*again, minor), once) << SkinTypeName(code) << " at minor " << int(minor);
        }
    }
}

TEST(Schemas, NoTwoFieldsShareANameAtOneVersion)
{
    for (const int32_t code : kAllCodes) {
        std::unique_ptr<SkinObject> object = Create(code);
        for (const uint8_t minor : kMinors) {
            std::map<std::string, const void*> places;
            for (const RecordStep& step : object->GetSchema().steps) {
                if (step.kind != StepKind::Field || !step.versions.Contains(minor))
                    continue;
                const void* place = step.field.Locate(*object);
                std::vector<std::string> names = step.field.keys;
                names.push_back(step.field.name);
                for (const std::string& name : names) {
                    const auto inserted = places.emplace(Lower(name), place);
                    EXPECT_TRUE(inserted.second || inserted.first->second == place)
                        << SkinTypeName(code) << " minor " << int(minor) << ": " << name;
                }
            }
        }
    }
}

TEST(Schemas, RegisteredKeysAreBoundToTheirObjectsFields)
{
    for (const int32_t code : kAllCodes) {
        std::unique_ptr<SkinObject> object = Create(code);
        ASSERT_TRUE(object->Properties().count("NAME")) << code;
        EXPECT_EQ(object->Properties().at("NAME")->Value(), object->name);
        ASSERT_TRUE(object->Properties().count("AUTOPLACE")) << code;
        for (const auto& entry : object->Properties()) {
            const PropertyRecord& record = *entry.second;
            EXPECT_TRUE(IsPropertyKind(record.Kind())) << entry.first;
            EXPECT_EQ(static_cast<size_t>(record.Size()), FieldKindSize(static_cast<FieldKind>(record.Kind())))
                << entry.first;
            EXPECT_FALSE(record.OwnsValue());
            const char* value = static_cast<const char*>(record.Value());
            const char* begin = reinterpret_cast<const char*>(object.get());
            EXPECT_TRUE(value >= begin && value < begin + 100000) << entry.first;
        }
    }
}

TEST(Schemas, DefaultsFollowTheTypeTables)
{
    std::unique_ptr<SkinObject> animate = Create(kTypeAnimate);
    EXPECT_STREQ(animate->Name(), "AnimateCtrl32");
    EXPECT_EQ(Create(kTypeButton)->placement.right, 60);
    EXPECT_EQ(Create(kTypeCaptionButton)->placement.right, 21);
    EXPECT_EQ(Create(kTypeSkinInfo)->keyColour, 0xFF00FFu);
    EXPECT_EQ(Create(kTypeStatic)->keyColour, 255u);
    EXPECT_EQ(Create(kTypeEdit)->backColour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Create(kTypeFrame)->DefaultKeyColour(), 0xFF00FFu);
    for (const int32_t code : {kTypeEdit, kTypeListBox, kTypeIpAddress, kTypeListView, kTypeTreeView, kTypeRichEdit})
        EXPECT_EQ(Create(code)->TypeCode(), code);
}

// Every ASCII letter matches its other case, A and Z included; the
// neighbours of the two letter ranges (@ and `, [ and {) and bytes above
// 0x7F (Big5 lead bytes) stay what they are.
TEST(Schemas, NamesCompareIgnoringCaseOverTheWholeAlphabet)
{
    for (char upper = 'A'; upper <= 'Z'; ++upper) {
        const char lower = static_cast<char>(upper + ('a' - 'A'));
        EXPECT_TRUE(EqualIgnoringCase(std::string("k") + upper, std::string("K") + lower)) << upper;
        EXPECT_TRUE(EqualIgnoringCase(std::string(1, lower), std::string(1, upper))) << upper;
    }
    EXPECT_FALSE(EqualIgnoringCase("@", "`"));
    EXPECT_FALSE(EqualIgnoringCase("[", "{"));
    EXPECT_FALSE(EqualIgnoringCase("\xC4", "\xE4"));
    EXPECT_FALSE(EqualIgnoringCase("THUMB", "THUMBS"));
    EXPECT_EQ(SkinTypeFromName("TRACKBARSKIN"), kTypeTrackBar);
    const Schema& trackBar = Create(kTypeTrackBar)->GetSchema();
    EXPECT_NE(trackBar.FindField("thumb.horizontal", 11), nullptr);
    EXPECT_EQ(trackBar.FindField("thumb.horizontal", 11), trackBar.FindField("THUMB.HORIZONTAL", 11));
}

TEST(Schemas, TheCommonRecordIsReadOnItsOwn)
{
    std::unique_ptr<SkinObject> original = Create(kTypeButton);
    std::strcpy(original->name, "Button");
    original->spare = 77;
    const std::vector<uint8_t> written = RecordBytes(*original, 11);
    std::unique_ptr<SkinObject> copy = Create(kTypeButton);
    MemoryStream stream(written.data(), static_cast<int32_t>(written.size()));
    ReadCommonRecord(stream, *copy);  // the current rules: 1.11
    EXPECT_EQ(stream.Position(), 142);
    EXPECT_STREQ(copy->Name(), "Button");
    EXPECT_EQ(copy->spare, 77);
}

TEST(Schemas, TextsEndWithinTheirFieldsWhateverTheFileHolds)
{
    std::unique_ptr<SkinObject> original = Create(kTypeStatic);
    ControlSkinBase& control = static_cast<ControlSkinBase&>(*original);
    std::memset(control.secondText, 'x', sizeof control.secondText);
    std::memset(&control.mainImage, 'A', sizeof control.mainImage);
    std::memset(control.font.logFont.lfFaceName, 'F', sizeof control.font.logFont.lfFaceName);
    const std::vector<uint8_t> written = RecordBytes(*original, 11);

    std::unique_ptr<SkinObject> copy = Create(kTypeStatic);
    MemoryStream stream(written.data(), static_cast<int32_t>(written.size()));
    RecordReadContext context(11);
    ReadRecord(*copy, stream, context);
    const ControlSkinBase& loaded = static_cast<const ControlSkinBase&>(*copy);
    EXPECT_EQ(std::strlen(loaded.secondText), 50u);
    EXPECT_EQ(std::strlen(loaded.mainImage.name), 49u);
    EXPECT_EQ(std::strlen(loaded.font.logFont.lfFaceName), 31u);
    EXPECT_EQ(loaded.mainImage.source.left, 0x41414141);
}
