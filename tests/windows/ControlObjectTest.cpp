// Objects made for one control: a child object of the window's skin object
// with that control's id and type replaces the general object of its type,
// through attach and through a new skin; one with AUTOPLACE moves its
// control to its placement; AUTOSKINFONT gives the control the object's font
// and the control's own font comes back when no object asks for a skin font.
#include "ControlTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/ButtonSkins.h"
#include "data/ControlSkinBase.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"

#include <commctrl.h>

namespace {

const int kSpecificId = 1001;
const int kOtherId = 1002;
const char kFrameHeader[] = "object FrameSkin \"MainFrame\"\n";
const char kDialogHeader[] = "object FrameSkin \"Dialog\"\n";
const char kSkinFont[] = "    AUTOSKINFONT = 1\n";

// A push-button object for one control id, drawn with a look of its own:
// the general object's disabled image, with uneven margins.
std::string ButtonChild(const std::string& name, int id, const std::string& extra = "")
{
    return "  child ButtonSkin \"" + name + "\"\n"
           "    CONTROLID = " + std::to_string(id) + "\n"
           "    FONT = { face \"Courier New\" height -19 weight 700 charset 0 color #102030 }\n"
           "    NORMAL.IMAGE = { bitmap \"controls.bmp\" rect 90 0 106 23 margins 6 2 3 4 stretch 1 }\n"
           "    FOCUSED.IMAGE = { bitmap \"controls.bmp\" rect 90 0 106 23 margins 6 2 3 4 stretch 1 }\n" +
           extra + "  end\n";
}

// Our skin with `children` under the main frame's object (or another's).
std::string WithFrameChildren(const std::string& children, const std::string& header = kFrameHeader)
{
    return Replaced(DefaultSkinSource(), header, header + children);
}

SkinObject* FrameChild(const char* name)
{
    SkinObject* frame = DefaultStore().FindObject("MainFrame");
    return frame ? frame->FindChild(name) : nullptr;
}

SkinObject* General(const char* name)
{
    return DefaultStore().FindObject(name);
}

SkinObject* BoundObject(HWND control)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(control);
    return skin ? skin->GetSkinObject() : nullptr;
}

// Where the control lies in its parent's client area.
RECT PlaceInParent(HWND control)
{
    RECT area;
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&area), 2);
    return area;
}

testing::AssertionResult IsRect(const RECT& got, int left, int top, int right, int bottom)
{
    if (got.left == left && got.top == top && got.right == right && got.bottom == bottom)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "rectangle " << got.left << "," << got.top << "," << got.right << ","
                                       << got.bottom << ", expected " << left << "," << top << "," << right << ","
                                       << bottom;
}

// The normal face of a push button bound to `object`, against what it shows.
testing::AssertionResult ShowsNormalFaceOf(HWND button, const SkinObject* object)
{
    const auto* skin = dynamic_cast<const ButtonSkin*>(object);
    if (!skin)
        return testing::AssertionFailure() << "not a push-button object";
    const FrameImageRef& look = skin->states[ButtonSkin::StateNormal].image;
    const WindowPixels shown = CaptureWindow(button);
    const WindowPixels expected = RenderFrameImage(look, shown.width, shown.height, GetSysColor(COLOR_BTNFACE));
    // The band outside the smallest margin: the caption lies inside it.
    const int band = std::min({look.marginLeft, look.marginTop, look.marginRight, look.marginBottom});
    return ShowsPicture(shown, 0, 0, expected, band);
}

class ControlObjectTest : public ControlTest {
protected:
    HWND Button(int id, int x, int y, DWORD style = BS_PUSHBUTTON)
    {
        return AddControl("Button", "", style, x, y, 90, 30, id);
    }
};

}  // namespace

