// The container's header rules, the order of its sections, and what the
// reader does with codes and names it meets more than once or not at all.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "data/ButtonPart.h"
#include "data/ControlSkinBase.h"
#include "data/RecordCodec.h"
#include "data/SkinFileReader.h"
#include "data/SkinImage.h"
#include "data/SkinTypes.h"
#include "data/SkinVersion.h"
#include "FileBytes.h"
#include "SkinTestSupport.h"

namespace {

const char kTwoButtons[] =
    "object ButtonSkin \"First\"\n"
    "  CONTROLID = 1\n"
    "end\n"
    "object StaticSkin \"Second\"\n"
    "  CONTROLID = 2\n"
    "end\n";

int32_t ControlIdOf(SkinStore& store, const char* name)
{
    const ControlSkinBase* object = static_cast<const ControlSkinBase*>(store.FindObject(name));
    return object ? object->controlId : -1;
}

std::vector<uint8_t> WithStreamByte(const std::vector<uint8_t>& container, size_t offset, uint8_t value)
{
    std::vector<uint8_t> stream = Unpack(container);
    stream[offset] = value;
    return Pack(stream);
}

}  // namespace

TEST(ContainerHeader, RefusesAWrongMagicAndMajorVersion)
{
    const std::vector<uint8_t> container = BuildContainer(kTwoButtons);
    ASSERT_TRUE(LoadStore(container));
    EXPECT_FALSE(LoadStore(WithStreamByte(container, 0, 'X')));
    EXPECT_FALSE(LoadStore(WithStreamByte(container, 18, 'e')));
    // Only the first 19 bytes are compared: the NUL after them is free.
    EXPECT_TRUE(LoadStore(WithStreamByte(container, 19, '!')));
    EXPECT_FALSE(LoadStore(WithStreamByte(container, 20, 2)));
    EXPECT_FALSE(LoadStore(WithStreamByte(container, 20, 0)));
    EXPECT_FALSE(LoadStore(BuildContainerUnchecked(std::string("skin 2.11\n") + kTwoButtons)));
}

TEST(ContainerHeader, RefusesAStreamShorterThanTheHeader)
{
    std::vector<uint8_t> stream = Unpack(BuildContainer(kTwoButtons));
    stream.resize(187);
    EXPECT_FALSE(LoadStore(Pack(stream)));
    stream.resize(188);
    stream[176] = 0;  // a bare header with no objects and no sections is whole
    stream[177] = stream[178] = stream[179] = 0;
    std::unique_ptr<SkinStore> store = LoadStore(Pack(stream));
    ASSERT_TRUE(store);
    EXPECT_TRUE(store->Objects().empty());
}

TEST(ContainerHeader, ReadsAnyNewerMinorVersionWithTheNewestRules)
{
    const std::string source =
        "skin 1.200\n"
        "object ComboBoxSkin \"Combo\"\n"
        "  COLOR.DISABLEDTEXT = #102030\n"
        "  COLOR.FOCUSTEXTCOLOR = #405060\n"
        "end\n"
        "object ButtonSkin \"After\"\n"
        "  CONTROLID = 9\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    EXPECT_EQ(store->LoadInfo().version.minor, 200);
    EXPECT_EQ(store->LoadInfo().bytesRead, store->LoadInfo().streamLength);
    EXPECT_EQ(ControlIdOf(*store, "After"), 9);
}

TEST(ContainerSections, ADamagedObjectCountStopsAtTheEndOfTheStream)
{
    const std::vector<uint8_t> container = BuildContainer(kTwoButtons);
    for (const uint8_t countByte : {3, 255}) {
        std::vector<uint8_t> stream = Unpack(container);
        stream[176] = countByte;
        stream[179] = countByte;  // up to 4 billion entries
        std::unique_ptr<SkinStore> store = LoadStore(Pack(stream));
        ASSERT_TRUE(store);
        EXPECT_EQ(ControlIdOf(*store, "First"), 1);
        EXPECT_EQ(ControlIdOf(*store, "Second"), 2);
    }
}

