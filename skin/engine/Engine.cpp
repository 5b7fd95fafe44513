// The engine's entry points and its thread-local hooks. This is where
// the layers meet: the entry points give the skin manager the frame,
// dialog and control skins of the layers above it.
#include "SkinEngine.h"

#include "controls/ControlSkins.h"
#include "controls/NcScroll.h"
#include "controls/ScrollApiRedirect.h"
#include "core/ContrastWatcher.h"
#include "core/SkinManager.h"
#include "core/SkinMessages.h"
#include "core/SkinnedWindow.h"
#include "data/MemoryStream.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"
#include "imaging/WindowsVersion.h"
#include "windows/CaptionButton.h"
#include "windows/FrameLabel.h"
#include "windows/PopupMenuWindow.h"
#include "windows/SkinnedDialog.h"
#include "windows/SkinnedFrame.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace {

const int kClassNameSize = 100;
const size_t kDialogNameSize = 51;
const LPARAM kAltDown = 0x20000000;
const LPARAM kKeyUp = static_cast<LPARAM>(0x80000000u);
const char kPopupMenuClass[] = "VeltramoxPopupMenuWnd";

struct EngineState {
    std::mutex lock;  // the hook maps, start and stop
    std::map<DWORD, HHOOK> cbtHooks;
    std::map<DWORD, HHOOK> keyboardHooks;
    HINSTANCE instance = nullptr;
    WindowsVersionClass versionClass = WindowsNtOther;
    char dialogSkinName[kDialogNameSize] = {};
};

EngineState& Engine()
{
    static EngineState state;
    return state;
}

// Keys whose key-down a skinned window used: their key-up is swallowed
// too, or the system would see half a keystroke (and open its own menu).
thread_local std::set<WPARAM> t_swallowedKeys;
// Alt went down and no other key followed yet: its release alone selects
// the menu bar, as F10 does.
thread_local bool t_altAlone = false;

// A window is skinned just before its own procedure sees WM_CREATE, which
// only a call-window-procedure hook can catch. Under Wine such a hook makes
// every message sent on the thread cost wineserver round trips, so it is
// installed only while a window of the thread is being created: from the
// creation's CBT notice to the window's WM_CREATE.
struct CreationWatch {
    HHOOK hook = nullptr;
    std::vector<HWND> pending;
};
thread_local CreationWatch t_creations;

// The keys that move through a menu selected from the keyboard.
bool IsMenuNavigationKey(WPARAM vk)
{
    return vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_RETURN || vk == VK_ESCAPE;
}

HHOOK HookOfThread(const std::map<DWORD, HHOOK>& hooks)
{
    EngineState& engine = Engine();
    std::lock_guard<std::mutex> guard(engine.lock);
    auto found = hooks.find(GetCurrentThreadId());
    return found == hooks.end() ? nullptr : found->second;
}

std::unique_ptr<SkinnedWindow> MakeFrame() { return std::make_unique<SkinnedFrame>(); }
std::unique_ptr<SkinnedWindow> MakeDialog() { return std::make_unique<SkinnedDialog>(); }

std::unique_ptr<FrameElement> MakeElement(const SkinObject& object, SkinnedWindow& owner)
{
    switch (object.TypeCode()) {
    case kTypeCaptionButton:
        return std::make_unique<CaptionButton>(object.placement, owner);
    case kTypeFrameLabel:
        return std::make_unique<FrameLabel>(object.placement, owner);
    default:
        return nullptr;
    }
}

SkinFactories EngineFactories()
{
    SkinFactories factories;
    factories.frame = MakeFrame;
    factories.dialog = MakeDialog;
    factories.control = MakeControlSkin;
    factories.toolbar = MakeToolbarSkin;
    factories.element = MakeElement;
    factories.endMenus = EndSkinnedMenus;
    return factories;
}

bool InstallHook(std::map<DWORD, HHOOK>& hooks, int kind, HOOKPROC procedure, HINSTANCE instance, DWORD thread)
{
    if (hooks.count(thread))
        return true;
    HHOOK hook = SetWindowsHookExA(kind, procedure, instance, thread);
    if (!hook)
        return false;
    hooks.emplace(thread, hook);
    return true;
}

