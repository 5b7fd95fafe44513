// Statics and group boxes: transparent texts show exactly the dialog's
// skinned background, also after a shorter text; icons at the top-left at
// their own size; simple and owner-drawn statics left to the system; group
// box captions over the background or their own picture, cleared when they
// shrink; the program's about box drawn by the skin to the last pixel;
// controls the skin does not draw over the dialog's background.
#include "ControlTestSupport.h"

#include "SkinEngine.h"
#include "controls/SkinnedGroupBox.h"
#include "controls/SkinnedStatic.h"
#include "core/SkinManager.h"
#include "data/ButtonSkins.h"
#include "data/FrameSkin.h"
#include "data/GroupBoxSkin.h"
#include "data/SkinStore.h"

#include <commctrl.h>

#include <vector>

namespace {

const int kAboutBox = 103;  // IDD_ABOUTBOX of the program's resources
const int kTextId = 401;

const FrameSkin& DialogSkin()
{
    return *static_cast<const FrameSkin*>(DefaultStore().FindObject("Dialog"));
}

class StaticTest : public ControlTest {
protected:
    HWND Show(HWND dialog)
    {
        windows_.push_back(dialog);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        PumpFor(40);
        return dialog;
    }

    HWND DialogWithText(DWORD style, const wchar_t* text)
    {
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 100, L"Statics");
        dialog.Add(L"Static", text, kTextId, style, 10, 10, 150, 30);
        return Show(dialog.Create(nullptr, PlainDialogProc));
    }

    HWND AboutBox()
    {
        return Show(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutBox), nullptr,
                                       PlainDialogProc, 0));
    }

    // The dialog's client piece, as the skin describes it, where `control`
    // lies (its parent's unless told).
    static WindowPixels DialogBackgroundUnder(HWND control, HWND dialog = nullptr)
    {
        dialog = dialog ? dialog : GetParent(control);
        RECT client, area;
        GetClientRect(dialog, &client);
        GetClientRect(control, &area);
        MapWindowPoints(control, dialog, reinterpret_cast<POINT*>(&area), 2);
        const FrameSkin& skin = DialogSkin();
        return Cut(
            RenderPiece(skin.frameImages[SkinnedWindow::PartClient], client.right, client.bottom, skin.clientColour),
            area);
    }

    static RECT TextExtent(HWND control)
    {
        char text[300] = {};
        GetWindowTextA(control, text, sizeof text);
        RECT area;
        GetClientRect(control, &area);
        WindowDC dc(control);
        SavedDCState saved(dc);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
        const UINT format = SkinnedStatic::TextFormat(GetWindowLongPtrA(control, GWL_STYLE));
        DrawTextA(dc, text, -1, &area, format | DT_CALCRECT);
        return area;
    }
};

}  // namespace

// Also once the empty static is disabled and enabled again: each state
// repaints with the skin only.
TEST_F(StaticTest, TransparentTextShowsExactlyTheDialogBackground)
{
    HWND dialog = DialogWithText(SS_LEFT, L"A static text that is rather long");
    HWND text = GetDlgItem(dialog, kTextId);
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(text));
    const WindowPixels background = DialogBackgroundUnder(text);
    const RECT full = {0, 0, background.width, background.height};
    EXPECT_GT(PixelsDifferingIn(CaptureWindow(text), full, background), 0) << "the text is drawn";

    SetWindowTextA(text, "Short");
    const WindowPixels shorter = CaptureWindow(text);
    const RECT extent = TextExtent(text);
    const RECT beside = {extent.right + 1, 0, background.width, background.height};
    EXPECT_EQ(0, PixelsDifferingIn(shorter, beside, background)) << "nothing of the longer text is left";

    SetWindowTextA(text, "");
    EXPECT_EQ(0, PixelsDifferingIn(CaptureWindow(text), full, background)) << "an empty static is the background";
    for (const BOOL enabled : {FALSE, TRUE}) {
        EnableWindow(text, enabled);
        EXPECT_EQ(0, PixelsDifferingIn(CaptureWindow(text), full, background)) << "enabled " << enabled;
    }
}

TEST_F(StaticTest, SimpleAndOwnerDrawnStaticsStayTheSystems)
{
    for (DWORD style : {static_cast<DWORD>(SS_SIMPLE), static_cast<DWORD>(SS_OWNERDRAW)}) {
        HWND dialog = DialogWithText(style, L"System");
        HWND text = GetDlgItem(dialog, kTextId);
        EXPECT_EQ(nullptr, SkinManager::Instance().FindWindowObject(text)) << "style 0x" << std::hex << style;
        EXPECT_EQ(nullptr, GetPropA(text, SkinnedWindow::kObjectProperty));
    }
}