TEST(ContainerSections, AnUnknownTopLevelCodeIsOneEntryOfFourBytes)
{
    const std::string source = std::string("skip 99\n") + kTwoButtons + "skip 3\nskip 0\nskip 18\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    EXPECT_EQ(store->Objects().size(), 2u);
    EXPECT_EQ(ControlIdOf(*store, "First"), 1);
    EXPECT_EQ(ControlIdOf(*store, "Second"), 2);
    EXPECT_EQ(store->LoadInfo().bytesRead, store->LoadInfo().streamLength);
}

TEST(ContainerSections, AnUnknownChildCodeIsOneEntryOfFourBytes)
{
    const std::string source =
        "object FrameSkin \"Frame\"\n"
        "  skip 1\n"
        "  child CaptionButtonSkin \"Close\"\n"
        "    action = 1\n"
        "  end\n"
        "  skip 39\n"
        "  skip 20\n"
        "  child FrameLabelSkin \"Label\"\n"
        "    labelText = \"hello\"\n"
        "  end\n"
        "end\n"
        "object ButtonSkin \"After\"\n"
        "  CONTROLID = 5\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    SkinObject* frame = store->FindObject("Frame");
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Children().size(), 2u);
    EXPECT_EQ(static_cast<CaptionButtonSkin*>(frame->FindChild("Close"))->action, 1);
    EXPECT_STREQ(static_cast<FrameLabelSkin*>(frame->FindChild("Label"))->labelText, "hello");
    EXPECT_EQ(ControlIdOf(*store, "After"), 5);
}

TEST(ContainerSections, TheLaterTopLevelObjectOfANameWins)
{
    const std::string source =
        "object ButtonSkin \"Twin\"\n  CONTROLID = 1\nend\n"
        "object ButtonSkin \"Twin\"\n  CONTROLID = 2\nend\n"
        "object StaticSkin \"Twin\"\n  CONTROLID = 3\nend\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    EXPECT_EQ(store->Objects().size(), 1u);
    EXPECT_EQ(store->FindObject("Twin")->TypeCode(), kTypeStatic);
    EXPECT_EQ(ControlIdOf(*store, "Twin"), 3);
}

// Images follow the rule of top-level objects: the later one of a name is
// the one drawn, whichever bitmap it holds.
TEST(ContainerSections, TheLaterImageOfANameWins)
{
    for (const bool mainLast : {true, false}) {
        const std::string pw = "image \"Twin\"\n  file = \"pw.bmp\"\nend\n";
        const std::string main = "image \"Twin\"\n  file = \"main.bmp\"\nend\n";
        const std::string source = (mainLast ? pw + main : main + pw) +
                                   "image \"pw.bmp\"\n  file = \"pw.bmp\"\nend\n"
                                   "image \"main.bmp\"\n  file = \"main.bmp\"\nend\n";
        std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
        ASSERT_TRUE(store);
        EXPECT_EQ(store->Images().size(), 3u);
        const Image* later = store->FindImage(mainLast ? "main.bmp" : "pw.bmp");
        const Image* earlier = store->FindImage(mainLast ? "pw.bmp" : "main.bmp");
        const Image* twin = store->FindImage("Twin");
        ASSERT_TRUE(later && earlier && twin);
        ASSERT_NE(later->GetWidth() * 10000 + later->GetHeight(), earlier->GetWidth() * 10000 + earlier->GetHeight());
        EXPECT_EQ(twin->GetWidth(), later->GetWidth()) << "main.bmp last: " << mainLast;
        EXPECT_EQ(twin->GetHeight(), later->GetHeight()) << "main.bmp last: " << mainLast;
        EXPECT_EQ(&static_cast<SkinImage*>(store->FindObject("Twin"))->image, twin);
    }
}

