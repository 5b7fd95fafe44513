#include "MenuTestSupport.h"

#include "MessageLog.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "windows/SkinnedFrame.h"

HMENU CreateTestMenu()
{
    HMENU recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, kOne, "&One");
    AppendMenuA(recent, MF_STRING, kTwo, "&Two");
    HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kOpen, "&Open\tCtrl+O");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    AppendMenuA(file, MF_STRING | MF_GRAYED, kDisabled, "&Disabled");
    AppendMenuA(file, MF_STRING, kAmpersand, "A&&B");
    AppendMenuA(file, MF_STRING | MF_CHECKED, kChecked, "&Checked");
    AppendMenuA(file, MF_STRING, kExit, "E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuA(edit, MF_STRING, kCopy, "&Copy");
    AppendMenuA(edit, MF_STRING, kPaste, "&Paste");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), "&Edit");
    AppendMenuA(bar, MF_STRING, kGo, "&Go");
    return bar;
}

HMENU FileMenuOf(HMENU bar)
{
    return GetSubMenu(bar, 0);
}

void MenuTest::SetUp()
{
    SkinnedWindowTest::SetUp();
    // Away from every test window: a popup ignores moves to where the
    // pointer already was, so posted moves must go somewhere new.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
}

HWND MenuTest::CreateMenuFrame(int width, int height)
{
    menu_ = CreateTestMenu();
    frame_ = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, width, height, menu_);
    SetForegroundWindow(frame_);
    SetFocus(frame_);
    PumpFor(50);
    return frame_;
}

MenuBar& MenuTest::Bar()
{
    return static_cast<SkinnedFrame*>(SkinManager::Instance().FindWindowObject(frame_))->Bar();
}

PopupMenuWindow* MenuTest::Root()
{
    return Bar().OpenPopup();
}

POINT MenuTest::BarItemCentre(int index)
{
    const RECT item = Bar().ItemRect(index);
    RECT window;
    GetWindowRect(frame_, &window);
    return {window.left + (item.left + item.right) / 2, window.top + (item.top + item.bottom) / 2};
}

void MenuTest::ClickBarItem(int index)
{
    const POINT point = BarItemCentre(index);
    PostMessageA(frame_, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(point.x, point.y));
    PumpFor(30);
}

void MenuTest::MoveTo(POINT screen)
{
    HWND root = Root()->Window();
    ScreenToClient(root, &screen);
    PostMessageA(root, WM_MOUSEMOVE, 0, MAKELPARAM(screen.x, screen.y));
    PumpFor(30);
}

void MenuTest::ClickAt(POINT screen)
{
    HWND root = Root()->Window();
    ScreenToClient(root, &screen);
    PostMessageA(root, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(screen.x, screen.y));
    PumpFor(30);
}

void MenuTest::Key(PopupMenuWindow* popup, WPARAM vk)
{
    PostMessageA(popup->Window(), WM_KEYDOWN, vk, 1);
    PumpFor(30);
}

POINT MenuTest::ItemCentre(PopupMenuWindow* popup, int index)
{
    const RECT item = popup->ItemRect(index);
    POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    ClientToScreen(popup->Window(), &centre);
    return centre;
}

void MenuTest::LogMenuProtocol()
{
    MessageLog::Instance().Subclass(frame_);
    MessageLog::Instance().RestrictTo(
        {WM_INITMENUPOPUP, WM_MENUSELECT, WM_COMMAND, WM_SYSCOMMAND, WM_SKIN_MENUCLOSED, WM_SKIN_MENUCLICK});
    MessageLog::Instance().Flush();
}

void PressKeys(HWND window, std::initializer_list<std::pair<WORD, bool>> keys)
{
    RECT rect;
    GetWindowRect(window, &rect);
    // Near the corner, away from where drop-downs open.
    SetCursorPos(rect.right - 20, rect.bottom - 20);
    PumpFor(20);
    SendKeys(keys);
}

PopupMenuWindow* PopupOf(HWND window)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpiA(className, "VeltramoxPopupMenuWnd") != 0)
        return nullptr;
    return static_cast<PopupMenuWindow*>(GetPropA(window, SkinnedWindow::kObjectProperty));
}

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM data)
{
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR data)
{
    ++*reinterpret_cast<int*>(data);
    return TRUE;
}

struct Search {
    const char* name;
    int count;
};

BOOL CALLBACK CountIfVisible(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, search->name) == 0 && IsWindowVisible(window))
        ++search->count;
    return TRUE;
}

int CountVisible(const char* className)
{
    Search search = {className, 0};
    EnumThreadWindows(GetCurrentThreadId(), CountIfVisible, reinterpret_cast<LPARAM>(&search));
    return search.count;
}

}  // namespace

int VisibleSkinnedPopups()
{
    return CountVisible("VeltramoxPopupMenuWnd");
}

int VisibleSystemMenus()
{
    // The system's menus live on its own desktop thread in Wine; look
    // anywhere.
    int count = 0;
    for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
         menu = FindWindowExA(nullptr, menu, "#32768", nullptr))
        count += IsWindowVisible(menu) ? 1 : 0;
    return count;
}

int CountThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

int CountProperties(HWND window)
{
    int count = 0;
    EnumPropsExA(window, CountProperty, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool TimerPending(HWND window)
{
    // A hover poll stops at its first tick with the pointer elsewhere; a
    // timer nobody stops keeps ticking after that.
    PumpFor(250);
    int ticks = 0;
    const DWORD end = GetTickCount() + 300;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ticks += msg.message == WM_TIMER && msg.hwnd == window;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
    return ticks > 0;
}
