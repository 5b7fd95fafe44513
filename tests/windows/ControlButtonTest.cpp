// Button skins: the button protocol the skin reproduces (clicks, Space,
// automatic check boxes and radio groups), state changes repainted once by
// the skin and never by the system, and every state's look on screen.
#include "ControlTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "controls/SkinnedCheckable.h"
#include "controls/SkinnedPushButton.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/ButtonSkins.h"
#include "data/ControlSkinBase.h"
#include "data/SkinStore.h"

namespace {

const int kButtonId = 100;
const LPARAM kInside = MAKELPARAM(5, 5);
const LPARAM kOutside = MAKELPARAM(500, 5);

const ButtonSkin& PushSkin()
{
    return *static_cast<const ButtonSkin*>(DefaultStore().FindObject("Button"));
}

const CheckableSkinBase& CheckSkin(const char* name)
{
    return *static_cast<const CheckableSkinBase*>(DefaultStore().FindObject(name));
}

// A button whose messages are recorded three ways: as sent to it (above
// the skin), as passed on to the system's button (below the skin), and
// what its parent receives.
class ButtonProtocolTest : public ControlTest {
protected:
    HWND RecordedButton(DWORD style, bool skinned = true)
    {
        frame_ = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
        HWND button = CreateWindowExA(0, "Button", "Button", style | WS_CHILD | WS_VISIBLE, 10, 10, 100, 30, frame_,
                                      reinterpret_cast<HMENU>(kButtonId), GetModuleHandleA(nullptr), nullptr);
        MessageLog& log = MessageLog::Instance();
        log.Subclass(button, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(frame_, "MainFrame"));
        EXPECT_EQ(skinned, SkinManager::Instance().FindWindowObject(button) != nullptr);
        log.Subclass(frame_, kParent);
        log.Subclass(button, kSent);
        SetFocus(frame_);
        PumpFor(30);
        log.RestrictTo({WM_PAINT, WM_CTLCOLORBTN, WM_CTLCOLORSTATIC, WM_SKIN_PAINTBKGND, WM_COMMAND, BM_SETCHECK,
                        BM_SETSTATE, BM_CLICK, WM_ENABLE, WM_SETTEXT, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_KEYDOWN,
                        WM_KEYUP});
        log.Flush();
        return button;
    }

    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlTest::TearDown();
    }

    HWND frame_ = nullptr;
};

const ExpectedMessage kClicked[] = {
    {WM_COMMAND, kPosted | kWParam, MAKEWPARAM(kButtonId, BN_CLICKED), 0},
    {WM_COMMAND, kParent | kWParam, MAKEWPARAM(kButtonId, BN_CLICKED), 0},
};

}  // namespace

