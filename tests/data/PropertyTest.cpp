// Named properties: the keys each type registers, the upper-casing lookup,
// and the custom values of type 100.
#include <gtest/gtest.h>

#include <cstring>

#include "data/ButtonSkins.h"
#include "data/ClientEdgeSkin.h"
#include "data/CustomPropertySkin.h"
#include "data/FrameSkin.h"
#include "data/ProgressSkin.h"
#include "data/StaticSkin.h"
#include "data/StatusBarSkin.h"
#include "data/TabSkin.h"
#include "SkinTestSupport.h"

namespace {

class DefaultSkinProperties : public ::testing::Test {
protected:
    void SetUp() override
    {
        store_ = LoadStore(ReadTestFile(SSO_DEFAULT_SKIN));
        ASSERT_TRUE(store_);
    }

    std::unique_ptr<SkinStore> store_;
};

bool Within(const void* pointer, const void* begin, size_t size)
{
    const char* p = static_cast<const char*>(pointer);
    const char* b = static_cast<const char*>(begin);
    return p >= b && p < b + size;
}

}  // namespace

TEST_F(DefaultSkinProperties, LookupUpperCasesTheRequestedKey)
{
    SkinObject& frame = *store_->FindObject("MainFrame");
    PropertyRecord* name = frame.FindProperty("name");
    ASSERT_TRUE(name);
    EXPECT_EQ(name->Value(), frame.name);
    EXPECT_EQ(name->Kind(), 1);
    EXPECT_EQ(name->Size(), 51);
    EXPECT_FALSE(name->OwnsValue());
    EXPECT_EQ(frame.FindProperty("AutoPlace")->Value(), &frame.autoPlace);
    EXPECT_EQ(frame.FindProperty(nullptr), nullptr);
}

TEST_F(DefaultSkinProperties, FrameKeysReachTheirFieldsAndNothingElse)
{
    FrameSkin& frame = Find<FrameSkin>(*store_, "MainFrame");
    PropertyRecord* font = frame.FindProperty("CAPTIONFONT");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Value(), &frame.font);
    EXPECT_EQ(font->Kind(), 0);
    EXPECT_EQ(font->Size(), 64);
    EXPECT_EQ(frame.FindProperty("ACTIVEFRAME.TOPLEFT")->Value(), &frame.frameImages[0]);
    EXPECT_EQ(frame.FindProperty("DEACTIVEFRAME.MIDDLERIGHT")->Value(), &frame.frameImages[14]);
    EXPECT_EQ(frame.FindProperty("mdiclient")->Value(), &frame.mdiClient);
    // Keys registered with lower-case letters are out of the lookup's reach.
    EXPECT_EQ(frame.FindProperty("ACTIVEFRAME.ClIENT"), nullptr);
    EXPECT_EQ(frame.FindProperty("ACTIVEFRAME.BOTtoMRIGHT"), nullptr);
    EXPECT_EQ(frame.Properties().count("ACTIVEFRAME.ClIENT"), 1u);
    for (const auto& entry : frame.Properties()) {
        const void* value = entry.second->Value();
        EXPECT_FALSE(Within(value, frame.designRects, sizeof frame.designRects)) << entry.first;
        EXPECT_FALSE(Within(value, frame.frameValues, sizeof frame.frameValues)) << entry.first;
        EXPECT_NE(value, &frame.clientColour) << entry.first;
    }
}

TEST_F(DefaultSkinProperties, PopupMenuKeysDifferFromFrameKeys)
{
    PopupMenuSkin& popup = Find<PopupMenuSkin>(*store_, "PopupMenu");
    EXPECT_EQ(popup.FindProperty("FRAME.ClIENT"), nullptr);
    EXPECT_EQ(popup.FindProperty("frame.topleft")->Value(), &popup.frameImages[0]);
    EXPECT_EQ(popup.FindProperty("ITEM.FONT")->Value(), &popup.font);
    EXPECT_EQ(popup.FindProperty("FRAME.COLOR")->Value(), &popup.activeColour);
    EXPECT_EQ(popup.FindProperty("ITEM.CHECKIMAGE")->Value(), &popup.checkImage);
    EXPECT_EQ(popup.FindProperty("CAPTIONFONT"), nullptr);
    EXPECT_EQ(popup.FindProperty("DEACTIVEFRAME.COLOR"), nullptr);
}

