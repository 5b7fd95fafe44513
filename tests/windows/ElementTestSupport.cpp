#include "ElementTestSupport.h"

#include "SkinEngine.h"

#include <gtest/gtest.h>

#include <cstring>

#include "DcStateCheck.h"
#include "FileBytes.h"
#include "SkinDocument.h"
#include "SkinSourceParser.h"
#include "SkinEngine.h"
#include "Surface.h"
#include "core/SkinManager.h"
#include "data/ButtonPart.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/Image.h"

namespace {

const char kBitmapName[] = "elements.bmp";
const char kWindowClass[] = "ElementTestWindow";
const wchar_t kUnicodeWindowClass[] = L"ElementTestWindowW";
// The bottom-right corner of the desktop, away from other tests' windows.
const int kWindowX = 1050;
const int kWindowY = 880;
// No caption of the system's: the elements are the only thing drawn in the
// window's top band, and its whole area can be read back.
const DWORD kWindowStyle = WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// Cells left to right: idle, hot, pressed, disabled, restore, label.
const COLORREF kCellColours[] = {ElementColours::kIdle,     ElementColours::kHot,     ElementColours::kPressed,
                                 ElementColours::kDisabled, ElementColours::kRestore, ElementColours::kLabel};

std::string Cell(int index, int drawMode = 0)
{
    const int left = index * kCellSize;
    return "{ bitmap \"" + std::string(kBitmapName) + "\" rect " + std::to_string(left) + " 0 " +
           std::to_string(left + kCellSize) + " " + std::to_string(kCellSize) + " mode " +
           std::to_string(drawMode) + " }";
}

bool WriteTestBitmap(const std::string& path)
{
    const int count = static_cast<int>(sizeof kCellColours / sizeof kCellColours[0]);
    Image image;
    if (!image.Create(count * kCellSize, kCellSize, 24, Image::FormatBmp))
        return false;
    for (int row = 0; row < kCellSize; ++row) {
        for (int x = 0; x < count * kCellSize; ++x) {
            const bool key = x % kCellSize < kKeyCorner && row < kKeyCorner;
            const COLORREF colour = key ? ElementColours::kKey : kCellColours[x / kCellSize];
            image.SetPixelColour(x, kCellSize - 1 - row,
                                 RGBQUAD{GetBValue(colour), GetGValue(colour), GetRValue(colour), 0});
        }
    }
    BYTE* bytes = nullptr;
    int32_t size = 0;
    if (!image.Encode(bytes, size, Image::FormatBmp))
        return false;
    const bool written = WriteFileBytes(path, bytes, static_cast<size_t>(size));
    std::free(bytes);
    return written;
}

// Nine pieces of a 200 x 100 frame with 10-pixel sides and a 30-pixel
// caption; the pieces have no images.
const char kFrameParts[] =
    "  designRect[0] = 0 0 10 30\n"
    "  designRect[1] = 10 0 190 30\n"
    "  designRect[2] = 190 0 200 30\n"
    "  designRect[3] = 0 30 10 90\n"
    "  designRect[4] = 10 30 190 90\n"
    "  designRect[5] = 190 30 200 90\n"
    "  designRect[6] = 0 90 10 100\n"
    "  designRect[7] = 10 90 190 100\n"
    "  designRect[8] = 190 90 200 100\n";

std::string Button(const char* name, const char* placement, int action, int anchor, int showCode,
                   const std::string& images, int toggle = 0, int commandId = 1000)
{
    return std::string("  child CaptionButtonSkin \"") + name + "\"\n    placement = " + placement +
           "\n    anchor = " + std::to_string(anchor) + "\n    showCode = " + std::to_string(showCode) +
           "\n    action = " + std::to_string(action) + "\n    toggle = " + std::to_string(toggle) +
           "\n    commandId = " + std::to_string(commandId) + "\n" + images + "  end\n";
}

std::string Images(bool hot, bool pressed, bool disabled, int idleCell = 0)
{
    std::string text = "    image = " + Cell(idleCell) + "\n";
    if (hot)
        text += "    hotImage = " + Cell(1) + "\n";
    if (pressed)
        text += "    pressedImage = " + Cell(2) + "\n";
    if (disabled)
        text += "    disabledImage = " + Cell(3) + "\n";
    return text;
}

std::string Label(const char* name, const char* placement, int function, const std::string& extra)
{
    return std::string("  child FrameLabelSkin \"") + name + "\"\n    placement = " + placement +
           "\n    function = " + std::to_string(function) + "\n" + extra + "  end\n";
}

std::string SkinSource(bool transparency)
{
    std::string text = "skin 1.11\nbuilder \"element tests\"\n\n";
    text += "object SkinInfo \"Info\"\n  keyColour = #FF00FF\n  USETRANSPARENTCOLOR = ";
    text += transparency ? "1\nend\n\n" : "0\nend\n\n";
    text += "object FrameSkin \"Frame\"\n";
    text += kFrameParts;
    text += Button("Close", "170 10 180 20", 1, 4, 0, Images(true, true, true));
    text += Button("Max", "150 10 160 20", 3, 4, 4, Images(true, true, true));
    text += Button("Restore", "150 10 160 20", 3, 4, 3, Images(false, false, false, 4));
    text += Button("Min", "130 10 140 20", 4, 6, 0, Images(false, false, false));
    text += Button("Toggle", "110 10 120 20", 0, 0, 0, Images(true, true, false), 1, 4242);
    text += Button("Command", "90 10 100 20", 0, 0, 0, Images(true, true, false), 0, 4343);
    text += Button("Bare", "70 10 80 20", 0, 0, 0, "");
    text += Button("Sys", "10 10 20 20", 5, 0, 0, Images(true, true, false));
    text += Button("Down", "30 60 40 70", 0, 2, 0, Images(false, false, false));
    text += Button("DownToo", "50 60 60 70", 0, 8, 0, Images(false, false, false));
    text += Button("Corner", "180 70 190 80", 0, 5, 0, Images(false, false, false));
    text += Label("Text", "20 32 120 48", 1, "    effect = { color #000000 }\n");
    text += Label("Owner", "130 32 150 42", 11, "    commandId = 777\n");
    text += Label("Fit", "60 50 90 60", 10, "");
    text += Label("Shape", "100 60 120 80", 10, "    image = " + Cell(5) + "\n");
    text += "end\n\nimage \"" + std::string(kBitmapName) + "\"\n  file = \"" + kBitmapName + "\"\nend\n";
    return text;
}

std::string TestFolder()
{
    return SSO_TEST_OUTPUT_DIR;
}

template <bool Unicode>
LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_DRAWITEM)
        return Unicode ? DefWindowProcW(window, message, wParam, lParam)
                       : DefWindowProcA(window, message, wParam, lParam);
    DrawItemRecord& record = LastDrawItem();
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    ++record.count;
    record.wParam = wParam;
    record.item = *item;
    // Deliberately left selected: the element must put the DC back itself.
    static const Brush fill(CreateSolidBrush(kOwnerFill));
    SelectObject(item->hDC, fill);
    PatBlt(item->hDC, item->rcItem.left, item->rcItem.top, item->rcItem.right - item->rcItem.left,
           item->rcItem.bottom - item->rcItem.top, PATCOPY);
    return TRUE;
}