// Presses and releases by the mouse, the keyboard and BM_CLICK on a
// focused button: each change of the held look repaints once, a click
// reaches the parent only when press and release both landed, and the
// check ends as the click left it.
TEST_F(ButtonProtocolTest, PressesAndReleasesRepaintOnceAndClickOnlyWhenBothLanded)
{
    const ExpectedMessage repainted = {WM_SKIN_PAINTBKGND, kParent, 0, 0};
    const LPARAM kSpaceDown = 0x00390001, kSpaceUp = static_cast<LPARAM>(0xC0390001u);
    // Keys are posted, as the system queues them; the rest is sent.
    struct Input {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    const struct {
        const char* what;
        DWORD style;
        std::vector<Input> inputs;
        std::vector<ExpectedMessage> expected;  // empty: only that no click came
        LRESULT check;                          // -1: a push button, no check
    } kRows[] = {
        {"click",
         BS_PUSHBUTTON,
         {{WM_LBUTTONDOWN, MK_LBUTTON, kInside}, {WM_LBUTTONUP, 0, kInside}},
         {{WM_LBUTTONDOWN, kSent, 0, 0}, repainted, {WM_LBUTTONUP, kSent, 0, 0}, repainted, kClicked[0], kClicked[1]},
         -1},
        // The second repaint: the pointer left, the button no longer held.
        {"release outside",
         BS_AUTOCHECKBOX,
         {{WM_LBUTTONDOWN, MK_LBUTTON, kInside}, {WM_MOUSEMOVE, MK_LBUTTON, kOutside}, {WM_LBUTTONUP, 0, kOutside}},
         {{WM_LBUTTONDOWN, kSent, 0, 0}, repainted, repainted, {WM_LBUTTONUP, kSent, 0, 0}, repainted},
         BST_UNCHECKED},
        {"space",
         BS_PUSHBUTTON,
         {{WM_KEYDOWN, VK_SPACE, kSpaceDown}, {WM_KEYUP, VK_SPACE, kSpaceUp}},
         {{WM_KEYDOWN, kPosted, 0, 0},
          {WM_KEYDOWN, kSent, 0, 0},
          repainted,
          {WM_KEYUP, kPosted, 0, 0},
          {WM_KEYUP, kSent, 0, 0},
          repainted,
          kClicked[0],
          kClicked[1]},
         -1},
        {"space released without its press", BS_PUSHBUTTON, {{WM_KEYUP, VK_SPACE, kSpaceUp}}, {}, -1},
        // BM_SETCHECK: kept by the system's button, unseen.
        {"BM_CLICK",
         BS_AUTOCHECKBOX,
         {{BM_CLICK, 0, 0}},
         {{BM_CLICK, kSent, 0, 0},
          {BM_CLICK, kDefWinProc, 0, 0},
          {WM_LBUTTONDOWN, kSent, 0, 0},
          repainted,
          {WM_LBUTTONUP, kSent, 0, 0},
          {BM_SETCHECK, kDefWinProc | kWParam, BST_CHECKED, 0},
          repainted,
          kClicked[0],
          kClicked[1]},
         BST_CHECKED},
    };
    for (const auto& row : kRows) {
        HWND button = RecordedButton(row.style);
        SetFocus(button);
        PumpFor(10);
        MessageLog::Instance().Flush();
        for (const Input& input : row.inputs) {
            if (input.message == WM_KEYDOWN || input.message == WM_KEYUP)
                PostMessageA(button, input.message, input.wParam, input.lParam);
            else
                SendMessageA(button, input.message, input.wParam, input.lParam);
        }
        PumpFor(20);
        if (row.expected.empty()) {
            EXPECT_FALSE(MessageLog::Instance().Contains(WM_COMMAND)) << row.what << ": a click without a press";
        } else {
            EXPECT_TRUE(MessageLog::Instance().Matches(row.expected.data(), row.expected.size(), row.what));
        }
        EXPECT_EQ(nullptr, GetCapture()) << row.what;
        if (row.check != -1) {
            EXPECT_EQ(row.check, SendMessageA(button, BM_GETCHECK, 0, 0)) << row.what;
        }
        DestroyWindow(frame_);
    }
}

// How a change reaches the screen: painted at once while the message is
// handled, before the system's button sees it or after it, or through the
// WM_PAINT of the area the system invalidated.
enum class Repaint { Before, After, ByWmPaint };

std::vector<ExpectedMessage> RepaintedOnce(UINT message, Repaint repaint)
{
    const ExpectedMessage sent = {message, kSent, 0, 0}, below = {message, kDefWinProc, 0, 0};
    const ExpectedMessage background = {WM_SKIN_PAINTBKGND, kParent, 0, 0};
    switch (repaint) {
    case Repaint::Before:
        return {sent, {WM_PAINT, kSent, 0, 0}, background, below};
    case Repaint::After:
        return {sent, below, background};
    default:
        return {sent, below, {WM_PAINT, kPosted, 0, 0}, {WM_PAINT, kSent, 0, 0}, background};
    }
}

TEST_F(ButtonProtocolTest, StateStyleAndTextChangesRepaintOnceAndNeverThroughTheSystem)
{
    static const char kText[] = "Changed";
    struct Action {
        const char* what;
        UINT message;
        Repaint repaint;
        void (*act)(HWND button, DWORD newStyle);
    };
    const Action kActions[] = {
        {"BM_SETCHECK off", BM_SETCHECK, Repaint::After,
         [](HWND b, DWORD) { SendMessageA(b, BM_SETCHECK, BST_UNCHECKED, 0); }},
        {"BM_SETCHECK", BM_SETCHECK, Repaint::After,
         [](HWND b, DWORD) { SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0); }},
        {"BM_SETSTATE", BM_SETSTATE, Repaint::After, [](HWND b, DWORD) { SendMessageA(b, BM_SETSTATE, TRUE, 0); }},
        {"BM_SETSTATE off", BM_SETSTATE, Repaint::After, [](HWND b, DWORD) { SendMessageA(b, BM_SETSTATE, FALSE, 0); }},
        {"WM_SETTEXT", WM_SETTEXT, Repaint::After,
         [](HWND b, DWORD) { SendMessageA(b, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kText)); }},
        {"BM_SETSTYLE", BM_SETSTYLE, Repaint::ByWmPaint,
         [](HWND b, DWORD style) { SendMessageA(b, BM_SETSTYLE, style, TRUE); }},
        {"disable", WM_ENABLE, Repaint::After, [](HWND b, DWORD) { EnableWindow(b, FALSE); }},
        {"enable", WM_ENABLE, Repaint::After, [](HWND b, DWORD) { EnableWindow(b, TRUE); }},
        {"pointer arrives", WM_MOUSEMOVE, Repaint::ByWmPaint,
         [](HWND b, DWORD) { SendMessageA(b, WM_MOUSEMOVE, 0, kInside); }},
        {"pointer leaves", WM_MOUSELEAVE, Repaint::Before, [](HWND b, DWORD) { SendMessageA(b, WM_MOUSELEAVE, 0, 0); }},
    };
    // Each kind of button, the style BM_SETSTYLE gives it, and the check
    // it keeps through the rest (push buttons hold none).
    const struct {
        DWORD style, newStyle;
        LRESULT check;
    } kButtons[] = {
        {BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BST_UNCHECKED},   {BS_DEFPUSHBUTTON, BS_PUSHBUTTON, BST_UNCHECKED},
        {BS_AUTOCHECKBOX, BS_CHECKBOX, BST_CHECKED},       {BS_AUTORADIOBUTTON, BS_RADIOBUTTON, BST_CHECKED},
        {BS_AUTO3STATE, BS_3STATE, BST_CHECKED},
    };
    for (const auto& kind : kButtons) {
        HWND button = RecordedButton(kind.style);
        // The pointer stays away: only the messages sent here move it.
        SetCursorPos(0, 0);
        PumpFor(20);
        MessageLog::Instance().RestrictTo({WM_PAINT, WM_SKIN_PAINTBKGND, BM_SETCHECK, BM_SETSTATE, BM_SETSTYLE,
                                           WM_ENABLE, WM_SETTEXT, WM_MOUSEMOVE, WM_MOUSELEAVE});
        for (const Action& action : kActions) {
            MessageLog::Instance().Flush();
            action.act(button, kind.newStyle);
            PumpFor(20);
            const std::vector<ExpectedMessage> expected = RepaintedOnce(action.message, action.repaint);
            const std::string context = std::string(action.what) + " of style " + std::to_string(kind.style);
            EXPECT_TRUE(MessageLog::Instance().Matches(expected.data(), expected.size(), context.c_str()));
        }
        EXPECT_EQ(kind.check, SendMessageA(button, BM_GETCHECK, 0, 0)) << "style " << kind.style;
        char text[20] = {};
        GetWindowTextA(button, text, sizeof text);
        EXPECT_STREQ(kText, text);
        DestroyWindow(frame_);
    }
}

