// Skinned dialog boxes: the program's about box and message boxes get the
// "Dialog" frame, keep their client size, and their system-drawn controls
// still paint over the skinned background.
#include "WindowTestSupport.h"

#include "SkinEngine.h"
#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "data/FrameSkin.h"
#include "data/SkinStore.h"

#include <sstream>

namespace {

const int kAboutBox = 103;  // IDD_ABOUTBOX of the program's resources

int g_closedWith;

INT_PTR CALLBACK RecordingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        g_closedWith = LOWORD(wParam);
        DestroyWindow(dialog);
        return TRUE;
    }
    return FALSE;
}

const FrameSkin& DialogSkin()
{
    return *static_cast<const FrameSkin*>(DefaultStore().FindObject("Dialog"));
}

// The parts of a window of w x h under a frame's design rectangles: fixed
// corners, the middles following the size.
RECT LaidOutPart(const FrameSkinBase& skin, int part, int w, int h)
{
    const RECT* d = skin.designRects;
    const int w2 = d[2].right - d[2].left, w5 = d[5].right - d[5].left, w8 = d[8].right - d[8].left;
    const int h6 = d[6].bottom - d[6].top;
    switch (part) {
    case 3: return {d[3].left, d[3].top, d[3].right, h - h6};
    case 5: return {w - w5, d[5].top, w, h - h6};
    case 6: return {d[6].left, h - h6, d[6].right, h};
    case 7: return {d[7].left, h - h6, w - w8, h};
    case 8: return {w - w8, h - h6, w, h};
    default: return {w - w2, d[2].top, w, d[2].bottom};  // 2
    }
}

testing::AssertionResult ShowsDialogBorders(HWND dialog)
{
    const FrameSkin& skin = DialogSkin();
    const WindowPixels shown = CaptureWindow(dialog);
    for (int part : {3, 5, 6, 7, 8}) {
        const RECT area = LaidOutPart(skin, part, shown.width, shown.height);
        const WindowPixels expected = RenderPiece(skin.frameImages[part], area.right - area.left,
                                                  area.bottom - area.top, skin.activeColour);
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const unsigned want = expected.At(x, y);
                if (want != 0xFF00FF && shown.At(area.left + x, area.top + y) != want)
                    return testing::AssertionFailure() << "part " << part << " differs at " << area.left + x << ","
                                                       << area.top + y;
            }
    }
    return testing::AssertionSuccess();
}

class DialogTest : public SkinnedWindowTest {
protected:
    HWND AboutBox(HWND owner = nullptr)
    {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAboutBox), owner,
                                         RecordingDialogProc, 0);
        windows_.push_back(dialog);
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        PumpFor(30);
        return dialog;
    }

    static SIZE ClientSize(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        return {client.right, client.bottom};
    }
};

TEST_F(DialogTest, TheAboutBoxGetsTheDialogFrameAndKeepsItsClientSize)
{
    ClearDialogSkinName();
    HWND plain = AboutBox();
    const SIZE systemClient = ClientSize(plain);
    DestroyWindow(plain);

    SetDialogSkinName("Dialog");
    HWND dialog = AboutBox();
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(dialog);
    ASSERT_NE(nullptr, skin);
    EXPECT_STREQ("Dialog", skin->GetSkinObject()->Name());
    const SIZE skinnedClient = ClientSize(dialog);
    EXPECT_EQ(systemClient.cx, skinnedClient.cx);
    EXPECT_EQ(systemClient.cy, skinnedClient.cy);
    EXPECT_TRUE(ShowsDialogBorders(dialog));
}

TEST_F(DialogTest, SystemDrawnTextsShowTheSkinnedBackgroundBehindThem)
{
    HWND dialog = AboutBox();
    const WindowPixels shown = CaptureWindow(dialog);
    const FrameSkin& skin = DialogSkin();
    RECT client;
    GetClientRect(dialog, &client);
    const WindowPixels background =
        RenderPiece(skin.frameImages[SkinnedWindow::PartClient], client.right, client.bottom, skin.clientColour);
    POINT origin = {0, 0};
    ClientToScreen(dialog, &origin);
    RECT window;
    GetWindowRect(dialog, &window);
    const int dx = origin.x - window.left, dy = origin.y - window.top;
    int checked = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0 || (GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        RECT area;
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
        // The last pixel of a left-aligned text line is blank.
        const int x = area.right - 1, y = area.bottom - 1;
        EXPECT_EQ(background.At(x, y), shown.At(x + dx, y + dy)) << "behind the text control at " << x << "," << y;
        ++checked;
    }
    EXPECT_GE(checked, 4);
}

TEST_F(DialogTest, TheCloseButtonClosesTheDialog)
{
    HWND dialog = AboutBox();
    RECT rect;
    GetWindowRect(dialog, &rect);
    // "DialogCLose" follows the right edge: 30 to 4 pixels from it, 4 to 24 down.
    const LPARAM point = MAKELPARAM(rect.right - 17, rect.top + 14);
    EXPECT_EQ(HTCAPTION, SendMessageA(dialog, WM_NCHITTEST, 0, point)) << "the button sits on the caption";
    g_closedWith = 0;
    SendMessageA(dialog, WM_NCLBUTTONDOWN, HTCAPTION, point);
    SendMessageA(dialog, WM_NCLBUTTONUP, HTCAPTION, point);
    PumpFor(30);
    EXPECT_EQ(IDCANCEL, g_closedWith);
    EXPECT_FALSE(IsWindow(dialog));
}

