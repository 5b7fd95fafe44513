#include "core/SkinManager.h"

#include "core/HighContrast.h"
#include "core/SkinnedWindow.h"
#include "data/SkinStore.h"
#include "data/SkinTypes.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

struct ClassRow {
    const char* className;
    int controlType;
};

const ClassRow kClassTable[] = {
    {"msctls_statusbar32", kTypeStatusBar}, {"ToolbarWindow32", kTypeToolBar},
    {"AfxControlBar42sd", kTypeControlBar}, {"AfxControlBar42s", kTypeControlBar},
    {"AfxControlBar42", kTypeControlBar},   {"AfxControlBar42d", kTypeControlBar},
    {"Static", kTypeStatic},                {"Button", kTypeButton},
    {"GroupBox", kTypeGroupBox},            {"Radio", kTypeRadio},
    {"CheckBox", kTypeCheckBox},            {"ScrollBar", kTypeScrollBar},
    {"msctls_progress32", kTypeProgress},   {"msctls_updown32", kTypeSpin},
    {"msctls_trackbar32", kTypeTrackBar},   {"ComboBox", kTypeComboBox},
    {"SysTabControl32", kTypeTab},          {"Edit", kTypeEdit},
    {"SysListView32", kTypeListView},       {"ListBox", kTypeListBox},
    {"SysTreeView32", kTypeTreeView},       {"RICHEDIT", kTypeRichEdit},
    {"SysIPAddress32", kTypeIpAddress},     {"SysHeader32", kTypeHeader},
    {"ReBarWindow32", kTypeRebar},          {"SysAnimate32", kTypeAnimate},
    {"AfxControlBar70", kTypeControlBar},   {"AfxControlBar70d", kTypeControlBar},
    {"AfxControlBar70s", kTypeControlBar},  {"AfxControlBar70sd", kTypeControlBar},
};

int AncestorCount(HWND window)
{
    int count = 0;
    for (HWND parent = GetAncestor(window, GA_PARENT); parent && parent != GetDesktopWindow();
         parent = GetAncestor(parent, GA_PARENT))
        ++count;
    return count;
}

// Freezes drawing of the desktop while every window changes its skin.
class DesktopUpdateLock {
public:
    DesktopUpdateLock() : locked_(LockWindowUpdate(GetDesktopWindow()) != FALSE) {}
    ~DesktopUpdateLock()
    {
        if (locked_)
            LockWindowUpdate(nullptr);
    }

    DesktopUpdateLock(const DesktopUpdateLock&) = delete;
    DesktopUpdateLock& operator=(const DesktopUpdateLock&) = delete;

private:
    bool locked_;
};

}  // namespace

SkinManager& SkinManager::Instance()
{
    static SkinManager manager;
    return manager;
}

SkinManager::SkinManager() : store_(std::make_unique<SkinStore>())
{
    for (const ClassRow& row : kClassTable)
        classTable_.emplace(row.className, row.controlType);
}

// The windows are gone by now: their objects are destroyed, not detached.
SkinManager::~SkinManager() = default;

template <typename Skin>
bool SkinManager::SkinTopLevel(HWND window, Skin make, SkinObject* object)
{
    if (!make || !object || windows_.count(window))
        return false;
    SkinnedWindow* skin = AddWindow(make(), window);
    if (!skin)
        return false;
    skin->SetSkinObject(object);
    return AttachOrForget(*skin, window);
}

bool SkinManager::SkinFrame(HWND window, const char* objectName)
{
    Guard guard(lock_);
    if (RememberedAside(window, Kind::Frame, objectName))
        return false;
    SkinObject* object = objectName ? store_->FindObject(objectName) : store_->FindObjectByType(kTypeFrame);
    if (!object || object->TypeCode() != kTypeFrame || !SkinTopLevel(window, factories_.frame, object))
        return false;
    requests_[window] = Request{Kind::Frame, objectName ? objectName : ""};
    return true;
}

bool SkinManager::SkinDialog(HWND window, const char* objectName)
{
    Guard guard(lock_);
    if (!objectName || RememberedAside(window, Kind::Dialog, objectName))
        return false;
    if (!SkinTopLevel(window, factories_.dialog, store_->FindObject(objectName)))
        return false;
    requests_[window] = Request{Kind::Dialog, objectName};
    return true;
}

bool SkinManager::SkinToolbar(HWND window)
{
    if (RememberedAside(window, Kind::Toolbar, nullptr))
        return false;
    SkinObject* object = store_->FindObjectByType(kTypeToolBar);
    if (!object || !factories_.toolbar)
        return false;
    SkinnedWindow* toolbar = AddWindow(factories_.toolbar(), window);
    if (!toolbar)
        return false;
    toolbar->SetSkinObject(object);
    if (!AttachOrForget(*toolbar, window))
        return false;
    Guard guard(lock_);
    requests_[window] = Request{Kind::Toolbar, ""};
    return true;
}

SkinnedWindow* SkinManager::AddWindow(std::unique_ptr<SkinnedWindow> object, HWND window)
{
    Guard guard(lock_);
    if (!object || !window || windows_.count(window))
        return nullptr;
    SkinnedWindow* added = object.get();
    windows_.emplace(window, std::move(object));
    return added;
}

bool SkinManager::AttachOrForget(SkinnedWindow& object, HWND window)
{
    if (object.Attach(window))
        return true;
    UnskinWindow(window);
    return false;
}

bool SkinManager::UnskinWindow(HWND window)
{
    Guard guard(lock_);
    auto found = windows_.find(window);
    if (found == windows_.end())
        return false;
    // Out of the map first: detaching unskins descendants, which comes
    // back here, and must not find this entry half torn down.
    std::unique_ptr<SkinnedWindow> object = std::move(found->second);
    windows_.erase(found);
    requests_.erase(window);
    object->Detach();
    return true;
}

