#include "ReportAccessible.h"

#include "AccessibleObject.h"
#include "Big5Text.h"
#include "MainWindow.h"
#include "ReportView.h"

#include <cstring>
#include <vector>

namespace {

class ReportAccessible : public AccessibleObject {
public:
    ReportAccessible(HWND window, const std::wstring& text) : window_(window), text_(text)
    {
        for (size_t start = 0;;) {
            const size_t end = text.find(L'\n', start);
            lines_.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
    }

protected:
    long ChildCount() override { return static_cast<long>(lines_.size()); }
    long Role(long child) override { return child == CHILDID_SELF ? ROLE_SYSTEM_TEXT : ROLE_SYSTEM_STATICTEXT; }

    long State(long child) override
    {
        long state = STATE_SYSTEM_READONLY;
        RECT line, client, both;
        if (child != CHILDID_SELF && Location(child, line) && Location(CHILDID_SELF, client) &&
            !IntersectRect(&both, &line, &client))
            state |= STATE_SYSTEM_OFFSCREEN;
        return state;
    }

    bool Name(long child, std::wstring& name) override
    {
        if (child != CHILDID_SELF) {
            name = lines_[child - 1];
            return true;
        }
        std::vector<WCHAR> title(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1);
        GetWindowTextW(window_, title.data(), static_cast<int>(title.size()));
        name = title.data();
        return true;
    }

    bool Value(long child, std::wstring& value) override
    {
        value = child == CHILDID_SELF ? text_ : lines_[child - 1];
        return true;
    }

    // The lines as the window draws them: one line height each, moved up
    // by the scroll position.
    bool Location(long child, RECT& screen) override
    {
        RECT client;
        GetClientRect(window_, &client);
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&client), 2);
        screen = client;
        if (child == CHILDID_SELF)
            return true;
        const int height = ReportLineHeight(window_);
        screen.top = client.top - ReportScrollOffset(window_) + (child - 1) * height;
        screen.bottom = screen.top + height;
        return true;
    }

    IDispatch* Parent() override { return Standard(window_, OBJID_WINDOW); }

private:
    HWND window_;
    std::wstring text_;
    std::vector<std::wstring> lines_;
};

}  // namespace

LRESULT AnswerReportObject(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return DefWindowProcA(window, WM_GETOBJECT, wParam, lParam);
    return AccessibleObject::Answer(new ReportAccessible(window, WideFromBig5(g_report, static_cast<int>(strlen(g_report)))), wParam);
}

void AnnounceReportChange(HWND window, const char* before, const char* after)
{
    if (strcmp(before, after) != 0)
        NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}