TEST_F(ControlObjectTest, OnlyTheControlOfThatIdAndTypeTakesItsObject)
{
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("For1001", kSpecificId))));
    SkinObject* specific = FrameChild("For1001");
    ASSERT_NE(nullptr, specific);
    HWND mine = Button(kSpecificId, 20, 20);
    HWND other = Button(kOtherId, 20, 70);
    HWND check = AddControl("Button", "", BS_AUTOCHECKBOX, 20, 120, 90, 20, kSpecificId);
    SetFocus(Frame());

    EXPECT_EQ(specific, BoundObject(mine));
    EXPECT_EQ(General("Button"), BoundObject(other));
    EXPECT_EQ(General("CheckBox"), BoundObject(check)) << "a check box takes no push-button object";

    EXPECT_TRUE(ShowsNormalFaceOf(mine, specific)) << "its own images";
    EXPECT_TRUE(ShowsNormalFaceOf(other, General("Button")));
    EXPECT_FALSE(ShowsNormalFaceOf(mine, General("Button"))) << "the fixture's two looks must differ";
}

TEST_F(ControlObjectTest, ANewSkinBindsByItsOwnIds)
{
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Special", kSpecificId))));
    HWND first = Button(kSpecificId, 20, 20);
    HWND second = Button(kOtherId, 20, 70);
    SetFocus(Frame());
    ASSERT_EQ(FrameChild("Special"), BoundObject(first));

    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Special", kOtherId))));
    EXPECT_EQ(General("Button"), BoundObject(first)) << "its id is no longer in the skin";
    EXPECT_EQ(FrameChild("Special"), BoundObject(second)) << "the new skin's object";
    EXPECT_TRUE(ShowsNormalFaceOf(first, General("Button")));
    EXPECT_TRUE(ShowsNormalFaceOf(second, FrameChild("Special")));

    ASSERT_TRUE(LoadSkinSource(DefaultSkinSource()));
    EXPECT_EQ(General("Button"), BoundObject(first));
    EXPECT_EQ(General("Button"), BoundObject(second));
    EXPECT_TRUE(ShowsNormalFaceOf(second, General("Button")));
}

// A new skin reaches each control once, through the window that skinned
// it; every re-bind repaints the control, so a second one would show as a
// second paint.
TEST_F(ControlObjectTest, ANewSkinRepaintsEachControlOnce)
{
    struct Kind {
        const char* className;
        DWORD style;
        int id;
    };
    const Kind kKinds[] = {
        {"Button", BS_PUSHBUTTON, kOtherId},
        {"Button", BS_PUSHBUTTON, kSpecificId},
        {"Button", BS_AUTOCHECKBOX, 0},
        {"Button", BS_AUTORADIOBUTTON, 0},
        {"Static", SS_LEFT, 0},
        {"msctls_progress32", 0, 0},
        {"msctls_trackbar32", TBS_HORZ, 0},
    };
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Special", kSpecificId))));
    std::vector<HWND> controls;
    int y = 10;
    for (const Kind& kind : kKinds) {
        controls.push_back(AddControl(kind.className, "Text", kind.style, 20, y, 120, 24, kind.id));
        y += 30;
    }
    MessageLog& log = MessageLog::Instance();
    for (HWND control : controls)
        log.Subclass(control, kSent);
    PumpFor(50);
    log.RestrictTo({WM_PAINT});
    log.Flush();

    ASSERT_TRUE(LoadSkinFromResource(GetModuleHandleA(nullptr), "SKINRES", "VELTRAMOX"));
    PumpMessages();
    for (size_t i = 0; i < controls.size(); ++i) {
        int paints = 0;
        for (const LoggedMessage& entry : log.Entries())
            paints += entry.window == controls[i] ? 1 : 0;
        EXPECT_EQ(1, paints) << kKinds[i].className << " style " << std::hex << kKinds[i].style;
    }
    log.RestrictTo({});
    EXPECT_TRUE(ShowsNormalFaceOf(controls[0], General("Button"))) << "bound to the new skin's object";
}