TEST_F(DefaultSkinProperties, SeveralKeysCanNameOneField)
{
    ClientEdgeSkin& edit = Find<ClientEdgeSkin>(*store_, "Edit");
    EXPECT_EQ(edit.FindProperty("DISABLEDCOLOR")->Value(), &edit.backColour);
    EXPECT_EQ(edit.FindProperty("BACKCOLOR")->Value(), &edit.backColour);
    EXPECT_EQ(edit.FindProperty("BORDER")->Value(), &edit.mainImage);
    StatusBarSkin& status = Find<StatusBarSkin>(*store_, "StatusBar");
    EXPECT_EQ(status.FindProperty("ITEM.FONT")->Value(), &status.font);
    EXPECT_EQ(status.FindProperty("FONT")->Value(), &status.font);
    ProgressSkin& progress = Find<ProgressSkin>(*store_, "ProgressBar");
    EXPECT_EQ(progress.FindProperty("PROGRESSCOLOR")->Value(), &progress.textColour);
}

TEST_F(DefaultSkinProperties, TheTabTransparentKeyIsNeverFound)
{
    TabSkin& tab = Find<TabSkin>(*store_, "Tab");
    EXPECT_EQ(tab.FindProperty("TRANSpARENT"), nullptr);
    EXPECT_EQ(tab.FindProperty("TRANSPARENT"), nullptr);
    StaticSkin& label = Find<StaticSkin>(*store_, "Static");
    EXPECT_EQ(label.FindProperty("TRANSpARENT")->Value(), &label.transparent);
}

TEST(CheckableProperties, KeysLongerThanTheRecordHoldsAreFoundWhole)
{
    CheckBoxSkin checkBox;
    RadioSkin radio;
    for (CheckableSkinBase* skin : {static_cast<CheckableSkinBase*>(&checkBox), static_cast<CheckableSkinBase*>(&radio)}) {
        CheckStateLook& grayedSelected = skin->groups[CheckableSkinBase::GroupGrayedSelected];
        CheckStateLook& highlightedNormal = skin->groups[CheckableSkinBase::GroupHighlightedNormal];
        CheckStateLook& highlightedSelected = skin->groups[CheckableSkinBase::GroupHighlightedSelected];
        const struct {
            const char* key;
            const void* field;
        } expected[] = {
            {"GRAYEDSELECTED.BACKGROUNDIMAGE", &grayedSelected.background},
            {"HIGHLIGHTEDNORMAL.BACKGROUNDIMAGE", &highlightedNormal.background},
            {"HIGHLIGHTEDSELECTED.BACKGROUNDIMAGE", &highlightedSelected.background},
            {"HIGHLIGHTEDSELECTED.TEXTEFFECT", &highlightedSelected.effect},
            {"highlightedselected.boximage", &highlightedSelected.box},
        };
        for (const auto& entry : expected) {
            PropertyRecord* property = skin->FindProperty(entry.key);
            ASSERT_TRUE(property) << entry.key;
            EXPECT_EQ(property->Value(), entry.field) << entry.key;
        }
        // Cut to the record's 29 characters, a key names nothing.
        EXPECT_EQ(skin->FindProperty("HIGHLIGHTEDSELECTED.BACKGROUN"), nullptr);
    }
}

TEST(PropertyRecord, RegistrationCutsLongKeysAndTexts)
{
    int32_t field = 0;
    const PropertyRecord record(7, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "0123456789012345678901234567890123456789"
                                "0123456789ABC", &field, 4);
    EXPECT_EQ(std::strlen(record.Key()), 29u);
    EXPECT_EQ(std::strlen(record.DefaultText()), 49u);
    EXPECT_EQ(record.Value(), &field);
    EXPECT_FALSE(record.OwnsValue());
}

