// A text view's accessible object, over the system's standard object for its window: a plain
// struct whose first member is the interface's table of functions, as COM lays an object out. The
// system's accessibility library is loaded at the first request, so that a file manager without
// assistive technology never loads it.
#define CINTERFACE
#include "plugin/accessible.h"

#include <oleacc.h>

namespace {

// The interfaces' identifiers, as COM defines them.
const IID IID_OF_UNKNOWN = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_OF_DISPATCH = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_OF_ACCESSIBLE = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

struct OleAccess {
    HRESULT(WINAPI *create_standard)(HWND, LONG, REFIID, void **);
    LRESULT(WINAPI *lresult_from_object)(REFIID, WPARAM, LPUNKNOWN);
    BSTR(WINAPI *alloc_string)(const OLECHAR *, UINT);
};
OleAccess g_ole;
INIT_ONCE g_ole_once = INIT_ONCE_STATIC_INIT;

template <typename Fn> void find(HMODULE module, const char *name, Fn *fn) {
    *fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)))
                 : nullptr;
}

BOOL CALLBACK load_ole(INIT_ONCE *, void *, void **) {
    HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
    find(oleacc, "CreateStdAccessibleObject", &g_ole.create_standard);
    find(oleacc, "LresultFromObject", &g_ole.lresult_from_object);
    find(oleaut, "SysAllocStringLen", &g_ole.alloc_string);
    return TRUE;
}

// The library's entry points, or null when it cannot be had. Loaded once and kept: a client may
// hold an object made through it until the process ends.
const OleAccess *ole_access() {
    InitOnceExecuteOnce(&g_ole_once, load_ole, nullptr, nullptr);
    return g_ole.create_standard && g_ole.lresult_from_object && g_ole.alloc_string ? &g_ole
                                                                                    : nullptr;
}

bool is_self(const VARIANT &child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

void set_i4(VARIANT *v, LONG value) {
    v->vt = VT_I4;
    v->lVal = value;
}

// What the object asks its window, answered on the window's thread.
bool ask_text(HWND window, AccessibleTextKind kind, WCHAR *out, size_t room) {
    out[0] = 0;
    AccessibleText text = {out, room};
    DWORD_PTR filled = 0;
    return window &&
           SendMessageTimeoutW(window, WM_ACCESSIBLE_TEXT, kind, reinterpret_cast<LPARAM>(&text),
                               SMTO_ABORTIFHUNG, 2000, &filled) &&
           filled == 1;
}

bool ask_focused(HWND window) {
    DWORD_PTR focused = 0;
    return window &&
           SendMessageTimeoutW(window, WM_ACCESSIBLE_FOCUSED, 0, 0, SMTO_ABORTIFHUNG, 2000,
                               &focused) &&
           focused == 1;
}

} // namespace

// Owned by its references: the window holds one while it lives (accessible_release gives it up),
// each client one more. `window` is null once the window has gone; `standard` is the system's
// object for the window's client area, given up with the last reference. `com` comes first: a
// pointer to it is the object's interface.
struct TextAccessible {
    IAccessible com;
    volatile LONG refs;
    HWND volatile window;
    IAccessible *standard;
};

namespace {

TextAccessible *of(IAccessible *com) {
    return reinterpret_cast<TextAccessible *>(com);
}

// The system's object for what the view leaves to it; null once the window has gone.
IAccessible *standard_of(IAccessible *com) {
    return of(com)->window ? of(com)->standard : nullptr;
}

HRESULT text(IAccessible *com, VARIANT child, AccessibleTextKind kind, BSTR *out, size_t room) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!is_self(child)) return E_INVALIDARG;
    HWND w = of(com)->window;
    if (!w) return CO_E_OBJNOTCONNECTED;
    WCHAR small[256];
    WCHAR *units = room <= 256
                       ? small
                       : static_cast<WCHAR *>(HeapAlloc(GetProcessHeap(), 0, room * sizeof(WCHAR)));
    if (!units) return E_OUTOFMEMORY;
    HRESULT result = S_FALSE;
    if (ask_text(w, kind, units, room) && units[0]) {
        *out = g_ole.alloc_string(units, static_cast<UINT>(lstrlenW(units)));
        result = *out ? S_OK : E_OUTOFMEMORY;
    }
    if (units != small) HeapFree(GetProcessHeap(), 0, units);
    return result;
}