TEST_F(ControlObjectTest, ControlIdZeroNamesNoControl)
{
    // A file of minor version 6 keeps the id but reads it as 0; minor 7 keeps
    // it; an object of a later file that gives no id has 0 too.
    struct Case {
        const char* version;
        const char* childId;
        bool forThe1001;
    };
    const Case cases[] = {{"1.6", "    CONTROLID = 1001\n", false},
                          {"1.7", "    CONTROLID = 1001\n", true},
                          {"1.11", "", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        const std::string source = std::string("skin ") + c.version + "\n" + kFrameHeader +
                                   "  child CheckBoxSkin \"Box\"\n" + c.childId +
                                   "  end\n"
                                   "end\n"
                                   "object CheckBoxSkin \"CheckBox\"\n"
                                   "end\n";
        ASSERT_TRUE(LoadSkinSource(source));
        SkinObject* child = FrameChild("Box");
        ASSERT_NE(nullptr, child);
        HWND withId = AddControl("Button", "", BS_AUTOCHECKBOX, 20, 20, 90, 20, kSpecificId);
        HWND withoutId = AddControl("Button", "", BS_AUTOCHECKBOX, 20, 50, 90, 20, 0);
        EXPECT_EQ(c.forThe1001 ? child : General("CheckBox"), BoundObject(withId));
        EXPECT_EQ(General("CheckBox"), BoundObject(withoutId)) << "a control without an id";
        // No file before minor 8 can ask for a placement.
        EXPECT_TRUE(IsRect(PlaceInParent(withId), 20, 20, 110, 40));
        DestroyWindow(withId);
        DestroyWindow(withoutId);
    }
}

TEST_F(ControlObjectTest, AutoPlaceMovesItsControlOnAttachAndOnANewSkin)
{
    const std::string placed = ButtonChild("Placed", kSpecificId, "    placement = 230 140 301 163\n    AUTOPLACE = 1\n");
    const std::string unplaced = ButtonChild("Unplaced", kOtherId, "    placement = 5 6 7 8\n");
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(placed + unplaced)));
    HWND moved = Button(kSpecificId, 20, 20);
    HWND kept = Button(kOtherId, 20, 70);
    SetFocus(Frame());
    EXPECT_TRUE(IsRect(PlaceInParent(moved), 230, 140, 301, 163));
    EXPECT_TRUE(IsRect(PlaceInParent(kept), 20, 70, 110, 100)) << "no AUTOPLACE: where it was made";
    EXPECT_TRUE(ShowsNormalFaceOf(moved, FrameChild("Placed"))) << "drawn at its new size";

    // A control made under a skin without the object moves when a skin
    // with it arrives; the place it left shows the frame again.
    ASSERT_TRUE(LoadSkinSource(DefaultSkinSource()));
    HWND later = Button(kSpecificId, 20, 130);
    HWND frame = Frame();
    DestroyWindow(moved);
    DestroyWindow(kept);
    PumpFor(20);
    const RECT left = PlaceInParent(later);
    ShowWindow(later, SW_HIDE);
    const WindowPixels empty = CaptureWindow(frame);
    ShowWindow(later, SW_SHOW);
    PumpFor(20);
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(placed)));
    EXPECT_TRUE(IsRect(PlaceInParent(later), 230, 140, 301, 163));
    EXPECT_TRUE(ShowsNormalFaceOf(later, FrameChild("Placed")));
    RECT client;
    GetClientRect(frame, &client);
    POINT origin = {0, 0};
    ClientToScreen(frame, &origin);
    RECT window;
    GetWindowRect(frame, &window);
    RECT area = left;
    OffsetRect(&area, origin.x - window.left, origin.y - window.top);
    const WindowPixels now = CaptureWindow(frame);
    EXPECT_EQ(0, PixelsDifferingIn(now, area, empty)) << "nothing of the button is left where it was";
}

TEST_F(ControlObjectTest, AGeneralObjectNeverPlacesItsControls)
{
    const std::string header = "object ButtonSkin \"Button\"\n";
    const std::string placed =
        Replaced(DefaultSkinSource(), header, header + "  placement = 230 140 301 163\n  AUTOPLACE = 1\n");
    ASSERT_TRUE(LoadSkinSource(placed));
    HWND button = Button(kOtherId, 20, 70);
    EXPECT_TRUE(IsRect(PlaceInParent(button), 20, 70, 110, 100)) << "attached";
    ASSERT_TRUE(LoadSkinSource(DefaultSkinSource()));
    ASSERT_TRUE(LoadSkinSource(placed));
    EXPECT_TRUE(IsRect(PlaceInParent(button), 20, 70, 110, 100)) << "re-bound";
}

