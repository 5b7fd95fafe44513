#include "AccessibleObject.h"

#include <mutex>

namespace {

// oleacc's and oleaut32's functions, bound by name: the program does not
// import from them, and most people never need them loaded.
struct OleAccFunctions {
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
};

template <typename Function>
void Bind(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const OleAccFunctions& OleAcc()
{
    static OleAccFunctions functions;
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        HMODULE oleacc = LoadLibraryA("oleacc.dll");
        HMODULE oleaut = LoadLibraryA("oleaut32.dll");
        if (!oleacc || !oleaut)
            return;
        Bind(oleacc, "LresultFromObject", functions.lresultFromObject);
        Bind(oleacc, "CreateStdAccessibleObject", functions.createStdAccessibleObject);
        Bind(oleaut, "SysAllocStringLen", functions.sysAllocStringLen);
        // The answer is marshalled through COM, which the program's
        // thread never initialised for itself.
        HMODULE ole32 = GetModuleHandleA("ole32.dll");
        HRESULT(WINAPI * coInitialize)(LPVOID) = nullptr;
        if (ole32)
            Bind(ole32, "CoInitialize", coInitialize);
        if (coInitialize)
            coInitialize(nullptr);
    });
    return functions;
}

HRESULT EmptyVariant(VARIANT* out)
{
    if (!out)
        return E_POINTER;
    out->vt = VT_EMPTY;
    return S_FALSE;
}

HRESULT LongVariant(VARIANT* out, long value)
{
    if (!out)
        return E_POINTER;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

LRESULT AccessibleObject::Answer(AccessibleObject* object, WPARAM wParam)
{
    const auto answer = OleAcc().lresultFromObject;
    const LRESULT result = answer ? answer(__uuidof(IAccessible), wParam, object) : 0;
    object->Release();
    return result < 0 ? 0 : result;
}

IAccessible* AccessibleObject::Standard(HWND window, LONG objectId)
{
    const auto create = OleAcc().createStdAccessibleObject;
    void* object = nullptr;
    if (!create || FAILED(create(window, objectId, __uuidof(IAccessible), &object)))
        return nullptr;
    return static_cast<IAccessible*>(object);
}

HRESULT AccessibleObject::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AccessibleObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG AccessibleObject::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT AccessibleObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AccessibleObject::GetTypeInfo(UINT, LCID, ITypeInfo**)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

bool AccessibleObject::ValidChild(const VARIANT& child, long& id)
{
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > ChildCount())
        return false;
    id = child.lVal;
    return true;
}

HRESULT AccessibleObject::AnswerText(const VARIANT& child, BSTR* out,
                                     bool (AccessibleObject::*read)(long, std::wstring&))
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    long id = 0;
    if (!ValidChild(child, id))
        return E_INVALIDARG;
    std::wstring text;
    if (!(this->*read)(id, text))
        return S_FALSE;
    const auto allocate = OleAcc().sysAllocStringLen;
    *out = allocate ? allocate(text.c_str(), static_cast<UINT>(text.size())) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleObject::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = Parent();
    return *parent ? S_OK : S_FALSE;
}

HRESULT AccessibleObject::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = ChildCount();
    return S_OK;
}

HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    long id = 0;
    if (!ValidChild(child, id) || id == CHILDID_SELF)
        return E_INVALIDARG;
    *object = ChildObject(id);
    return *object ? S_OK : S_FALSE;
}

HRESULT AccessibleObject::get_accName(VARIANT child, BSTR* name)
{
    return AnswerText(child, name, &AccessibleObject::Name);
}

HRESULT AccessibleObject::get_accValue(VARIANT child, BSTR* value)
{
    return AnswerText(child, value, &AccessibleObject::Value);
}

HRESULT AccessibleObject::get_accDescription(VARIANT, BSTR* description)
{
    if (!description)
        return E_POINTER;
    *description = nullptr;
    return S_FALSE;
}

HRESULT AccessibleObject::get_accRole(VARIANT child, VARIANT* role)
{
    long id = 0;
    if (!ValidChild(child, id))
        return E_INVALIDARG;
    return LongVariant(role, Role(id));
}

HRESULT AccessibleObject::get_accState(VARIANT child, VARIANT* state)
{
    long id = 0;
    if (!ValidChild(child, id))
        return E_INVALIDARG;
    return LongVariant(state, State(id));
}

HRESULT AccessibleObject::get_accHelp(VARIANT child, BSTR* help)
{
    return get_accDescription(child, help);
}

HRESULT AccessibleObject::get_accHelpTopic(BSTR* file, VARIANT, long* topic)
{
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return S_FALSE;
}

HRESULT AccessibleObject::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return AnswerText(child, shortcut, &AccessibleObject::Shortcut);
}

HRESULT AccessibleObject::get_accFocus(VARIANT* child)
{
    const long focused = FocusedChild();
    return focused < 0 ? EmptyVariant(child) : LongVariant(child, focused);
}

HRESULT AccessibleObject::get_accSelection(VARIANT* children)
{
    return EmptyVariant(children);
}

HRESULT AccessibleObject::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return AnswerText(child, action, &AccessibleObject::DefaultAction);
}

HRESULT AccessibleObject::accSelect(long, VARIANT)
{
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    long id = 0;
    RECT screen = {};
    if (!ValidChild(child, id))
        return E_INVALIDARG;
    if (!Location(id, screen))
        return S_FALSE;
    *left = screen.left;
    *top = screen.top;
    *width = screen.right - screen.left;
    *height = screen.bottom - screen.top;
    return S_OK;
}

HRESULT AccessibleObject::accNavigate(long, VARIANT, VARIANT* end)
{
    EmptyVariant(end);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::accHitTest(long x, long y, VARIANT* child)
{
    const POINT point = {x, y};
    for (long id = 1; id <= ChildCount(); ++id) {
        RECT screen;
        if (Location(id, screen) && PtInRect(&screen, point))
            return LongVariant(child, id);
    }
    RECT whole;
    if (Location(CHILDID_SELF, whole) && PtInRect(&whole, point))
        return LongVariant(child, CHILDID_SELF);
    return EmptyVariant(child);
}

HRESULT AccessibleObject::accDoDefaultAction(VARIANT child)
{
    long id = 0;
    if (!ValidChild(child, id))
        return E_INVALIDARG;
    return DoDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::put_accName(VARIANT, BSTR)
{
    return E_NOTIMPL;
}

HRESULT AccessibleObject::put_accValue(VARIANT, BSTR)
{
    return E_NOTIMPL;
}