TEST(ContainerSections, TheLaterExtraObjectOfANameWins)
{
    const std::string source =
        "extra \"Twin\"\n  child StaticSkin \"Earlier\"\n  end\nend\n"
        "extra \"Twin\"\n  child StaticSkin \"Later\"\n  end\nend\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    ASSERT_EQ(store->ExtraObjects().size(), 1u);
    SkinObject& twin = *store->ExtraObjects().at("Twin");
    EXPECT_TRUE(twin.FindChild("Later"));
    EXPECT_FALSE(twin.FindChild("Earlier"));
    EXPECT_EQ(store->FindObject("Twin"), &twin);
}

TEST(ContainerSections, TheFirstChildOfANameStays)
{
    const std::string source =
        "object FrameSkin \"Frame\"\n"
        "  child CaptionButtonSkin \"Close\"\n    action = 1\n  end\n"
        "  child CaptionButtonSkin \"Close\"\n    action = 4\n  end\n"
        "  child ButtonSkin \"Close\"\n    CONTROLID = 7\n  end\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    SkinObject* close = store->FindObject("Close");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->TypeCode(), kTypeCaptionButton);
    EXPECT_EQ(static_cast<CaptionButtonSkin*>(close)->action, 1);
    EXPECT_EQ(store->FindObject("Frame")->Children().size(), 1u);
}

TEST(ContainerSections, ChildrenAreFoundDepthFirstInNameOrder)
{
    const std::string source =
        "object GroupBoxSkin \"B-parent\"\n"
        "  child StaticSkin \"Deep\"\n    CONTROLID = 2\n  end\n"
        "end\n"
        "object GroupBoxSkin \"A-parent\"\n"
        "  child GroupBoxSkin \"Middle\"\n"
        "    child StaticSkin \"Deep\"\n      CONTROLID = 1\n    end\n"
        "  end\n"
        "end\n"
        "image \"Deep\"\nend\n"
        "extra \"Extra\"\n  child StaticSkin \"OnlyInExtra\"\n  end\nend\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    // A child of the first top-level object in name order comes before an
    // image of the same name.
    EXPECT_EQ(ControlIdOf(*store, "Deep"), 1);
    EXPECT_EQ(store->FindObject("Extra")->TypeCode(), kTypeExtraObject);
    // Children of extra objects are kept but not searched.
    EXPECT_EQ(store->FindObject("OnlyInExtra"), nullptr);
    EXPECT_EQ(store->ExtraObjects().at("Extra")->Children().size(), 1u);
}

// A stream whose object "Top" holds a chain of `depth` nested caption
// buttons (each with action 3), followed by an object, an image and an
// extra object. The chain is made by repeating one compiled child entry.
std::vector<uint8_t> DeepChainStream(int depth)
{
    const std::string after = "object ButtonSkin \"After\"\n  CONTROLID = 5\nend\n"
                              "image \"Picture\"\nend\n"
                              "extra \"Extra\"\nend\n";
    const std::string top = "object GroupBoxSkin \"Top\"\n  CONTROLID = 7\n";
    const std::vector<uint8_t> single =
        Unpack(BuildContainer(top + "  child CaptionButtonSkin \"Level\"\n    action = 3\n  end\nend\n" + after));
    const size_t entryLength = single.size() - Unpack(BuildContainer(top + "end\n" + after)).size();

    // The children count follows the common record's fields.
    size_t commonFields = 0;
    for (const RecordStep& step : SkinObject::CommonRecordSchema().steps)
        if (step.kind == StepKind::Field && step.versions.Contains(single[21]))
            commonFields += step.field.size;
    const size_t entryStart = SkinHeader::kSize + 4 + commonFields + 4;
    const auto first = single.begin() + static_cast<ptrdiff_t>(entryStart);
    const std::vector<uint8_t> head(first, first + 4 + static_cast<ptrdiff_t>(commonFields));
    const std::vector<uint8_t> tail(first + static_cast<ptrdiff_t>(head.size() + 4),
                                    first + static_cast<ptrdiff_t>(entryLength));

    std::vector<uint8_t> stream(single.begin(), first);
    for (int level = 0; level < depth; ++level) {
        stream.insert(stream.end(), head.begin(), head.end());
        const uint8_t children[4] = {level + 1 < depth ? uint8_t(1) : uint8_t(0), 0, 0, 0};
        stream.insert(stream.end(), children, children + 4);
    }
    for (int level = 0; level < depth; ++level)
        stream.insert(stream.end(), tail.begin(), tail.end());
    stream.insert(stream.end(), first + static_cast<ptrdiff_t>(entryLength), single.end());
    return stream;
}

