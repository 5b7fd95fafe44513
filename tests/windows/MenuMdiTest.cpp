// The menu bar of an MDI frame whose active child is maximised: the
// child's system-menu button and its minimise, restore and close buttons
// on the bar, what they send, how they look, and the room they take.
#include "MenuTestSupport.h"

#include "DcStateCheck.h"
#include "GdiPressure.h"
#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "windows/MdiButton.h"

#include <string>
#include <utility>
#include <vector>

namespace {

const char kMdiFrameClass[] = "SsoTestMdiFrame";
const char kMdiChildClass[] = "SsoTestMdiMenuChild";

LRESULT CALLBACK MdiFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefFrameProcA(window, FindWindowExA(window, nullptr, "MDIClient", nullptr), message, wParam, lParam);
}

LRESULT CALLBACK MdiChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(window, message, wParam, lParam);
}

void RegisterClasses()
{
    static bool registered = [] {
        WNDCLASSA windowClass = {};
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpfnWndProc = MdiFrameProc;
        windowClass.lpszClassName = kMdiFrameClass;
        RegisterClassA(&windowClass);
        windowClass.lpfnWndProc = MdiChildProc;
        windowClass.lpszClassName = kMdiChildClass;
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        RegisterClassA(&windowClass);
        return true;
    }();
    (void)registered;
}

// The menu-bar part of the frame skin the engine holds now.
const MenuBarSkin& BarSkin()
{
    return static_cast<const FrameSkin*>(SkinManager::Instance().GetSkinStore().FindObject("MainFrame"))->menuBar;
}

class MdiMenuTest : public MenuTest {
protected:
    void SetUp() override
    {
        MenuTest::SetUp();
        RegisterClasses();
    }

