// What the window-side tests share: the engine started on the test thread
// with our default skin (embedded in the test program as in sso.exe), test
// windows, and reading back what a window shows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/SkinnedWindow.h"
#include "imaging/GdiObject.h"
#include "Pointer.h"

class SkinStore;

// Starts the engine for the test thread and loads the default skin once
// per test; stops the engine afterwards.
class SkinnedWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A plain top-level window (WS_OVERLAPPEDWINDOW unless told), shown,
    // not yet skinned; destroyed by TearDown when still there.
    HWND CreateFrame(DWORD style = WS_OVERLAPPEDWINDOW, int width = 400, int height = 300, HMENU menu = nullptr);
    // CreateFrame, then bound to "MainFrame".
    HWND CreateSkinnedFrame(DWORD style = WS_OVERLAPPEDWINDOW, int width = 400, int height = 300, HMENU menu = nullptr);

    std::vector<HWND> windows_;
};

// The compiled default skin, as the program embeds it.
std::vector<BYTE> DefaultSkinBytes();
// A store loaded from the default skin.
SkinStore& DefaultStore();

// The window's whole image (non-client area included) as 0x00RRGGBB
// pixels, top-down, read from the screen after pending messages ran.
struct WindowPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
    unsigned At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
WindowPixels CaptureWindow(HWND window);
// What the ANSI code page makes of a text, as an ANSI window would hold it.
std::wstring ThroughCodePage(const wchar_t* text);
// How many properties the window carries.
int PropertyCount(HWND window);

// The client area within a capture of the whole window.
RECT ClientInWindow(HWND window);

// A coordinate counted from a window's right or bottom edge, for tables of
// points at several sizes: Far(1) is the last pixel, Far(0) the first one
// outside; Resolve gives it for an extent.
const int kFarBase = 1 << 20;
constexpr int Far(int fromEdge)
{
    return kFarBase - fromEdge;
}
inline int Resolve(int coordinate, int extent)
{
    return coordinate > kFarBase / 2 ? extent - (kFarBase - coordinate) : coordinate;
}
// The part of a picture inside `area`.
WindowPixels Cut(const WindowPixels& picture, const RECT& area);
// The width x height pixels at (0, 0) of a DC.
WindowPixels ReadPixels(HDC source, int width, int height);
// A top-down 32-bit section of width x height; `bits` gets its pixels
// (null when GDI refused it).
Bitmap TopDownSection(HDC reference, int width, int height, unsigned** bits);

// Draws an image reference into a w x h picture, with the images of `store`.
WindowPixels RenderPiece(const struct ImageRef& ref, int width, int height, COLORREF fallback,
                         const SkinStore& store = DefaultStore());

// Our skin's source text, and variants of it compiled in-process.
std::string DefaultSkinSource();
// The source without the top-level object whose header line is
// `object <type> "<name>"`.
std::string WithoutObject(const std::string& source, const std::string& type, const std::string& name);
std::string Replaced(std::string source, const std::string& from, const std::string& to);
#ifdef SSO_TELLTALE_SKIN_DIR
// Pixel tables run with the default skin and with its tell-tale variant,
// whose every piece is a colour of its own: the folders of their bitmaps.
const char* const kSkinFolders[] = {SSO_SKIN_SOURCE_DIR, SSO_TELLTALE_SKIN_DIR};
#endif

// `folder` holds the bitmaps the source names.
std::vector<BYTE> CompileSkin(const std::string& source, const std::string& folder = SSO_SKIN_SOURCE_DIR);
bool LoadSkinSource(const std::string& source, const std::string& folder = SSO_SKIN_SOURCE_DIR);

// A control skin for the tests: binds and subclasses a child like every
// control skin will; can be told to decline its window.
class ProbeControlSkin : public SkinnedWindow {
public:
    WNDPROC Attach(HWND hwnd) override;
    SkinObject* SetSkinObject(SkinObject* skinObject) override;

    static int created;
    static int bindings;  // SetSkinObject calls
    static bool decline;
};
// Makes the manager give children ProbeControlSkins (and free-standing
// toolbars too), counting each one made.
void UseProbeControlSkins();

// A dialog procedure that only accepts the dialog's creation.
INT_PTR CALLBACK PlainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// A dialog template built in memory, for modeless test dialogs.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short width, short height, const wchar_t* title);
    DialogTemplate& Add(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x, short y,
                        short width, short height);
    // CreateDialogIndirectParamA with this template.
    HWND Create(HWND owner, DLGPROC procedure, LPARAM parameter = 0);

private:
    void Align();
    void AddWords(const wchar_t* text);
    template <typename T>
    void Put(T value);

    std::vector<BYTE> bytes_;
};

// Presses and releases keys (virtual key, down) through the system's input
// queue, where the keyboard hook sees them (posted key messages would
// bypass it), then lets the windows answer, through the dialog manager of
// `dialog` when one is named.
void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys, HWND dialog = nullptr);
// Dispatches the thread's messages through the dialog manager of `dialog`
// (Tab, arrows and Space as the user presses them).
void PumpDialog(HWND dialog, DWORD milliseconds);

// The test thread's windows and all their descendants.
int ThreadWindowCount();

// Messages of the test thread's windows, with a short wait for anything
// the system delivers late (X events).
void PumpFor(DWORD milliseconds);
