// The skin the program ships: what it holds, how it is found, and what
// resolving it prepares.
#include <gtest/gtest.h>

#include <cstring>

#include "data/ButtonPart.h"
#include "data/ControlSkinBase.h"
#include "data/FrameSkin.h"
#include "data/SkinInfo.h"
#include "data/SkinTypes.h"
#include "data/SkinVersion.h"
#include "imaging/ByteOrder.h"
#include "SkinTestSupport.h"

namespace {

class DefaultSkin : public ::testing::Test {
protected:
    void SetUp() override
    {
        container_ = ReadTestFile(SSO_DEFAULT_SKIN);
        store_ = LoadStore(container_);
        ASSERT_TRUE(store_);
    }

    std::vector<uint8_t> container_;
    std::unique_ptr<SkinStore> store_;
};

}  // namespace

TEST_F(DefaultSkin, UnpacksAndReadsToItsLastByte)
{
    const std::vector<uint8_t> stream = Unpack(container_);
    EXPECT_EQ(LoadLittleEndian32(&container_[0]), stream.size());
    EXPECT_EQ(stream[20], 1);
    EXPECT_EQ(stream[21], 11);
    EXPECT_EQ(LoadLittleEndian32(&stream[176]), 26u);

    const SkinLoadInfo& info = store_->LoadInfo();
    EXPECT_EQ(info.streamLength, static_cast<int32_t>(stream.size()));
    EXPECT_EQ(info.bytesRead, info.streamLength);
    EXPECT_EQ(store_->Objects().size(), 26u);
    EXPECT_EQ(store_->Images().size(), 6u);
    EXPECT_EQ(store_->ExtraObjects().size(), 0u);
}

TEST_F(DefaultSkin, HoldsTheObjectsThePaintersAskFor)
{
    const char* const names[] = {"Animate", "Application", "Button", "CheckBox", "ComboBox", "Dialog", "Edit",
                                 "GroupBox", "Header", "ListCtrl", "Listbox", "MainFrame", "PopupMenu",
                                 "ProgressBar", "Radio", "Rebar", "RichEdit", "ScrollBar", "ScrollControl", "Slider",
                                 "Spin", "Static", "StatusBar", "Tab", "ToolBar", "TreeCtrl"};
    const int32_t codes[] = {40, 25, 4, 5, 6, 1, 7, 8, 37, 28, 9, 1, 17, 10, 11, 36, 30, 12, 26, 13, 27, 14, 15, 16, 23, 29};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        const SkinObject* object = store_->FindObject(names[i]);
        ASSERT_TRUE(object) << names[i];
        EXPECT_EQ(object->TypeCode(), codes[i]) << names[i];
    }
    for (const char* image : {"active.bmp", "controls.bmp", "dialogwindow.bmp", "main.bmp", "menuitems.bmp", "pw.bmp"}) {
        const Image* bitmap = store_->FindImage(image);
        ASSERT_TRUE(bitmap) << image;
        EXPECT_TRUE(bitmap->IsValid()) << image;
        EXPECT_EQ(bitmap->GetBpp(), 8) << image;
    }
}

TEST_F(DefaultSkin, FindsByTypeInNameOrder)
{
    const SkinObject* frame = store_->FindObjectByType(kTypeFrame);
    ASSERT_TRUE(frame);
    EXPECT_STREQ(frame->Name(), "Dialog");  // before "MainFrame"
    const SkinObject* controlBar = store_->FindObjectByType(kTypeControlBar);
    ASSERT_TRUE(controlBar);
    EXPECT_EQ(controlBar->TypeCode(), kTypeToolBar);
    EXPECT_STREQ(controlBar->Name(), "ToolBar");
    EXPECT_EQ(store_->FindObjectByType(kTypeReserved39), nullptr);
}