    void CreateMdiFrame(int width = 500, int height = 400)
    {
        menu_ = CreateTestMenu();
        frame_ = CreateWindowExA(0, kMdiFrameClass, "MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, width,
                                 height, nullptr, menu_, GetModuleHandleA(nullptr), nullptr);
        windows_.push_back(frame_);
        CLIENTCREATESTRUCT create = {nullptr, 100};
        RECT client;
        GetClientRect(frame_, &client);
        client_ = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  client.right, client.bottom, frame_, nullptr, GetModuleHandleA(nullptr), &create);
        ShowWindow(frame_, SW_SHOW);
        ASSERT_TRUE(SetWindowSkin(frame_, "MainFrame"));
        SetForegroundWindow(frame_);
        PumpFor(50);
    }

    HWND CreateChild(bool skinned = true)
    {
        MDICREATESTRUCTA create = {kMdiChildClass, "child", GetModuleHandleA(nullptr), 10, 10, 200, 150,
                                   WS_OVERLAPPEDWINDOW, 0};
        HWND child = reinterpret_cast<HWND>(SendMessageA(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        if (skinned) {
            EXPECT_TRUE(SetWindowSkin(child, "MainFrame"));
        }
        PumpFor(30);
        return child;
    }

    void Maximise(HWND child)
    {
        SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        PumpFor(30);
    }


    // The bar's item area in window coordinates: the bar inside its
    // background's margins.
    RECT ItemArea()
    {
        const RECT bar = Bar().GetRect();
        const FrameImageRef& margins = BarSkin().barBackground;
        return {bar.left + margins.marginLeft, bar.top + margins.marginTop, bar.right - margins.marginRight,
                bar.bottom - margins.marginBottom};
    }

    // Where a button belongs: the system-menu button 2 pixels into the
    // first row, close at the right end of the last, restore and minimise
    // 18 and 36 pixels left of it; 16 x 16, a pixel below the rows' middle.
    RECT ExpectedButtonRect(int index)
    {
        const RECT area = ItemArea();
        const RECT item = Bar().ItemRect(0);
        const int drop = (item.bottom - item.top - 14) / 2;
        const int steps[] = {0, 36, 18, 0};
        const POINT corner = index == MenuBar::MdiSystemMenu
                                 ? POINT{area.left + 2, area.top + drop}
                                 : POINT{area.right - 16 - steps[index], area.bottom - drop - 16};
        return {corner.x, corner.y, corner.x + 16, corner.y + 16};
    }

    POINT ButtonCentre(int index)
    {
        const RECT button = Bar().GetMdiButton(index).Rect();
        RECT window;
        GetWindowRect(frame_, &window);
        return {window.left + (button.left + button.right) / 2, window.top + (button.top + button.bottom) / 2};
    }

    // The pointer at `screen` as the bar sees it: the move the system
    // would send, then a tick of the bar's hover poll, delivered rather
    // than waited for.
    void PointAt(POINT screen)
    {
        PlacePointer(screen);
        const LPARAM at = MAKELPARAM(screen.x, screen.y);
        if (WindowFromPoint(screen) == frame_)
            SendMessageA(frame_, WM_NCMOUSEMOVE, SendMessageA(frame_, WM_NCHITTEST, 0, at), at);
        SendMessageA(frame_, WM_TIMER, reinterpret_cast<WPARAM>((WindowTimerClient*)&Bar()), 0);
    }

    void PointAway() { PointAt({GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5}); }

    // The real pointer goes along, so the bar's hover poll, should it run
    // meanwhile, finds it where the message says.
    void NcMessage(UINT message, POINT screen)
    {
        PlacePointer(screen);
        SendMessageA(frame_, message, HTMENU, MAKELPARAM(screen.x, screen.y));
        PumpFor(20);
    }

    void ClickButton(int index)
    {
        NcMessage(WM_NCLBUTTONDOWN, ButtonCentre(index));
        NcMessage(WM_NCLBUTTONUP, ButtonCentre(index));
    }

    // Logs what the child and the MDI client receive of these messages.
    void LogChildAndClient(HWND child, std::vector<UINT> messages)
    {
        MessageLog::Instance().Subclass(child);
        MessageLog::Instance().Subclass(client_, kParent);
        MessageLog::Instance().RestrictTo(std::move(messages));
        MessageLog::Instance().Flush();
    }

    // True when the button shows that state's picture where it belongs.
    testing::AssertionResult ShowsButton(const WindowPixels& shown, int button, int state);

    HWND client_ = nullptr;
};

// True when the 16 x 16 pixels at `at` are those of `picture` (or of the
// button face when it is empty).
testing::AssertionResult ShowsPicture(const WindowPixels& shown, const RECT& at, const ImageRef& picture)
{
    const WindowPixels expected = RenderPiece(picture, 16, 16, GetSysColor(COLOR_BTNFACE));
    int different = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            different += expected.At(x, y) != shown.At(at.left + x, at.top + y);
    if (different == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << different << " of 256 pixels differ at " << at.left << "," << at.top;
}

// The skin's pictures of each button, normal, hot, pressed.
const int kFirstPicture[MenuBar::MdiButtonCount] = {9, 0, 3, 6};

const ImageRef& Picture(int button, int state)
{
    return BarSkin().mdiButtons[kFirstPicture[button] + state];
}

testing::AssertionResult MdiMenuTest::ShowsButton(const WindowPixels& shown, int button, int state)
{
    return ShowsPicture(shown, ExpectedButtonRect(button), Picture(button, state));
}


TEST_F(MdiMenuTest, AMaximisedChildPutsItsButtonsOnTheBarAndNothingIntoTheMenu)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    const RECT firstBefore = Bar().ItemRect(0);
    EXPECT_EQ(ItemArea().left + 4, firstBefore.left);
    EXPECT_FALSE(Bar().HasMdiButtons());
    Maximise(child);
    ASSERT_TRUE(IsZoomed(child));
    EXPECT_TRUE(Bar().HasMdiButtons());
    EXPECT_EQ(ItemArea().left + 20, Bar().ItemRect(0).left) << "the items make room for the system-menu button";
    for (int i = 0; i < MenuBar::MdiButtonCount; ++i) {
        const RECT expected = ExpectedButtonRect(i), placed = Bar().GetMdiButton(i).Rect();
        EXPECT_TRUE(EqualRect(&expected, &placed)) << "button " << i << " at " << placed.left << "," << placed.top;
    }
    // The system finds no menu on the frame to put the child's items into.
    EXPECT_EQ(nullptr, GetMenu(frame_));
    EXPECT_EQ(3, GetMenuItemCount(menu_));
    EXPECT_EQ(3u, Bar().Items().size());
    EXPECT_EQ(0, VisibleSystemMenus());
}

TEST_F(MdiMenuTest, TheButtonsShowTheirPictureForEachState)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    for (int button = 0; button < MenuBar::MdiButtonCount; ++button) {
        const WindowPixels normal = RenderPiece(Picture(button, MdiButton::Normal), 16, 16, 0);
        const WindowPixels hot = RenderPiece(Picture(button, MdiButton::Hot), 16, 16, 0);
        const WindowPixels pressed = RenderPiece(Picture(button, MdiButton::Pressed), 16, 16, 0);
        ASSERT_NE(normal.pixels, hot.pixels) << "the skin tells the states apart, button " << button;
        ASSERT_NE(hot.pixels, pressed.pixels) << button;
    }
    WindowPixels shown = CaptureWindow(frame_);
    for (int button = 0; button < MenuBar::MdiButtonCount; ++button)
        EXPECT_TRUE(ShowsButton(shown, button, MdiButton::Normal)) << button;

    const POINT close = ButtonCentre(MenuBar::MdiClose), restore = ButtonCentre(MenuBar::MdiRestore);
    PointAt(close);
    ASSERT_EQ(MdiButton::Hot, Bar().GetMdiButton(MenuBar::MdiClose).GetState());
    shown = CaptureWindow(frame_);
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiClose, MdiButton::Hot));
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiRestore, MdiButton::Normal));

    NcMessage(WM_NCLBUTTONDOWN, close);
    shown = CaptureWindow(frame_);
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiClose, MdiButton::Pressed));

    // Held and moved off, the button lets go of its pressed look, and no
    // other one lights up; back on it, it is pressed again.
    PointAt(restore);
    shown = CaptureWindow(frame_);
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiClose, MdiButton::Normal));
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiRestore, MdiButton::Normal));
    PointAt(close);
    EXPECT_EQ(MdiButton::Pressed, Bar().GetMdiButton(MenuBar::MdiClose).GetState());

    // Away from the bar the hover poll puts everything back.
    PointAway();
    for (int button = 0; button < MenuBar::MdiButtonCount; ++button)
        EXPECT_EQ(MdiButton::Normal, Bar().GetMdiButton(button).GetState()) << button;
    NcMessage(WM_NCLBUTTONUP, close);
    EXPECT_TRUE(IsWindow(child) && IsZoomed(child)) << "a release after the poll let go runs nothing";
}