TEST(CustomValues, AreFoundByKeyIgnoringCaseAndOwnTheirBytes)
{
    const std::string source =
        "object CustomPropertySkin \"Custom\"\n"
        "  text = \"carrier\"\n"
        "  custom Int \"MarginLeft\"\n"
        "    value = 4\n"
        "    defaulttext = \"four\"\n"
        "    text = \"four pixels\"\n"
        "  end\n"
        "  custom Colour \"Accent\"\n"
        "    value = #102030\n"
        "  end\n"
        "  custom 55 \"Opaque\"\n"
        "    value = <de ad be ef 01>\n"
        "    text = <41 00 42 00>\n"
        "  end\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    CustomPropertySkin& custom = Find<CustomPropertySkin>(*store, "Custom");
    EXPECT_STREQ(custom.text, "carrier");
    ASSERT_EQ(custom.CustomValues().size(), 3u);

    PropertyRecord* margin = custom.FindProperty("marginleft");
    ASSERT_TRUE(margin);
    EXPECT_EQ(custom.FindProperty("MARGINLEFT"), margin);
    EXPECT_TRUE(margin->OwnsValue());
    EXPECT_EQ(margin->Kind(), 7);
    EXPECT_EQ(margin->Size(), 4);
    EXPECT_EQ(*static_cast<const int32_t*>(margin->Value()), 4);
    EXPECT_STREQ(margin->DefaultText(), "four");
    EXPECT_STREQ(margin->Text(), "four pixels");
    EXPECT_EQ(*static_cast<const uint32_t*>(custom.FindProperty("accent")->Value()), 0x302010u);

    PropertyRecord* opaque = custom.FindProperty("OPAQUE");
    ASSERT_TRUE(opaque);
    EXPECT_EQ(opaque->Kind(), 55);
    EXPECT_EQ(opaque->Size(), 5);
    EXPECT_EQ(opaque->TextLength(), 4);
    EXPECT_EQ(static_cast<const uint8_t*>(opaque->Value())[4], 0x01);

    // The registered keys are not what type 100 searches.
    EXPECT_EQ(custom.FindProperty("FONT"), nullptr);
    EXPECT_EQ(custom.FindProperty("Margin"), nullptr);
}

TEST(CustomValues, AShortValueOfAKnownKindStillHoldsThatKindsBytes)
{
    const std::string source =
        "object CustomPropertySkin \"Custom\"\n"
        "  custom Font \"Tiny\"\n"
        "    value = <01 02>\n"
        "  end\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    PropertyRecord* tiny = Find<CustomPropertySkin>(*store, "Custom").FindProperty("tiny");
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->Size(), 2);
    const uint8_t* bytes = static_cast<const uint8_t*>(tiny->Value());
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 2);
    for (int i = 2; i < 64; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
}

TEST(CustomValues, AValueLongerThanTheStreamIsDropped)
{
    const std::string source =
        "object CustomPropertySkin \"Custom\"\n"
        "  custom String \"Title\"\n"
        "    value = \"a fifty-one byte text value\"\n"
        "  end\n"
        "end\n";
    std::vector<uint8_t> stream = Unpack(BuildContainer(source));
    // Cut inside the 51 value bytes, which come right before the text length
    // and the two empty section counts.
    stream.resize(stream.size() - 12 - 20);
    std::unique_ptr<SkinStore> store = LoadStore(Pack(stream));
    ASSERT_TRUE(store);
    PropertyRecord* title = Find<CustomPropertySkin>(*store, "Custom").FindProperty("title");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->Size(), 0);
    ASSERT_TRUE(title->Value());  // still room for a String
    EXPECT_EQ(static_cast<const char*>(title->Value())[0], '\0');
    EXPECT_EQ(title->Text(), nullptr);
}