void RemoveHook(std::map<DWORD, HHOOK>& hooks, DWORD thread)
{
    auto found = hooks.find(thread);
    if (found == hooks.end())
        return;
    UnhookWindowsHookEx(found->second);
    hooks.erase(found);
}

bool IsToolbarOutsideBars(HWND window, const char* className)
{
    if (strcmp(className, "ToolbarWindow32") != 0)
        return false;
    HWND parent = GetParent(window);
    char parentClass[kClassNameSize] = {};
    if (!parent || GetClassNameA(parent, parentClass, kClassNameSize) <= 0)
        return false;
    return strcmp(parentClass, "ReBarWindow32") != 0 && strncmp(parentClass, "AfxControlBar", 13) != 0 &&
           GetParent(parent) != nullptr;
}

// What the engine does with a window as it is made: skins it as a dialog,
// as a child of a skinned window, as a toolbar, or not at all.
enum class CreationSkin { None, Dialog, Child, Toolbar };

CreationSkin SkinAtCreation(HWND window, HWND parent)
{
    char className[kClassNameSize] = {};
    if (GetClassNameA(window, className, kClassNameSize) <= 0)
        return CreationSkin::None;
    if (strcmp(className, "#32770") == 0) {
        std::lock_guard<std::mutex> guard(Engine().lock);
        if (Engine().dialogSkinName[0])
            return CreationSkin::Dialog;
    }
    if (parent && SkinManager::Instance().FindSkinnedAncestor(parent))
        return CreationSkin::Child;
    return IsToolbarOutsideBars(window, className) ? CreationSkin::Toolbar : CreationSkin::None;
}

// The watcher comes with the first window the engine is asked to skin,
// not at start: made first, it would take on the cost of the process's
// first window, which the program's own window pays anyway. A change
// announced before it existed is caught up with here.
void WatchContrast()
{
    if (ContrastWatcher::Window())
        return;
    HINSTANCE instance = nullptr;
    {
        std::lock_guard<std::mutex> guard(Engine().lock);
        instance = Engine().instance;
    }
    if (instance && ContrastWatcher::Start(instance))
        SkinManager::Instance().FollowHighContrast();
}

void OnWindowCreated(HWND window)
{
    SkinManager& manager = SkinManager::Instance();
    const HWND parent = GetParent(window);
    switch (SkinAtCreation(window, parent)) {
    case CreationSkin::Dialog: {
        char dialogName[kDialogNameSize];
        {
            std::lock_guard<std::mutex> guard(Engine().lock);
            memcpy(dialogName, Engine().dialogSkinName, sizeof dialogName);
        }
        WatchContrast();
        manager.SkinDialog(window, dialogName);
        return;
    }
    case CreationSkin::Child:
        manager.FindSkinnedAncestor(parent)->SkinChild(window);
        return;
    case CreationSkin::Toolbar:
        WatchContrast();
        manager.SkinToolbar(window);
        return;
    case CreationSkin::None:
        return;
    }
}

// F10 and Alt combinations go to the active skinned frame or open popup
// menu; a non-zero answer means it used the key.
bool RouteMenuKey(WPARAM vk, LPARAM flags)
{
    HWND active = GetActiveWindow();
    if (!active)
        return false;
    bool skinned = SkinManager::Instance().FindWindowObject(active) != nullptr;
    if (!skinned) {
        char className[kClassNameSize] = {};
        GetClassNameA(active, className, kClassNameSize);
        skinned = lstrcmpiA(className, kPopupMenuClass) == 0;
    }
    return skinned && SendMessageA(active, WM_SKIN_MENUKEY, vk, flags) != 0;
}

void StopCreationWatch()
{
    if (t_creations.hook)
        UnhookWindowsHookEx(t_creations.hook);
    t_creations = CreationWatch{};
}

