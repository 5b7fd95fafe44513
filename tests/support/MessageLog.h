#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

// Message-sequence checking in the manner of Wine's own user32 tests:
// recorders (subclass procedures, a call-window-procedure hook, the
// message pump) log the messages windows receive with flags that say how
// each arrived; a test flushes the log, performs one action and compares
// the log with a static table of expected messages.
enum MessageFlags : unsigned {
    kSent = 0x1,        // reached the window's procedure from outside
    kPosted = 0x2,      // came out of the message queue
    kParent = 0x4,      // logged for the parent of the window under test
    kDefWinProc = 0x8,  // reached the procedure below the skin (the default processing)
    kHook = 0x10,       // seen by a call-window-procedure hook
    kWParam = 0x100,    // compare wParam too
    kLParam = 0x200,    // compare lParam too
    kOptional = 0x400,  // may be missing
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
    WPARAM wParam;
    LPARAM lParam;
};

struct LoggedMessage {
    HWND window;
    UINT message;
    unsigned flags;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageLog {
public:
    static MessageLog& Instance();

    void Record(HWND window, UINT message, unsigned flags, WPARAM wParam, LPARAM lParam);
    void Flush() { entries_.clear(); }
    const std::vector<LoggedMessage>& Entries() const { return entries_; }
    // How many entries of that message carry all of `flags`.
    size_t Count(UINT message, unsigned flags = 0) const;
    bool Contains(UINT message, unsigned flags = 0) const { return Count(message, flags) != 0; }

    // Logs only these messages (empty: everything but the platform noise).
    void RestrictTo(std::vector<UINT> messages) { filter_ = std::move(messages); }

    // Compares the log with the table, in order; optional entries may be
    // absent. On a mismatch the context and both sequences are printed.
    testing::AssertionResult Matches(const ExpectedMessage* expected, size_t count, const char* context) const;

    // Puts a recorder on top of the window's procedure: what the window
    // receives is logged with `flags` (kSent for the window under test,
    // kParent for its parent), then handled as before. With kDefWinProc,
    // placed before another subclass, it logs what that subclass passes
    // on to the procedure below it.
    void Subclass(HWND window, unsigned flags = kSent);
    // Logs what a WH_CALLWNDPROC hook of this thread sees, with kHook.
    void InstallHook();
    void RemoveHook();

private:
    std::vector<LoggedMessage> entries_;
    std::vector<UINT> filter_;
    HHOOK hook_ = nullptr;
};

template <size_t N>
testing::AssertionResult LogMatches(const ExpectedMessage (&expected)[N], const char* context = "")
{
    return MessageLog::Instance().Matches(expected, N, context);
}

// Dispatches every pending message of the calling thread; messages for
// windows with a recorder are logged with kPosted first.
void PumpMessages();