TEST_F(ControlObjectTest, InADialogTheObjectPlacesItsControlAndLendsItsFont)
{
    const std::string extra = std::string(kSkinFont) + "    placement = 12 34 112 64\n    AUTOPLACE = 1\n";
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Placed", kSpecificId, extra), kDialogHeader)));
    DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 120, L"Placed");
    dialog.Add(L"Button", L"One", kSpecificId, BS_PUSHBUTTON, 120, 80, 50, 14)
        .Add(L"Button", L"Two", kOtherId, BS_PUSHBUTTON, 10, 80, 50, 14);
    HWND window = dialog.Create(nullptr, PlainDialogProc);
    windows_.push_back(window);
    ShowWindow(window, SW_SHOW);
    PumpFor(40);
    HWND one = GetDlgItem(window, kSpecificId);
    HWND two = GetDlgItem(window, kOtherId);
    RECT made = {10, 80, 50, 14};  // position and size, each converted as the dialog does
    MapDialogRect(window, &made);
    EXPECT_TRUE(IsRect(PlaceInParent(two), made.left, made.top, made.left + made.right, made.top + made.bottom))
        << "where the dialog put it";
    EXPECT_TRUE(IsRect(PlaceInParent(one), 12, 34, 112, 64));
    EXPECT_TRUE(ShowsNormalFaceOf(one, DefaultStore().FindObject("Dialog")->FindChild("Placed")));

    const auto* skin = dynamic_cast<const ControlSkinBase*>(DefaultStore().FindObject("Dialog")->FindChild("Placed"));
    ASSERT_NE(nullptr, skin);
    const LRESULT dialogFont = SendMessageA(window, WM_GETFONT, 0, 0);
    ASSERT_NE(0, dialogFont);
    EXPECT_EQ(reinterpret_cast<LRESULT>(skin->FontHandle()), SendMessageA(one, WM_GETFONT, 0, 0));
    EXPECT_EQ(dialogFont, SendMessageA(two, WM_GETFONT, 0, 0));
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(one));
    EXPECT_EQ(dialogFont, SendMessageA(one, WM_GETFONT, 0, 0)) << "the dialog's font back";
}