TEST_F(ButtonProtocolTest, AutomaticCheckBoxesCycle)
{
    HWND threeState = RecordedButton(BS_AUTO3STATE);
    const LRESULT cycle[] = {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED, BST_CHECKED};
    for (LRESULT want : cycle) {
        SendMessageA(threeState, BM_CLICK, 0, 0);
        EXPECT_EQ(want, SendMessageA(threeState, BM_GETCHECK, 0, 0)) << "click";
    }
    SendMessageA(threeState, BM_SETCHECK, BST_UNCHECKED, 0);
    SetFocus(threeState);
    for (LRESULT want : cycle) {
        PostMessageA(threeState, WM_KEYDOWN, VK_SPACE, 0x00390001);
        PostMessageA(threeState, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0390001u));
        PumpFor(10);
        EXPECT_EQ(want, SendMessageA(threeState, BM_GETCHECK, 0, 0)) << "space";
    }
    HWND twoState = AddControl("Button", "Two", BS_AUTOCHECKBOX, 10, 50, 100, 20, 101);
    SendMessageA(twoState, BM_SETCHECK, BST_INDETERMINATE, 0);
    SendMessageA(twoState, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(twoState, BM_GETCHECK, 0, 0)) << "an unchecked box stays two-state";
    HWND manual = AddControl("Button", "Manual", BS_CHECKBOX, 10, 80, 100, 20, 102);
    SendMessageA(manual, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(manual, BM_GETCHECK, 0, 0)) << "a manual box is the parent's to check";
}

