#include "WindowTestSupport.h"

#include "core/SkinManager.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/ImageRef.h"
#include "MessageLog.h"
#include "SkinEngine.h"

#include "SkinDocument.h"
#include "SkinSourceParser.h"

#include <fstream>
#include <sstream>

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
    // A test that stopped at a failed assertion leaves no filter behind.
    MessageLog::Instance().RestrictTo({});
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

std::wstring ThroughCodePage(const wchar_t* text)
{
    char ansi[64] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    wchar_t back[64] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, 64);
    return back;
}

WindowPixels CaptureWindow(HWND window)
{
    PumpMessages();
    RECT rect;
    GetWindowRect(window, &rect);
    HDC dc = GetWindowDC(window);
    WindowPixels pixels = ReadPixels(dc, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(window, dc);
    return pixels;
}

WindowPixels RenderPiece(const ImageRef& ref, int width, int height, COLORREF fallback, const SkinStore& store)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    WindowPixels pixels;
    {
        ObjectSelector selected(memory, bitmap);
        const RECT area = {0, 0, width, height};
        DrawImageRef(memory, area, ref, fallback, true, store);
        pixels = ReadPixels(memory, width, height);
    }
    return pixels;
}

namespace {

BOOL CALLBACK CountDescendant(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindowTree(HWND window, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountDescendant, count);
    return TRUE;
}

}  // namespace

int ThreadWindowCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindowTree, reinterpret_cast<LPARAM>(&count));
    return count;
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

WindowPixels Cut(const WindowPixels& picture, const RECT& area)
{
    WindowPixels part;
    part.width = area.right - area.left;
    part.height = area.bottom - area.top;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            part.pixels.push_back(picture.At(x, y));
    return part;
}

namespace {

BOOL CALLBACK CountProperty(HWND, LPSTR, HANDLE, ULONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

}  // namespace

int PropertyCount(HWND window)
{
    int count = 0;
    EnumPropsExA(window, CountProperty, reinterpret_cast<LPARAM>(&count));
    return count;
}

RECT ClientInWindow(HWND window)
{
    RECT whole, client;
    GetWindowRect(window, &whole);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -whole.left, -whole.top);
    return client;
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

std::string DefaultSkinSource()
{
    std::ifstream file(std::string(SSO_SKIN_SOURCE_DIR) + "/skin.txt", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string WithoutObject(const std::string& source, const std::string& type, const std::string& name)
{
    const std::string header = "object " + type + " \"" + name + "\"";
    const size_t begin = source.find(header);
    if (begin == std::string::npos)
        return source;
    const size_t end = source.find("\nend\n", begin);
    return source.substr(0, begin) + source.substr(end + 5);
}

std::string Replaced(std::string source, const std::string& from, const std::string& to)
{
    for (size_t at = source.find(from); at != std::string::npos; at = source.find(from, at + to.size()))
        source.replace(at, from.size(), to);
    return source;
}

std::vector<BYTE> CompileSkin(const std::string& source, const std::string& folder)
{
    SkinSourceParser parser(folder + "/variant.txt", source);
    SkinDocument document;
    parser.Parse(document);
    std::vector<uint8_t> container;
    EXPECT_TRUE(document.WriteContainer(container));
    return std::vector<BYTE>(container.begin(), container.end());
}

bool LoadSkinSource(const std::string& source, const std::string& folder)
{
    const std::vector<BYTE> container = CompileSkin(source, folder);
    return LoadSkinFromMemory(container.data(), static_cast<DWORD>(container.size())) != FALSE;
}

int ProbeControlSkin::created = 0;
int ProbeControlSkin::bindings = 0;
bool ProbeControlSkin::decline = false;

SkinObject* ProbeControlSkin::SetSkinObject(SkinObject* skinObject)
{
    ++bindings;
    return SkinnedWindow::SetSkinObject(skinObject);
}

WNDPROC ProbeControlSkin::Attach(HWND hwnd)
{
    return decline ? nullptr : SkinnedWindow::Attach(hwnd);
}

void UseProbeControlSkins()
{
    ProbeControlSkin::created = 0;
    ProbeControlSkin::decline = false;
    SkinFactories factories = SkinManager::Instance().Factories();
    factories.control = [](int, SkinnedWindow&) -> std::unique_ptr<SkinnedWindow> {
        ++ProbeControlSkin::created;
        return std::make_unique<ProbeControlSkin>();
    };
    factories.toolbar = []() -> std::unique_ptr<SkinnedWindow> {
        ++ProbeControlSkin::created;
        return std::make_unique<ProbeControlSkin>();
    };
    SkinManager::Instance().SetFactories(factories);
}

template <typename T>
void DialogTemplate::Put(T value)
{
    const BYTE* raw = reinterpret_cast<const BYTE*>(&value);
    bytes_.insert(bytes_.end(), raw, raw + sizeof value);
}

void DialogTemplate::Align()
{
    while (bytes_.size() % 4)
        bytes_.push_back(0);
}

void DialogTemplate::AddWords(const wchar_t* text)
{
    do
        Put<WORD>(static_cast<WORD>(*text));
    while (*text++);
}

DialogTemplate::DialogTemplate(DWORD style, short width, short height, const wchar_t* title)
{
    Put<DWORD>(style | DS_SETFONT);
    Put<DWORD>(0);
    Put<WORD>(0);  // item count, raised by Add
    Put<short>(10);
    Put<short>(10);
    Put<short>(width);
    Put<short>(height);
    Put<WORD>(0);  // no menu
    Put<WORD>(0);  // the dialog class
    AddWords(title);
    Put<WORD>(9);
    AddWords(L"MS Shell Dlg");
}

DialogTemplate& DialogTemplate::Add(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x,
                                    short y, short width, short height)
{
    Align();
    Put<DWORD>(style | WS_CHILD | WS_VISIBLE);
    Put<DWORD>(0);
    Put<short>(x);
    Put<short>(y);
    Put<short>(width);
    Put<short>(height);
    Put<WORD>(id);
    AddWords(className);
    AddWords(text);
    Put<WORD>(0);
    ++*reinterpret_cast<WORD*>(&bytes_[8]);
    return *this;
}

HWND DialogTemplate::Create(HWND owner, DLGPROC procedure, LPARAM parameter)
{
    Align();
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()),
                                      owner, procedure, parameter);
}

Bitmap TopDownSection(HDC reference, int width, int height, unsigned** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* pixels = nullptr;
    Bitmap section(CreateDIBSection(reference, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
    *bits = static_cast<unsigned*>(pixels);
    return section;
}

WindowPixels ReadPixels(HDC source, int width, int height)
{
    WindowPixels result;
    result.width = width;
    result.height = height;
    result.pixels.assign(static_cast<size_t>(width) * height, 0);
    unsigned* bits = nullptr;
    const Bitmap section = TopDownSection(source, width, height, &bits);
    OwnedDC memory(CreateCompatibleDC(source));
    {
        ObjectSelector selected(memory, section);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    GdiFlush();
    // A table filled by a leak test may refuse the section: that is the
    // test's failure to report, not a crash to take the rest down with.
    if (!bits) {
        ADD_FAILURE() << "no " << width << "x" << height << " section to read pixels into";
        return result;
    }
    for (size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = bits[i] & 0xFFFFFF;
    return result;
}

void PumpDialog(HWND dialog, DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsDialogMessageA(dialog, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys, HWND dialog)
{
    std::vector<INPUT> inputs;
    for (const auto& key : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key.first;
        input.ki.dwFlags = key.second ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (dialog)
        PumpDialog(dialog, 150);
    else
        PumpFor(150);
}
