// A text view's accessible object, over the system's standard object for its window. The
// system's accessibility library is loaded at the first request, so that a file manager without
// assistive technology never loads it.
#include "plugin/accessible.h"

#include <oleacc.h>

#include <new>

namespace {

struct OleAccess {
    HRESULT(WINAPI *create_standard)(HWND, LONG, REFIID, void **);
    LRESULT(WINAPI *lresult_from_object)(REFIID, WPARAM, LPUNKNOWN);
    BSTR(WINAPI *alloc_string)(const OLECHAR *, UINT);
};

template <typename Fn> void find(HMODULE module, const char *name, Fn *fn) {
    *fn = module ? reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name)))
                 : nullptr;
}

// The library's entry points, or null when it cannot be had. Loaded once and kept: a client may
// hold an object made through it until the process ends.
const OleAccess *ole_access() {
    static const OleAccess *access = [] {
        static OleAccess fns = {};
        HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
        HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
        find(oleacc, "CreateStdAccessibleObject", &fns.create_standard);
        find(oleacc, "LresultFromObject", &fns.lresult_from_object);
        find(oleaut, "SysAllocStringLen", &fns.alloc_string);
        return fns.create_standard && fns.lresult_from_object && fns.alloc_string ? &fns : nullptr;
    }();
    return access;
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
// object for the window's client area, given up with the last reference.
struct TextAccessible final : IAccessible {
    volatile LONG refs = 1;
    HWND volatile window;
    IAccessible *standard;

    TextAccessible(HWND w, IAccessible *s) : window(w), standard(s) {}

    HRESULT text(VARIANT child, AccessibleTextKind kind, BSTR *out, size_t room) {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!is_self(child)) return E_INVALIDARG;
        HWND w = window;
        if (!w) return CO_E_OBJNOTCONNECTED;
        WCHAR small[256];
        WCHAR *units =
            room <= 256
                ? small
                : static_cast<WCHAR *>(HeapAlloc(GetProcessHeap(), 0, room * sizeof(WCHAR)));
        if (!units) return E_OUTOFMEMORY;
        HRESULT result = S_FALSE;
        if (ask_text(w, kind, units, room) && units[0]) {
            *out = ole_access()->alloc_string(units, static_cast<UINT>(lstrlenW(units)));
            result = *out ? S_OK : E_OUTOFMEMORY;
        }
        if (units != small) HeapFree(GetProcessHeap(), 0, units);
        return result;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **out) override {
        if (!out) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible *>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&refs));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0) {
            if (standard) standard->Release();
            this->~TextAccessible();
            HeapFree(GetProcessHeap(), 0, this);
        }
        return static_cast<ULONG>(left);
    }

    // IDispatch: clients of MSAA call the interface itself.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *,
                                     EXCEPINFO *, UINT *) override {
        return E_NOTIMPL;
    }

    // What the view tells itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR *name) override {
        return text(child, ACCESSIBLE_NAME, name, 256);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR *value) override {
        return text(child, ACCESSIBLE_VALUE, value, ACCESSIBLE_VALUE_UNITS + 1);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT *role) override {
        if (!role) return E_POINTER;
        role->vt = VT_EMPTY;
        if (!is_self(child)) return E_INVALIDARG;
        set_i4(role, ROLE_SYSTEM_DOCUMENT);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT *state) override {
        if (!state) return E_POINTER;
        state->vt = VT_EMPTY;
        if (!is_self(child)) return E_INVALIDARG;
        HWND w = window;
        if (!w) return CO_E_OBJNOTCONNECTED;
        // Visibility and the like as the system sees the window; the focus as the view knows it.
        LONG flags = 0;
        VARIANT had;
        had.vt = VT_EMPTY;
        if (standard && SUCCEEDED(standard->get_accState(child, &had)) && had.vt == VT_I4)
            flags = had.lVal;
        flags &= ~STATE_SYSTEM_FOCUSED;
        flags |= STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSABLE;
        if (ask_focused(w)) flags |= STATE_SYSTEM_FOCUSED;
        set_i4(state, flags);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT *focus) override {
        if (!focus) return E_POINTER;
        focus->vt = VT_EMPTY;
        HWND w = window;
        if (!w) return CO_E_OBJNOTCONNECTED;
        if (!ask_focused(w)) return S_FALSE;
        set_i4(focus, CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG *count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch **child) override {
        if (!child) return E_POINTER;
        *child = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT *selection) override {
        if (!selection) return E_POINTER;
        selection->vt = VT_EMPTY;
        return S_FALSE;
    }

    // Nothing of these: a read-only view without an action.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR *out) override { return none(out); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR *out) override { return none(out); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR *out) override {
        return none(out);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR *out) override {
        return none(out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR *file, VARIANT, LONG *topic) override {
        if (topic) *topic = 0;
        return none(file);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    // Where the view is and what is around it: the system's object for the window.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch **parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        return window && standard ? standard->get_accParent(parent) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return window && standard ? standard->accSelect(flags, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG *x, LONG *y, LONG *w, LONG *h,
                                          VARIANT child) override {
        return window && standard ? standard->accLocation(x, y, w, h, child) : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT *end) override {
        if (end) end->vt = VT_EMPTY;
        return window && standard ? standard->accNavigate(direction, start, end)
                                  : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT *child) override {
        if (child) child->vt = VT_EMPTY;
        return window && standard ? standard->accHitTest(x, y, child) : CO_E_OBJNOTCONNECTED;
    }

  private:
    static HRESULT none(BSTR *out) {
        if (!out) return E_POINTER;
        *out = nullptr;
        return S_FALSE;
    }
};

LRESULT accessible_answer(HWND window, TextAccessible **kept, WPARAM wparam, LPARAM lparam,
                          bool *handled) {
    *handled = false;
    const bool client = static_cast<LONG>(static_cast<DWORD>(lparam)) == OBJID_CLIENT;
    const OleAccess *ole = client ? ole_access() : nullptr;
    if (!ole) return 0;
    if (!*kept) {
        IAccessible *standard = nullptr;
        if (FAILED(ole->create_standard(window, OBJID_CLIENT, __uuidof(IAccessible),
                                        reinterpret_cast<void **>(&standard))))
            standard = nullptr;
        void *room = HeapAlloc(GetProcessHeap(), 0, sizeof(TextAccessible));
        if (!room) {
            if (standard) standard->Release();
            return 0;
        }
        *kept = new (room) TextAccessible(window, standard);
        // A client may keep the object, and call it, after the host has freed this module: the
        // module stays loaded from now on.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&accessible_answer), &self);
    }
    *handled = true;
    return ole->lresult_from_object(__uuidof(IAccessible), wparam,
                                    static_cast<IAccessible *>(*kept));
}

void accessible_release(TextAccessible **kept) {
    if (!*kept) return;
    (*kept)->window = nullptr;
    (*kept)->Release();
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