TEST_F(ControlObjectTest, AStaticOfThatIdTakesItsOwnBackground)
{
    // Our statics are transparent; this one has a solid colour of its own.
    const std::string child =
        "  child StaticSkin \"Solid\"\n"
        "    CONTROLID = 1001\n"
        "    backColour = #3C6E21\n"
        "    TRANSPARENT = 0\n"
        "  end\n";
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(child)));
    HWND solid = AddControl("Static", "", SS_LEFT, 20, 20, 60, 20, kSpecificId);
    HWND clear = AddControl("Static", "", SS_LEFT, 20, 60, 60, 20, kOtherId);
    ASSERT_EQ(FrameChild("Solid"), BoundObject(solid));
    const WindowPixels shown = CaptureWindow(solid);
    WindowPixels expected = shown;
    expected.pixels.assign(expected.pixels.size(), 0x3C6E21);
    EXPECT_TRUE(ShowsPicture(shown, 0, 0, expected));
    EXPECT_EQ(0, PixelsDifferingIn(CaptureWindow(clear), RECT{0, 0, 60, 20}, BackgroundBehind(clear)));
    // Only a static that shows what lies behind it asks to be painted after it.
    EXPECT_FALSE(GetWindowLongPtrA(solid, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(GetWindowLongPtrA(clear, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

namespace {

// A button on a frame that is skinned only after the button exists, so that
// the whole attach is recorded: above the skin, below it, and at the parent.
class ControlFontTest : public ControlObjectTest {
protected:
    void TearDown() override
    {
        MessageLog::Instance().RestrictTo({});
        ControlObjectTest::TearDown();
    }

    // The attach itself (region, first paint) is done when this returns;
    // what it posted to the button is still waiting, and recorded from here.
    // The button's handle is below its frame's, so that a new skin reaches
    // the button before the frame whose object holds the button's object.
    HWND RecordedButton(int id, HFONT ownFont)
    {
        HWND button = nullptr;
        HWND frame = nullptr;
        // Handles freed earlier come back in any order; fresh ones grow.
        for (int attempt = 0; attempt < 200 && !(button && button < frame); ++attempt) {
            HWND holder = CreateFrame(WS_OVERLAPPEDWINDOW, 100, 100);
            button = CreateWindowExA(0, "Button", "Button", BS_PUSHBUTTON | WS_CHILD | WS_VISIBLE, 10, 10, 100, 30,
                                     holder, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     GetModuleHandleA(nullptr), nullptr);
            frame = CreateFrame(WS_OVERLAPPEDWINDOW, 400, 300);
        }
        EXPECT_LT(button, frame) << "no button handle below its frame's";
        SetParent(button, frame);
        SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(ownFont), FALSE);
        PumpFor(20);
        MessageLog& log = MessageLog::Instance();
        log.Subclass(button, kDefWinProc);
        EXPECT_TRUE(SetWindowSkin(frame, "MainFrame"));
        log.Subclass(button, kSent);
        log.RestrictTo(kWatched);
        log.Flush();
        return button;
    }

    // The font's messages only: a new skin repaints for reasons of its own.
    static void WatchFontMessagesOnly()
    {
        MessageLog::Instance().RestrictTo({WM_SETFONT, WM_SKIN_SAVEFONT});
        MessageLog::Instance().Flush();
    }

    static const std::vector<UINT> kWatched;
};

const std::vector<UINT> ControlFontTest::kWatched = {WM_SETFONT, WM_GETFONT, WM_SKIN_SAVEFONT, WM_PAINT};

}  // namespace

TEST_F(ControlFontTest, TheSkinFontReplacesTheOwnUntilNoObjectAsksForIt)
{
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId, kSkinFont))));
    const Font own(CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    HWND button = RecordedButton(kSpecificId, own.Get());
    const auto* skin = dynamic_cast<const ControlSkinBase*>(FrameChild("Font"));
    ASSERT_NE(nullptr, skin);
    const WPARAM skinFont = reinterpret_cast<WPARAM>(skin->FontHandle());
    PumpFor(30);
    const ExpectedMessage attached[] = {
        // The control's own font recorded when the request arrives, then
        // the skin font applied.
        {WM_SKIN_SAVEFONT, kPosted, 0, 0},
        {WM_SKIN_SAVEFONT, kSent, 0, 0},
        {WM_GETFONT, kDefWinProc, 0, 0},
        {WM_SETFONT, kSent | kWParam | kLParam, skinFont, TRUE},
        {WM_SETFONT, kDefWinProc | kWParam, skinFont, 0},
        // One repaint, by the skin, with the new font.
        {WM_PAINT, kPosted, 0, 0},
        {WM_PAINT, kSent, 0, 0},
        {WM_GETFONT, kDefWinProc, 0, 0},
    };
    EXPECT_TRUE(LogMatches(attached, "attach with a skin font"));
    EXPECT_EQ(static_cast<LRESULT>(skinFont), SendMessageA(button, WM_GETFONT, 0, 0));

    WatchFontMessagesOnly();
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId))));
    PumpFor(30);
    const ExpectedMessage replaced[] = {
        {WM_SETFONT, kSent | kWParam | kLParam, reinterpret_cast<WPARAM>(own.Get()), FALSE},
        {WM_SETFONT, kDefWinProc | kWParam, reinterpret_cast<WPARAM>(own.Get()), 0},
    };
    EXPECT_TRUE(LogMatches(replaced, "an object without a skin font"));
    EXPECT_EQ(reinterpret_cast<LRESULT>(own.Get()), SendMessageA(button, WM_GETFONT, 0, 0));

    // The skin font again, then the skin goes: the own font comes back once.
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId, kSkinFont))));
    PumpFor(30);
    const auto* again = dynamic_cast<const ControlSkinBase*>(FrameChild("Font"));
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(reinterpret_cast<LRESULT>(again->FontHandle()), SendMessageA(button, WM_GETFONT, 0, 0));
    WatchFontMessagesOnly();
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(button));
    PumpFor(30);
    const ExpectedMessage unskinned[] = {
        {WM_SETFONT, kDefWinProc | kWParam | kLParam, reinterpret_cast<WPARAM>(own.Get()), TRUE},
    };
    EXPECT_TRUE(LogMatches(unskinned, "the skin goes"));
    EXPECT_EQ(reinterpret_cast<LRESULT>(own.Get()), SendMessageA(button, WM_GETFONT, 0, 0));
}

