// Drop-down combo boxes: the button's look follows the pointer and is
// repainted once per change by the skin alone; the field, the current item
// and the button show the skin's colours and pieces in every state; the
// edit of a drop-down combo box takes the skin's colours; simple and
// owner-drawn combo boxes keep the system look.
#include "ControlTestSupport.h"

#include "core/SkinManager.h"
#include "data/ComboBoxSkin.h"
#include "imaging/DrawUtils.h"
#include "MessageLog.h"
#include "SkinEngine.h"

namespace {

const int kComboId = 100;
// The skin's combo box with margins of their own, a back colour that is
// not the system's and a text colour apart from the font's.
const char kMainImage[] = "mainImage = { bitmap \"controls.bmp\" rect 28 57 36 65 margins 2 2 2 2";
const char kUnevenMainImage[] = "mainImage = { bitmap \"controls.bmp\" rect 28 57 36 65 margins 5 1 2 3";

std::string ComboVariant()
{
    std::string source = Replaced(DefaultSkinSource(), kMainImage, kUnevenMainImage);
    source = Replaced(source, "COLOR.BACKCOLOR = #FFFFFF", "COLOR.BACKCOLOR = #F0F8E0");
    return Replaced(source, "COLOR.TEXTCOLOR = #1E2B38", "COLOR.TEXTCOLOR = #402010");
}

class ComboTest : public ControlTest {
protected:
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlTest::TearDown();
    }

    // A combo box of `style` on the skinned frame holding three items, the
    // second ("B&d" shows its ampersand) selected; the focus elsewhere.
    HWND Combo(DWORD style, int id = kComboId)
    {
        HWND combo = AddControl("ComboBox", "", style | WS_VSCROLL, 20, 20 + (id - kComboId) * 40, 160, 120, id);
        for (const char* item : {"Alpha", "B&d", "Gamma"})
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageA(combo, CB_SETCURSEL, 1, 0);
        SetCursorPos(0, 0);
        SetFocus(Frame());
        PumpFor(20);
        return combo;
    }

    static const ComboBoxSkin& SkinOf(HWND combo)
    {
        SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(combo);
        return *dynamic_cast<const ComboBoxSkin*>(skin->GetSkinObject());
    }

    static RECT ButtonArea(HWND combo)
    {
        const FrameImageRef& frame = SkinOf(combo).mainImage;
        RECT client;
        GetClientRect(combo, &client);
        return {client.right - 18, frame.marginTop, client.right - frame.marginRight,
                client.bottom - frame.marginBottom};
    }

    static RECT FieldArea(HWND combo)
    {
        const FrameImageRef& frame = SkinOf(combo).mainImage;
        RECT client;
        GetClientRect(combo, &client);
        return {frame.marginLeft + 1, frame.marginTop + 1, client.right - 20, client.bottom - frame.marginBottom - 1};
    }

    static testing::AssertionResult ShowsThumb(HWND combo, ComboBoxSkin::Thumb thumb)
    {
        const RECT area = ButtonArea(combo);
        const WindowPixels expected = RenderFrameImage(SkinOf(combo).thumbs[thumb], area.right - area.left,
                                                       area.bottom - area.top, GetSysColor(COLOR_BTNFACE));
        // Read at once, without running the messages: a state change
        // repaints before it returns, and a leave the system reports while
        // the test window sits under another would undo the state.
        WholeWindowDC dc(combo);
        RECT window;
        GetWindowRect(combo, &window);
        return ShowsPicture(ReadPixels(dc, window.right - window.left, window.bottom - window.top), area.left, area.top,
                            expected);
    }

    // The pointer put over the button, and the hover its arrival caused
    // forgotten: the leave the skin asks for is then not reported.
    static void PointAtButton(HWND combo)
    {
        const LPARAM inside = InsideButton(combo);
        POINT point = {LOWORD(inside), HIWORD(inside)};
        ClientToScreen(combo, &point);
        SetCursorPos(point.x, point.y);
        PumpFor(20);
        SendMessageA(combo, WM_MOUSELEAVE, 0, 0);
        PumpFor(10);
    }

    static LPARAM InsideButton(HWND combo)
    {
        const RECT area = ButtonArea(combo);
        return MAKELPARAM(area.right - 4, (area.top + area.bottom) / 2);
    }
};

}  // namespace