TEST_F(MdiMenuTest, TheBarWithItsButtonsLeavesTheDcAsItFoundIt)
{
    CreateMdiFrame();
    Maximise(CreateChild());
    RECT window;
    GetWindowRect(frame_, &window);
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, window.right - window.left, window.bottom - window.top));
    ObjectSelector selected(dc, bitmap);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    SetBkMode(dc, OPAQUE);
    ObjectSelector font(dc, GetStockObject(ANSI_FIXED_FONT));
    const DcState before(dc);
    Bar().Draw(dc);
    EXPECT_TRUE(before.Unchanged(dc)) << "normal buttons";
    NcMessage(WM_NCLBUTTONDOWN, ButtonCentre(MenuBar::MdiRestore));
    NcMessage(WM_NCMOUSEMOVE, ButtonCentre(MenuBar::MdiRestore));
    ASSERT_EQ(MdiButton::Pressed, Bar().GetMdiButton(MenuBar::MdiRestore).GetState());
    Bar().Draw(dc);
    EXPECT_TRUE(before.Unchanged(dc)) << "a pressed button";
    NcMessage(WM_NCMOUSEMOVE, ButtonCentre(MenuBar::MdiClose));
    Bar().Draw(dc);
    EXPECT_TRUE(before.Unchanged(dc)) << "a held button off the mouse";
}

