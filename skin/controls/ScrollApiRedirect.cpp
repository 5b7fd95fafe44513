#include "controls/ScrollApiRedirect.h"

#include "controls/NcScroll.h"

#include <atomic>
#include <cstdint>

namespace {

// The redirected functions, in the order they are patched. The user32
// functions come first: where one of them is only a jump to its win32u
// entry, that entry is then found already redirected.
enum Slot {
    kEnable,
    kGetInfo,
    kGetPos,
    kGetRange,
    kSetInfo,
    kSetPos,
    kSetRange,
    kShow,
    kNtSetInfo,
    kNtShow,
    kNtEnable,
    kSlotCount
};
static_assert(kSlotCount == kRedirectedFunctionCount, "one status entry per redirected function");

const char kUser32[] = "user32.dll";
const char kWin32u[] = "win32u.dll";

struct SlotName {
    const char* module;
    const char* name;
};
const SlotName kSlotNames[kSlotCount] = {
    {kUser32, "EnableScrollBar"},     {kUser32, "GetScrollInfo"},         {kUser32, "GetScrollPos"},
    {kUser32, "GetScrollRange"},      {kUser32, "SetScrollInfo"},         {kUser32, "SetScrollPos"},
    {kUser32, "SetScrollRange"},      {kUser32, "ShowScrollBar"},         {kWin32u, "NtUserSetScrollInfo"},
    {kWin32u, "NtUserShowScrollBar"}, {kWin32u, "NtUserEnableScrollBar"},
};

void* SystemExport(int slot)
{
    HMODULE module = GetModuleHandleA(kSlotNames[slot].module);
    return module ? reinterpret_cast<void*>(GetProcAddress(module, kSlotNames[slot].name)) : nullptr;
}

#if defined(__i386__)
using SlotPatch = TrampolinePatch;
#else
using SlotPatch = EntryPatch;
#endif

struct RedirectState {
    ScrollFunctions replacements = {};
    std::atomic<ServesWindow> serves{nullptr};
    // Where each function's own code is called: a trampoline in 32-bit
    // builds; in 64-bit builds the code after the hot-patch no-op, the
    // destination of a jump, or the copy of a system-call stub.
    std::atomic<void*> originals[kSlotCount] = {};
    SlotPatch patches[kSlotCount];
    RedirectStatus status = {};
};
RedirectState g_redirect;

// The window whose call a SystemScrollFunctions entry is passing down to
// the system, on this thread.
thread_local HWND t_systemCallWindow = nullptr;

class SystemCallScope {
public:
    explicit SystemCallScope(HWND window) : previous_(t_systemCallWindow) { t_systemCallWindow = window; }
    ~SystemCallScope() { t_systemCallWindow = previous_; }
    SystemCallScope(const SystemCallScope&) = delete;
    SystemCallScope& operator=(const SystemCallScope&) = delete;

private:
    HWND previous_;
};

}  // namespace