TEST_F(ButtonProtocolTest, OwnerDrawnButtonsAreLeftToTheSystem)
{
    HWND button = RecordedButton(BS_OWNERDRAW, false);
    EXPECT_EQ(nullptr, SkinManager::Instance().FindWindowObject(button));
    EXPECT_EQ(nullptr, GetPropA(button, SkinnedWindow::kObjectProperty));
    MessageLog::Instance().RestrictTo({WM_DRAWITEM});
    InvalidateRect(button, nullptr, TRUE);
    PumpFor(20);
    EXPECT_TRUE(MessageLog::Instance().Contains(WM_DRAWITEM, kParent)) << "the owner draws it";
}

namespace {

class RadioGroupTest : public ControlTest {
protected:
    // Three radios in a group, two more in the next, a push button after.
    HWND Dialog()
    {
        DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 120, L"Radios");
        dialog.Add(L"Button", L"One", 201, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 5, 60, 12)
            .Add(L"Button", L"Two", 202, BS_AUTORADIOBUTTON, 5, 20, 60, 12)
            .Add(L"Button", L"Three", 203, BS_AUTORADIOBUTTON, 5, 35, 60, 12)
            .Add(L"Button", L"Four", 204, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 5, 55, 60, 12)
            .Add(L"Button", L"Five", 205, BS_AUTORADIOBUTTON, 5, 70, 60, 12)
            .Add(L"Button", L"OK", IDOK, BS_PUSHBUTTON | WS_GROUP | WS_TABSTOP, 90, 90, 50, 14);
        HWND window = dialog.Create(nullptr, PlainDialogProc);
        windows_.push_back(window);
        ShowWindow(window, SW_SHOW);
        SetForegroundWindow(window);
        PumpDialog(window, 30);
        return window;
    }

    static std::string Checks(HWND dialog)
    {
        std::string result;
        for (int id = 201; id <= 205; ++id)
            result += IsDlgButtonChecked(dialog, id) ? '1' : '0';
        return result;
    }
};

}  // namespace

TEST_F(RadioGroupTest, ClickChecksOnlyItsGroup)
{
    HWND dialog = Dialog();
    CheckDlgButton(dialog, 201, BST_CHECKED);
    CheckDlgButton(dialog, 205, BST_CHECKED);
    SendDlgItemMessageA(dialog, 202, BM_CLICK, 0, 0);
    EXPECT_EQ("01001", Checks(dialog));
    SendDlgItemMessageA(dialog, 204, BM_CLICK, 0, 0);
    EXPECT_EQ("01010", Checks(dialog));
}