TEST_F(MdiMenuTest, AMissingStatePictureFallsBackToTheNormalOneAndAMissingNormalOneToTheButtonFace)
{
    std::string source = DefaultSkinSource();
    // The close button loses its hot picture; minimise loses all three.
    for (const char* key : {"    mdiButton[7] = ", "    mdiButton[0] = ", "    mdiButton[1] = ", "    mdiButton[2] = "})
        for (size_t at = source.find(key); at != std::string::npos; at = source.find(key))
            source.erase(at, source.find('\n', at) + 1 - at);
    ASSERT_TRUE(LoadSkinSource(source));
    CreateMdiFrame();
    Maximise(CreateChild());
    const MenuBarSkin& skin = BarSkin();
    ASSERT_TRUE(IsImageRefEmpty(skin.mdiButtons[7]));
    const ImageRef none = {};
    const POINT close = ButtonCentre(MenuBar::MdiClose);
    PointAt(close);
    ASSERT_EQ(MdiButton::Hot, Bar().GetMdiButton(MenuBar::MdiClose).GetState());
    const WindowPixels shown = CaptureWindow(frame_);
    EXPECT_TRUE(ShowsPicture(shown, ExpectedButtonRect(MenuBar::MdiClose), skin.mdiButtons[6]));
    EXPECT_TRUE(ShowsPicture(shown, ExpectedButtonRect(MenuBar::MdiMinimise), none));
    EXPECT_TRUE(ShowsPicture(shown, ExpectedButtonRect(MenuBar::MdiRestore), skin.mdiButtons[3]));
    const POINT minimise = ButtonCentre(MenuBar::MdiMinimise);
    PointAt(minimise);
    NcMessage(WM_NCLBUTTONDOWN, minimise);
    EXPECT_TRUE(ShowsPicture(CaptureWindow(frame_), ExpectedButtonRect(MenuBar::MdiMinimise), none));
    PointAway();
}

TEST_F(MdiMenuTest, MinimiseGoesToTheChildAndRestoreThroughTheClient)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    LogChildAndClient(child, {WM_SYSCOMMAND, WM_MDIRESTORE, WM_CLOSE, WM_MDIDESTROY});
    ClickButton(MenuBar::MdiMinimise);
    const ExpectedMessage minimised[] = {{WM_SYSCOMMAND, kSent | kWParam, SC_MINIMIZE, 0}};
    EXPECT_TRUE(LogMatches(minimised, "minimise"));
    EXPECT_TRUE(IsIconic(child));
    EXPECT_FALSE(Bar().HasMdiButtons());

    Maximise(child);
    ASSERT_TRUE(Bar().HasMdiButtons());
    MessageLog::Instance().Flush();
    ClickButton(MenuBar::MdiRestore);
    const ExpectedMessage restored[] = {{WM_MDIRESTORE, kParent | kWParam, reinterpret_cast<WPARAM>(child), 0}};
    EXPECT_TRUE(LogMatches(restored, "restore"));
    EXPECT_FALSE(IsZoomed(child));
    EXPECT_FALSE(IsIconic(child));
    EXPECT_FALSE(Bar().HasMdiButtons());
}