// The button walked through hover, press, release and leave, then
// disabled; a skin without the state images shows the normal one throughout.
TEST_F(ComboTest, TheButtonLooksAsThePointerLeavesItOrNormalWithoutStateImages)
{
    std::string stripped = ComboVariant();
    for (const char* thumb : {"HOVERED", "PRESSED", "DISABLED"}) {
        const std::string key = std::string("  THUMB.") + thumb;
        const size_t begin = stripped.find(key);
        ASSERT_NE(std::string::npos, begin);
        stripped.erase(begin, stripped.find('\n', begin) + 1 - begin);
    }
    struct Step {
        const char* what;
        UINT message;
        WPARAM keys;
        ComboBoxSkin::Thumb look;
    };
    const Step steps[] = {
        {"pressed before any hover", WM_LBUTTONDOWN, MK_LBUTTON, ComboBoxSkin::ThumbPressed},
        {"left while pressed, untracked", WM_MOUSELEAVE, 0, ComboBoxSkin::ThumbNormal},
        {"hovered", WM_MOUSEMOVE, 0, ComboBoxSkin::ThumbHovered},
        {"pressed", WM_LBUTTONDOWN, MK_LBUTTON, ComboBoxSkin::ThumbPressed},
        {"held and moved", WM_MOUSEMOVE, MK_LBUTTON, ComboBoxSkin::ThumbPressed},
        {"released", WM_LBUTTONUP, 0, ComboBoxSkin::ThumbNormal},
        {"hovered again", WM_MOUSEMOVE, 0, ComboBoxSkin::ThumbHovered},
        {"left", WM_MOUSELEAVE, 0, ComboBoxSkin::ThumbNormal},
    };
    for (const bool withStateImages : {true, false}) {
        ASSERT_TRUE(LoadSkinSource(withStateImages ? ComboVariant() : stripped));
        HWND combo = Combo(CBS_DROPDOWNLIST);
        const LPARAM inside = InsideButton(combo);
        const auto shown = [&](ComboBoxSkin::Thumb look) {
            return ShowsThumb(combo, withStateImages ? look : ComboBoxSkin::ThumbNormal);
        };
        EXPECT_TRUE(shown(ComboBoxSkin::ThumbNormal)) << "at first";
        for (const Step& step : steps) {
            SendMessageA(combo, step.message, step.keys, inside);
            EXPECT_TRUE(shown(step.look)) << step.what << (withStateImages ? "" : ", no state images");
        }
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        EnableWindow(combo, FALSE);
        PumpFor(10);
        EXPECT_TRUE(shown(ComboBoxSkin::ThumbDisabled)) << "disabled" << (withStateImages ? "" : ", no state images");
        DestroyWindow(combo);
    }
}

TEST_F(ComboTest, OnlyTheButtonsOwnAreaHovers)
{
    ASSERT_TRUE(LoadSkinSource(ComboVariant()));
    HWND combo = Combo(CBS_DROPDOWNLIST);
    const RECT button = ButtonArea(combo);
    struct Place {
        const char* what;
        int x, y;
        bool hovers;
    };
    const Place places[] = {
        {"inside", button.right - 1, button.top, true},
        {"the button's first pixels", button.left + 1, button.top + 1, false},
        {"the third column", button.left + 2, button.bottom - 1, true},
        {"the frame above the button", button.left + 4, button.top - 1, false},
        {"above the control", button.left + 4, -1, false},
        {"the frame right of it", button.right, button.top + 1, false},
        {"the frame below it", button.left + 4, button.bottom, false},
    };
    for (const Place& place : places) {
        SendMessageA(combo, WM_MOUSEMOVE, 0, MAKELPARAM(place.x, place.y));
        EXPECT_TRUE(ShowsThumb(combo, place.hovers ? ComboBoxSkin::ThumbHovered : ComboBoxSkin::ThumbNormal))
            << place.what;
        SendMessageA(combo, WM_MOUSELEAVE, 0, 0);
        PumpMessages();
    }
}

