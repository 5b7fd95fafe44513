// Caption buttons: clicks and their actions, states and their images, hit
// regions and the hover timer.
#include <gtest/gtest.h>

#include "data/ButtonPart.h"
#include "ElementTestSupport.h"
#include "Pointer.h"
#include "Surface.h"
#include "TimerLog.h"

using namespace ElementColours;

namespace {

POINT Centre(const FrameElement& element)
{
    const RECT& rect = element.Rect();
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// A point of the button's key-coloured top-left corner.
POINT KeyCorner(const FrameElement& element)
{
    return POINT{element.Rect().left + 1, element.Rect().top + 1};
}

// The colour the button shows now, drawn alone over the background.
COLORREF Shown(CaptionButton& button)
{
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(button, surface);
    const POINT centre = Centre(button);
    return surface.At(centre.x, centre.y);
}

std::vector<WPARAM> Commands(const std::vector<MSG>& messages)
{
    std::vector<WPARAM> commands;
    for (const MSG& msg : messages)
        commands.push_back(msg.wParam);
    return commands;
}

// Counts the WM_TIMER messages the window receives in that time without
// handing them to the window.
int TimerTicksWithin(HWND window, DWORD milliseconds)
{
    int ticks = 0;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE))
            ++ticks;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return ticks;
}

// Keeps the real cursor far from the test window, so that the hover timer
// finds it gone.
void CursorAway()
{
    PlacePointer({5, 5});
}

}  // namespace

TEST(CaptionButtonTest, PressAndReleaseOnAButtonActsOnce)
{
    ElementTestWindow window;
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
    } const cases[] = {
        {"Close", WM_SYSCOMMAND, SC_CLOSE},
        {"Max", WM_SYSCOMMAND, SC_MAXIMIZE},
        {"Min", WM_SYSCOMMAND, SC_MINIMIZE},
        {"Command", WM_COMMAND, 4343},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CaptionButton* button = window.Button(c.name);
        ASSERT_TRUE(button);
        const POINT centre = Centre(*button);
        window.Click(centre.x, centre.y);
        EXPECT_EQ(Commands(window.TakePosted(c.message)), std::vector<WPARAM>{c.wParam});
        EXPECT_TRUE(window.TakePosted(c.message == WM_COMMAND ? WM_SYSCOMMAND : WM_COMMAND).empty());
    }
}

TEST(CaptionButtonTest, MaximiseAndMinimiseRestoreFromTheirState)
{
    ElementTestWindow window;
    window.MarkState(WS_MAXIMIZE);
    CaptionButton* restore = window.Button("Restore");
    ASSERT_TRUE(restore);
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    window.DrawElements(surface);
    POINT centre = Centre(*restore);
    window.Click(centre.x, centre.y);
    EXPECT_EQ(Commands(window.TakePosted(WM_SYSCOMMAND)), std::vector<WPARAM>{SC_RESTORE});

    window.MarkState(WS_MINIMIZE);
    CaptionButton* minimise = window.Button("Min");
    ASSERT_TRUE(minimise);
    centre = Centre(*minimise);
    window.Click(centre.x, centre.y);
    EXPECT_EQ(Commands(window.TakePosted(WM_SYSCOMMAND)), std::vector<WPARAM>{SC_RESTORE});
}

TEST(CaptionButtonTest, OnlyAClickThatStartsAndEndsOnTheButtonActs)
{
    ElementTestWindow window;
    CaptionButton* close = window.Button("Close");
    ASSERT_TRUE(close);
    const POINT on = Centre(*close);
    const POINT off = {60, 80};
    SkinnedWindow& skin = window.Skin();

    skin.DispatchToElements(WM_LBUTTONDOWN, on.x, on.y);
    EXPECT_TRUE(close->IsPressed());
    EXPECT_EQ(Shown(*close), kPressed);
    skin.DispatchToElements(WM_MOUSEMOVE, off.x, off.y);
    skin.DispatchToElements(WM_LBUTTONUP, off.x, off.y);
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());

    // A release on the button after that press went elsewhere does nothing,
    // nor does one that ends a press begun off the button.
    skin.DispatchToElements(WM_LBUTTONUP, on.x, on.y);
    skin.DispatchToElements(WM_LBUTTONDOWN, off.x, off.y);
    skin.DispatchToElements(WM_LBUTTONUP, on.x, on.y);
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());
}

