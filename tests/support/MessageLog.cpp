#include "MessageLog.h"

#include <algorithm>
#include <sstream>

namespace {

const char kPreviousProc[] = "SsoTestPreviousProc";

LRESULT CALLBACK RecordingSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::instance().record(window, message, wParam, lParam);
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProc));
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(window, kPreviousProc);
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

std::string Describe(const std::vector<LoggedMessage>& log)
{
    std::ostringstream out;
    for (const auto& m : log)
        out << "  0x" << std::hex << m.message << " wParam 0x" << m.wParam << std::dec << "\n";
    return out.str();
}

std::string Describe(const ExpectedMessage* expected, size_t count)
{
    std::ostringstream out;
    for (size_t i = 0; i < count; ++i) {
        out << "  0x" << std::hex << expected[i].message;
        if (expected[i].flags & kWParam)
            out << " wParam 0x" << expected[i].wParam;
        out << std::dec << ((expected[i].flags & kOptional) ? " (optional)" : "") << "\n";
    }
    return out.str();
}

}  // namespace

MessageLog& MessageLog::instance()
{
    static MessageLog log;
    return log;
}

void MessageLog::record(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!filter_.empty() && std::find(filter_.begin(), filter_.end(), message) == filter_.end())
        return;
    entries_.push_back({window, message, wParam, lParam});
}

bool MessageLog::contains(UINT message) const
{
    return std::any_of(entries_.begin(), entries_.end(),
                       [message](const LoggedMessage& m) { return m.message == message; });
}

testing::AssertionResult MessageLog::matches(const ExpectedMessage* expected, size_t count) const
{
    size_t logged = 0;
    for (size_t i = 0; i < count; ++i) {
        const ExpectedMessage& want = expected[i];
        bool same = logged < entries_.size() && entries_[logged].message == want.message &&
                    (!(want.flags & kWParam) || entries_[logged].wParam == want.wParam);
        if (same) {
            ++logged;
        } else if (!(want.flags & kOptional)) {
            return testing::AssertionFailure() << "message " << i << " differs\nexpected:\n"
                                               << Describe(expected, count) << "logged:\n"
                                               << Describe(entries_);
        }
    }
    if (logged != entries_.size())
        return testing::AssertionFailure() << "unexpected messages at the end\nexpected:\n"
                                           << Describe(expected, count) << "logged:\n"
                                           << Describe(entries_);
    return testing::AssertionSuccess();
}

void MessageLog::subclass(HWND window)
{
    LONG_PTR previous = SetWindowLongPtrA(window, GWLP_WNDPROC,
                                          reinterpret_cast<LONG_PTR>(RecordingSubclassProc));
    SetPropA(window, kPreviousProc, reinterpret_cast<HANDLE>(previous));
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