TEST_F(ComboTest, TheFieldShowsTheItemInTheColoursOfItsState)
{
    ASSERT_TRUE(LoadSkinSource(ComboVariant()));
    HWND combo = Combo(CBS_DROPDOWNLIST);
    const ComboBoxSkin& skin = SkinOf(combo);
    struct Look {
        const char* what;
        bool focused;
        bool enabled;
        COLORREF fill;
        COLORREF text;
    };
    const Look looks[] = {
        {"focused", true, true, skin.focusColour, skin.focusTextColour},
        {"not focused", false, true, skin.backColour, skin.font.colour},
        {"disabled", false, false, skin.disabledBackground, skin.disabledText},
    };
    const RECT field = FieldArea(combo);
    const int width = field.right - field.left, height = field.bottom - field.top;
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(combo, WM_GETFONT, 0, 0));
    for (const Look& look : looks) {
        EnableWindow(combo, look.enabled);
        SetFocus(look.focused ? combo : Frame());
        // The item as the list holds it, in the look's colours.
        WindowDC screen(nullptr);
        OwnedDC dc(CreateCompatibleDC(screen));
        Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
        ObjectSelector selected(dc, bitmap);
        ObjectSelector selectedFont(dc, font ? font : GetStockObject(SYSTEM_FONT));
        RECT area = {0, 0, width, height};
        FillSolidRect(dc, area, look.fill);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, look.text);
        DrawTextA(dc, "B&d", -1, &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        const WindowPixels expected = ReadPixels(dc, width, height);
        EXPECT_TRUE(ShowsPicture(CaptureWindow(combo), field.left, field.top, expected)) << look.what;
    }
}

TEST_F(ComboTest, TheFrameAndTheInsideComeFromTheSkin)
{
    ASSERT_TRUE(LoadSkinSource(ComboVariant()));
    for (bool enabled : {true, false}) {
        HWND combo = Combo(CBS_DROPDOWNLIST, kComboId + enabled);
        SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        EnableWindow(combo, enabled);
        const ComboBoxSkin& skin = SkinOf(combo);
        const WindowPixels shown = CaptureWindow(combo);
        const FrameImageRef& frame = skin.mainImage;
        EXPECT_TRUE(ShowsPicture(shown, 0, 0, RenderFrameImage(frame, shown.width, shown.height, 0), frame.marginTop))
            << "border, enabled " << enabled;
        const COLORREF inside = enabled ? skin.backColour : skin.disabledBackground;
        const unsigned want = GetRValue(inside) << 16 | GetGValue(inside) << 8 | GetBValue(inside);
        EXPECT_EQ(want, shown.At(frame.marginLeft, frame.marginTop)) << "inside, enabled " << enabled;
        EXPECT_EQ(want, shown.At(shown.width - 19, shown.height - frame.marginBottom - 1))
            << "before the button, enabled " << enabled;
    }
}

TEST_F(ComboTest, TheEditTakesTheSkinsColours)
{
    ASSERT_TRUE(LoadSkinSource(ComboVariant()));
    HWND combo = Combo(CBS_DROPDOWN);
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    const ComboBoxSkin& skin = SkinOf(combo);
    struct Ask {
        const char* what;
        UINT message;
        bool enabled;
        COLORREF background;
        COLORREF text;
    };
    const Ask asks[] = {
        {"editable", WM_CTLCOLOREDIT, true, skin.backColour, skin.textColour},
        {"disabled, asked as an edit", WM_CTLCOLOREDIT, false, skin.disabledBackground, skin.disabledText},
        {"read-only", WM_CTLCOLORSTATIC, true, skin.disabledBackground, skin.disabledText},
    };
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    for (const Ask& ask : asks) {
        EnableWindow(combo, ask.enabled);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        const HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessageA(combo, ask.message, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));
        LOGBRUSH logBrush = {};
        ASSERT_NE(0, GetObjectA(brush, sizeof logBrush, &logBrush)) << ask.what;
        EXPECT_EQ(ask.background, logBrush.lbColor) << ask.what;
        EXPECT_EQ(ask.background, GetBkColor(dc)) << ask.what;
        EXPECT_EQ(ask.text, GetTextColor(dc)) << ask.what;
    }
    // The edit itself asks while it paints.
    EnableWindow(combo, TRUE);
    SetWindowTextA(edit, "");
    const WindowPixels shown = CaptureWindow(edit);
    EXPECT_EQ(0xF0F8E0u, shown.At(shown.width - 2, shown.height / 2));
}

TEST_F(ComboTest, AComboBoxOfThatIdGivesItsEditItsOwnColours)
{
    const std::string header = "object FrameSkin \"MainFrame\"\n";
    const std::string own = "  child ComboBoxSkin \"Own\"\n"
                            "    CONTROLID = 100\n"  // kComboId
                            "    COLOR.BACKCOLOR = #3C6E21\n"
                            "  end\n";
    const std::string source = Replaced(DefaultSkinSource(), header, header + own);
    ASSERT_TRUE(LoadSkinSource(source));
    HWND combo = Combo(CBS_DROPDOWN);
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    for (const char* when : {"made", "after a skin change"}) {
        const HBRUSH brush = reinterpret_cast<HBRUSH>(
            SendMessageA(combo, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(edit)));
        LOGBRUSH logBrush = {};
        ASSERT_NE(0, GetObjectA(brush, sizeof logBrush, &logBrush)) << when;
        EXPECT_EQ(RGB(0x3C, 0x6E, 0x21), logBrush.lbColor) << when;
        ASSERT_TRUE(LoadSkinSource(source));
    }
}