TEST(CaptionButtonTest, ToggleAlternatesAndKeepsItsLookWhenTheMouseLeaves)
{
    ElementTestWindow window;
    CaptionButton* toggle = window.Button("Toggle");
    ASSERT_TRUE(toggle);
    const POINT centre = Centre(*toggle);

    window.Click(centre.x, centre.y);
    EXPECT_TRUE(toggle->IsPressed());
    EXPECT_EQ(toggle->State(), CaptionButton::StatePressed);
    toggle->OnMouseLeave();
    EXPECT_EQ(Shown(*toggle), kPressed);

    window.Click(centre.x, centre.y);
    EXPECT_FALSE(toggle->IsPressed());
    toggle->OnMouseLeave();
    EXPECT_EQ(toggle->State(), CaptionButton::StateIdle);
    EXPECT_EQ(Shown(*toggle), kIdle);

    window.Click(centre.x, centre.y);
    EXPECT_EQ(Shown(*toggle), kPressed);
    // Its owner hears of every click, switching off as well as on.
    EXPECT_EQ(Commands(window.TakePosted(WM_COMMAND)), (std::vector<WPARAM>{4242, 4242, 4242}));
}

// The skinned system menu runs its own loop; this closes it from inside.
int g_skinnedMenusClosed;
void CALLBACK CloseSkinnedMenu(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("VeltramoxPopupMenuWnd", nullptr);
    if (popup && IsWindowVisible(popup)) {
        ++g_skinnedMenusClosed;
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 1);
    }
}

TEST(CaptionButtonTest, SystemMenuButtonClosesOnItsOwnDoubleClickOnly)
{
    ElementTestWindow window;
    CaptionButton* system = window.Button("Sys");
    CaptionButton* command = window.Button("Command");
    ASSERT_TRUE(system && command);
    SkinnedWindow& skin = window.Skin();

    const POINT elsewhere = Centre(*command);
    skin.DispatchToElements(WM_LBUTTONDBLCLK, elsewhere.x, elsewhere.y);
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());

    const POINT on = Centre(*system);
    skin.DispatchToElements(WM_LBUTTONDBLCLK, on.x, on.y);
    EXPECT_EQ(Commands(window.TakePosted(WM_SYSCOMMAND)), std::vector<WPARAM>{SC_CLOSE});

    // Pressing or right-clicking it opens the skinned system menu, never
    // the system's own.
    g_skinnedMenusClosed = 0;
    const UINT_PTR closer = SetTimer(nullptr, 0, 50, CloseSkinnedMenu);
    skin.DispatchToElements(WM_RBUTTONDOWN, on.x, on.y);
    skin.DispatchToElements(WM_RBUTTONUP, on.x, on.y);
    window.Click(on.x, on.y);
    PumpFor(50);
    KillTimer(nullptr, closer);
    EXPECT_EQ(2, g_skinnedMenusClosed);
    HWND menu = FindWindowA("#32768", nullptr);
    EXPECT_FALSE(menu && IsWindowVisible(menu));
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());
}

TEST(CaptionButtonTest, EachStateShowsItsImageOrTheBaseImage)
{
    ElementTestWindow window;
    CaptionButton* command = window.Button("Command");
    CaptionButton* close = window.Button("Close");
    CaptionButton* minimise = window.Button("Min");  // base image only
    ASSERT_TRUE(command && close && minimise);
    CursorAway();
    SkinnedWindow& skin = window.Skin();
    const POINT on = Centre(*command);

    EXPECT_EQ(Shown(*command), kIdle);
    skin.DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
    EXPECT_EQ(command->State(), CaptionButton::StateHot);
    EXPECT_EQ(Shown(*command), kHot);
    skin.DispatchToElements(WM_LBUTTONDOWN, on.x, on.y);
    EXPECT_EQ(Shown(*command), kPressed);
    skin.DispatchToElements(WM_LBUTTONUP, on.x, on.y);
    EXPECT_EQ(Shown(*command), kHot);
    command->OnMouseLeave();
    EXPECT_EQ(Shown(*command), kIdle);

    close->SetEnabled(false);
    EXPECT_EQ(Shown(*close), kDisabled);
    close->SetEnabled(true);
    EXPECT_EQ(Shown(*close), kIdle);

    const POINT minimiseCentre = Centre(*minimise);
    skin.DispatchToElements(WM_MOUSEMOVE, minimiseCentre.x, minimiseCentre.y);
    EXPECT_EQ(minimise->State(), CaptionButton::StateHot);
    EXPECT_EQ(Shown(*minimise), kIdle);
    skin.DispatchToElements(WM_LBUTTONDOWN, minimiseCentre.x, minimiseCentre.y);
    EXPECT_EQ(Shown(*minimise), kIdle);
    minimise->SetEnabled(false);
    EXPECT_EQ(Shown(*minimise), kIdle);
}

