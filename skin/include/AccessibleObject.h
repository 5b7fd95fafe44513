// An accessible object (IAccessible) for what a screen reader cannot learn
// from the system: the skinned menus and a window's painted text. oleacc
// and oleaut32 are loaded the first time a reader asks, so the program
// imports nothing more than it did. A derived class answers through the
// small operations below; child 0 is the object itself, 1 .. ChildCount()
// its simple children.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

class AccessibleObject : public IAccessible {
public:
    AccessibleObject() = default;
    AccessibleObject(const AccessibleObject&) = delete;
    AccessibleObject& operator=(const AccessibleObject&) = delete;

    // The answer to WM_GETOBJECT with this object; the caller's reference
    // goes to the answer (0 when oleacc cannot be loaded).
    static LRESULT Answer(AccessibleObject* object, WPARAM wParam);
    // The system's object of `window` (OBJID_WINDOW, OBJID_CLIENT, ...),
    // or null.
    static IAccessible* Standard(HWND window, LONG objectId);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch: not offered; readers use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;
    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

protected:
    virtual ~AccessibleObject() = default;

    virtual long ChildCount() { return 0; }
    virtual long Role(long child) = 0;
    virtual long State(long child) = 0;
    // False: the object has none.
    virtual bool Name(long, std::wstring&) { return false; }
    virtual bool Value(long, std::wstring&) { return false; }
    virtual bool Shortcut(long, std::wstring&) { return false; }
    virtual bool DefaultAction(long, std::wstring&) { return false; }
    virtual bool Location(long child, RECT& screen) = 0;
    // A new reference to the parent object, or null.
    virtual IDispatch* Parent() { return nullptr; }
    // A new reference to a child that is an object of its own, or null
    // for a simple child.
    virtual IDispatch* ChildObject(long) { return nullptr; }
    virtual bool DoDefaultAction(long) { return false; }
    // The focused child, CHILDID_SELF for the object, -1 for none.
    virtual long FocusedChild() { return -1; }

private:
    bool ValidChild(const VARIANT& child, long& id);
    HRESULT AnswerText(const VARIANT& child, BSTR* out, bool (AccessibleObject::*read)(long, std::wstring&));

    LONG references_ = 1;
};