TEST_F(StaticTest, IconsSitAtTheTopLeftAtTheirOwnSize)
{
    for (DWORD style : {static_cast<DWORD>(SS_ICON), static_cast<DWORD>(SS_ICON | SS_CENTERIMAGE)}) {
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 140, L"Icons");
        dialog.Add(L"Static", L"", kTextId, style, 10, 10, 120, 100);
        HWND window = Show(dialog.Create(nullptr, PlainDialogProc));
        HWND icon = GetDlgItem(window, kTextId);
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_WARNING)), 0);
        // The system sizes an icon static to its icon; ours must not be.
        SetWindowPos(icon, nullptr, 0, 0, 120, 100, SWP_NOMOVE | SWP_NOZORDER);
        PumpFor(20);
        const WindowPixels shown = CaptureWindow(icon);
        const WindowPixels background = DialogBackgroundUnder(icon);
        const int size = GetSystemMetrics(SM_CXICON);
        EXPECT_GT(PixelsDifferingIn(shown, RECT{0, 0, size, size}, background), 0) << "the icon at the top-left";
        EXPECT_EQ(0, PixelsDifferingIn(shown, RECT{size, 0, shown.width, shown.height}, background))
            << "nothing right of it";
        EXPECT_EQ(0, PixelsDifferingIn(shown, RECT{0, size, size, shown.height}, background)) << "nothing below";
    }
}

TEST_F(StaticTest, ThePainterLeavesTheDcAsItFoundIt)
{
    HWND dialog = DialogWithText(SS_CENTER | SS_NOPREFIX, L"Text");
    EXPECT_TRUE(PaintLeavesDcAsFound(GetDlgItem(dialog, kTextId), 300, 60));
}

TEST_F(StaticTest, TheAboutBoxIsDrawnByTheSkin)
{
    HWND dialog = AboutBox();
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(ok));
    const ButtonSkin& buttons = *static_cast<const ButtonSkin*>(DefaultStore().FindObject("Button"));
    const ButtonSkin::State state = GetFocus() == ok ? ButtonSkin::StateFocused : ButtonSkin::StateDefault;
    const WindowPixels okShown = CaptureWindow(ok);
    const FrameImageRef& look = buttons.states[state].image;
    const WindowPixels okExpected = RenderFrameImage(look, okShown.width, okShown.height, 0);
    EXPECT_TRUE(ShowsPicture(okShown, 0, 0, okExpected, look.marginTop)) << "the OK button's face";
    const WindowPixels behindOk = DialogBackgroundUnder(ok);
    for (int y = 0; y < okShown.height; ++y) {
        for (int x = 0; x < okShown.width; ++x) {
            if (okExpected.At(x, y) == 0xFF00FF) {
                ASSERT_EQ(behindOk.At(x, y), okShown.At(x, y)) << "around the OK button's corner " << x << "," << y;
            }
        }
    }

    int texts = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            continue;
        ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(child));
        const WindowPixels shown = CaptureWindow(child);
        const WindowPixels background = DialogBackgroundUnder(child);
        RECT content = TextExtent(child);
        if (SkinnedStatic::KindOf(GetWindowLongPtrA(child, GWL_STYLE)) == SkinnedStatic::KindIcon)
            content = {0, 0, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)};
        else
            ++texts;
        const RECT right = {content.right + 1, 0, shown.width, shown.height};
        const RECT below = {0, content.bottom + 1, shown.width, shown.height};
        EXPECT_EQ(0, PixelsDifferingIn(shown, right, background)) << "right of the content, control " << child;
        EXPECT_EQ(0, PixelsDifferingIn(shown, below, background)) << "below the content, control " << child;
        EXPECT_GT(PixelsDifferingIn(shown, RECT{0, 0, shown.width, shown.height}, background), 0) << "content shown";
    }
    EXPECT_EQ(7, texts);
}

TEST_F(ControlTest, AShorterGroupBoxCaptionLeavesNothingOfTheLongerOne)
{
    HWND group = AddControl("Button", "A group box caption of some length", BS_GROUPBOX, 20, 20, 300, 120);
    SetWindowTextA(group, "X");
    PumpFor(20);
    const WindowPixels shrunk = CaptureWindow(group);
    DestroyWindow(group);
    HWND fresh = AddControl("Button", "X", BS_GROUPBOX, 20, 20, 300, 120);
    const WindowPixels expected = CaptureWindow(fresh);
    const RECT all = {0, 0, expected.width, expected.height};
    EXPECT_EQ(0, PixelsDifferingIn(shrunk, all, expected));
}

TEST_F(ControlTest, AGroupBoxDrawsItsBorderAndLeavesTheInsideToTheParent)
{
    HWND group = AddControl("Button", "Caption", BS_GROUPBOX, 20, 20, 300, 120);
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(group));
    const WindowPixels shown = CaptureWindow(group);
    const WindowPixels behind = BackgroundBehind(group);
    int border = 0;
    for (int y = 0; y < 20; ++y)
        border += shown.At(shown.width - 20, y) != behind.At(shown.width - 20, y);
    EXPECT_GT(border, 0) << "the top border right of the caption";
    const RECT inside = {20, 30, shown.width - 20, shown.height - 20};
    EXPECT_EQ(0, PixelsDifferingIn(shown, inside, behind));
}

