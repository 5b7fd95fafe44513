#include "WindowTestSupport.h"

#include "MessageLog.h"
#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"

namespace {

const char kFrameClass[] = "SsoTestFrame";

ATOM RegisterFrameClass()
{
    static ATOM atom = [] {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kFrameClass;
        return RegisterClassExA(&windowClass);
    }();
    return atom;
}

WindowPixels ReadBitmap(HDC source, int width, int height)
{
    WindowPixels result;
    result.width = width;
    result.height = height;
    result.pixels.assign(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap section(CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    OwnedDC memory(CreateCompatibleDC(source));
    {
        ObjectSelector selected(memory, section);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    GdiFlush();
    const unsigned* pixels = static_cast<const unsigned*>(bits);
    for (size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = pixels[i] & 0xFFFFFF;
    return result;
}

}  // namespace

std::vector<BYTE> DefaultSkinBytes()
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, "SKINRES", "VELTRAMOX");
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    const BYTE* bytes = resource ? static_cast<const BYTE*>(LockResource(LoadResource(module, resource))) : nullptr;
    return bytes ? std::vector<BYTE>(bytes, bytes + size) : std::vector<BYTE>();
}

SkinStore& DefaultStore()
{
    return SkinManager::Instance().GetSkinStore();
}

void SkinnedWindowTest::SetUp()
{
    ASSERT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    ASSERT_TRUE(LoadSkinFromResource(GetModuleHandleA(nullptr), "SKINRES", "VELTRAMOX"));
    SetDialogSkinName("Dialog");
    RegisterFrameClass();
}

void SkinnedWindowTest::TearDown()
{
    for (HWND window : windows_)
        if (IsWindow(window))
            DestroyWindow(window);
    PumpMessages();
    EngineStop();
}

HWND SkinnedWindowTest::CreateFrame(DWORD style, int width, int height, HMENU menu)
{
    HWND window = CreateWindowExA(0, kFrameClass, "Skinned test frame", style, 40, 40, width, height, nullptr, menu,
                                  GetModuleHandleA(nullptr), nullptr);
    windows_.push_back(window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

HWND SkinnedWindowTest::CreateSkinnedFrame(DWORD style, int width, int height, HMENU menu)
{
    HWND window = CreateFrame(style, width, height, menu);
    EXPECT_TRUE(SetWindowSkin(window, "MainFrame"));
    PumpFor(50);
    return window;
}

WindowPixels CaptureWindow(HWND window)
{
    PumpMessages();
    RECT rect;
    GetWindowRect(window, &rect);
    HDC dc = GetWindowDC(window);
    WindowPixels pixels = ReadBitmap(dc, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(window, dc);
    return pixels;
}

WindowPixels RenderPiece(const ImageRef& ref, int width, int height, COLORREF fallback)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    WindowPixels pixels;
    {
        ObjectSelector selected(memory, bitmap);
        const RECT area = {0, 0, width, height};
        DrawImageRef(memory, area, ref, fallback, true, DefaultStore());
        pixels = ReadBitmap(memory, width, height);
    }
    return pixels;
}

void PumpFor(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        PumpMessages();
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
    PumpMessages();
}
