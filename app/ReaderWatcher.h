// The report follows the readers and the cards. A thread of its own (PC/SC
// wants one context per thread) waits without a time-out on every reader
// and on the pseudo reader that reports readers attached and detached, and
// posts a message to the main window at every change; it never polls. When
// the smart-card service goes away (it may stop with the last reader) the
// thread gives its context back and asks for a new one after a back-off.
#pragma once

#include <windows.h>

// The back-off after the service could not be reached, doubling up to the
// longest while it stays away.
const DWORD kServiceBackoffMs = 1000;
const DWORD kLongestServiceBackoffMs = 8000;

// What the back-off waits with: up to `milliseconds`, or until `stop` is
// signalled (WAIT_OBJECT_0). WaitForSingleObject unless a test changes it.
typedef DWORD (*WatcherWait)(HANDLE stop, DWORD milliseconds);
void SetReaderWatcherWait(WatcherWait wait);

// Starts the watcher; each change posts `message` to `window`. The state
// at the start is what later changes are measured against.
bool StartReaderWatcher(HWND window, UINT message);

// Wakes the watcher with SCardCancel and ends its thread; afterwards it
// posts nothing. True when a watcher was running.
bool StopReaderWatcher();