TEST_F(RadioGroupTest, ArrowsAndTabMoveThroughTheGroups)
{
    HWND dialog = Dialog();
    HWND one = GetDlgItem(dialog, 201);
    SetFocus(one);
    SendMessageA(one, BM_CLICK, 0, 0);
    PumpDialog(dialog, 10);
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_DOWN, 0x01500001);
    PumpDialog(dialog, 20);
    EXPECT_EQ(GetDlgItem(dialog, 202), GetFocus());
    EXPECT_EQ("01000", Checks(dialog));
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0x000F0001);
    PumpDialog(dialog, 20);
    EXPECT_EQ(GetDlgItem(dialog, 204), GetFocus());
    EXPECT_EQ("01000", Checks(dialog)) << "Tab moves the focus, it checks nothing";
}

TEST_F(ControlTest, RadioWithoutAnyGroupStartsAtTheFirstSibling)
{
    HWND first = AddControl("Button", "A", BS_AUTORADIOBUTTON, 10, 10, 80, 20, 301);
    HWND second = AddControl("Button", "B", BS_AUTORADIOBUTTON, 10, 35, 80, 20, 302);
    HWND third = AddControl("Button", "C", BS_AUTORADIOBUTTON, 10, 60, 80, 20, 303);
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(third, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(first, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(second, BM_GETCHECK, 0, 0));
    EXPECT_EQ(BST_CHECKED, SendMessageA(third, BM_GETCHECK, 0, 0));
}

namespace {

class PushButtonLookTest : public ControlTest {
protected:
    HWND Button(DWORD style = BS_PUSHBUTTON)
    {
        HWND button = AddControl("Button", "", style, 20, 20, 90, 30);
        // Somewhere else for the focus and the pointer.
        other_ = AddControl("Button", "", BS_PUSHBUTTON, 300, 250, 40, 20, 999);
        SetCursorPos(0, 0);
        SetFocus(other_);
        PumpFor(20);
        return button;
    }

    static testing::AssertionResult Shows(HWND button, ButtonSkin::State state)
    {
        const ButtonSkin& skin = PushSkin();
        const WindowPixels shown = CaptureWindow(button);
        const WindowPixels expected =
            RenderFrameImage(skin.states[state].image, shown.width, shown.height, GetSysColor(COLOR_BTNFACE));
        // The margins: the caption lies inside them.
        return ShowsPicture(shown, 0, 0, expected, skin.states[state].image.marginLeft);
    }

    static void Hover(HWND button)
    {
        RECT area;
        GetWindowRect(button, &area);
        SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
        SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
        PumpFor(20);
    }

    HWND other_ = nullptr;
};

}  // namespace

TEST_F(PushButtonLookTest, EveryStateShowsItsImage)
{
    HWND button = Button();
    EXPECT_TRUE(Shows(button, ButtonSkin::StateNormal)) << "normal";
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(Shows(button, ButtonSkin::StatePressed)) << "pushed";
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_TRUE(Shows(button, ButtonSkin::StatePressed)) << "held down";
    SendMessageA(button, WM_LBUTTONUP, 0, kOutside);
    EXPECT_TRUE(Shows(button, ButtonSkin::StateFocused)) << "focused";
    Hover(button);
    EXPECT_TRUE(Shows(button, ButtonSkin::StateHighlighted)) << "focused and hovered";
    SendMessageA(button, WM_MOUSELEAVE, 0, 0);
    SetFocus(other_);
    EXPECT_TRUE(Shows(button, ButtonSkin::StateNormal)) << "after the pointer left";
    EnableWindow(button, FALSE);
    EXPECT_TRUE(Shows(button, ButtonSkin::StateDisabled)) << "disabled";
    HWND defaultButton = AddControl("Button", "", BS_DEFPUSHBUTTON, 20, 80, 90, 30, 101);
    SetFocus(other_);
    EXPECT_TRUE(Shows(defaultButton, ButtonSkin::StateDefault)) << "default";
}

namespace {

// Every combination of the button's state flags: bit i of `mask` sets
// the i-th flag of kStateFlags.
bool ButtonState::*const kStateFlags[] = {&ButtonState::enabled,  &ButtonState::pushed,  &ButtonState::pressed,
                                          &ButtonState::hovered,  &ButtonState::focused, &ButtonState::checked,
                                          &ButtonState::isDefault};
const int kStateFlagCount = sizeof kStateFlags / sizeof kStateFlags[0];

ButtonState StateOfMask(unsigned mask)
{
    ButtonState state;
    for (int flag = 0; flag < kStateFlagCount; ++flag)
        state.*kStateFlags[flag] = (mask >> flag & 1) != 0;
    return state;
}

std::string Describe(const ButtonState& state)
{
    const char* const kNames[] = {"enabled", "pushed", "pressed", "hovered", "focused", "checked", "default"};
    std::string text;
    for (int flag = 0; flag < kStateFlagCount; ++flag)
        if (state.*kStateFlags[flag])
            text += std::string(kNames[flag]) + " ";
    return text;
}

}  // namespace

TEST(ButtonLookPrecedence, ThePushButtonShowsTheFirstStateThatHolds)
{
    // First match wins; a hover counts only when the skin has a highlight.
    const struct {
        bool ButtonState::*flag;
        bool when;
        ButtonSkin::State look;
    } kPrecedence[] = {
        {&ButtonState::enabled, false, ButtonSkin::StateDisabled},
        {&ButtonState::pushed, true, ButtonSkin::StatePressed},
        {&ButtonState::pressed, true, ButtonSkin::StatePressed},
        {&ButtonState::hovered, true, ButtonSkin::StateHighlighted},
        {&ButtonState::focused, true, ButtonSkin::StateFocused},
        {&ButtonState::checked, true, ButtonSkin::StatePressed},
        {&ButtonState::isDefault, true, ButtonSkin::StateDefault},
    };
    for (bool highlight : {true, false}) {
        for (unsigned mask = 0; mask < 1u << kStateFlagCount; ++mask) {
            const ButtonState state = StateOfMask(mask);
            ButtonSkin::State expected = ButtonSkin::StateNormal;
            for (const auto& rule : kPrecedence) {
                if (state.*rule.flag == rule.when && (highlight || rule.look != ButtonSkin::StateHighlighted)) {
                    expected = rule.look;
                    break;
                }
            }
            EXPECT_EQ(expected, SkinnedPushButton::LookOf(state, highlight))
                << Describe(state) << (highlight ? "with" : "without") << " a highlight";
        }
    }
}

TEST(ButtonLookPrecedence, CheckBoxesAndRadiosShowTheGroupTheirStateChooses)
{
    using S = CheckableSkinBase;
    CheckBoxSkin skin;
    for (bool radio : {false, true}) {
        for (unsigned mask = 0; mask < 1u << kStateFlagCount; ++mask) {
            const ButtonState state = StateOfMask(mask);
            // Focus and the default style never change the look; a held
            // check box looks checked, a held radio does not.
            const bool checked = state.checked || (!radio && state.pressed);
            int group;
            if (!state.enabled)
                group = state.checked ? S::GroupGrayedSelected : S::GroupGrayedNormal;
            else if (state.pushed)
                group = S::GroupSelected;
            else if (checked)
                group = state.hovered ? S::GroupHighlightedSelected : S::GroupSelected;
            else
                group = state.hovered ? S::GroupHighlightedNormal : S::GroupNormal;
            EXPECT_EQ(&skin.groups[group].effect, SkinnedCheckable::LookOf(skin, state, radio).effect)
                << Describe(state) << (radio ? "radio" : "check box") << ": group " << group;
        }
    }
}

TEST_F(PushButtonLookTest, HighlightOnlyWhenTheSkinHasOne)
{
    const std::string source = DefaultSkinSource();
    const size_t begin = source.find("  HIGHLIGHTED.IMAGE");
    ASSERT_NE(std::string::npos, begin);
    const std::string line = source.substr(begin, source.find('\n', begin) + 1 - begin);
    ASSERT_TRUE(LoadSkinSource(Replaced(source, line, "")));
    HWND button = Button();
    SetFocus(button);
    Hover(button);
    EXPECT_TRUE(Shows(button, ButtonSkin::StateFocused)) << "no highlighted image: the focused one";
}

TEST_F(PushButtonLookTest, TheButtonKeepsOnlyTheOpaquePixelsOfItsImage)
{
    HWND button = Button();
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(button, region);
    const WindowPixels normal = RenderFrameImage(PushSkin().states[ButtonSkin::StateNormal].image, 90, 30, 0);
    if (normal.At(0, 0) == 0xFF00FF) {
        EXPECT_NE(ERROR, kind);
        EXPECT_FALSE(PtInRegion(region, 0, 0)) << "a key-colour corner is outside the button";
        EXPECT_TRUE(PtInRegion(region, 45, 15));
    }
    DeleteObject(region);
}

TEST_F(PushButtonLookTest, CaptionsBreakAtLineBreaksAndCarryTheirEffect)
{
    std::string source = DefaultSkinSource();
    source = Replaced(source, "NORMAL.TEXTEFFECT = { color #1E2B38 offset 0 0 flags 0 }",
                      "NORMAL.TEXTEFFECT = { color #FF0000 shadow #0000FF offset 2 2 flags 1 }");
    ASSERT_TRUE(LoadSkinSource(source));
    HWND button = AddControl("Button", "AB\nAB", BS_PUSHBUTTON, 20, 20, 120, 60);
    SetFocus(Frame());
    const WindowPixels shown = CaptureWindow(button);
    std::vector<int> textRows;
    int red = 0, blue = 0;
    for (int y = 0; y < shown.height; ++y) {
        bool text = false;
        for (int x = 6; x < shown.width - 6; ++x) {
            const unsigned pixel = shown.At(x, y);
            red += pixel == 0xFF0000;
            blue += pixel == 0x0000FF;
            text = text || pixel == 0xFF0000;
        }
        if (text)
            textRows.push_back(y);
    }
    EXPECT_GT(red, 0) << "the text colour";
    EXPECT_GT(blue, 0) << "the shadow";
    ASSERT_FALSE(textRows.empty());
    int bands = 1;
    for (size_t i = 1; i < textRows.size(); ++i)
        bands += textRows[i] != textRows[i - 1] + 1;
    EXPECT_EQ(2, bands) << "two lines";
}

TEST_F(PushButtonLookTest, PaintersLeaveTheDcAsTheyFoundIt)
{
    HWND button = Button(BS_DEFPUSHBUTTON);
    SetWindowTextA(button, "Text");
    HWND check = AddControl("Button", "Check", BS_AUTOCHECKBOX, 20, 80, 90, 20, 101);
    for (HWND control : {button, check})
        EXPECT_TRUE(PaintLeavesDcAsFound(control, 100, 40));
}

namespace {

class CheckLookTest : public ControlTest {
protected:
    // The box image the control shows, where PlaceBoxAndText puts it.
    static testing::AssertionResult ShowsBox(HWND control, const ImageRef& box)
    {
        const WindowPixels shown = CaptureWindow(control);
        const int width = box.source.right - box.source.left;
        const int height = box.source.bottom - box.source.top;
        const WindowPixels expected = RenderPiece(box, width, height, 0xFF00FF);
        return ShowsPicture(shown, 0, (shown.height - height) / 2, expected);
    }
};

}  // namespace

TEST_F(CheckLookTest, EveryStateShowsItsBox)
{
    for (const char* kind : {"CheckBox", "Radio"}) {
        SCOPED_TRACE(kind);
        const bool radio = std::string(kind) == "Radio";
        const auto& g = CheckSkin(kind).groups;
        using S = CheckableSkinBase;
        HWND control = AddControl("Button", "Box", radio ? BS_RADIOBUTTON : BS_3STATE, 20, 20 + radio * 40, 120, 24);
        SetCursorPos(0, 0);
        SetFocus(Frame());
        EXPECT_TRUE(ShowsBox(control, g[S::GroupNormal].box)) << "normal";
        SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_TRUE(ShowsBox(control, g[S::GroupSelected].box)) << "checked";
        SendMessageA(control, BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageA(control, BM_SETSTATE, TRUE, 0);
        EXPECT_TRUE(ShowsBox(control, g[S::GroupSelected].box)) << "pushed";
        SendMessageA(control, BM_SETSTATE, FALSE, 0);
        if (!radio) {
            SendMessageA(control, BM_SETCHECK, BST_INDETERMINATE, 0);
            EXPECT_TRUE(ShowsBox(control, g[S::GroupNormal].box)) << "indeterminate draws as unchecked";
            SendMessageA(control, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        RECT area;
        GetWindowRect(control, &area);
        SetCursorPos(area.left + 5, area.top + 5);
        SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        EXPECT_TRUE(ShowsBox(control, g[S::GroupHighlightedNormal].box)) << "hovered";
        SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_TRUE(ShowsBox(control, g[S::GroupHighlightedSelected].box)) << "hovered, checked";
        SendMessageA(control, WM_MOUSELEAVE, 0, 0);
        SetCursorPos(0, 0);
        EnableWindow(control, FALSE);
        EXPECT_TRUE(ShowsBox(control, g[S::GroupGrayedSelected].box)) << "disabled, checked";
        SendMessageA(control, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_TRUE(ShowsBox(control, g[S::GroupGrayedNormal].box)) << "disabled";
    }
}

TEST_F(CheckLookTest, TransparentBoxesShowTheFrameBehindThem)
{
    HWND control = AddControl("Button", "", BS_AUTOCHECKBOX, 20, 20, 120, 24);
    SetFocus(Frame());
    const WindowPixels shown = CaptureWindow(control);
    const WindowPixels behind = BackgroundBehind(control);
    const int boxWidth = CheckSkin("CheckBox").groups[0].box.source.right - CheckSkin("CheckBox").groups[0].box.source.left;
    EXPECT_EQ(0, PixelsDifferingIn(shown, RECT{boxWidth, 0, shown.width, shown.height}, behind))
        << "beside the box, with no caption, only the frame's background";
}

TEST_F(RadioGroupTest, TheSkinFontReplacesTheControlsOwnWhileSkinned)
{
    const std::string header = "object RadioSkin \"Radio\"\n";
    ASSERT_TRUE(LoadSkinSource(Replaced(DefaultSkinSource(), header, header + "  AUTOSKINFONT = 1\n")));
    HWND dialog = Dialog();
    HWND radio = GetDlgItem(dialog, 201);
    const auto* skin = dynamic_cast<const ControlSkinBase*>(SkinManager::Instance().GetSkinStore().FindObject("Radio"));
    ASSERT_NE(nullptr, skin);
    ASSERT_TRUE(skin->autoSkinFont);
    const LRESULT dialogFont = SendMessageA(dialog, WM_GETFONT, 0, 0);
    EXPECT_EQ(reinterpret_cast<LRESULT>(skin->FontHandle()), SendMessageA(radio, WM_GETFONT, 0, 0));
    EXPECT_EQ(dialogFont, SendMessageA(GetDlgItem(dialog, IDOK), WM_GETFONT, 0, 0)) << "push buttons keep theirs";
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(radio));
    EXPECT_EQ(dialogFont, SendMessageA(radio, WM_GETFONT, 0, 0)) << "its own font back";
}
