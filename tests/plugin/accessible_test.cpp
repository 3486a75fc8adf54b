// What assistive technology learns of the text views and the value view, read as a screen reader
// reads it: the accessible object through AccessibleObjectFromWindow, and what the views announce
// through a WinEvent hook.
#include "viewer_fixture.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

// The events the views raised, as a hook of this thread received them.
struct Event {
    DWORD event;
    HWND window;
    LONG object;
};
std::vector<Event> g_events;

void CALLBACK record_event(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                           DWORD) {
    if (child == CHILDID_SELF) g_events.push_back(Event{event, window, object});
}

const std::string kSql =
    magic() + section("SQL", "CREATE TABLE t (\n    id integer\n);\n") + section("INFO", "made") +
    section("DATA", "COPY public.t (id, body) FROM stdin;\n1\tfirst line\\nsecond line\n\\.\n");

VARIANT self() {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = CHILDID_SELF;
    return v;
}

class Accessible : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        g_events.clear();
        hook = SetWinEventHook(EVENT_OBJECT_LOCATIONCHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                               record_event, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(hook, nullptr);
        ASSERT_NE(open(kSql), nullptr);
    }
    void TearDown() override {
        if (object) object->Release();
        UnhookWinEvent(hook);
        ViewerTest::TearDown();
        CoUninitialize();
    }

    // The view's object as a screen reader asks for it; kept in `object`.
    IAccessible *object_of(HWND view) {
        if (object) object->Release();
        object = nullptr;
        // The interface's identifier from the header: the import library's IID_IAccessible is a
        // stub's address, not the identifier.
        AccessibleObjectFromWindow(view, OBJID_CLIENT, __uuidof(IAccessible),
                                   reinterpret_cast<void **>(&object));
        return object;
    }
    std::wstring name() { return text(&IAccessible::get_accName); }
    std::wstring value() { return text(&IAccessible::get_accValue); }
    std::wstring text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR *)) {
        BSTR got = nullptr;
        if (!object || FAILED((object->*get)(self(), &got))) return L"<failed>";
        std::wstring s = got ? std::wstring(got, SysStringLen(got)) : L"<none>";
        SysFreeString(got);
        return s;
    }
    LONG role() { return number(&IAccessible::get_accRole); }
    LONG state() { return number(&IAccessible::get_accState); }
    LONG number(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT *)) {
        VARIANT got;
        got.vt = VT_EMPTY;
        if (!object || FAILED((object->*get)(self(), &got)) || got.vt != VT_I4) return -1;
        return got.lVal;
    }

    // Whether `window` raised `event` for `object` since the last clear, the hook's messages
    // pumped meanwhile.
    bool raised(DWORD event, HWND window, LONG object_id) {
        return pump_until(
            [&] {
                for (const Event &e : g_events)
                    if (e.event == event && e.window == window && e.object == object_id)
                        return true;
                return false;
            },
            1000);
    }
    bool quiet(DWORD event, HWND window) {
        pump_pending();
        for (const Event &e : g_events)
            if (e.event == event && e.window == window) return false;
        return true;
    }

    HWINEVENTHOOK hook = nullptr;
    IAccessible *object = nullptr;
};

} // namespace

TEST_F(Accessible, ATextTabIsAReadOnlyDocumentNamedAfterItsTabItsValueTheCaretsLine) {
    ASSERT_TRUE(show_tab(2));
    ASSERT_NE(object_of(edit()), nullptr);
    EXPECT_EQ(name(), L"SQL");
    EXPECT_EQ(role(), ROLE_SYSTEM_DOCUMENT);
    EXPECT_EQ(state() & (STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSED),
              STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(value(), L"CREATE TABLE t (");
    press_key(edit(), VK_DOWN);
    EXPECT_EQ(value(), L"    id integer");
    ASSERT_TRUE(show_tab(3));
    EXPECT_EQ(name(), L"Info");
    EXPECT_EQ(value(), L"made");
    ASSERT_TRUE(show_tab(4));
    EXPECT_EQ(name(), L"Full SQL");
    SetFocus(lister.hwnd);
    EXPECT_EQ(state() & (STATE_SYSTEM_READONLY | STATE_SYSTEM_FOCUSED), STATE_SYSTEM_READONLY);
}

TEST_F(Accessible, TheValueViewIsNamedAfterItsColumn) {
    press_key(grid(), VK_RIGHT);
    press_key(grid(), VK_RETURN);
    auto values = children_of_class(viewer, "TavrinValue");
    ASSERT_EQ(values.size(), 1u);
    auto texts = children_of_class(values[0], "TavrinText");
    ASSERT_EQ(texts.size(), 1u);
    ASSERT_NE(object_of(texts[0]), nullptr);
    EXPECT_EQ(name(), L"Value of body");
    EXPECT_EQ(value(), L"first line");
    press_key(texts[0], VK_DOWN);
    EXPECT_EQ(value(), L"second line");
    EXPECT_EQ(role(), ROLE_SYSTEM_DOCUMENT);
}

TEST_F(Accessible, TheCaretsMovesAndTheTextsChangesAreAnnounced) {
    ASSERT_TRUE(show_tab(2));
    HWND view = edit();
    EXPECT_TRUE(raised(EVENT_OBJECT_VALUECHANGE, view, OBJID_CLIENT)) << "a new text";
    g_events.clear();
    press_key(view, VK_RIGHT);
    EXPECT_TRUE(raised(EVENT_OBJECT_LOCATIONCHANGE, view, OBJID_CARET));
    EXPECT_TRUE(quiet(EVENT_OBJECT_VALUECHANGE, view)) << "the caret stayed on its line";
    g_events.clear();
    press_key(view, VK_DOWN);
    EXPECT_TRUE(raised(EVENT_OBJECT_VALUECHANGE, view, OBJID_CLIENT)) << "another line";
    EXPECT_TRUE(raised(EVENT_OBJECT_LOCATIONCHANGE, view, OBJID_CARET));
    g_events.clear();
    ASSERT_TRUE(show_tab(3));
    EXPECT_TRUE(raised(EVENT_OBJECT_NAMECHANGE, view, OBJID_CLIENT));
    EXPECT_TRUE(raised(EVENT_OBJECT_VALUECHANGE, view, OBJID_CLIENT));
}

TEST_F(Accessible, AnObjectKeptAfterItsViewHasGoneAnswersNothing) {
    ASSERT_TRUE(show_tab(2));
    ASSERT_NE(object_of(edit()), nullptr);
    module.ListCloseWindow(viewer);
    viewer = nullptr;
    BSTR got = nullptr;
    EXPECT_TRUE(FAILED(object->get_accName(self(), &got)));
    EXPECT_EQ(got, nullptr);
    VARIANT v;
    EXPECT_TRUE(FAILED(object->get_accState(self(), &v)));
}