TEST_F(MdiMenuTest, CloseAsksTheChildWhichTheClientDestroys)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    LogChildAndClient(child, {WM_SYSCOMMAND, WM_MDIRESTORE, WM_CLOSE, WM_MDIDESTROY});
    ClickButton(MenuBar::MdiClose);
    const ExpectedMessage closed[] = {
        {WM_SYSCOMMAND, kSent | kWParam, SC_CLOSE, 0},
        {WM_CLOSE, kSent, 0, 0},
        {WM_MDIDESTROY, kParent | kWParam, reinterpret_cast<WPARAM>(child), 0},
    };
    EXPECT_TRUE(LogMatches(closed, "close"));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_TRUE(IsWindow(frame_));
    EXPECT_FALSE(Bar().HasMdiButtons());
}

// A double click on each place of the bar with a maximised child: only
// the child's system-menu button closes it.
struct DoubleClickCase {
    const char* where;
    int button;  // a button, or -1 for the first bar item
    bool closes;
};

const DoubleClickCase kDoubleClickCases[] = {
    {"system-menu button", MenuBar::MdiSystemMenu, true},
    {"minimise button", MenuBar::MdiMinimise, false},
    {"restore button", MenuBar::MdiRestore, false},
    {"a bar item", -1, false},
};

TEST_F(MdiMenuTest, ADoubleClickOnTheSystemMenuButtonClosesTheChild)
{
    for (const DoubleClickCase& row : kDoubleClickCases) {
        CreateMdiFrame();
        HWND child = CreateChild();
        Maximise(child);
        LogChildAndClient(child, {WM_SYSCOMMAND, WM_MDIRESTORE, WM_CLOSE, WM_MDIDESTROY});
        NcMessage(WM_NCLBUTTONDBLCLK, row.button < 0 ? BarItemCentre(0) : ButtonCentre(row.button));
        const ExpectedMessage closed[] = {
            {WM_SYSCOMMAND, kSent | kWParam, SC_CLOSE, 0},
            {WM_CLOSE, kSent, 0, 0},
            {WM_MDIDESTROY, kParent | kWParam, reinterpret_cast<WPARAM>(child), 0},
        };
        if (row.closes) {
            EXPECT_TRUE(LogMatches(closed, row.where));
        } else {
            EXPECT_TRUE(MessageLog::Instance().Entries().empty()) << row.where;
        }
        EXPECT_EQ(!row.closes, IsWindow(child) != FALSE) << row.where;
        EXPECT_EQ(!row.closes, Bar().HasMdiButtons()) << row.where;
        DestroyWindow(frame_);
    }
}

TEST_F(MdiMenuTest, OnlyAReleaseOnThePressedButtonActs)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    LogChildAndClient(child, {WM_SYSCOMMAND, WM_MDIRESTORE, WM_CLOSE, WM_MDIDESTROY});
    NcMessage(WM_NCLBUTTONDOWN, ButtonCentre(MenuBar::MdiRestore));
    NcMessage(WM_NCLBUTTONUP, ButtonCentre(MenuBar::MdiClose));
    NcMessage(WM_NCLBUTTONUP, ButtonCentre(MenuBar::MdiClose));
    NcMessage(WM_NCLBUTTONUP, ButtonCentre(MenuBar::MdiMinimise));
    EXPECT_TRUE(MessageLog::Instance().Entries().empty()) << "a press on restore, releases elsewhere";
    EXPECT_TRUE(IsZoomed(child));
    for (int button = 0; button < MenuBar::MdiButtonCount; ++button)
        EXPECT_NE(MdiButton::Pressed, Bar().GetMdiButton(button).GetState()) << button;
    // A release on a bar item, and a press that began on an item, run none.
    NcMessage(WM_NCLBUTTONUP, BarItemCentre(2));
    EXPECT_TRUE(MessageLog::Instance().Entries().empty());
    PumpFor(20);
}

TEST_F(MdiMenuTest, ARealClickOnCloseClosesTheChild)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    const POINT close = ButtonCentre(MenuBar::MdiClose);
    EXPECT_EQ(HTMENU, SendMessageA(frame_, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)));
    SetCursorPos(close.x, close.y);
    PumpFor(30);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, clicks, sizeof(INPUT));
    PumpFor(150);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(Bar().HasMdiButtons());
    PointAway();
}