HRESULT none(BSTR *out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return S_FALSE;
}

// IUnknown
HRESULT STDMETHODCALLTYPE query_interface(IAccessible *com, REFIID iid, void **out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_OF_UNKNOWN) || IsEqualIID(iid, IID_OF_DISPATCH) ||
        IsEqualIID(iid, IID_OF_ACCESSIBLE)) {
        *out = com;
        InterlockedIncrement(&of(com)->refs);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}
ULONG STDMETHODCALLTYPE add_ref(IAccessible *com) {
    return static_cast<ULONG>(InterlockedIncrement(&of(com)->refs));
}
ULONG STDMETHODCALLTYPE release(IAccessible *com) {
    LONG left = InterlockedDecrement(&of(com)->refs);
    if (left == 0) {
        if (IAccessible *s = of(com)->standard) s->lpVtbl->Release(s);
        HeapFree(GetProcessHeap(), 0, of(com));
    }
    return static_cast<ULONG>(left);
}

// IDispatch: clients of MSAA call the interface itself.
HRESULT STDMETHODCALLTYPE type_info_count(IAccessible *, UINT *count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE type_info(IAccessible *, UINT, LCID, ITypeInfo **) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ids_of_names(IAccessible *, REFIID, LPOLESTR *, UINT, LCID, DISPID *) {
    return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE invoke(IAccessible *, DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                 EXCEPINFO *, UINT *) {
    return E_NOTIMPL;
}

// What the view tells itself.
HRESULT STDMETHODCALLTYPE get_name(IAccessible *com, VARIANT child, BSTR *name) {
    return text(com, child, ACCESSIBLE_NAME, name, 256);
}
HRESULT STDMETHODCALLTYPE get_value(IAccessible *com, VARIANT child, BSTR *value) {
    return text(com, child, ACCESSIBLE_VALUE, value, ACCESSIBLE_VALUE_UNITS + 1);
}
HRESULT STDMETHODCALLTYPE get_role(IAccessible *, VARIANT child, VARIANT *role) {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    if (!is_self(child)) return E_INVALIDARG;
    set_i4(role, ROLE_SYSTEM_DOCUMENT);
    return S_OK;
}
// Visibility and the like as the system sees the window; the focus as the view knows it.
HRESULT STDMETHODCALLTYPE get_state(IAccessible *com, VARIANT child, VARIANT *state) {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    if (!is_self(child)) return E_INVALIDARG;
    HWND w = of(com)->window;
    if (!w) return CO_E_OBJNOTCONNECTED;
    LONG flags = 0;
    VARIANT had;
    had.vt = VT_EMPTY;
    IAccessible *s = of(com)->standard;
    if (s && SUCCEEDED(s->lpVtbl->get_accState(s, child, &had)) && had.vt == VT_I4)
        flags = had.lVal;
    flags &= ~STATE_SYSTEM_FOCUSED;
    flags |= STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
    if (ask_focused(w)) flags |= STATE_SYSTEM_FOCUSED;
    set_i4(state, flags);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE get_focus(IAccessible *com, VARIANT *focus) {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    HWND w = of(com)->window;
    if (!w) return CO_E_OBJNOTCONNECTED;
    if (!ask_focused(w)) return S_FALSE;
    set_i4(focus, CHILDID_SELF);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE get_child_count(IAccessible *, LONG *count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE get_child(IAccessible *, VARIANT, IDispatch **child) {
    if (!child) return E_POINTER;
    *child = nullptr;
    return E_INVALIDARG;
}
HRESULT STDMETHODCALLTYPE get_selection(IAccessible *, VARIANT *selection) {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return S_FALSE;
}

// Nothing of these: a read-only view without an action.
HRESULT STDMETHODCALLTYPE get_none(IAccessible *, VARIANT, BSTR *out) {
    return none(out);
}
HRESULT STDMETHODCALLTYPE get_help_topic(IAccessible *, BSTR *file, VARIANT, LONG *topic) {
    if (topic) *topic = 0;
    return none(file);
}
HRESULT STDMETHODCALLTYPE do_default_action(IAccessible *, VARIANT) {
    return DISP_E_MEMBERNOTFOUND;
}
HRESULT STDMETHODCALLTYPE put_text(IAccessible *, VARIANT, BSTR) {
    return E_NOTIMPL;
}

// Where the view is and what is around it: the system's object for the window.
HRESULT STDMETHODCALLTYPE get_parent(IAccessible *com, IDispatch **parent) {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    IAccessible *s = standard_of(com);
    return s ? s->lpVtbl->get_accParent(s, parent) : CO_E_OBJNOTCONNECTED;
}
HRESULT STDMETHODCALLTYPE select(IAccessible *com, LONG flags, VARIANT child) {
    IAccessible *s = standard_of(com);
    return s ? s->lpVtbl->accSelect(s, flags, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT STDMETHODCALLTYPE location(IAccessible *com, LONG *x, LONG *y, LONG *w, LONG *h,
                                   VARIANT child) {
    IAccessible *s = standard_of(com);
    return s ? s->lpVtbl->accLocation(s, x, y, w, h, child) : CO_E_OBJNOTCONNECTED;
}
HRESULT STDMETHODCALLTYPE navigate(IAccessible *com, LONG direction, VARIANT start, VARIANT *end) {
    if (end) end->vt = VT_EMPTY;
    IAccessible *s = standard_of(com);
    return s ? s->lpVtbl->accNavigate(s, direction, start, end) : CO_E_OBJNOTCONNECTED;
}
HRESULT STDMETHODCALLTYPE hit_test(IAccessible *com, LONG x, LONG y, VARIANT *child) {
    if (child) child->vt = VT_EMPTY;
    IAccessible *s = standard_of(com);
    return s ? s->lpVtbl->accHitTest(s, x, y, child) : CO_E_OBJNOTCONNECTED;
}

// Never written; the interface's own declaration takes the table as not const.
IAccessibleVtbl TEXT_ACCESSIBLE = {
    .QueryInterface = query_interface,
    .AddRef = add_ref,
    .Release = release,
    .GetTypeInfoCount = type_info_count,
    .GetTypeInfo = type_info,
    .GetIDsOfNames = ids_of_names,
    .Invoke = invoke,
    .get_accParent = get_parent,
    .get_accChildCount = get_child_count,
    .get_accChild = get_child,
    .get_accName = get_name,
    .get_accValue = get_value,
    .get_accDescription = get_none,
    .get_accRole = get_role,
    .get_accState = get_state,
    .get_accHelp = get_none,
    .get_accHelpTopic = get_help_topic,
    .get_accKeyboardShortcut = get_none,
    .get_accFocus = get_focus,
    .get_accSelection = get_selection,
    .get_accDefaultAction = get_none,
    .accSelect = select,
    .accLocation = location,
    .accNavigate = navigate,
    .accHitTest = hit_test,
    .accDoDefaultAction = do_default_action,
    .put_accName = put_text,
    .put_accValue = put_text,
};

} // namespace

LRESULT accessible_answer(HWND window, TextAccessible **kept, WPARAM wparam, LPARAM lparam,
                          bool *handled) {
    *handled = false;
    const bool client = static_cast<LONG>(static_cast<DWORD>(lparam)) == OBJID_CLIENT;
    const OleAccess *ole = client ? ole_access() : nullptr;
    if (!ole) return 0;
    if (!*kept) {
        TextAccessible *made =
            static_cast<TextAccessible *>(HeapAlloc(GetProcessHeap(), 0, sizeof(TextAccessible)));
        if (!made) return 0;
        made->com.lpVtbl = &TEXT_ACCESSIBLE;
        made->refs = 1;
        made->window = window;
        made->standard = nullptr;
        if (FAILED(ole->create_standard(window, OBJID_CLIENT, IID_OF_ACCESSIBLE,
                                        reinterpret_cast<void **>(&made->standard))))
            made->standard = nullptr;
        *kept = made;
        // A client may keep the object, and call it, after the host has freed this module: the
        // module stays loaded from now on.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&accessible_answer), &self);
    }
    *handled = true;
    return ole->lresult_from_object(IID_OF_ACCESSIBLE, wparam,
                                    reinterpret_cast<LPUNKNOWN>(&(*kept)->com));
}

void accessible_release(TextAccessible **kept) {
    if (!*kept) return;
    (*kept)->window = nullptr;
    release(&(*kept)->com);
    *kept = nullptr;
}

void accessible_value_changed(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void accessible_name_changed(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

void accessible_caret_moved(HWND window) {
    NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, window, OBJID_CARET, CHILDID_SELF);
}