#if defined(__i386__)
// Each trampoline starts out forwarding: it calls its routine, which
// returns the system function's address, and jumps there. Installing
// moves the function's first instructions in; byte 31 holds their length.
#define SCROLL_TRAMPOLINE(n)                                                                                           \
    extern "C" void* ScrollSystemAddress##n()                                                                          \
    {                                                                                                                  \
        static void* const address = SystemExport(n);                                                                  \
        return address;                                                                                                \
    }                                                                                                                  \
    extern "C" uint8_t ScrollTrampoline##n[];                                                                          \
    asm(".text\n\t.balign 16\n\t.globl _ScrollTrampoline" #n "\n_ScrollTrampoline" #n                                  \
        ":\n\tnop\n\tnop\n\tcall _ScrollSystemAddress" #n "\n\tjmp *%eax\n\t.fill 22, 1, 0xCC\n\t.byte 0\n");
SCROLL_TRAMPOLINE(0)
SCROLL_TRAMPOLINE(1)
SCROLL_TRAMPOLINE(2)
SCROLL_TRAMPOLINE(3)
SCROLL_TRAMPOLINE(4)
SCROLL_TRAMPOLINE(5)
SCROLL_TRAMPOLINE(6)
SCROLL_TRAMPOLINE(7)
SCROLL_TRAMPOLINE(8)
SCROLL_TRAMPOLINE(9)
SCROLL_TRAMPOLINE(10)
#undef SCROLL_TRAMPOLINE

namespace {

uint8_t* const kTrampolines[kSlotCount] = {
    ScrollTrampoline0, ScrollTrampoline1, ScrollTrampoline2, ScrollTrampoline3, ScrollTrampoline4,  ScrollTrampoline5,
    ScrollTrampoline6, ScrollTrampoline7, ScrollTrampoline8, ScrollTrampoline9, ScrollTrampoline10,
};

void* SystemOriginal(int slot)
{
    return kTrampolines[slot];
}

}  // namespace
#else
namespace {

void* SystemOriginal(int slot)
{
    void* function = SystemExport(slot);
    return function ? const_cast<void*>(EntryOriginal(static_cast<uint8_t*>(function), kNativeMode)) : nullptr;
}

}  // namespace
#endif

namespace {

void ResolveOriginals()
{
    static const bool resolved = [] {
        for (int slot = 0; slot < kSlotCount; ++slot)
            g_redirect.originals[slot].store(SystemOriginal(slot));
        return true;
    }();
    (void)resolved;
}

template <typename F>
F Original(int slot, F ScrollFunctions::*)
{
    return reinterpret_cast<F>(g_redirect.originals[slot].load(std::memory_order_relaxed));
}

bool Serves(HWND window)
{
    const ServesWindow serves = g_redirect.serves.load(std::memory_order_relaxed);
    return serves ? serves(window) : GetPropA(window, kNcScrollProperty) != nullptr;
}

// The replacement for a served window, else the system's function. A
// served window's call that SystemScrollFunctions is passing down stays
// with the system, also where the system's code comes back to a
// redirected function (user32's GetScrollPos calls GetScrollInfo, its
// SetScrollPos calls win32u's NtUserSetScrollInfo). SB_CTL names the
// window as a scroll bar control, which the replacements never are.
template <typename F>
F Route(int slot, HWND window, int bar, F ScrollFunctions::*function)
{
    const F replacement = g_redirect.replacements.*function;
    if (replacement && bar != SB_CTL && Serves(window) && t_systemCallWindow != window)
        return replacement;
    return Original(slot, function);
}

// The caller's last error, put back after the dispatcher's own work (its
// first thread-local access clears it) and after a replacement, which
// succeeds where the system's function would leave the error alone.
class LastErrorKept {
public:
    LastErrorKept() : error_(GetLastError()) {}
    void Restore() const { SetLastError(error_); }

private:
    DWORD error_;
};

// One call of a redirected function: a dispatcher's (routed), or the
// system's own (marked as such for its duration).
template <bool kSystem, typename F, typename Bar, typename... Args>
auto Call(int slot, F ScrollFunctions::*function, HWND window, Bar bar, Args... args)
{
    const LastErrorKept kept;
    if constexpr (kSystem) {
        SystemCallScope scope(window);
        kept.Restore();
        return Original(slot, function)(window, bar, args...);
    } else {
        const F routed = Route(slot, window, static_cast<int>(bar), function);
        kept.Restore();
        const auto result = routed(window, bar, args...);
        if (routed == g_redirect.replacements.*function)
            kept.Restore();
        return result;
    }
}

template <int S, bool kSystem>
BOOL WINAPI EnableScrollBarEntry(HWND window, UINT bar, UINT arrows)
{
    return Call<kSystem>(S, &ScrollFunctions::enableScrollBar, window, bar, arrows);
}

template <int S, bool kSystem>
BOOL WINAPI GetScrollInfoEntry(HWND window, int bar, LPSCROLLINFO info)
{
    return Call<kSystem>(S, &ScrollFunctions::getScrollInfo, window, bar, info);
}

template <int S, bool kSystem>
int WINAPI GetScrollPosEntry(HWND window, int bar)
{
    return Call<kSystem>(S, &ScrollFunctions::getScrollPos, window, bar);
}

template <int S, bool kSystem>
BOOL WINAPI GetScrollRangeEntry(HWND window, int bar, LPINT minPos, LPINT maxPos)
{
    return Call<kSystem>(S, &ScrollFunctions::getScrollRange, window, bar, minPos, maxPos);
}

template <int S, bool kSystem>
int WINAPI SetScrollInfoEntry(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    return Call<kSystem>(S, &ScrollFunctions::setScrollInfo, window, bar, info, redraw);
}

template <int S, bool kSystem>
int WINAPI SetScrollPosEntry(HWND window, int bar, int pos, BOOL redraw)
{
    return Call<kSystem>(S, &ScrollFunctions::setScrollPos, window, bar, pos, redraw);
}

template <int S, bool kSystem>
BOOL WINAPI SetScrollRangeEntry(HWND window, int bar, int minPos, int maxPos, BOOL redraw)
{
    return Call<kSystem>(S, &ScrollFunctions::setScrollRange, window, bar, minPos, maxPos, redraw);
}

template <int S, bool kSystem>
BOOL WINAPI ShowScrollBarEntry(HWND window, int bar, BOOL show)
{
    return Call<kSystem>(S, &ScrollFunctions::showScrollBar, window, bar, show);
}

template <typename F>
const void* CodeAddress(F function)
{
    return reinterpret_cast<const void*>(function);
}

const void* const kDispatchers[kSlotCount] = {
    CodeAddress(&EnableScrollBarEntry<kEnable, false>),   CodeAddress(&GetScrollInfoEntry<kGetInfo, false>),
    CodeAddress(&GetScrollPosEntry<kGetPos, false>),      CodeAddress(&GetScrollRangeEntry<kGetRange, false>),
    CodeAddress(&SetScrollInfoEntry<kSetInfo, false>),    CodeAddress(&SetScrollPosEntry<kSetPos, false>),
    CodeAddress(&SetScrollRangeEntry<kSetRange, false>),  CodeAddress(&ShowScrollBarEntry<kShow, false>),
    CodeAddress(&SetScrollInfoEntry<kNtSetInfo, false>),  CodeAddress(&ShowScrollBarEntry<kNtShow, false>),
    CodeAddress(&EnableScrollBarEntry<kNtEnable, false>),
};

// Whether an earlier function of this install was patched at `code`.
bool PatchedEarlier(int slot, const void* code)
{
    for (int earlier = 0; earlier < slot; ++earlier) {
        const RedirectedFunction& function = g_redirect.status.functions[earlier];
        if (function.result == PatchResult::kPatched && function.target == code)
            return true;
    }
    return false;
}

#if defined(__i386__)
PatchResult PatchSlot(int slot, SlotPatch& patch, const void** target)
{
    uint8_t* trampoline = kTrampolines[slot];
    if (!IsForwardingTrampoline(trampoline))
        return PatchResult::kBadTrampoline;
    uint8_t* function = TrampolineFunction(trampoline);
    if (!function)
        return PatchResult::kNoFunction;
    // Taken already, it starts with our own jump, which followed would name
    // the engine's dispatcher as the code refused.
    if (PatchedEarlier(slot, function)) {
        *target = function;
        return PatchResult::kSharedTarget;
    }
    uint8_t* code = const_cast<uint8_t*>(FollowJump(function));
    *target = code;
    if (PatchedEarlier(slot, code))
        return PatchResult::kSharedTarget;
    return ApplyTrampolinePatch(patch, trampoline, code, kDispatchers[slot]);
}
#else
PatchResult PatchSlot(int slot, SlotPatch& patch, const void** target)
{
    auto* function = static_cast<uint8_t*>(SystemExport(slot));
    *target = function;
    if (!function)
        return PatchResult::kNoFunction;
    if (PatchedEarlier(slot, function))
        return PatchResult::kSharedTarget;
    const PatchResult result = ApplyEntryPatch(patch, function, kDispatchers[slot]);
    if (result == PatchResult::kPatched)
        g_redirect.originals[slot].store(const_cast<void*>(patch.original));
    return result;
}
#endif

BOOL RemoveSlot(SlotPatch& patch)
{
#if defined(__i386__)
    return RemoveTrampolinePatch(patch);
#else
    return RemoveEntryPatch(patch);
#endif
}

bool IsWindows9x()
{
    return (GetVersion() & 0x80000000u) != 0;
}

}  // namespace

int ScrollApiRedirect_Install(const ScrollFunctions& replacements, ServesWindow serves)
{
    if (IsWindows9x())
        return 0;
    RedirectStatus& status = g_redirect.status;
    if (status.installed)
        return 1;
    ResolveOriginals();
    g_redirect.replacements = replacements;
    g_redirect.serves.store(serves);
    for (int slot = 0; slot < kSlotCount; ++slot) {
        RedirectedFunction& function = status.functions[slot];
        function = RedirectedFunction{kSlotNames[slot].module, kSlotNames[slot].name, PatchResult::kNotTried, nullptr};
        SlotPatch& patch = g_redirect.patches[slot];
        // One whose removal failed is still in place.
        function.result = patch.applied ? PatchResult::kPatched : PatchSlot(slot, patch, &function.target);
    }
    status.installed = true;
    return 1;
}

int ScrollApiRedirect_Remove()
{
    if (IsWindows9x())
        return 0;
    for (SlotPatch& patch : g_redirect.patches) {
        if (patch.applied)
            RemoveSlot(patch);
    }
    g_redirect.status.installed = false;
    return 1;
}

const RedirectStatus& ScrollApiRedirect_Status()
{
    return g_redirect.status;
}

const ScrollFunctions& SystemScrollFunctions()
{
    static const ScrollFunctions functions = [] {
        ResolveOriginals();
        return ScrollFunctions{
            EnableScrollBarEntry<kEnable, true>,  GetScrollInfoEntry<kGetInfo, true>, GetScrollPosEntry<kGetPos, true>,
            GetScrollRangeEntry<kGetRange, true>, SetScrollInfoEntry<kSetInfo, true>, SetScrollPosEntry<kSetPos, true>,
            SetScrollRangeEntry<kSetRange, true>, ShowScrollBarEntry<kShow, true>,
        };
    }();
    return functions;
}
