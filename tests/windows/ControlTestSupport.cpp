#include "ControlTestSupport.h"

#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "data/SkinImage.h"
#include "data/SkinStore.h"
#include "DcStateCheck.h"
#include "GdiPressure.h"
#include "imaging/DeviceCopies.h"
#include "imaging/GdiObject.h"
#include "MessageLog.h"
#include "SkinEngine.h"

HWND ControlTest::Frame()
{
    if (!frame_)
        frame_ = CreateSkinnedFrame(WS_OVERLAPPEDWINDOW, 480, 360);
    return frame_;
}

HWND ControlTest::AddControl(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                             int id)
{
    HWND control =
        CreateWindowExA(0, className, text, style | WS_CHILD | WS_VISIBLE, x, y, width, height, Frame(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    PumpFor(20);
    return control;
}

WindowPixels ControlTest::BackgroundBehind(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, client.right, client.bottom));
    ObjectSelector selected(memory, bitmap);
    SendMessageA(GetParent(control), WM_SKIN_PAINTBKGND, reinterpret_cast<WPARAM>(memory.Get()),
                 reinterpret_cast<LPARAM>(control));
    return ReadPixels(memory, client.right, client.bottom);
}

WindowPixels RenderFrameImage(const FrameImageRef& ref, int width, int height, COLORREF fallback,
                              const SkinStore& store)
{
    WindowDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(memory, bitmap);
    DrawFrameImage(memory, RECT{0, 0, width, height}, ref, fallback, true, store);
    return ReadPixels(memory, width, height);
}

testing::AssertionResult ShowsPicture(const WindowPixels& shown, int x0, int y0, const WindowPixels& expected, int band)
{
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            const bool inBand = x < band || y < band || x >= expected.width - band || y >= expected.height - band;
            const unsigned want = expected.At(x, y);
            if ((band > 0 && !inBand) || want == 0xFF00FF)
                continue;
            const unsigned got = shown.At(x0 + x, y0 + y);
            if (got != want)
                return testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is 0x" << std::hex << got << ", the skin's is 0x" << want;
        }
    return testing::AssertionSuccess();
}

int PixelsDifferingIn(const WindowPixels& shown, const RECT& area, const WindowPixels& background)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += shown.At(x, y) != background.At(x, y);
    return count;
}

int HeadroomBesideCopies()
{
    for (const auto& entry : DefaultStore().Images())
        ImageDeviceCopies::Forget(entry.second->image);
    return FreeGdiHandles();
}

LeakCounts CountLeakables()
{
    PumpMessages();
    LeakCounts counts;
    counts.threadWindows = ThreadWindowCount();
    counts.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    counts.skinned = SkinManager::Instance().WindowCount();
    counts.gdiHeadroom = HeadroomBesideCopies();
    return counts;
}

testing::AssertionResult NothingLeaked(const LeakCounts& start, const LeakCounts& now, int slack)
{
    if (now.threadWindows == start.threadWindows && now.userObjects == start.userObjects &&
        now.skinned == start.skinned && now.gdiHeadroom >= start.gdiHeadroom - slack)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "thread windows " << now.threadWindows << " (" << start.threadWindows
                                       << " at the start), USER objects " << now.userObjects << " ("
                                       << start.userObjects << "), skinned windows " << now.skinned << " ("
                                       << start.skinned << "), free GDI handles " << now.gdiHeadroom << " ("
                                       << start.gdiHeadroom << ")";
}

bool SwitchSkin(const std::vector<BYTE>& skin)
{
    return LoadSkinFromMemory(skin.data(), static_cast<DWORD>(skin.size())) != FALSE;
}

testing::AssertionResult PaintLeavesDcAsFound(HWND control, int width, int height)
{
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(control);
    if (!skin)
        return testing::AssertionFailure() << "the control has no skin";
    WindowDC screen(nullptr);
    OwnedDC dc(CreateCompatibleDC(screen));
    Bitmap bitmap(CreateCompatibleBitmap(screen, width, height));
    ObjectSelector selected(dc, bitmap);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    ObjectSelector font(dc, GetStockObject(ANSI_FIXED_FONT));
    const DcState before(dc);
    skin->Paint(dc);
    return before.Unchanged(dc);
}
