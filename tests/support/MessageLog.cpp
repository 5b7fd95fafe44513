#include "MessageLog.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <utility>

namespace {

// The procedure each recorder replaced, by window and by recorder kind.
std::map<std::pair<HWND, unsigned>, WNDPROC>& PreviousProcedures()
{
    static std::map<std::pair<HWND, unsigned>, WNDPROC> procedures;
    return procedures;
}

// Messages every platform sends on its own schedule; no table lists them.
bool IsNoise(UINT message)
{
    return message == WM_GETICON || message == WM_GETOBJECT || (message >= 0x10D && message <= 0x10F) ||
           (message >= 0x281 && message <= 0x291);
}

template <unsigned Flags>
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::Instance().Record(window, message, Flags, wParam, lParam);
    auto& procedures = PreviousProcedures();
    const auto key = std::make_pair(window, Flags);
    const WNDPROC previous = procedures[key];
    if (message == WM_NCDESTROY)
        procedures.erase(key);
    return CallWindowProcA(previous, window, message, wParam, lParam);
}

WNDPROC RecorderFor(unsigned flags)
{
    switch (flags) {
    case kParent:
        return RecordingProc<kParent>;
    case kDefWinProc:
        return RecordingProc<kDefWinProc>;
    default:
        return RecordingProc<kSent>;
    }
}

bool IsRecorded(HWND window)
{
    for (const auto& entry : PreviousProcedures())
        if (entry.first.first == window)
            return true;
    return false;
}

LRESULT CALLBACK RecordingHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && IsRecorded(message->hwnd))
        MessageLog::Instance().Record(message->hwnd, message->message, kHook, message->wParam, message->lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

const unsigned kArrivalFlags = kSent | kPosted | kParent | kDefWinProc | kHook;

std::string Describe(UINT message, unsigned flags, WPARAM wParam, LPARAM lParam)
{
    std::ostringstream out;
    out << "  0x" << std::hex << message << (flags & kSent ? " sent" : "") << (flags & kPosted ? " posted" : "")
        << (flags & kParent ? " parent" : "") << (flags & kDefWinProc ? " defwinproc" : "")
        << (flags & kHook ? " hook" : "") << " wParam 0x" << wParam << " lParam 0x" << lParam << std::dec
        << (flags & kOptional ? " (optional)" : "") << "\n";
    return out.str();
}

std::string Describe(const std::vector<LoggedMessage>& log)
{
    std::string out;
    for (const auto& m : log)
        out += Describe(m.message, m.flags, m.wParam, m.lParam);
    return out;
}

std::string Describe(const ExpectedMessage* expected, size_t count)
{
    std::string out;
    for (size_t i = 0; i < count; ++i)
        out += Describe(expected[i].message, expected[i].flags, expected[i].wParam, expected[i].lParam);
    return out;
}

bool Same(const ExpectedMessage& want, const LoggedMessage& got)
{
    return want.message == got.message && (want.flags & kArrivalFlags) == (got.flags & kArrivalFlags) &&
           (!(want.flags & kWParam) || want.wParam == got.wParam) &&
           (!(want.flags & kLParam) || want.lParam == got.lParam);
}

}  // namespace

MessageLog& MessageLog::Instance()
{
    static MessageLog log;
    return log;
}

void MessageLog::Record(HWND window, UINT message, unsigned flags, WPARAM wParam, LPARAM lParam)
{
    if (filter_.empty() ? IsNoise(message)
                        : std::find(filter_.begin(), filter_.end(), message) == filter_.end())
        return;
    entries_.push_back({window, message, flags, wParam, lParam});
}

size_t MessageLog::Count(UINT message, unsigned flags) const
{
    return static_cast<size_t>(std::count_if(entries_.begin(), entries_.end(), [=](const LoggedMessage& m) {
        return m.message == message && (m.flags & flags) == flags;
    }));
}

testing::AssertionResult MessageLog::Matches(const ExpectedMessage* expected, size_t count, const char* context) const
{
    size_t logged = 0;
    for (size_t i = 0; i < count; ++i) {
        if (logged < entries_.size() && Same(expected[i], entries_[logged]))
            ++logged;
        else if (!(expected[i].flags & kOptional))
            return testing::AssertionFailure() << context << ": message " << i << " differs\nexpected:\n"
                                               << Describe(expected, count) << "logged:\n"
                                               << Describe(entries_);
    }
    if (logged != entries_.size())
        return testing::AssertionFailure() << context << ": unexpected messages at the end\nexpected:\n"
                                           << Describe(expected, count) << "logged:\n"
                                           << Describe(entries_);
    return testing::AssertionSuccess();
}

void MessageLog::Subclass(HWND window, unsigned flags)
{
    const LONG_PTR previous =
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecorderFor(flags)));
    PreviousProcedures()[std::make_pair(window, flags == kParent || flags == kDefWinProc ? flags : kSent)] =
        reinterpret_cast<WNDPROC>(previous);
}

void MessageLog::InstallHook()
{
    if (!hook_)
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, RecordingHook, nullptr, GetCurrentThreadId());
}

void MessageLog::RemoveHook()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd && IsRecorded(msg.hwnd))
            MessageLog::Instance().Record(msg.hwnd, msg.message, kPosted, msg.wParam, msg.lParam);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
