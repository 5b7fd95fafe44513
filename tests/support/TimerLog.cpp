#include "TimerLog.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace {

TimerLog* g_log = nullptr;
void* g_realSet = nullptr;
void* g_realKill = nullptr;

// The slot of this executable's import table through which its code calls
// user32's `name`.
void** ImportSlot(const char* name)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); entry->Name;
         ++entry) {
        if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), "user32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void* Swap(void** slot, void* with)
{
    if (!slot)
        return nullptr;
    DWORD protection = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    void* was = *slot;
    *slot = with;
    VirtualProtect(slot, sizeof *slot, protection, &protection);
    return was;
}

std::vector<TimerLog::Timer>::iterator Find(std::vector<TimerLog::Timer>& timers, HWND window, UINT_PTR id)
{
    return std::find_if(timers.begin(), timers.end(),
                        [&](const TimerLog::Timer& timer) { return timer.window == window && timer.id == id; });
}

}  // namespace

// Reached from the import slots while a log lives.
struct TimerLogCalls {
    static UINT_PTR WINAPI Set(HWND window, UINT_PTR id, UINT delay, TIMERPROC)
    {
        std::vector<TimerLog::Timer>& running = g_log->running_;
        const auto found = Find(running, window, id);
        if (found != running.end())
            found->delay = delay;
        else
            running.push_back({window, id, delay});
        return id ? id : 1;
    }
    static BOOL WINAPI Kill(HWND window, UINT_PTR id)
    {
        std::vector<TimerLog::Timer>& running = g_log->running_;
        const auto found = Find(running, window, id);
        if (found == running.end())
            return FALSE;
        running.erase(found);
        return TRUE;
    }
};

TimerLog::TimerLog()
{
    g_log = this;
    g_realSet = Swap(ImportSlot("SetTimer"), reinterpret_cast<void*>(&TimerLogCalls::Set));
    g_realKill = Swap(ImportSlot("KillTimer"), reinterpret_cast<void*>(&TimerLogCalls::Kill));
}

TimerLog::~TimerLog()
{
    Swap(ImportSlot("SetTimer"), g_realSet);
    Swap(ImportSlot("KillTimer"), g_realKill);
    g_log = nullptr;
}

bool TimerLog::IsRunning(HWND window, UINT_PTR id, UINT delay) const
{
    return std::find(running_.begin(), running_.end(), Timer{window, id, delay}) != running_.end();
}

bool TimerLog::IsRunning(HWND window, UINT_PTR id) const
{
    return std::any_of(running_.begin(), running_.end(),
                       [&](const Timer& timer) { return timer.window == window && timer.id == id; });
}

void PrintTo(const TimerLog::Timer& timer, std::ostream* out)
{
    *out << "{window " << timer.window << ", id 0x" << std::hex << timer.id << std::dec << ", " << timer.delay
         << " ms}";
}