TEST_F(ComboTest, PaintingLeavesTheDcAsFound)
{
    HWND focused = Combo(CBS_DROPDOWNLIST);
    HWND disabled = Combo(CBS_DROPDOWN, kComboId + 1);
    EnableWindow(disabled, FALSE);
    SetFocus(focused);
    for (HWND combo : {focused, disabled})
        EXPECT_TRUE(PaintLeavesDcAsFound(combo, 160, 40));
}

TEST_F(ComboTest, SimpleAndOwnerDrawnComboBoxesKeepTheSystemLook)
{
    struct Kind {
        const char* what;
        DWORD style;
        bool skinned;
    };
    const Kind kinds[] = {
        {"drop-down", CBS_DROPDOWN, true},
        {"drop-down list", CBS_DROPDOWNLIST, true},
        {"simple", CBS_SIMPLE, false},
        {"owner-drawn, fixed", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, false},
        {"owner-drawn, variable", CBS_DROPDOWN | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS, false},
    };
    int id = kComboId;
    for (const Kind& kind : kinds) {
        HWND combo = AddControl("ComboBox", "", kind.style, 200, 10 + (id - kComboId) * 30, 120, 80, id);
        ++id;
        EXPECT_EQ(kind.skinned, SkinManager::Instance().FindWindowObject(combo) != nullptr) << kind.what;
        EXPECT_EQ(kind.skinned, GetPropA(combo, SkinnedWindow::kObjectProperty) != nullptr) << kind.what;
    }
}

namespace {

// The combo box's messages as sent to it (above the skin) and as passed on
// to the system's combo box (below it).
class ComboProtocolTest : public ComboTest {
protected:
    HWND RecordedCombo()
    {
        HWND frame = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
        HWND combo =
            CreateWindowExA(0, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_CHILD | WS_VISIBLE, 20, 20, 160, 120,
                            frame, reinterpret_cast<HMENU>(kComboId), GetModuleHandleA(nullptr), nullptr);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Item"));
        MessageLog& log = MessageLog::Instance();
        log.Subclass(combo, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(frame, "MainFrame"));
        log.Subclass(combo, kSent);
        PumpFor(30);
        log.RestrictTo({WM_PAINT, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSELEAVE});
        return combo;
    }
};

}  // namespace

TEST_F(ComboProtocolTest, EachChangeOfTheButtonRepaintsOnceAndNeverThroughTheSystem)
{
    HWND combo = RecordedCombo();
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(combo));
    const LPARAM inside = InsideButton(combo);
    PointAtButton(combo);
    // Where the skin's one repaint of the button falls: none, after the
    // system's combo box saw the message, or before it.
    enum class Paint { None, After, Before };
    const struct {
        const char* what;
        UINT message;
        WPARAM keys;
        Paint paint;
    } steps[] = {
        {"hover", WM_MOUSEMOVE, 0, Paint::After},
        {"move over the button", WM_MOUSEMOVE, 0, Paint::None},
        {"leave", WM_MOUSELEAVE, 0, Paint::Before},
        {"press", WM_LBUTTONDOWN, MK_LBUTTON, Paint::After},
        {"move while held", WM_MOUSEMOVE, MK_LBUTTON, Paint::None},
        {"release", WM_LBUTTONUP, 0, Paint::After},
    };
    // Nothing runs the queue from here on: what the system posts (a moved
    // pointer) waits, and each table holds only what the step itself did.
    for (const auto& step : steps) {
        MessageLog::Instance().Flush();
        SendMessageA(combo, step.message, step.keys, inside);
        const ExpectedMessage sent = {step.message, kSent, 0, 0}, below = {step.message, kDefWinProc, 0, 0};
        std::vector<ExpectedMessage> expected = {sent, below};
        if (step.paint != Paint::None)
            expected.insert(expected.begin() + (step.paint == Paint::Before ? 1 : 2),
                            ExpectedMessage{WM_PAINT, kSent, 0, 0});
        EXPECT_TRUE(MessageLog::Instance().Matches(expected.data(), expected.size(), step.what));
    }
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}