struct SystemMenuSeen {
    int popups = 0;
    UINT first = 0;
    bool next = false;
};
SystemMenuSeen g_seen;

// Runs inside the system menu's loop: notes whose menu is open, then
// chooses its first item (restore, the only one a maximised child offers
// first).
void CALLBACK ChooseFirstSystemItem(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    HWND popup = GetActiveWindow();
    g_seen.popups = VisibleSkinnedPopups();
    if (PopupMenuWindow* menu = PopupOf(popup)) {
        g_seen.first = menu->Items()->items.front().command;
        for (const MenuItem& item : menu->Items()->items)
            g_seen.next = g_seen.next || item.command == SC_NEXTWINDOW;
    }
    PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 1);
}

TEST_F(MdiMenuTest, TheSystemMenuButtonOpensTheChildsSkinnedSystemMenu)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    Maximise(child);
    LogChildAndClient(child, {WM_SYSCOMMAND});
    g_seen = {};
    SetTimer(nullptr, 0, 100, ChooseFirstSystemItem);
    NcMessage(WM_NCLBUTTONDOWN, ButtonCentre(MenuBar::MdiSystemMenu));
    PumpFor(50);
    EXPECT_EQ(1, g_seen.popups);
    EXPECT_EQ(static_cast<UINT>(SC_RESTORE), g_seen.first);
    EXPECT_TRUE(g_seen.next) << "an MDI child's system menu, with its next-window item";
    EXPECT_EQ(0, VisibleSystemMenus());
    const ExpectedMessage chosen[] = {
        {WM_SYSCOMMAND, kPosted | kWParam, SC_RESTORE, 0},
        {WM_SYSCOMMAND, kSent | kWParam, SC_RESTORE, 0},
    };
    EXPECT_TRUE(LogMatches(chosen, "system menu"));
    EXPECT_FALSE(IsZoomed(child));
    EXPECT_EQ(0, VisibleSkinnedPopups());
}