// The first and last pixel of every part of the "Dialog" frame (top-left
// 12 x 28, top-right 40 wide, sides and bottom 4, bottom corners 10 wide)
// and of its 5 x 5 sizing corners, and the pixels just past them.
struct DialogHit {
    int x, y;
    LRESULT sizable, fixed;
};
const DialogHit kDialogHits[] = {
    {0, 0, HTTOPLEFT, HTCAPTION},
    {4, 4, HTTOPLEFT, HTCAPTION},
    {5, 4, HTCAPTION, HTCAPTION},
    {4, 5, HTCAPTION, HTCAPTION},
    {11, 27, HTCAPTION, HTCAPTION},
    {12, 0, HTTOP, HTCAPTION},
    {12, 5, HTCAPTION, HTCAPTION},
    {Far(41), 4, HTTOP, HTCAPTION},
    {Far(40), 0, HTCAPTION, HTCAPTION},
    {Far(6), 0, HTCAPTION, HTCAPTION},
    {Far(5), 4, HTTOPRIGHT, HTCAPTION},
    {Far(1), 0, HTTOPRIGHT, HTCAPTION},
    {Far(1), 5, HTCAPTION, HTCAPTION},
    {Far(17), 14, HTCAPTION, HTCAPTION},  // the close button
    {Far(1), 27, HTCAPTION, HTCAPTION},
    {0, 28, HTLEFT, 0},
    {3, Far(5), HTLEFT, 0},
    {4, 28, HTCLIENT, HTCLIENT},
    {Far(5), Far(5), HTCLIENT, HTCLIENT},
    {Far(4), 28, HTRIGHT, 0},
    {Far(1), Far(5), HTRIGHT, 0},
    {0, Far(4), HTBOTTOMLEFT, 0},
    {4, Far(1), HTBOTTOMLEFT, 0},
    {5, Far(4), HTBOTTOM, 0},
    {9, Far(1), HTBOTTOM, 0},
    {10, Far(4), HTBOTTOM, 0},
    {Far(11), Far(1), HTBOTTOM, 0},
    {Far(10), Far(4), HTBOTTOM, 0},
    {Far(6), Far(1), HTBOTTOM, 0},
    {Far(5), Far(4), HTBOTTOMRIGHT, 0},
    {Far(1), Far(1), HTBOTTOMRIGHT, 0},
    {Far(0), 50, 0, 0},
    {50, Far(0), 0, 0},
};

TEST_F(DialogTest, HitTestsFollowThePartsAndTheSizability)
{
    HWND dialog = AboutBox();
    RECT rect;
    GetWindowRect(dialog, &rect);
    const SIZE natural = {rect.right - rect.left, rect.bottom - rect.top};
    for (bool sizable : {false, true}) {
        if (sizable) {
            // A modal frame keeps a dialog fixed whatever its other bits.
            const LONG_PTR style = GetWindowLongPtrA(dialog, GWL_STYLE);
            SetWindowLongPtrA(dialog, GWL_STYLE, (style | WS_THICKFRAME) & ~DS_MODALFRAME);
            SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        for (SIZE size : {natural, SIZE{natural.cx + 97, natural.cy + 61}}) {
            SetWindowPos(dialog, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
            PumpFor(20);
            GetWindowRect(dialog, &rect);
            for (const DialogHit& hit : kDialogHits) {
                const int x = Resolve(hit.x, rect.right - rect.left), y = Resolve(hit.y, rect.bottom - rect.top);
                EXPECT_EQ(sizable ? hit.sizable : hit.fixed,
                          SendMessageA(dialog, WM_NCHITTEST, 0, MAKELPARAM(rect.left + x, rect.top + y)))
                    << (sizable ? "sizable " : "fixed ") << size.cx << " x " << size.cy << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(DialogTest, ChangingTheSkinKeepsAFixedDialogsClientSize)
{
    HWND dialog = AboutBox();
    const SIZE before = ClientSize(dialog);
    RECT window;
    GetWindowRect(dialog, &window);
    // A caption twelve pixels taller.
    std::string source = DefaultSkinSource();
    source = Replaced(source, "designRect[0] = 0 0 12 28", "designRect[0] = 0 0 12 40");
    source = Replaced(source, "designRect[1] = 12 0 36 28", "designRect[1] = 12 0 36 40");
    source = Replaced(source, "designRect[2] = 36 0 76 28", "designRect[2] = 36 0 76 40");
    ASSERT_TRUE(LoadSkinSource(source));
    PumpFor(30);

    const SIZE after = ClientSize(dialog);
    EXPECT_EQ(before.cx, after.cx);
    EXPECT_EQ(before.cy, after.cy);
    RECT resized;
    GetWindowRect(dialog, &resized);
    EXPECT_EQ((window.bottom - window.top) + 12, resized.bottom - resized.top);
}

bool g_boxChecked;
std::string g_boxProblem;

void CALLBACK InspectMessageBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND box = FindWindowA("#32770", "Error");
    if (!box)
        return;
    KillTimer(nullptr, timer);
    g_boxChecked = true;
    std::ostringstream problem;
    if (!SkinManager::Instance().FindWindowObject(box))
        problem << "the message box is not skinned; ";
    RECT client;
    GetClientRect(box, &client);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child))
            continue;
        RECT area;
        GetWindowRect(child, &area);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&area), 2);
        RECT inside;
        if (!IntersectRect(&inside, &area, &client) || !EqualRect(&inside, &area))
            problem << "a control is cut off by the frame; ";
    }
    g_boxProblem = problem.str();
    SendMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST_F(DialogTest, AnErrorMessageBoxIsSkinnedWithItsTextAndButtonWhole)
{
    HWND owner = CreateSkinnedFrame();
    g_boxChecked = false;
    SetTimer(nullptr, 0, 100, InspectMessageBox);
    MessageBoxA(owner, "The smart card service is not running.", "Error", MB_OK | MB_ICONERROR);
    EXPECT_TRUE(g_boxChecked);
    EXPECT_EQ("", g_boxProblem);
}

}  // namespace