TEST_F(DefaultSkin, FindsChildrenAndImagesByExactName)
{
    SkinObject* close = store_->FindObject("Close");
    ASSERT_TRUE(close);
    EXPECT_EQ(close->TypeCode(), kTypeCaptionButton);
    EXPECT_EQ(store_->FindObject("MainFrame")->FindChild("Close"), close);
    EXPECT_EQ(store_->Objects().count("Close"), 0u);

    SkinObject* image = store_->FindObject("main.bmp");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->TypeCode(), kTypeImage);

    EXPECT_EQ(store_->FindObject("edit"), nullptr);
    EXPECT_EQ(store_->FindObject("MAINFRAME"), nullptr);
    EXPECT_EQ(store_->FindObject(""), nullptr);
    EXPECT_EQ(store_->FindImage("Main.bmp"), nullptr);
}

TEST_F(DefaultSkin, ResolvingPreparesFramePiecesWithRegionsAndControlFonts)
{
    const SkinInfo* info = static_cast<const SkinInfo*>(store_->FindObjectByType(kTypeSkinInfo));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->useTransparentColour, 1);

    FrameSkin* frame = static_cast<FrameSkin*>(store_->FindObject("MainFrame"));
    int prepared = 0;
    for (int i = 0; i < FrameSkinBase::kFrameImageCount; ++i) {
        const ImageRef& ref = frame->frameImages[i];
        const PreparedImage& piece = frame->preparedImages[i];
        if (!ref.name[0] || ref.source.right <= ref.source.left || ref.source.bottom <= ref.source.top) {
            EXPECT_EQ(piece.image, nullptr);
            continue;
        }
        ASSERT_TRUE(piece.image) << "piece " << i;
        EXPECT_EQ(piece.width, ref.source.right - ref.source.left);
        EXPECT_EQ(piece.height, ref.source.bottom - ref.source.top);
        EXPECT_TRUE(piece.Region()) << "piece " << i;
        ++prepared;
    }
    EXPECT_GT(prepared, 0);

    const ControlSkinBase* button = static_cast<const ControlSkinBase*>(store_->FindObject("Button"));
    EXPECT_TRUE(button->FontHandle());
}

TEST_F(DefaultSkin, ResolvingAgainReplacesWhatTheFirstResolveMade)
{
    FrameSkin* frame = static_cast<FrameSkin*>(store_->FindObject("MainFrame"));
    for (int round = 0; round < 3; ++round)
        frame->Resolve(*store_);
    int withImage = 0;
    for (const PreparedImage& piece : frame->preparedImages)
        withImage += piece.image != nullptr;
    EXPECT_GT(withImage, 0);
    frame->ReleaseResources();
    for (const PreparedImage& piece : frame->preparedImages) {
        EXPECT_EQ(piece.image, nullptr);
        EXPECT_EQ(piece.Region(), nullptr);
        EXPECT_EQ(piece.width, 0);
    }
}

TEST(SkinStore, ClearEmptiesTheTablesAndRestoresTheNewestRules)
{
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer("skin 1.7\nobject ButtonSkin \"B\"\nend\n"));
    ASSERT_TRUE(store);
    EXPECT_EQ(CurrentSkinVersion().minor, 7);
    store->Clear();
    EXPECT_EQ(CurrentSkinVersion().major, 1);
    EXPECT_EQ(CurrentSkinVersion().minor, 11);
    EXPECT_TRUE(store->Objects().empty());
    EXPECT_EQ(store->FindObject("B"), nullptr);
}

TEST(SkinStore, AFailedLoadLeavesTheStoreEmpty)
{
    SkinStore store;
    ASSERT_TRUE(store.Load(StreamOf(ReadTestFile(SSO_DEFAULT_SKIN))));
    std::vector<uint8_t> damaged = ReadTestFile(SSO_DEFAULT_SKIN);
    damaged[0] ^= 1;
    EXPECT_FALSE(store.Load(StreamOf(damaged)));
    EXPECT_TRUE(store.Objects().empty());
    EXPECT_TRUE(store.Images().empty());
    EXPECT_EQ(store.FindObject("MainFrame"), nullptr);
}