TEST_F(MdiMenuTest, TheButtonsTakeTheirOwnRowWhenTheLastRowHasNoRoomLeft)
{
    CreateMdiFrame(600, 400);
    HWND child = CreateChild();
    const int itemsWidth = Bar().ItemRect(2).right - Bar().ItemRect(0).left;
    const int rowHeight = Bar().ItemRect(0).bottom - Bar().ItemRect(0).top + 2;
    // The frame's sides and the bar's margins around the item area.
    RECT window;
    GetWindowRect(frame_, &window);
    const int around = (window.right - window.left) - (ItemArea().right - ItemArea().left);
    RECT oneRow;
    GetClientRect(frame_, &oneRow);
    const int oneRowBar = Bar().GetRect().bottom - Bar().GetRect().top;
    // Room for 20 pixels, the items and the three buttons (52 pixels), and
    // one pixel less.
    const int exact = 20 + itemsWidth + 52 + around;
    for (int width : {exact, exact - 1}) {
        SCOPED_TRACE(width);
        SetWindowPos(frame_, nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER);
        PumpFor(20);
        RECT client;
        GetClientRect(frame_, &client);
        EXPECT_EQ(oneRow.bottom, client.bottom) << "a restored child needs no room on the bar";
        Maximise(child);
        const int rows = width == exact ? 1 : 2;
        GetClientRect(frame_, &client);
        EXPECT_EQ(oneRow.bottom - (rows - 1) * rowHeight, client.bottom);
        EXPECT_EQ(oneRowBar + (rows - 1) * rowHeight, Bar().GetRect().bottom - Bar().GetRect().top);
        const RECT close = Bar().GetMdiButton(MenuBar::MdiClose).Rect();
        const RECT expected = ExpectedButtonRect(MenuBar::MdiClose);
        EXPECT_TRUE(EqualRect(&expected, &close));
        EXPECT_EQ(rows == 2, close.top >= Bar().ItemRect(0).bottom) << "the buttons sit in the last row";
        if (rows == 1) {
            EXPECT_LE(Bar().ItemRect(2).right, Bar().GetMdiButton(MenuBar::MdiMinimise).Rect().left)
                << "no item under a button";
        }
        const WindowPixels shown = CaptureWindow(frame_);
        for (int button = 0; button < MenuBar::MdiButtonCount; ++button)
            EXPECT_TRUE(ShowsButton(shown, button, MdiButton::Normal)) << button;
        SendMessageA(client_, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
        PumpFor(30);
        GetClientRect(frame_, &client);
        EXPECT_EQ(oneRow.bottom, client.bottom) << "restored, the bar gives the row back";
    }
}

// The bar is measured for the frame's non-client area and laid out for
// drawing by the same rule: at no width does an item fall below the bar
// or under a button.
TEST_F(MdiMenuTest, AtEveryWidthTheItemsLieInsideTheBarAndClearOfTheButtons)
{
    CreateMdiFrame(400, 300);
    HWND child = CreateChild();
    for (bool maximised : {false, true}) {
        if (maximised)
            Maximise(child);
        for (int width = 90; width <= 260; ++width) {
            SetWindowPos(frame_, nullptr, 0, 0, width, 300, SWP_NOMOVE | SWP_NOZORDER);
            const RECT bar = Bar().GetRect();
            const RECT area = ItemArea();
            for (size_t i = 0; i < Bar().Items().size(); ++i) {
                const RECT item = Bar().ItemRect(static_cast<int>(i));
                ASSERT_LE(item.bottom, area.bottom) << "width " << width << ", item " << i;
                ASSERT_GE(item.top, bar.top);
                for (int button = 0; maximised && button < MenuBar::MdiButtonCount; ++button) {
                    RECT overlap;
                    const RECT placed = Bar().GetMdiButton(button).Rect();
                    ASSERT_FALSE(IntersectRect(&overlap, &item, &placed))
                        << "width " << width << ", item " << i << ", button " << button;
                }
            }
        }
    }
}

TEST_F(MdiMenuTest, ClosingTheMaximisedChildGivesTheRowBackAndTakesTheButtonsAway)
{
    CreateMdiFrame(600, 400);
    HWND child = CreateChild();
    const int itemsWidth = Bar().ItemRect(2).right - Bar().ItemRect(0).left;
    RECT window;
    GetWindowRect(frame_, &window);
    const int around = (window.right - window.left) - (ItemArea().right - ItemArea().left);
    SetWindowPos(frame_, nullptr, 0, 0, 20 + itemsWidth + 40 + around, 400, SWP_NOMOVE | SWP_NOZORDER);
    PumpFor(20);
    RECT before, during, after;
    GetClientRect(frame_, &before);
    Maximise(child);
    GetClientRect(frame_, &during);
    ASSERT_LT(during.bottom, before.bottom);
    SendMessageA(child, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpFor(30);
    ASSERT_FALSE(IsWindow(child));
    GetClientRect(frame_, &after);
    EXPECT_EQ(before.bottom, after.bottom);
    EXPECT_FALSE(Bar().HasMdiButtons());
    EXPECT_EQ(ItemArea().left + 4, Bar().ItemRect(0).left);
    // Where close would be on a one-row bar, the bar's background shows.
    const WindowPixels shown = CaptureWindow(frame_);
    EXPECT_FALSE(ShowsButton(shown, MenuBar::MdiClose, MdiButton::Normal));
    EXPECT_FALSE(ShowsButton(shown, MenuBar::MdiSystemMenu, MdiButton::Normal));
}

TEST_F(MdiMenuTest, TheSystemsChildItemsInATakenMenuNeitherShowNorStay)
{
    // The frame is skinned while its child is maximised: the system has
    // already put the child's items into the frame's menu.
    menu_ = CreateTestMenu();
    frame_ = CreateWindowExA(0, kMdiFrameClass, "MDI frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 500, 400,
                             nullptr, menu_, GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(frame_);
    CLIENTCREATESTRUCT create = {nullptr, 100};
    client_ = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300,
                              frame_, nullptr, GetModuleHandleA(nullptr), &create);
    ShowWindow(frame_, SW_SHOW);
    HWND child = CreateChild(false);
    Maximise(child);
    ASSERT_EQ(7, GetMenuItemCount(menu_)) << "the system's picture item in front and three buttons at the end";
    ASSERT_EQ(GetSystemMenu(child, FALSE), GetSubMenu(menu_, 0));
    ASSERT_TRUE(SetWindowSkin(frame_, "MainFrame"));
    PumpFor(30);
    ASSERT_EQ(menu_, Bar().Menu());
    EXPECT_EQ(3, GetMenuItemCount(menu_));
    ASSERT_EQ(3u, Bar().Items().size());
    EXPECT_EQ("&File", Bar().Items()[0].text);
    EXPECT_EQ(kGo, Bar().Items()[2].command);
    EXPECT_TRUE(Bar().HasMdiButtons());
    EXPECT_EQ(0, VisibleSystemMenus());
    SendMessageA(client_, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    PumpFor(30);
    EXPECT_EQ(3, GetMenuItemCount(menu_));
    EXPECT_FALSE(Bar().HasMdiButtons());
    // A menu set through the client while a child is maximised.
    Maximise(child);
    HMENU other = CreateTestMenu();
    SendMessageA(client_, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), 0);
    PumpFor(30);
    EXPECT_EQ(other, Bar().Menu());
    EXPECT_EQ(nullptr, GetMenu(frame_));
    EXPECT_EQ(3, GetMenuItemCount(other));
    EXPECT_EQ(3u, Bar().Items().size());
    DestroyMenu(menu_);
    menu_ = other;
}

TEST_F(MdiMenuTest, MaximisesAndRestoresOverAndOverLeaveNothingBehind)
{
    CreateMdiFrame();
    HWND child = CreateChild();
    RECT frame;
    GetWindowRect(frame_, &frame);
    // Hot, then pressed and drawn, then restored through the bar's button.
    auto cycle = [&] {
        SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        const RECT restore = Bar().GetMdiButton(MenuBar::MdiRestore).Rect();
        const LPARAM at = MAKELPARAM(frame.left + restore.left + 8, frame.top + restore.top + 8);
        SendMessageA(frame_, WM_NCMOUSEMOVE, HTMENU, at);
        SendMessageA(frame_, WM_NCLBUTTONDOWN, HTMENU, at);
        SendMessageA(frame_, WM_NCLBUTTONUP, HTMENU, at);
        return !IsZoomed(child);
    };
    ASSERT_TRUE(cycle());
    ASSERT_FALSE(TimerPending(frame_));
    const int windows = CountThreadWindows();
    const int properties = CountProperties(frame_);
    const int childProperties = CountProperties(child);
    GdiPressure pressure(300);
    PumpMessages();
    const int handles = FreeGdiHandles();
    for (int i = 0; i < LeakRounds(300, 1000); ++i) {
        ASSERT_TRUE(cycle()) << "cycle " << i;
        if (i % 50 == 0)
            PumpMessages();
    }
    EXPECT_FALSE(TimerPending(frame_));
    EXPECT_EQ(handles, FreeGdiHandles());
    EXPECT_EQ(windows, CountThreadWindows());
    EXPECT_EQ(properties, CountProperties(frame_));
    EXPECT_EQ(childProperties, CountProperties(child));
    Maximise(child);
    const WindowPixels shown = CaptureWindow(frame_);
    EXPECT_TRUE(ShowsButton(shown, MenuBar::MdiClose, MdiButton::Normal))
        << "still drawn under the same pressure";
}

}  // namespace