TEST(ContainerSections, ChildrenNestToAnyDepthAndNothingAfterThemIsLost)
{
    const int depth = 10000;
    std::unique_ptr<SkinStore> store = LoadStore(Pack(DeepChainStream(depth)));
    ASSERT_TRUE(store);
    EXPECT_EQ(store->LoadInfo().bytesRead, store->LoadInfo().streamLength);

    SkinObject* top = store->FindObject("Top");
    ASSERT_TRUE(top);
    EXPECT_EQ(static_cast<ControlSkinBase*>(top)->controlId, 7);
    int levels = 0;
    int actionsRead = 0;
    for (const SkinObject* level = top; level->Children().size() == 1; ++levels) {
        level = level->Children().begin()->second.get();
        actionsRead += static_cast<const CaptionButtonSkin*>(level)->action == 3;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(actionsRead, depth);

    EXPECT_EQ(ControlIdOf(*store, "After"), 5);
    EXPECT_EQ(store->Images().size(), 1u);
    EXPECT_EQ(store->ExtraObjects().size(), 1u);
}

TEST(ContainerSections, ADeepChainIsDumpedAndBuiltAgain)
{
    const std::vector<uint8_t> container = Pack(DeepChainStream(10000));
    EXPECT_EQ(DumpAndRebuild(container), container);
}

TEST(ContainerSections, TheEngineSavesADeepChainThatLoadsAgain)
{
    const int depth = 10000;
    std::unique_ptr<SkinStore> store = LoadStore(Pack(DeepChainStream(depth)));
    ASSERT_TRUE(store);
    MemoryStream saved;
    ASSERT_TRUE(store->FindObject("Top")->Save(saved));

    saved.Rewind();
    RecordReadContext context(CurrentSkinVersion().minor);
    int32_t code = 0;
    std::unique_ptr<SkinObject> again = ReadObjectEntry(saved, context, code);
    ASSERT_TRUE(again);
    EXPECT_TRUE(saved.AtEnd());
    int levels = 0;
    for (const SkinObject* level = again.get(); level->Children().size() == 1; ++levels)
        level = level->Children().begin()->second.get();
    EXPECT_EQ(levels, depth);
}

// What `skinc check` prints for a container holding a chain of `depth`.
std::string SkincCheckOfDeepChain(int depth)
{
    const std::vector<uint8_t> container = Pack(DeepChainStream(depth));
    const std::string path = TestOutputPath("deep.skin");
    EXPECT_TRUE(WriteFileBytes(path, container.data(), container.size()));
    std::string output;
    EXPECT_EQ(RunProgram("\"" SSO_SKINC "\" check \"" + path + "\"", output), 0) << output;
    return output;
}

// The level a listed line stands at: two spaces a level, or the level it
// names past the indented ones.
int ListedLevel(const std::string& line)
{
    const size_t text = line.find_first_not_of(' ');
    if (line.compare(text, 7, "[level ") == 0)
        return std::atoi(line.c_str() + text + 7);
    return static_cast<int>(text / 2);
}

TEST(ContainerSections, SkincCheckReadsADeepChainToTheLastByte)
{
    const std::string output = SkincCheckOfDeepChain(100);
    EXPECT_NE(output.find("(to the last byte)"), std::string::npos) << output;
    EXPECT_NE(output.find("objects: 2"), std::string::npos) << output;
    EXPECT_NE(output.find("images: 1"), std::string::npos) << output;
    EXPECT_NE(output.find("extra objects: 1"), std::string::npos) << output;
}

TEST(ContainerSections, SkincCheckListsEveryLevelOfADeepChainOneDeeperThanItsParent)
{
    const std::string output = SkincCheckOfDeepChain(100);
    std::vector<int> levels;
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = output.substr(start, end - start);
        if (line.find("Top  ") != std::string::npos || line.find("Level  ") != std::string::npos)
            levels.push_back(ListedLevel(line));
    }
    ASSERT_EQ(levels.size(), 101u) << output;
    for (size_t i = 0; i < levels.size(); ++i)
        ASSERT_EQ(levels[i], static_cast<int>(i) + 1) << "line " << i << " of the chain";
}

