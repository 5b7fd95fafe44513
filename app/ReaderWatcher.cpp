#include "ReaderWatcher.h"

#include <winscard.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kPnpReader[] = "\\\\?PnP?\\Notification";
// How often, and how long in all, a stop repeats its SCardCancel: one that
// comes before the thread's wait begins is lost.
const DWORD kStopCheckMs = 20;
const int kStopChecks = 150;

DWORD WaitForStop(HANDLE stop, DWORD milliseconds)
{
    return WaitForSingleObject(stop, milliseconds);
}

WatcherWait g_wait = WaitForStop;

// One watcher thread's share. A thread that does not end when stopped
// keeps its own: it never touches a later watcher's.
struct Watcher {
    HWND window;
    UINT message;
    HANDLE stop;
    HANDLE thread = nullptr;
    SCARDCONTEXT volatile context = 0;  // the one being waited on, for the cancel
};

Watcher* g_watcher;

bool Stopping(const Watcher& watcher)
{
    return WaitForSingleObject(watcher.stop, 0) == WAIT_OBJECT_0;
}

void Notify(const Watcher& watcher)
{
    if (!Stopping(watcher))
        PostMessageA(watcher.window, watcher.message, 0, 0);
}

bool IsServiceLoss(LONG status)
{
    return status == SCARD_E_SERVICE_STOPPED || status == SCARD_E_NO_SERVICE || status == SCARD_E_INVALID_HANDLE;
}

// The attached readers' names; none is not a failure.
LONG ListReaderNames(SCARDCONTEXT context, std::vector<std::string>* names)
{
    names->clear();
    DWORD length = 0;
    LONG status = SCardListReadersA(context, nullptr, nullptr, &length);
    std::vector<char> list(length + 2, '\0');
    if (status == SCARD_S_SUCCESS)
        status = SCardListReadersA(context, nullptr, list.data(), &length);
    if (status == SCARD_E_NO_READERS_AVAILABLE)
        return SCARD_S_SUCCESS;
    if (status != SCARD_S_SUCCESS)
        return status;
    for (const char* name = list.data(); *name; name += strlen(name) + 1)
        names->push_back(name);
    return SCARD_S_SUCCESS;
}

// The state of one reader as it is now; false when it cannot be asked, and
// such a reader is not waited on (its wait would fail at once, every time).
bool LearnState(SCARDCONTEXT context, SCARD_READERSTATEA* state, LONG* status)
{
    state->dwCurrentState = SCARD_STATE_UNAWARE;
    *status = SCardGetStatusChangeA(context, 0, state, 1);
    state->dwCurrentState = state->dwEventState & ~SCARD_STATE_CHANGED;
    return *status == SCARD_S_SUCCESS;
}

// The states waited on: every reader that answers, and the pseudo reader
// last. `names` owns the texts the states point to.
LONG LearnStates(SCARDCONTEXT context, std::vector<std::string>* names, std::vector<SCARD_READERSTATEA>* states)
{
    LONG status = ListReaderNames(context, names);
    if (status != SCARD_S_SUCCESS)
        return status;
    names->push_back(kPnpReader);
    states->clear();
    for (const std::string& name : *names) {
        SCARD_READERSTATEA state = {};
        state.szReader = name.c_str();
        if (LearnState(context, &state, &status))
            states->push_back(state);
        else if (IsServiceLoss(status))
            return status;
    }
    return SCARD_S_SUCCESS;
}

// Takes the new states as the current ones; true when any differs.
bool TakeChanges(std::vector<SCARD_READERSTATEA>& states, bool* readersChanged)
{
    bool changed = false;
    for (SCARD_READERSTATEA& state : states) {
        const DWORD now = state.dwEventState & ~SCARD_STATE_CHANGED;
        if (now == state.dwCurrentState)
            continue;
        changed = true;
        *readersChanged = *readersChanged || strcmp(state.szReader, kPnpReader) == 0;
        state.dwCurrentState = now;
    }
    return changed;
}

// Waits on the context until the service is lost (true) or the watcher is
// stopped (false).
bool WatchReaders(const Watcher& watcher, SCARDCONTEXT context)
{
    std::vector<std::string> names;
    std::vector<SCARD_READERSTATEA> states;
    bool learn = true;
    while (!Stopping(watcher)) {
        if (learn) {
            const LONG status = LearnStates(context, &names, &states);
            if (IsServiceLoss(status))
                return true;
            learn = false;
        }
        const LONG status = SCardGetStatusChangeA(context, INFINITE, states.data(), static_cast<DWORD>(states.size()));
        if (status == SCARD_E_CANCELLED || status == SCARD_E_TIMEOUT)
            continue;
        if (IsServiceLoss(status))
            return true;
        if (status == SCARD_S_SUCCESS) {
            if (TakeChanges(states, &learn))
                Notify(watcher);
        } else if (status == SCARD_E_UNKNOWN_READER) {  // a reader was detached
            Notify(watcher);
            learn = true;
        } else if (g_wait(watcher.stop, kServiceBackoffMs) == WAIT_OBJECT_0) {
            return false;  // a fault that may repeat: asked again after a pause, never in a spin
        } else {
            learn = true;
        }
    }
    return false;
}

DWORD WINAPI WatchThread(void* parameter)
{
    Watcher& watcher = *static_cast<Watcher*>(parameter);
    DWORD backoff = kServiceBackoffMs;
    bool first = true;
    bool hadService = false;
    while (!Stopping(watcher)) {
        SCARDCONTEXT context = 0;
        const bool established =
            SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS;
        if (!first && established != hadService)
            Notify(watcher);
        first = false;
        hadService = established;
        if (established) {
            backoff = kServiceBackoffMs;
            watcher.context = context;
            const bool lost = WatchReaders(watcher, context);
            watcher.context = 0;
            SCardReleaseContext(context);
            if (!lost)
                break;
            Notify(watcher);
            hadService = false;
        }
        if (g_wait(watcher.stop, backoff) == WAIT_OBJECT_0)
            break;
        backoff = std::min(backoff * 2, kLongestServiceBackoffMs);
    }
    return 0;
}

}  // namespace

void SetReaderWatcherWait(WatcherWait wait)
{
    g_wait = wait ? wait : WaitForStop;
}

bool StartReaderWatcher(HWND window, UINT message)
{
    if (g_watcher)
        return false;
    Watcher* watcher = new Watcher{window, message, CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    if (watcher->stop)
        watcher->thread = CreateThread(nullptr, 0, WatchThread, watcher, 0, nullptr);
    if (!watcher->thread) {
        if (watcher->stop)
            CloseHandle(watcher->stop);
        delete watcher;
        return false;
    }
    g_watcher = watcher;
    return true;
}

bool StopReaderWatcher()
{
    Watcher* watcher = g_watcher;
    if (!watcher)
        return false;
    g_watcher = nullptr;
    SetEvent(watcher->stop);
    bool ended = false;
    for (int i = 0; i < kStopChecks && !ended; ++i) {
        if (const SCARDCONTEXT context = watcher->context)
            SCardCancel(context);
        ended = WaitForSingleObject(watcher->thread, kStopCheckMs) == WAIT_OBJECT_0;
    }
    CloseHandle(watcher->thread);
    // A thread a service never woke still reads its share: it is left to it.
    if (ended) {
        CloseHandle(watcher->stop);
        delete watcher;
    }
    return true;
}
