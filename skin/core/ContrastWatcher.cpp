#include "core/ContrastWatcher.h"

#include "core/SkinManager.h"

namespace {

const char kWatcherClass[] = "VeltramoxContrastWatch";

HWND g_watcher = nullptr;
HINSTANCE g_instance = nullptr;

bool AnnouncesContrastChange(UINT message, WPARAM wParam)
{
    return message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
}

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (AnnouncesContrastChange(message, wParam)) {
        try {
            SkinManager::Instance().FollowHighContrast();
        } catch (...) {
            // Windows that could not change keep the look they had.
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool ContrastWatcher::Start(HINSTANCE instance)
{
    if (g_watcher)
        return true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WatcherProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWatcherClass;
    if (!RegisterClassA(&windowClass))
        return false;
    // A pop-up, never shown: message-only windows hear no broadcasts.
    g_watcher =
        CreateWindowExA(WS_EX_TOOLWINDOW, kWatcherClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!g_watcher) {
        UnregisterClassA(kWatcherClass, instance);
        return false;
    }
    g_instance = instance;
    return true;
}

void ContrastWatcher::Stop()
{
    if (!g_watcher || GetWindowThreadProcessId(g_watcher, nullptr) != GetCurrentThreadId())
        return;
    DestroyWindow(g_watcher);
    UnregisterClassA(kWatcherClass, g_instance);
    g_watcher = nullptr;
    g_instance = nullptr;
}

HWND ContrastWatcher::Window()
{
    return g_watcher;
}