// True when `window` was being created; the hook goes once no creation is
// left. A window whose creation failed never sees WM_CREATE: it is gone
// by now and is dropped with it.
bool EndCreation(HWND window)
{
    std::vector<HWND>& pending = t_creations.pending;
    const auto found = std::find(pending.begin(), pending.end(), window);
    if (found == pending.end())
        return false;
    pending.erase(found);
    pending.erase(std::remove_if(pending.begin(), pending.end(), [](HWND other) { return !IsWindow(other); }),
                  pending.end());
    if (pending.empty())
        StopCreationWatch();
    return true;
}

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    const HHOOK hook = t_creations.hook;
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == WM_CREATE && EndCreation(message->hwnd)) {
        try {
            OnWindowCreated(message->hwnd);
        } catch (...) {
            // A window the engine could not skin keeps the system look.
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

void WatchCreation(HWND window)
{
    if (!t_creations.hook)
        t_creations.hook = SetWindowsHookExA(WH_CALLWNDPROC, CreationHook, nullptr, GetCurrentThreadId());
    if (t_creations.hook)
        t_creations.pending.push_back(window);
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK hook = HookOfThread(Engine().cbtHooks);
    if (!hook)
        return 0;
    const LRESULT result = CallNextHookEx(hook, code, wParam, lParam);
    if (code == HCBT_DESTROYWND)
        SkinManager::Instance().ForgetRequest(reinterpret_cast<HWND>(wParam));
    // A creation another hook refused goes no further.
    if (code != HCBT_CREATEWND || result != 0)
        return result;
    // Only a window the engine skins as it is made is watched: the watch
    // costs each message of the creation a pass through the hook chain,
    // which a top-level window of the program's own would pay for nothing.
    const HWND window = reinterpret_cast<HWND>(wParam);
    const HWND parent = reinterpret_cast<const CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent;
    if (SkinAtCreation(window, parent) != CreationSkin::None)
        WatchCreation(window);
    return result;
}

// What the system does for the menu keys the hook keeps from it: the
// active window's keyboard cues come on, as after Alt or F10.
void ShowKeyboardCues()
{
    if (HWND active = GetActiveWindow())
        SendMessageA(active, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL | UISF_HIDEFOCUS), 0);
}

// The keys kept from the system whose own handling would show the cues:
// F10 and Alt combinations going down, and the Alt key's release.
bool ShowsCues(WPARAM vk, LPARAM flags)
{
    if (flags & kKeyUp)
        return vk == VK_MENU;
    return vk == VK_F10 || (flags & kAltDown);
}

bool RouteMenuKeyCaught(WPARAM vk, LPARAM flags)
{
    try {
        return RouteMenuKey(vk, flags);
    } catch (...) {
        return false;
    }
}

// Whether a skinned window used the key, or the system must not see it.
bool SwallowsKey(WPARAM vk, LPARAM flags)
{
    if (flags & kKeyUp) {
        if (t_swallowedKeys.erase(vk))
            return true;
        const bool altAlone = vk == VK_MENU && t_altAlone;
        t_altAlone = false;
        if (altAlone && RouteMenuKeyCaught(VK_F10, 0))
            return true;
    } else {
        t_altAlone = vk == VK_MENU;
        if ((vk == VK_F10 || ((flags & kAltDown) && vk != VK_MENU) || IsMenuNavigationKey(vk)) &&
            RouteMenuKeyCaught(vk, flags)) {
            t_swallowedKeys.insert(vk);
            return true;
        }
    }
    // The Alt key's own transition, swallowed so that the system does not
    // activate a menu bar of its own.
    return !(flags & kAltDown) && vk == VK_MENU;
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM vk, LPARAM flags)
{
    HHOOK hook = HookOfThread(Engine().keyboardHooks);
    if (!hook)
        return 0;
    // With the skin set aside for high contrast the system's menus take
    // the keys, the Alt key's among them.
    if (code == HC_ACTION && !SkinManager::Instance().SkinSetAside() && SwallowsKey(vk, flags)) {
        if (ShowsCues(vk, flags))
            ShowKeyboardCues();
        return 1;
    }
    return CallNextHookEx(hook, code, vk, flags);
}

// A function the system does not have needs no redirecting, and one whose
// code another redirected function starts at (32-bit ShowScrollBar jumps
// straight into win32u) is redirected with it; any other left as it was
// would let the system's bars show.
bool EveryScrollFunctionRedirected()
{
    const RedirectStatus& status = ScrollApiRedirect_Status();
    if (!status.installed)
        return false;
    for (const RedirectedFunction& function : status.functions)
        if (function.result != PatchResult::kPatched && function.result != PatchResult::kNoFunction &&
            function.result != PatchResult::kSharedTarget)
            return false;
    return true;
}

// The eight scroll functions of the process reach the self-drawn bars for
// the windows they serve; where the redirection cannot be made, the bars
// are only installed on the versions whose controls need none of it.
void StartScrollRedirection(WindowsVersionClass version)
{
    const ScrollFunctions replacements = {NcScroll_EnableScrollBar, NcScroll_GetScrollInfo,
                                          NcScroll_GetScrollPos,    NcScroll_GetScrollRange,
                                          NcScroll_SetScrollInfo,   NcScroll_SetScrollPos,
                                          NcScroll_SetScrollRange,  NcScroll_ShowScrollBar};
    ScrollApiRedirect_Install(replacements, NcScroll_ServesWindow);
    NcScroll_SetSystemSupport(NcScrollBarsAllowed(version, EveryScrollFunctionRedirected()));
}

bool LoadSkinFromStream(const MemoryStream& stream)
{
    auto store = std::make_unique<SkinStore>();
    if (!store->Load(stream))
        return false;
    return SkinManager::Instance().ApplySkinStore(std::move(store));
}

bool StartThreadHooks(HINSTANCE instance)
{
    EngineState& engine = Engine();
    std::lock_guard<std::mutex> guard(engine.lock);
    if (engine.cbtHooks.empty()) {
        if (!RegisterPopupMenuClass(instance))
            return false;
        engine.instance = instance;
        engine.versionClass = GetWindowsVersionClass();
        SkinManager::Instance().SetFactories(EngineFactories());
        StartScrollRedirection(engine.versionClass);
    }
    const DWORD thread = GetCurrentThreadId();
    if (!InstallHook(engine.cbtHooks, WH_CBT, CbtHook, engine.instance, thread)) {
        // No thread runs: the class registered above goes again.
        if (engine.cbtHooks.empty())
            UnregisterPopupMenuClass(engine.instance);
        return false;
    }
    if (!InstallHook(engine.keyboardHooks, WH_KEYBOARD, KeyboardHook, engine.instance, thread))
        return false;
    return true;
}

}  // namespace