TEST(ContainerSections, ATruncatedStreamKeepsWhatWasComplete)
{
    const std::vector<uint8_t> whole = Unpack(BuildContainer(kTwoButtons));
    for (size_t cut = 188; cut < whole.size(); cut += 97) {
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        std::unique_ptr<SkinStore> store = LoadStore(Pack(part));
        ASSERT_TRUE(store) << "cut at " << cut;
        EXPECT_LE(store->Objects().size(), 2u);
        EXPECT_EQ(store->LoadInfo().bytesRead, static_cast<int32_t>(cut));
    }
}

// Counts what the reader hands out, to see how long a list it walked.
class CountingReader : public ReadContext {
public:
    CountingReader() : ReadContext(kSkinNewestMinorVersion) {}

    void SkipChild(SkinObject&, int32_t) override { ++entries; }
    void TakeChild(SkinObject&, int32_t, std::unique_ptr<SkinObject>) override { ++entries; }
    void TakeObject(int32_t, std::unique_ptr<SkinObject>) override { ++entries; }
    void SkipObject(int32_t) override { ++entries; }
    void TakeImage(std::unique_ptr<SkinImage>) override { ++entries; }
    void TakeExtraObject(std::unique_ptr<SkinObject>) override { ++entries; }

    int64_t entries = 0;
};

TEST(ContainerSections, HugeCountsEndWithTheStream)
{
    const std::vector<uint8_t> whole = Unpack(BuildContainer("object ButtonSkin \"Only\"\n  CONTROLID = 4\nend\n"));
    // The child count follows the type code (4 bytes) and the common
    // fields (138 bytes) of the first object; the image and extra-object
    // counts are the stream's last eight bytes.
    const size_t childCount = 188 + 4 + 138;
    const size_t imageCount = whole.size() - 8;
    for (const size_t offset : {childCount, imageCount, imageCount + 4}) {
        std::vector<uint8_t> stream = whole;
        stream[offset] = stream[offset + 1] = stream[offset + 2] = 0xFF;
        stream[offset + 3] = 0x7F;
        MemoryStream bytes = StreamOf(stream);
        CountingReader counting;
        SkinFileReader reader(counting);
        ASSERT_TRUE(reader.ReadStream(bytes)) << "count at " << offset;
        // Each entry takes at least four bytes of the stream.
        EXPECT_LE(counting.entries, static_cast<int64_t>(stream.size() / 4)) << "count at " << offset;

        std::unique_ptr<SkinStore> store = LoadStore(Pack(stream));
        ASSERT_TRUE(store) << "count at " << offset;
        EXPECT_TRUE(store->FindObject("Only")) << "count at " << offset;
    }
}

TEST(ContainerSections, ABitmapCutShortIsDecodedFromTheBytesThereAre)
{
    const std::vector<uint8_t> whole = Unpack(BuildContainer("image \"pw.bmp\"\n  file = \"pw.bmp\"\nend\n"));
    for (const size_t missing : {8u, 100u, 900u}) {
        const std::vector<uint8_t> stream(whole.begin(), whole.end() - missing);
        std::unique_ptr<SkinStore> store = LoadStore(Pack(stream));
        ASSERT_TRUE(store) << missing;
        ASSERT_EQ(store->Images().size(), 1u) << missing;
        EXPECT_TRUE(store->FindObject("pw.bmp"));
    }
}
