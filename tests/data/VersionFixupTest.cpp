// What containers of older minor versions store, and what the engine puts
// in place of what they cannot hold.
#include <gtest/gtest.h>

#include <cstring>

#include "data/ButtonSkins.h"
#include "data/ClientEdgeSkin.h"
#include "data/ComboBoxSkin.h"
#include "data/ControlSkinBase.h"
#include "data/FrameSkin.h"
#include "data/GroupBoxSkin.h"
#include "data/SkinInfo.h"
#include "data/SkinVersion.h"
#include "data/StaticSkin.h"
#include "data/TabSkin.h"
#include "data/TrackBarSkin.h"
#include "SkinTestSupport.h"

namespace {

TextEffect DefaultEffect()
{
    TextEffect effect = {};
    SetDefaultTextEffect(effect);
    return effect;
}

TextEffect DefaultEffectIn(COLORREF colour)
{
    TextEffect effect = {};
    SetDefaultTextEffect(effect, colour);
    return effect;
}

::testing::AssertionResult SameEffect(const TextEffect& actual, const TextEffect& expected)
{
    if (std::memcmp(&actual, &expected, sizeof actual) == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "text effects differ (colour " << int(actual.textColour[0]) << ","
                                         << int(actual.textColour[1]) << "," << int(actual.textColour[2]) << " flags "
                                         << actual.flags << ")";
}

bool IsDefaultPlacement(const RECT& rect)
{
    return rect.left == 0 && rect.top == 0 && rect.right == 60 && rect.bottom == 30;
}

bool IsPlacement(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    return rect.left == left && rect.top == top && rect.right == right && rect.bottom == bottom;
}

const COLORREF kRed = 0x0000FF;

}  // namespace

// Control records store a rectangle from minor 4 to 7 that the engine throws
// away, a placement in the common record from minor 8, and the control id
// from minor 6 (forced to 0 there). Every minor the reader accepts, from 0
// on, and every kind of control record.
TEST(VersionFixups, ControlPlacementAndIdAtEveryMinorFromTheLowest)
{
    for (int minor = 0; minor <= kSkinNewestMinorVersion; ++minor) {
        std::string source = "skin 1." + std::to_string(minor) + "\n";
        for (const char* type : {"EditSkin", "StaticSkin", "CheckBoxSkin"}) {
            source += std::string("object ") + type + " \"" + type + "\"\n";
            if (minor >= 4)
                source += "  placement = 5 6 7 8\n";
            if (minor >= 6)
                source += "  CONTROLID = 42\n";
            source += "end\n";
        }
        std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
        ASSERT_TRUE(store) << "minor " << minor;
        for (const char* type : {"EditSkin", "StaticSkin", "CheckBoxSkin"}) {
            const ControlSkinBase& control = Find<ControlSkinBase>(*store, type);
            if (minor >= 8)
                EXPECT_TRUE(IsPlacement(control.placement, 5, 6, 7, 8)) << type << " minor " << minor;
            else
                EXPECT_TRUE(IsDefaultPlacement(control.placement)) << type << " minor " << minor;
            EXPECT_EQ(control.controlId, minor >= 7 ? 42 : 0) << type << " minor " << minor;
        }
    }
}

// Stored text effects (and the check box's TRANSPARENT) count from minor 9;
// before, at every minor down to 0, the engine puts its defaults in.
TEST(VersionFixups, TextEffectsBeforeMinor9AreDefaultsFromTheLowestMinor)
{
    for (int minor = 0; minor <= kSkinNewestMinorVersion; ++minor) {
        const std::string source = "skin 1." + std::to_string(minor) +
                                   "\n"
                                   "object CheckBoxSkin \"Check\"\n"
                                   "  TRANSPARENT = 1\n"
                                   "  NORMAL.TEXTEFFECT = { color #FF0000 flags 1 }\n"
                                   "end\n"
                                   "object ButtonSkin \"Button\"\n"
                                   "  NORMAL.TEXTEFFECT = { color #FF0000 flags 1 }\n"
                                   "end\n";
        std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
        ASSERT_TRUE(store) << "minor " << minor;
        const CheckBoxSkin& check = Find<CheckBoxSkin>(*store, "Check");
        const ButtonSkin& button = Find<ButtonSkin>(*store, "Button");
        if (minor >= 9) {
            EXPECT_EQ(check.transparent, 1) << "minor " << minor;
            EXPECT_EQ(check.groups[0].effect.flags, 1) << "minor " << minor;
            EXPECT_EQ(LoadColour3(check.groups[0].effect.textColour), RGB(0xFF, 0, 0)) << "minor " << minor;
            EXPECT_EQ(button.states[0].effect.flags, 1) << "minor " << minor;
            EXPECT_EQ(LoadColour3(button.states[0].effect.textColour), RGB(0xFF, 0, 0)) << "minor " << minor;
        } else {
            EXPECT_EQ(check.transparent, 0) << "minor " << minor;
            EXPECT_TRUE(SameEffect(check.groups[0].effect, DefaultEffect())) << "minor " << minor;
            EXPECT_TRUE(SameEffect(button.states[0].effect, DefaultEffectIn(button.font.colour))) << "minor " << minor;
        }
    }
}

TEST(VersionFixups, Minor5HasNoFrameClientFieldsAndThrowsTheControlRectangleAway)
{
    const std::string source =
        "skin 1.5\n"
        "object FrameSkin \"Frame\"\n"
        "  captionEffect = { color #112233 flags 1 }\n"
        "end\n"
        "object EditSkin \"Edit\"\n"
        "  placement = 5 6 7 8\n"
        "  BACKCOLOR = #010203\n"
        "end\n"
        "object ButtonSkin \"Button\"\n"
        "  FONT = { face \"Courier New\" color #FF0000 }\n"
        "  secondValue = 7\n"
        "  NORMAL.TEXTEFFECT = { color #FFFFFF flags 1 }\n"
        "end\n"
        "object SkinInfo \"Info\"\n"
        "  EMAIL = \"art@example.org\"\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    const FrameSkin& frame = Find<FrameSkin>(*store, "Frame");
    EXPECT_EQ(frame.skinClient, 0);
    EXPECT_EQ(frame.mdiClient.name[0], '\0');
    EXPECT_TRUE(SameEffect(frame.captionEffect, DefaultEffect()));

    const ClientEdgeSkin& edit = Find<ClientEdgeSkin>(*store, "Edit");
    EXPECT_TRUE(IsDefaultPlacement(edit.placement));
    EXPECT_EQ(edit.backColour, GetSysColor(COLOR_WINDOW));

    const ButtonSkin& button = Find<ButtonSkin>(*store, "Button");
    EXPECT_STREQ(button.font.logFont.lfFaceName, "Courier New");
    EXPECT_EQ(button.secondValue, 7);
    for (const ImageEffectLook& state : button.states)
        EXPECT_TRUE(SameEffect(state.effect, DefaultEffectIn(kRed)));

    EXPECT_STREQ(Find<SkinInfo>(*store, "Info").email, "art@example.org");
    EXPECT_EQ(store->LoadInfo().bytesRead, store->LoadInfo().streamLength);
}

TEST(VersionFixups, Minor6ForcesTheControlIdToZeroAndAddsFrameClientFields)
{
    const std::string source =
        "skin 1.6\n"
        "object EditSkin \"Edit\"\n"
        "  CONTROLID = 42\n"
        "end\n"
        "object FrameSkin \"Frame\"\n"
        "  SKINCLIENT = 1\n"
        "  MDICLIENT = { bitmap \"main.bmp\" rect 0 0 4 4 mode 1 }\n"
        "end\n"
        "object ButtonSkin \"Button\"\n"
        "  FONT = { face \"Tahoma\" }\n"
        "  firstValue = 3\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    EXPECT_EQ(Find<ClientEdgeSkin>(*store, "Edit").controlId, 0);
    const FrameSkin& frame = Find<FrameSkin>(*store, "Frame");
    EXPECT_EQ(frame.skinClient, 1);
    EXPECT_STREQ(frame.mdiClient.name, "main.bmp");
    EXPECT_EQ(frame.mdiClient.drawMode, 1);
    // A push button of minor 6 has no control part; its font follows the
    // state looks.
    const ButtonSkin& button = Find<ButtonSkin>(*store, "Button");
    EXPECT_STREQ(button.font.logFont.lfFaceName, "Tahoma");
    EXPECT_EQ(button.firstValue, 3);
}

TEST(VersionFixups, Minor7HasNoCommonPlacementButKeepsCaptionButtonPlacement)
{
    const std::string source =
        "skin 1.7\n"
        "object FrameSkin \"Frame\"\n"
        "  child CaptionButtonSkin \"Close\"\n"
        "    placement = 292 7 323 38\n"
        "    commandId = 55\n"
        "  end\n"
        "end\n"
        "object ButtonSkin \"Button\"\n"
        "  CONTROLID = 3\n"
        "  placement = 1 2 3 4\n"
        "  FONT = { face \"Tahoma\" }\n"
        "end\n"
        "object StaticSkin \"Static\"\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    const CaptionButtonSkin& close = Find<CaptionButtonSkin>(*store, "Close");
    EXPECT_TRUE(IsPlacement(close.placement, 292, 7, 323, 38));
    EXPECT_EQ(close.commandId, 55);
    // From minor 7 a push button begins with the control part.
    const ButtonSkin& button = Find<ButtonSkin>(*store, "Button");
    EXPECT_EQ(button.controlId, 3);
    EXPECT_TRUE(IsDefaultPlacement(button.placement));
    EXPECT_STREQ(button.font.logFont.lfFaceName, "Tahoma");
    const StaticSkin& label = Find<StaticSkin>(*store, "Static");
    EXPECT_TRUE(IsDefaultPlacement(label.placement));
    EXPECT_EQ(label.autoPlace, 0);
}

TEST(VersionFixups, Minor8ReplacesTextEffectsAndComboColours)
{
    const std::string source =
        "skin 1.8\n"
        "object FrameSkin \"Frame\"\n"
        "  captionEffect = { color #112233 flags 1 }\n"
        "  child CaptionButtonSkin \"Close\"\n"
        "    placement = 292 7 323 38\n"
        "    AUTOPLACE = 1\n"
        "  end\n"
        "end\n"
        "object CheckBoxSkin \"Check\"\n"
        "  TRANSPARENT = 1\n"
        "  NORMAL.TEXTEFFECT = { color #FF0000 flags 1 }\n"
        "end\n"
        "object StaticSkin \"Static\"\n"
        "  FONT = { color #FF0000 }\n"
        "  TEXTEFFECT = { color #00FF00 flags 1 }\n"
        "end\n"
        "object GroupBoxSkin \"Group\"\n"
        "  TEXTEFFECT = { color #00FF00 flags 1 }\n"
        "  TRANSPARENT = 1\n"
        "end\n"
        "object ComboBoxSkin \"Combo\"\n"
        "  COLOR.BACKCOLOR = #010101\n"
        "  COLOR.TEXTCOLOR = #020202\n"
        "end\n"
        "object ButtonSkin \"Button\"\n"
        "  placement = 1 2 3 4\n"
        "  controlSpare = 5\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    EXPECT_TRUE(SameEffect(Find<FrameSkin>(*store, "Frame").captionEffect, DefaultEffect()));
    const CaptionButtonSkin& close = Find<CaptionButtonSkin>(*store, "Close");
    EXPECT_TRUE(IsPlacement(close.placement, 292, 7, 323, 38));
    EXPECT_EQ(close.autoPlace, 1);

    const CheckBoxSkin& check = Find<CheckBoxSkin>(*store, "Check");
    EXPECT_EQ(check.transparent, 0);
    for (const CheckStateLook& group : check.groups)
        EXPECT_TRUE(SameEffect(group.effect, DefaultEffect()));
    EXPECT_TRUE(SameEffect(Find<StaticSkin>(*store, "Static").effect, DefaultEffectIn(kRed)));
    const GroupBoxSkin& group = Find<GroupBoxSkin>(*store, "Group");
    EXPECT_TRUE(SameEffect(group.effect, DefaultEffect()));
    EXPECT_EQ(group.transparent, 0);

    const ComboBoxSkin& combo = Find<ComboBoxSkin>(*store, "Combo");
    EXPECT_EQ(combo.disabledBackground, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(combo.disabledText, GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(combo.backColour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(combo.textColour, GetSysColor(COLOR_WINDOWTEXT));

    const ButtonSkin& button = Find<ButtonSkin>(*store, "Button");
    EXPECT_TRUE(IsPlacement(button.placement, 1, 2, 3, 4));
    EXPECT_EQ(button.controlSpare, 5);
}

TEST(VersionFixups, Minor9KeepsTextEffectsAndTakesComboColoursAsDisabledColours)
{
    const std::string source =
        "skin 1.9\n"
        "object ComboBoxSkin \"Combo\"\n"
        "  COLOR.BACKCOLOR = #010101\n"
        "  COLOR.TEXTCOLOR = #020202\n"
        "end\n"
        "object TrackBarSkin \"Slider\"\n"
        "  TRANSPARENT = 1\n"
        "  THUMB.VERTICAL = { bitmap \"controls.bmp\" rect 0 0 10 20 }\n"
        "end\n"
        "object TabSkin \"Tab\"\n"
        "  TRANSpARENT = 1\n"
        "end\n"
        "object StaticSkin \"Static\"\n"
        "  TEXTEFFECT = { color #00FF00 flags 1 }\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    const ComboBoxSkin& combo = Find<ComboBoxSkin>(*store, "Combo");
    EXPECT_EQ(combo.disabledBackground, 0x010101u);
    EXPECT_EQ(combo.disabledText, 0x020202u);
    EXPECT_EQ(combo.backColour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(combo.textColour, GetSysColor(COLOR_WINDOWTEXT));

    const TrackBarSkin& slider = Find<TrackBarSkin>(*store, "Slider");
    EXPECT_EQ(slider.transparent, 1);
    EXPECT_EQ(slider.verticalThumb.source.bottom, 20);
    EXPECT_EQ(Find<TabSkin>(*store, "Tab").transparent, 1);
    const TextEffect& effect = Find<StaticSkin>(*store, "Static").effect;
    EXPECT_EQ(effect.textColour[1], 0xFF);
    EXPECT_EQ(effect.flags, 1);
}

TEST(VersionFixups, Minor10GivesClientEdgeControlsTheWindowColours)
{
    const std::string source =
        "skin 1.10\n"
        "object EditSkin \"Edit\"\n"
        "  BACKCOLOR = #010203\n"
        "  textColour = #040506\n"
        "  keyColour = #070809\n"
        "  AUTOSKINFONT = 1\n"
        "end\n"
        "object ComboBoxSkin \"Combo\"\n"
        "  COLOR.BACKCOLOR = #010101\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    const ClientEdgeSkin& edit = Find<ClientEdgeSkin>(*store, "Edit");
    EXPECT_EQ(edit.backColour, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(edit.textColour, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(edit.keyColour, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(edit.autoSkinFont, 1);
    const ComboBoxSkin& combo = Find<ComboBoxSkin>(*store, "Combo");
    EXPECT_EQ(combo.disabledBackground, 0x010101u);
    EXPECT_EQ(combo.backColour, GetSysColor(COLOR_WINDOW));
}

TEST(VersionFixups, Minor11KeepsEveryStoredColour)
{
    const std::string source =
        "object EditSkin \"Edit\"\n"
        "  BACKCOLOR = #010203\n"
        "  textColour = #040506\n"
        "  keyColour = #070809\n"
        "end\n"
        "object ComboBoxSkin \"Combo\"\n"
        "  COLOR.BACKCOLOR = #010101\n"
        "  COLOR.TEXTCOLOR = #020202\n"
        "  COLOR.DISABLEDBACKGROUND = #030303\n"
        "  COLOR.DISABLEDTEXT = #040404\n"
        "  COLOR.FOCUSTEXTCOLOR = #050505\n"
        "end\n"
        "object FrameSkin \"Frame\"\n"
        "  child CaptionButtonSkin \"Help\"\n"
        "    showCode = 2\n"
        "    text = \"?\"\n"
        "  end\n"
        "end\n";
    std::unique_ptr<SkinStore> store = LoadStore(BuildContainer(source));
    ASSERT_TRUE(store);
    const ClientEdgeSkin& edit = Find<ClientEdgeSkin>(*store, "Edit");
    EXPECT_EQ(edit.backColour, 0x030201u);
    EXPECT_EQ(edit.textColour, 0x060504u);
    EXPECT_EQ(edit.keyColour, 0x090807u);
    const ComboBoxSkin& combo = Find<ComboBoxSkin>(*store, "Combo");
    EXPECT_EQ(combo.backColour, 0x010101u);
    EXPECT_EQ(combo.textColour, 0x020202u);
    EXPECT_EQ(combo.disabledBackground, 0x030303u);
    EXPECT_EQ(combo.disabledText, 0x040404u);
    EXPECT_EQ(combo.focusTextColour, 0x050505u);
    const CaptionButtonSkin& help = Find<CaptionButtonSkin>(*store, "Help");
    EXPECT_EQ(help.showCode, 2);
    EXPECT_STREQ(help.text, "?");
}
