// The engine's single registry: the current skin store, every skinned
// window with its skin object, and the table of window classes the engine
// skins. One instance per process; its lock is re-entrant because skinned
// windows call back into it while it drives them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

class FrameElement;
class SkinObject;
class SkinnedWindow;
class SkinStore;

// Where the manager and the skinned-window base get the window-side skins
// of the layers above them; the engine's start fills it in.
struct SkinFactories {
    std::unique_ptr<SkinnedWindow> (*frame)() = nullptr;
    std::unique_ptr<SkinnedWindow> (*dialog)() = nullptr;
    std::unique_ptr<SkinnedWindow> (*toolbar)() = nullptr;
    // The skin of a control type for a child of `owner`, or null.
    std::unique_ptr<SkinnedWindow> (*control)(int controlType, SkinnedWindow& owner) = nullptr;
    // The frame element a child object of a window's skin object stands
    // for, or null for objects that are no element.
    std::unique_ptr<FrameElement> (*element)(const SkinObject& object, SkinnedWindow& owner) = nullptr;
    // Ends the skinned menus open on the thread.
    void (*endMenus)() = nullptr;
};

class SkinManager {
public:
    static SkinManager& Instance();

    SkinManager(const SkinManager&) = delete;
    SkinManager& operator=(const SkinManager&) = delete;

    // A top-level window with the frame object of that name (null: the
    // first frame object). False when already skinned or there is no such
    // frame.
    bool SkinFrame(HWND window, const char* objectName);
    // A dialog box with the object of that name, of any type (only a frame
    // object gives it skinned frame parts).
    bool SkinDialog(HWND window, const char* objectName);
    bool SkinToolbar(HWND window);
    // Registers `object` under `window` when the window is not registered
    // yet and returns it; otherwise destroys it and returns null.
    SkinnedWindow* AddWindow(std::unique_ptr<SkinnedWindow> object, HWND window);
    // Detaches and destroys the window's skin; false when it had none.
    bool UnskinWindow(HWND window);
    // Attaches an added window's object; a window that could not be
    // attached is forgotten again, so a failure leaves no entry behind.
    bool AttachOrForget(SkinnedWindow& object, HWND window);
    // The skin of `window` or of the nearest ancestor reached through
    // WS_CHILD windows only.
    SkinnedWindow* FindSkinnedAncestor(HWND window);
    SkinnedWindow* FindWindowObject(HWND window);
    // The current skin; an empty store until a skin is loaded.
    SkinStore& GetSkinStore();
    // Makes `store` current, re-binds every skinned window to the object
    // of the same name (else of the same type) and destroys the old store.
    bool ApplySkinStore(std::unique_ptr<SkinStore> store);

    // The control type of an exact window class name, 0 for none.
    int ControlTypeOfClass(const char* className) const;
    void SetFactories(const SkinFactories& factories);
    const SkinFactories& Factories() const { return factories_; }
    size_t WindowCount() const;

    // High contrast: while it is on nothing is skinned and every window is
    // the system's. Each window that has (or while it was on, asked for) a
    // frame, dialog or toolbar skin gets it again when it goes off.
    void FollowHighContrast();
    bool SkinSetAside() const;
    // A window going away: a skin asked for while high contrast was on is
    // forgotten, or the handle, reused, would be skinned later.
    void ForgetRequest(HWND window);

private:
    enum class Kind { Frame, Dialog, Toolbar };
    // What a top-level skin was asked for with; an empty name stands for
    // "the first frame".
    struct Request {
        Kind kind;
        std::string objectName;
    };
    SkinManager();
    ~SkinManager();

    template <typename Skin>
    bool SkinTopLevel(HWND window, Skin make, SkinObject* object);
    void RebindWindows();
    // While high contrast is on, a skin asked for is only remembered.
    bool RememberedAside(HWND window, Kind kind, const char* objectName);
    void SetSkinAside();
    void BringSkinBack();
    bool SkinAgain(HWND window, const Request& request);

    mutable std::recursive_mutex lock_;
    std::map<HWND, std::unique_ptr<SkinnedWindow>> windows_;
    std::map<std::string, int> classTable_;
    std::unique_ptr<SkinStore> store_;
    SkinFactories factories_;
    std::map<HWND, Request> requests_;
    bool skinSetAside_ = false;
};
