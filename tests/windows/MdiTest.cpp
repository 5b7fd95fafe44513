// A skinned MDI frame: its MDI client takes the frame skin's background,
// stays skinned across skin changes, and skinned MDI children maximise
// with their frame parts outside the client area.
#include "WindowTestSupport.h"

#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"
#include "imaging/GdiObject.h"
#include "imaging/MemoryDC.h"

#include <vector>

namespace {

const char kChildClass[] = "SsoTestMdiChild";

LRESULT CALLBACK MdiChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefMDIChildProcA(window, message, wParam, lParam);
}

// The frame as it looked each time the system asked it for its frame size
// again: the system retitles an MDI frame itself, and asks right after.
std::vector<WindowPixels>* g_frameCaptures = nullptr;
WNDPROC g_frameSkinProc = nullptr;

LRESULT CALLBACK CapturingFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCALCSIZE && g_frameCaptures) {
        RECT rect;
        GetWindowRect(window, &rect);
        HDC dc = GetWindowDC(window);
        g_frameCaptures->push_back(ReadPixels(dc, rect.right - rect.left, rect.bottom - rect.top));
        ReleaseDC(window, dc);
    }
    return CallWindowProcA(g_frameSkinProc, window, message, wParam, lParam);
}

class MdiTest : public SkinnedWindowTest {
protected:
    void SetUp() override
    {
        SkinnedWindowTest::SetUp();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MdiChildProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kChildClass;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        RegisterClassA(&windowClass);
        frame_ = CreateFrame(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 500, 400);
        CLIENTCREATESTRUCT create = {nullptr, 100};
        RECT client;
        GetClientRect(frame_, &client);
        client_ = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                  client.right, client.bottom, frame_, nullptr, GetModuleHandleA(nullptr), &create);
        ASSERT_TRUE(SetWindowSkin(frame_, "MainFrame"));
        PumpFor(20);
    }

    HWND CreateChild()
    {
        MDICREATESTRUCTA create = {kChildClass, "child", GetModuleHandleA(nullptr), 10, 10, 200, 150,
                                   WS_OVERLAPPEDWINDOW, 0};
        HWND child = reinterpret_cast<HWND>(SendMessageA(client_, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        EXPECT_TRUE(SetWindowSkin(child, "MainFrame"));
        PumpFor(20);
        return child;
    }

    HWND frame_ = nullptr;
    HWND client_ = nullptr;
};

TEST_F(MdiTest, TheClientIsSkinnedWithTheFrameAndPaintsTheFramesClientColour)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(client_);
    ASSERT_NE(nullptr, skin);
    const FrameSkin& frame = *static_cast<const FrameSkin*>(DefaultStore().FindObject("MainFrame"));
    RECT client;
    GetClientRect(client_, &client);
    const WindowPixels expected = RenderPiece(frame.mdiClient, client.right, client.bottom, frame.clientColour);
    InvalidateRect(client_, nullptr, TRUE);
    const WindowPixels shown = CaptureWindow(client_);
    EXPECT_EQ(expected.At(client.right / 2, client.bottom / 2), shown.At(client.right / 2, client.bottom / 2));
    EXPECT_EQ(expected.At(3, 3), shown.At(3, 3));
}

TEST_F(MdiTest, TheClientKeepsItsSkinWhenANewSkinArrives)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(client_);
    ASSERT_TRUE(LoadSkinFromResource(GetModuleHandleA(nullptr), "SKINRES", "VELTRAMOX"));
    EXPECT_EQ(skin, SkinManager::Instance().FindWindowObject(client_));
    EXPECT_EQ(nullptr, skin->GetSkinObject()) << "it holds nothing of the old store";
}

TEST_F(MdiTest, AMaximisedChildPutsItsFramePartsOutsideTheClient)
{
    HWND child = CreateChild();
    ASSERT_NE(nullptr, SkinManager::Instance().FindWindowObject(child));
    SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    PumpFor(20);
    RECT client, rect;
    GetClientRect(client_, &client);
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, client_, reinterpret_cast<POINT*>(&rect), 2);
    // The main frame's parts: 5 pixels at the sides and bottom, 32 above.
    EXPECT_EQ(-5, rect.left);
    EXPECT_EQ(-32, rect.top);
    EXPECT_EQ(client.right + 5, rect.right);
    EXPECT_EQ(client.bottom + 5, rect.bottom);
}

TEST_F(MdiTest, MaximisingAndRestoringAChildNeverLetTheSystemPaintTheFramesCaption)
{
    HWND child = CreateChild();
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(frame_);
    ASSERT_NE(nullptr, skin);
    const WindowPixels before = CaptureWindow(frame_);
    // The caption's right end: beyond the title, which grows by the
    // child's name, and where the system's own caption would show.
    const RECT band = skin->PartRect(SkinnedWindow::PartTop);
    const RECT right = {band.left + 3 * (band.right - band.left) / 4, band.top, band.right, band.bottom};
    std::vector<WindowPixels> captures;
    g_frameCaptures = &captures;
    g_frameSkinProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(frame_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CapturingFrameProc)));
    SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    SendMessageA(client_, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
    SetWindowLongPtrA(frame_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_frameSkinProc));
    g_frameCaptures = nullptr;
    ASSERT_FALSE(captures.empty()) << "the system never asked the frame for its frame";
    for (size_t i = 0; i < captures.size(); ++i) {
        int differing = 0;
        for (int y = right.top; y < right.bottom; ++y)
            for (int x = right.left; x < right.right; ++x)
                differing += captures[i].At(x, y) != before.At(x, y);
        EXPECT_EQ(0, differing) << "caption pixels changed by the time of request " << i;
    }
    // Held back while the system retitled the frame, the skin's caption
    // shows the new title once the child is maximised.
    SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    const WindowPixels shown = CaptureWindow(frame_);
    WindowDC screen(frame_);
    MemoryDC drawn(screen, shown.width, shown.height);
    skin->DrawFrame(drawn.Dc(), skin->IsActiveWindow());
    skin->LayoutAndDrawElements(drawn.Dc());
    const WindowPixels expected = ReadPixels(drawn.Dc(), shown.width, shown.height);
    int differing = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = band.left; x < band.right; ++x)
            differing += shown.At(x, y) != expected.At(x, y);
    EXPECT_EQ(0, differing) << "the caption is not the skin's with the maximised child's title";
}

TEST_F(MdiTest, DestroyingTheFrameUnskinsItsClientAndItsMaximisedChild)
{
    HWND child = CreateChild();
    SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
    PumpFor(20);
    const size_t before = SkinManager::Instance().WindowCount();
    ASSERT_GE(before, 3u);
    DestroyWindow(frame_);
    EXPECT_EQ(before - 3, SkinManager::Instance().WindowCount());
    EXPECT_FALSE(IsWindow(child));
    // The system's MDI data died with the client: nothing may have run on
    // it afterwards. A second frame works on a sound heap.
    SetUp();
    HWND second = CreateChild();
    SendMessageA(client_, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(second), 0);
    PumpFor(20);
    EXPECT_TRUE(IsZoomed(second));
}

}  // namespace