void RegisterTestClass()
{
    // One window class in each character set, alike but for the procedure.
    const auto describe = [](auto& windowClass, WNDPROC procedure, auto name) {
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = name;
    };
    WNDCLASSA ansi = {};
    describe(ansi, PlainWindowProc<false>, kWindowClass);
    RegisterClassA(&ansi);
    WNDCLASSW unicode = {};
    describe(unicode, PlainWindowProc<true>, kUnicodeWindowClass);
    RegisterClassW(&unicode);
}

// Returns false when the source does not build or load.
std::vector<uint8_t> BuildContainer(bool transparency)
{
    std::vector<uint8_t> container;
    if (!WriteTestBitmap(TestFolder() + "/" + kBitmapName))
        return container;
    try {
        SkinSourceParser parser(TestFolder() + "/elements.txt", SkinSource(transparency));
        SkinDocument document;
        parser.Parse(document);
        if (!document.WriteContainer(container))
            container.clear();
    } catch (const SourceError& error) {
        ADD_FAILURE() << error.what();
        container.clear();
    }
    return container;
}

// Built once per switch setting; every window gets a fresh store of it.
bool UseElementTestSkin(bool transparency)
{
    static const std::vector<uint8_t> containers[2] = {BuildContainer(false), BuildContainer(true)};
    const std::vector<uint8_t>& container = containers[transparency ? 1 : 0];
    std::unique_ptr<SkinStore> store(new SkinStore());
    if (!store->Load(MemoryStream(container.data(), static_cast<int32_t>(container.size()))))
        return false;
    return SkinManager::Instance().ApplySkinStore(std::move(store));
}

}  // namespace