TEST(CaptionButtonTest, StateChangesShowOnTheWindowAtOnce)
{
    ElementTestWindow window(true, true);
    CaptionButton* command = window.Button("Command");
    ASSERT_TRUE(command);
    CursorAway();
    SkinnedWindow& skin = window.Skin();
    const POINT on = Centre(*command);
    const POINT corner = KeyCorner(*command);
    command->SetEnabled(true);
    EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kIdle);
    const COLORREF underCorner = window.PixelOnScreen(corner.x, corner.y);

    skin.DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
    EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kHot);
    skin.DispatchToElements(WM_LBUTTONDOWN, on.x, on.y);
    EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kPressed);
    PumpFor(250);
    EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kIdle);
    // The key-coloured corner never reaches the window.
    EXPECT_EQ(window.PixelOnScreen(corner.x, corner.y), underCorner);
    EXPECT_NE(underCorner, kKey);
}

TEST(CaptionButtonTest, ThePointerLeavingAButtonRepaintsItIdleOnTheWindow)
{
    ElementTestWindow window(true, true);
    SkinnedWindow& skin = window.Skin();
    for (const char* name : {"Close", "Max", "Toggle", "Command", "Sys"}) {
        SCOPED_TRACE(name);
        CaptionButton* button = window.Button(name);
        ASSERT_TRUE(button);
        CursorAway();
        const POINT on = Centre(*button);
        skin.DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
        ASSERT_TRUE(button->IsTimerRunning());
        EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kHot);
        // The hover poll's tick, delivered now: its id is the button's timer
        // client (a private base, reached by the cast that ignores access).
        SendMessageA(window.Window(), WM_TIMER, reinterpret_cast<WPARAM>((WindowTimerClient*)button), 0);
        EXPECT_FALSE(button->IsTimerRunning());
        EXPECT_EQ(window.PixelOnScreen(on.x, on.y), kIdle);
    }
}

TEST(CaptionButtonTest, ButtonWithoutImagesIsDrawnAsAPushButton)
{
    ElementTestWindow window;
    CaptionButton* bare = window.Button("Bare");
    ASSERT_TRUE(bare);
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(*bare, surface);
    const RECT& rect = bare->Rect();
    EXPECT_EQ(surface.Count(rect.left, rect.top, rect.right, rect.bottom, kBackground), 0);
    EXPECT_GT(surface.Count(rect.left, rect.top, rect.right, rect.bottom, GetSysColor(COLOR_BTNFACE)), 0);
    EXPECT_EQ(surface.At(rect.right, rect.bottom), kBackground);
}

TEST(CaptionButtonTest, WindowIconButtonShowsTheIconAndDoesNothing)
{
    ElementTestWindow window;
    CaptionButton* icon = window.Button("Command");
    ASSERT_TRUE(icon);
    static_cast<CaptionButtonSkin*>(icon->GetSkinObject())->action = CaptionButtonSkin::ActionIcon;
    SendMessageA(window.Window(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(LoadIcon(nullptr, IDI_APPLICATION)));
    Surface surface(kDesignWidth, kDesignHeight, kBackground);
    DrawChecked(*icon, surface);
    const RECT& rect = icon->Rect();
    const int iconSide = 16;
    EXPECT_GT(iconSide * iconSide - surface.Count(rect.left, rect.top, rect.left + iconSide, rect.top + iconSide,
                                                  kBackground),
              0);
    EXPECT_EQ(surface.Count(rect.left, rect.top, rect.right, rect.bottom, kIdle), 0);

    const POINT on = Centre(*icon);
    window.Click(on.x, on.y);
    window.Skin().DispatchToElements(WM_LBUTTONDBLCLK, on.x, on.y);
    EXPECT_TRUE(window.TakePosted(WM_COMMAND).empty());
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());
}