TEST_F(ControlFontTest, APlacedControlTakesTheSkinFontWithoutASecondRepaint)
{
    const std::string extra = std::string(kSkinFont) + "    placement = 150 100 240 130\n    AUTOPLACE = 1\n";
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Placed", kSpecificId, extra))));
    const Font own(CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    HWND button = RecordedButton(kSpecificId, own.Get());
    const auto* skin = dynamic_cast<const ControlSkinBase*>(FrameChild("Placed"));
    ASSERT_NE(nullptr, skin);
    const WPARAM skinFont = reinterpret_cast<WPARAM>(skin->FontHandle());
    PumpFor(30);
    const ExpectedMessage attached[] = {
        {WM_SKIN_SAVEFONT, kPosted, 0, 0},
        {WM_SKIN_SAVEFONT, kSent, 0, 0},
        {WM_GETFONT, kDefWinProc, 0, 0},
        // No redraw asked with the font: the move repaints, once.
        {WM_SETFONT, kSent | kWParam | kLParam, skinFont, FALSE},
        {WM_SETFONT, kDefWinProc | kWParam | kLParam, skinFont, FALSE},
        {WM_PAINT, kPosted, 0, 0},
        {WM_PAINT, kSent, 0, 0},
        {WM_GETFONT, kDefWinProc, 0, 0},
    };
    EXPECT_TRUE(LogMatches(attached, "attach with a skin font and a placement"));
    EXPECT_TRUE(IsRect(PlaceInParent(button), 150, 100, 240, 130));
}

TEST_F(ControlFontTest, ASkinFontNoLongerWantedWhenItsRequestArrivesIsNeverApplied)
{
    const Font own(CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    const std::string wanting = WithFrameChildren(ButtonChild("Font", kSpecificId, kSkinFont));

    // The skin changes before the request posted at attach arrives.
    ASSERT_TRUE(LoadSkinSource(wanting));
    HWND button = RecordedButton(kSpecificId, own.Get());
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId))));
    WatchFontMessagesOnly();
    PumpFor(30);
    const ExpectedMessage arrived[] = {
        {WM_SKIN_SAVEFONT, kPosted, 0, 0},
        {WM_SKIN_SAVEFONT, kSent, 0, 0},
    };
    EXPECT_TRUE(LogMatches(arrived, "a request for a font no object wants"));
    EXPECT_EQ(reinterpret_cast<LRESULT>(own.Get()), SendMessageA(button, WM_GETFONT, 0, 0));

    // The skin goes before the request arrives.
    ASSERT_TRUE(LoadSkinSource(wanting));
    HWND unskinned = RecordedButton(kSpecificId, own.Get());
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(unskinned));
    WatchFontMessagesOnly();
    PumpFor(30);
    EXPECT_FALSE(MessageLog::Instance().Contains(WM_SETFONT)) << "the system's button keeps its font";
    EXPECT_EQ(reinterpret_cast<LRESULT>(own.Get()), SendMessageA(unskinned, WM_GETFONT, 0, 0));
}

TEST_F(ControlFontTest, ARequestLeftByAFormerSkinRecordsTheOwnFontOnce)
{
    const Font own(CreateFontA(-15, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial"));
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId, kSkinFont))));
    HWND button = RecordedButton(kSpecificId, own.Get());
    // Unskinned and skinned again while the first skin's request waits:
    // two requests arrive, and the second must not take the skin font that
    // the first applied for the control's own.
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(button));
    ASSERT_TRUE(LoadSkinSource(WithFrameChildren(ButtonChild("Font", kSpecificId, kSkinFont))));
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(button));
    PumpFor(30);
    const auto* skin = dynamic_cast<const ControlSkinBase*>(FrameChild("Font"));
    ASSERT_NE(nullptr, skin);
    EXPECT_EQ(reinterpret_cast<LRESULT>(skin->FontHandle()), SendMessageA(button, WM_GETFONT, 0, 0));
    ASSERT_TRUE(SkinManager::Instance().UnskinWindow(button));
    EXPECT_EQ(reinterpret_cast<LRESULT>(own.Get()), SendMessageA(button, WM_GETFONT, 0, 0));
}