DrawItemRecord& LastDrawItem()
{
    static DrawItemRecord record;
    return record;
}

ElementTestWindow::ElementTestWindow(bool transparency, bool shown, bool unicode)
{
    // The engine gives windows their elements, as in the program.
    EXPECT_TRUE(EngineStart(GetModuleHandleA(nullptr)));
    EXPECT_TRUE(UseElementTestSkin(transparency));
    LastDrawItem() = DrawItemRecord();
    RegisterTestClass();
    window_ = unicode ? CreateWindowExW(0, kUnicodeWindowClass, L"Element test", kWindowStyle, kWindowX, kWindowY,
                                        kDesignWidth, kDesignHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                                        nullptr)
                      : CreateWindowExA(0, kWindowClass, "Element test", kWindowStyle, kWindowX, kWindowY,
                                        kDesignWidth, kDesignHeight, nullptr, nullptr, GetModuleHandleA(nullptr),
                                        nullptr);
    skin_.SetSkinObject(SkinManager::Instance().GetSkinStore().FindObject("Frame"));
    if (shown)
        ShowWindow(window_, SW_SHOW);
    skin_.Attach(window_);
    UpdateWindow(window_);
    PumpFor(50);
    TakePosted(WM_SYSCOMMAND);
    TakePosted(WM_COMMAND);
}

ElementTestWindow::~ElementTestWindow()
{
    skin_.Detach();
    DestroyWindow(window_);
    PumpFor(0);
    EngineStop();
}

FrameElement* ElementTestWindow::Element(const char* name) const
{
    for (const auto& element : skin_.Elements())
        if (element->GetSkinObject() && std::strcmp(element->GetSkinObject()->Name(), name) == 0)
            return element.get();
    return nullptr;
}

CaptionButton* ElementTestWindow::Button(const char* name) const
{
    return dynamic_cast<CaptionButton*>(Element(name));
}

FrameLabel* ElementTestWindow::Label(const char* name) const
{
    return dynamic_cast<FrameLabel*>(Element(name));
}

FrameLabelSkin* ElementTestWindow::LabelSkin(const char* name) const
{
    FrameLabel* label = Label(name);
    return label ? static_cast<FrameLabelSkin*>(label->GetSkinObject()) : nullptr;
}

void ElementTestWindow::Rebind()
{
    skin_.SetSkinObject(skin_.GetSkinObject());
}

void ElementTestWindow::MarkState(DWORD stateBits)
{
    const LONG_PTR style = GetWindowLongPtrA(window_, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_MAXIMIZE | WS_MINIMIZE);
    SetWindowLongPtrA(window_, GWL_STYLE, style | static_cast<LONG_PTR>(stateBits));
}

void ElementTestWindow::Resize(int width, int height)
{
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ElementTestWindow::DrawElements(Surface& surface)
{
    const DcState before(surface.Dc());
    skin_.LayoutAndDrawElements(surface.Dc());
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}

std::vector<MSG> ElementTestWindow::TakePosted(UINT message)
{
    std::vector<MSG> taken;
    MSG msg;
    while (PeekMessageA(&msg, window_, message, message, PM_REMOVE))
        taken.push_back(msg);
    return taken;
}

COLORREF ElementTestWindow::PixelOnScreen(int x, int y) const
{
    Surface pixel(1, 1, ElementColours::kBackground);
    HDC windowDc = GetWindowDC(window_);
    BitBlt(pixel.Dc(), 0, 0, 1, 1, windowDc, x, y, SRCCOPY);
    ReleaseDC(window_, windowDc);
    return pixel.At(0, 0);
}

void ElementTestWindow::Click(int x, int y)
{
    skin_.DispatchToElements(WM_LBUTTONDOWN, x, y);
    skin_.DispatchToElements(WM_LBUTTONUP, x, y);
}

void DrawChecked(FrameElement& element, Surface& surface)
{
    const DcState before(surface.Dc());
    element.Draw(surface.Dc());
    EXPECT_TRUE(before.Unchanged(surface.Dc()));
}

void PumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (milliseconds)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}
