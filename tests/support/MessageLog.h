#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

// Message-sequence checking in the manner of Wine's own user32 tests: a
// recording window procedure (or a subclass of an existing window) logs
// every message; a test flushes the log, acts, and compares the log with a
// static table of expected messages.
enum MessageFlags : unsigned {
    kSent = 0x1,      // arrived through the window procedure
    kOptional = 0x2,  // expected entry that may be missing
    kWParam = 0x4,    // compare wParam too
};

struct ExpectedMessage {
    UINT message;
    unsigned flags;
    WPARAM wParam;
};

struct LoggedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageLog {
public:
    static MessageLog& instance();

    void record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void flush() { entries_.clear(); }
    const std::vector<LoggedMessage>& entries() const { return entries_; }
    bool contains(UINT message) const;

    // Logs only these messages (empty: everything).
    void restrictTo(std::vector<UINT> messages) { filter_ = std::move(messages); }

    // Compares the log with the table, in order; optional entries may be
    // absent. On a mismatch both sequences are printed.
    testing::AssertionResult matches(const ExpectedMessage* expected, size_t count) const;

    // Subclasses the window so that everything it receives is logged
    // before the previous procedure handles it.
    void subclass(HWND window);

private:
    std::vector<LoggedMessage> entries_;
    std::vector<UINT> filter_;
};

template <size_t N>
testing::AssertionResult LogMatches(const ExpectedMessage (&expected)[N])
{
    return MessageLog::instance().matches(expected, N);
}

// Dispatches every pending message of the calling thread.
void PumpMessages();