BOOL EngineStart(HINSTANCE instance)
{
    if (!StartThreadHooks(instance))
        return FALSE;
    // The manager's lock is never taken under the engine's.
    SkinManager::Instance().FollowHighContrast();
    return TRUE;
}

void EngineStop()
{
    EngineState& engine = Engine();
    std::lock_guard<std::mutex> guard(engine.lock);
    const DWORD thread = GetCurrentThreadId();
    RemoveHook(engine.cbtHooks, thread);
    RemoveHook(engine.keyboardHooks, thread);
    StopCreationWatch();
    if (engine.cbtHooks.empty()) {
        engine.dialogSkinName[0] = '\0';
        UnregisterPopupMenuClass(engine.instance);
        ContrastWatcher::Stop();
        ScrollApiRedirect_Remove();
        engine.instance = nullptr;
    }
}

BOOL LoadSkinFromResource(HINSTANCE instance, LPCSTR name, LPCSTR type)
{
    HRSRC resource = FindResourceA(instance, name, type);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes)
        return FALSE;
    return LoadSkinFromMemory(bytes, SizeofResource(instance, resource));
}

BOOL LoadSkinFromMemory(const void* bytes, DWORD size)
{
    if (!bytes || size > 0x7FFFFFFF)
        return FALSE;
    MemoryStream stream(bytes, static_cast<int32_t>(size), MemoryStream::kSkinGrowStep);
    return LoadSkinFromStream(stream);
}

int SetDialogSkinName(LPCSTR objectName)
{
    EngineState& engine = Engine();
    std::lock_guard<std::mutex> guard(engine.lock);
    lstrcpynA(engine.dialogSkinName, objectName ? objectName : "", kDialogNameSize - 1);
    engine.dialogSkinName[kDialogNameSize - 1] = '\0';
    return 1;
}

int ClearDialogSkinName()
{
    return SetDialogSkinName("");
}

BOOL SetWindowSkin(HWND window, LPCSTR objectName)
{
    WatchContrast();
    return SkinManager::Instance().SkinFrame(window, objectName);
}
