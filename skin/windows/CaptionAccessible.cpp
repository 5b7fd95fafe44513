#include "windows/CaptionAccessible.h"

#include "core/SkinManager.h"
#include "core/SkinnedWindow.h"
#include "windows/CaptionButton.h"
#include "windows/MenuAccessible.h"

#include <vector>

namespace {

std::vector<CaptionButton*> CommandButtons(HWND window)
{
    std::vector<CaptionButton*> buttons;
    SkinnedWindow* skin = SkinManager::Instance().FindWindowObject(window);
    if (!skin)
        return buttons;
    for (const auto& element : skin->Elements()) {
        auto* button = dynamic_cast<CaptionButton*>(element.get());
        if (button && button->IsVisible() && button->SystemCommand())
            buttons.push_back(button);
    }
    return buttons;
}

}  // namespace

bool CaptionAccessible::AnswerTitleBar(HWND window, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_TITLEBAR)
        return false;
    result = Answer(new CaptionAccessible(window), wParam);
    return true;
}

CaptionButton* CaptionAccessible::Button(long child)
{
    const std::vector<CaptionButton*> buttons = CommandButtons(window_);
    return child >= 1 && child <= static_cast<long>(buttons.size()) ? buttons[child - 1] : nullptr;
}

long CaptionAccessible::ChildCount()
{
    return static_cast<long>(CommandButtons(window_).size());
}

long CaptionAccessible::Role(long child)
{
    return child == CHILDID_SELF ? ROLE_SYSTEM_TITLEBAR : ROLE_SYSTEM_PUSHBUTTON;
}

long CaptionAccessible::State(long child)
{
    CaptionButton* button = Button(child);
    if (!button)
        return 0;
    long state = 0;
    if (!button->IsEnabled())
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (button->IsPressed())
        state |= STATE_SYSTEM_PRESSED;
    if (button->State() == CaptionButton::StateHot)
        state |= STATE_SYSTEM_HOTTRACKED;
    return state;
}

bool CaptionAccessible::Name(long child, std::wstring& name)
{
    if (child == CHILDID_SELF) {
        std::vector<WCHAR> text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1);
        GetWindowTextW(window_, text.data(), static_cast<int>(text.size()));
        name = text.data();
        return true;
    }
    CaptionButton* button = Button(child);
    char text[128] = {};
    // The window's system menu holds the system's names of these commands.
    HMENU systemMenu = GetSystemMenu(window_, FALSE);
    if (!button || !GetMenuStringA(systemMenu, button->SystemCommand(), text, sizeof text, MF_BYCOMMAND))
        return false;
    name = MenuAccessible::ItemName(text);
    return true;
}

bool CaptionAccessible::DefaultAction(long child, std::wstring& action)
{
    if (!Button(child))
        return false;
    action = L"Press";
    return true;
}

bool CaptionAccessible::Location(long child, RECT& screen)
{
    RECT window;
    ::GetWindowRect(window_, &window);
    if (child == CHILDID_SELF) {
        screen = window;
        return true;
    }
    CaptionButton* button = Button(child);
    if (!button)
        return false;
    screen = button->Rect();
    OffsetRect(&screen, window.left, window.top);
    return true;
}

IDispatch* CaptionAccessible::Parent()
{
    return Standard(window_, OBJID_WINDOW);
}

bool CaptionAccessible::DoDefaultAction(long child)
{
    CaptionButton* button = Button(child);
    if (!button || !button->IsEnabled())
        return false;
    PostMessageA(window_, WM_SYSCOMMAND, button->SystemCommand(), 0);
    return true;
}