TEST(CaptionButtonTest, DisabledButtonNeitherLightsUpNorActs)
{
    ElementTestWindow window;
    CaptionButton* close = window.Button("Close");
    ASSERT_TRUE(close);
    CursorAway();
    close->SetEnabled(false);
    const POINT on = Centre(*close);
    window.Skin().DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
    EXPECT_EQ(close->State(), CaptionButton::StateIdle);
    window.Click(on.x, on.y);
    EXPECT_TRUE(window.TakePosted(WM_SYSCOMMAND).empty());
    EXPECT_EQ(Shown(*close), kDisabled);
    // Its place still belongs to the button, not to the caption behind it.
    EXPECT_TRUE(close->HitTest(on.x, on.y));
}

TEST(CaptionButtonTest, KeyColouredCornersAreNeitherHitNorDrawnUnderTransparency)
{
    for (bool transparency : {true, false}) {
        SCOPED_TRACE(transparency ? "transparency on" : "transparency off");
        ElementTestWindow window(transparency);
        CaptionButton* close = window.Button("Close");
        ASSERT_TRUE(close);
        EXPECT_EQ(close->HasRegion(), transparency);
        const POINT corner = KeyCorner(*close);
        const POINT centre = Centre(*close);
        EXPECT_TRUE(close->HitTest(centre.x, centre.y));
        EXPECT_EQ(close->HitTest(corner.x, corner.y), !transparency);
        EXPECT_FALSE(close->HitTest(close->Rect().right, centre.y));

        Surface surface(kDesignWidth, kDesignHeight, kBackground);
        DrawChecked(*close, surface);
        EXPECT_EQ(surface.At(corner.x, corner.y), transparency ? kBackground : kKey);
        EXPECT_EQ(surface.At(centre.x, centre.y), kIdle);
    }
}

TEST(CaptionButtonTest, HoverTimerRunsWhileTheCursorStaysAndStopsWhenItLeaves)
{
    const TimerLog timers;
    ElementTestWindow window;
    CaptionButton* command = window.Button("Command");
    ASSERT_TRUE(command);
    const POINT on = Centre(*command);
    RECT windowRect;
    GetWindowRect(window.Window(), &windowRect);

    PlacePointer({windowRect.left + on.x, windowRect.top + on.y});
    window.Skin().DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
    EXPECT_TRUE(command->IsTimerRunning());
    // The poll's ticks, delivered rather than waited for.
    const WPARAM tick = reinterpret_cast<WPARAM>((WindowTimerClient*)command);
    EXPECT_TRUE(timers.IsRunning(window.Window(), tick, 100));
    SendMessageA(window.Window(), WM_TIMER, tick, 0);
    EXPECT_TRUE(command->IsTimerRunning());
    EXPECT_EQ(command->State(), CaptionButton::StateHot);

    CursorAway();
    SendMessageA(window.Window(), WM_TIMER, tick, 0);
    EXPECT_FALSE(command->IsTimerRunning());
    EXPECT_EQ(command->State(), CaptionButton::StateIdle);
    EXPECT_FALSE(timers.IsRunning(window.Window(), tick)) << "the system's timer is gone with the flag";
}

TEST(CaptionButtonTest, CloseAndRebuiltElementsLeaveNoTimerBehind)
{
    ElementTestWindow window;
    CursorAway();
    CaptionButton* close = window.Button("Close");
    ASSERT_TRUE(close);
    const POINT on = Centre(*close);
    window.Skin().DispatchToElements(WM_MOUSEMOVE, on.x, on.y);
    ASSERT_TRUE(close->IsTimerRunning());
    window.Click(on.x, on.y);
    EXPECT_FALSE(close->IsTimerRunning());
    EXPECT_EQ(close->State(), CaptionButton::StateIdle);
    EXPECT_EQ(Commands(window.TakePosted(WM_SYSCOMMAND)), std::vector<WPARAM>{SC_CLOSE});
    EXPECT_EQ(TimerTicksWithin(window.Window(), 250), 0);

    CaptionButton* command = window.Button("Command");
    ASSERT_TRUE(command);
    const POINT commandCentre = Centre(*command);
    window.Skin().DispatchToElements(WM_MOUSEMOVE, commandCentre.x, commandCentre.y);
    ASSERT_TRUE(command->IsTimerRunning());
    EXPECT_GT(TimerTicksWithin(window.Window(), 250), 0);
    window.Rebind();
    EXPECT_EQ(TimerTicksWithin(window.Window(), 250), 0);
    PumpFor(50);
}