SkinnedWindow* SkinManager::FindSkinnedAncestor(HWND window)
{
    Guard guard(lock_);
    for (HWND current = window; current; current = GetParent(current)) {
        if (SkinnedWindow* object = FindWindowObject(current))
            return object;
        if (!(GetWindowLongPtrA(current, GWL_STYLE) & WS_CHILD))
            return nullptr;
    }
    return nullptr;
}

SkinnedWindow* SkinManager::FindWindowObject(HWND window)
{
    Guard guard(lock_);
    auto found = windows_.find(window);
    return found == windows_.end() ? nullptr : found->second.get();
}

SkinStore& SkinManager::GetSkinStore()
{
    return *store_;
}

bool SkinManager::ApplySkinStore(std::unique_ptr<SkinStore> store)
{
    if (!store)
        return false;
    Guard guard(lock_);
    DesktopUpdateLock freeze;
    std::unique_ptr<SkinStore> old = std::move(store_);
    store_ = std::move(store);
    RebindWindows();
    old.reset();
    return true;
}

void SkinManager::RebindWindows()
{
    // Re-binding one window skins, re-skins or unskins its children, which
    // changes the map: walk a snapshot of the handles. Ancestors first: a
    // control finds the object made for its id in its owner's object, which
    // must be the new skin's by then, not one about to be freed.
    struct Entry {
        int depth;
        HWND window;
        SkinObject* object;  // of the old store
        bool operator<(const Entry& other) const { return depth < other.depth; }
    };
    std::vector<Entry> snapshot;
    for (const auto& entry : windows_)
        snapshot.push_back({AncestorCount(entry.first), entry.first, entry.second->GetSkinObject()});
    std::stable_sort(snapshot.begin(), snapshot.end());
    std::vector<HWND> removals;
    for (const Entry& entry : snapshot) {
        const HWND window = entry.window;
        SkinnedWindow* object = FindWindowObject(window);
        SkinObject* current = object ? object->GetSkinObject() : nullptr;
        // A child its owner re-bound already (each re-bind repaints it).
        if (!object || current != entry.object)
            continue;
        SkinObject* replacement = nullptr;
        if (current) {
            replacement = store_->FindObject(current->Name());
            // A name may now belong to an object of another type.
            if (!replacement || replacement->TypeCode() != current->TypeCode())
                replacement = store_->FindObjectByType(current->TypeCode());
        }
        if (replacement)
            object->SetSkinObject(replacement);
        else if (!object->KeepWithoutSkinObject())
            removals.push_back(window);
        else if (current)
            object->SetSkinObject(nullptr);  // the old object dies with the old store
    }
    for (HWND window : removals)
        UnskinWindow(window);
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (it->second->Window() != it->first)
            it = windows_.erase(it);
        else
            ++it;
    }
}

int SkinManager::ControlTypeOfClass(const char* className) const
{
    Guard guard(lock_);
    auto found = classTable_.find(className);
    return found == classTable_.end() ? 0 : found->second;
}

void SkinManager::SetFactories(const SkinFactories& factories)
{
    Guard guard(lock_);
    factories_ = factories;
}

size_t SkinManager::WindowCount() const
{
    Guard guard(lock_);
    return windows_.size();
}

void SkinManager::FollowHighContrast()
{
    const bool on = HighContrastOn();
    Guard guard(lock_);
    if (on == skinSetAside_)
        return;
    DesktopUpdateLock freeze;
    if (on)
        SetSkinAside();
    else
        BringSkinBack();
}

bool SkinManager::SkinSetAside() const
{
    Guard guard(lock_);
    return skinSetAside_;
}

void SkinManager::ForgetRequest(HWND window)
{
    Guard guard(lock_);
    if (skinSetAside_)
        requests_.erase(window);
}

bool SkinManager::RememberedAside(HWND window, Kind kind, const char* objectName)
{
    Guard guard(lock_);
    if (!skinSetAside_)
        return false;
    requests_[window] = Request{kind, objectName ? objectName : ""};
    return true;
}

void SkinManager::SetSkinAside()
{
    skinSetAside_ = true;
    // The system ends an open menu when the look changes under it; a
    // skinned one left open would outlive its skin.
    if (factories_.endMenus)
        factories_.endMenus();
    // Detaching a window forgets its request; these are kept for later.
    const std::map<HWND, Request> requests = requests_;
    for (const auto& entry : requests)
        UnskinWindow(entry.first);
    // Whatever is left was skinned under a window that is gone now.
    std::vector<HWND> rest;
    for (const auto& entry : windows_)
        rest.push_back(entry.first);
    for (HWND window : rest)
        UnskinWindow(window);
    requests_ = requests;
}

void SkinManager::BringSkinBack()
{
    skinSetAside_ = false;
    const std::map<HWND, Request> requests = std::move(requests_);
    requests_.clear();
    for (const auto& entry : requests)
        if (IsWindow(entry.first))
            SkinAgain(entry.first, entry.second);
}

bool SkinManager::SkinAgain(HWND window, const Request& request)
{
    const char* name = request.objectName.empty() ? nullptr : request.objectName.c_str();
    switch (request.kind) {
    case Kind::Frame:
        // A skin loaded meanwhile may name its frames otherwise.
        return SkinFrame(window, name) || (name && SkinFrame(window, nullptr));
    case Kind::Dialog:
        return SkinDialog(window, name);
    case Kind::Toolbar:
        return SkinToolbar(window);
    }
    return false;
}