// A caption of spaces draws no glyph: its place shows exactly what lies
// under the text, the background behind a transparent caption (the
// border's line broken there) or else the caption's own picture. A caption
// given afterwards shows there.
TEST_F(ControlTest, AGroupBoxCaptionLiesOverTheBackgroundOrItsOwnPicture)
{
    const std::string ending = "\nend\n\nobject HeaderSkin";
    for (const bool transparent : {true, false}) {
        const std::string line = transparent ? "  TRANSPARENT = 1" : "  TRANSPARENT = 0";
        ASSERT_TRUE(LoadSkinSource(Replaced(DefaultSkinSource(), "  TRANSPARENT = 1" + ending, line + ending)));
        const char* spaces = "      ";
        HWND group = AddControl("Button", spaces, BS_GROUPBOX, 20, 20, 300, 120);
        const auto* painter = dynamic_cast<const SkinnedGroupBox*>(SkinManager::Instance().FindWindowObject(group));
        ASSERT_NE(nullptr, painter);
        const auto& skin = *static_cast<const GroupBoxSkin*>(painter->GetSkinObject());
        ASSERT_EQ(transparent, skin.transparent != 0);
        const RECT caption = painter->CaptionRect(WindowText(spaces));
        const WindowPixels under = transparent ? Cut(BackgroundBehind(group), caption)
                                               : RenderFrameImage(skin.captionImage, caption.right - caption.left,
                                                                  caption.bottom - caption.top, skin.captionColour);
        const WindowPixels shown = CaptureWindow(group);
        EXPECT_TRUE(ShowsPicture(shown, caption.left, caption.top, under)) << "transparent " << transparent;
        SetWindowTextA(group, "Caption");
        PumpFor(20);
        EXPECT_GT(PixelsDifferingIn(CaptureWindow(group), caption, shown), 0) << "transparent " << transparent;
        DestroyWindow(group);
    }
}

// A control the skin does not draw, and a skinned one whose window behind
// paints no background, in a skinned dialog: what shows around them is the
// dialog's background, never black or an old picture.
struct UndrawnCase {
    const char* what;
    const char* withoutType;  // the skin's object left out, or null
    const char* withoutName;
    const wchar_t* className;
    DWORD style;
    bool inGroupBox;      // a child of a group box instead of the dialog
    const char* oldText;  // a text given and taken away first, or null
    RECT compared;        // from the control's corners; right, bottom <= 0 from the far edge
};

const UndrawnCase kUndrawnCases[] = {
    {"an unskinned trackbar",
     "TrackBarSkin",
     "Slider",
     L"msctls_trackbar32",
     TBS_HORZ | TBS_NOTICKS,
     false,
     nullptr,
     {0, 0, 0, 2}},
    {"an unskinned static whose text went",
     "StaticSkin",
     "Static",
     L"Static",
     SS_LEFT,
     false,
     "WWWWWWWWWWWW",
     {0, 0, 0, 0}},
    {"a skinned static in a group box", nullptr, nullptr, L"Static", SS_LEFT, true, nullptr, {0, 0, 0, 0}},
};

TEST_F(StaticTest, ControlsTheSkinDoesNotDrawShowTheDialogBackgroundAroundThem)
{
    for (const UndrawnCase& row : kUndrawnCases) {
        if (row.withoutType) {
            ASSERT_TRUE(LoadSkinSource(WithoutObject(DefaultSkinSource(), row.withoutType, row.withoutName)));
        }
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 100, L"Undrawn");
        dialog.Add(L"Button", L"", kTextId + 1, BS_GROUPBOX, 5, 5, 190, 90);
        if (!row.inGroupBox)
            dialog.Add(row.className, L"", kTextId, row.style, 20, 30, 150, 20);
        HWND window = Show(dialog.Create(nullptr, PlainDialogProc));
        HWND control = GetDlgItem(window, kTextId);
        if (row.inGroupBox) {
            RECT place = {20, 30, 170, 50};
            MapDialogRect(window, &place);
            control = CreateWindowExW(0, row.className, L"", row.style | WS_CHILD | WS_VISIBLE, place.left - 10,
                                      place.top - 10, place.right - place.left, place.bottom - place.top,
                                      GetDlgItem(window, kTextId + 1), nullptr, GetModuleHandleA(nullptr), nullptr);
            PumpFor(20);
        }
        ASSERT_NE(nullptr, control) << row.what;
        EXPECT_EQ(row.withoutType == nullptr, SkinManager::Instance().FindWindowObject(control) != nullptr) << row.what;
        if (row.oldText) {
            SetWindowTextA(control, row.oldText);
            PumpFor(20);
            SetWindowTextA(control, "");
        }
        RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const WindowPixels background = DialogBackgroundUnder(control, window);
        const RECT compared = {row.compared.left, row.compared.top,
                               row.compared.right > 0 ? row.compared.right : background.width + row.compared.right,
                               row.compared.bottom > 0 ? row.compared.bottom : background.height + row.compared.bottom};
        EXPECT_EQ(0, PixelsDifferingIn(CaptureWindow(control), compared, background)) << row.what;
        DestroyWindow(window);
        const std::vector<BYTE> skin = DefaultSkinBytes();
        ASSERT_TRUE(LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())));
    }
}
