// A host that closes the viewer from wherever it gets control while the viewer's windows are at
// work: from a hook that sees the grid's header click reach the viewer, from one that sees the
// find field's change notification. The windows whose procedures are on the stack must outlive
// them; the viewer goes once they have returned, and nothing of it stays.
#include "viewer_fixture.h"

#include <commctrl.h>

namespace {

const std::string kItems =
    magic() + section("SQL", "CREATE TABLE t (\n    id integer,\n    name text\n);\n") +
    section("DATA", "COPY t (id, name) FROM stdin;\n3\tc\n1\ta\n2\tb\n\\.\n");

// The message the hook waits for, and what it does then: close the viewer, once.
struct CloseWhen {
    UINT message;
    UINT code; // WM_NOTIFY's code, or WM_COMMAND's notification
    Module *module;
    HWND to;     // the window the message is sent to
    HWND viewer; // the viewer the host closes
    bool closed;
    bool alive_inside; // the windows stood while their procedures were still on the stack
};
CloseWhen g_close_when;
HHOOK g_hook;

LRESULT CALLBACK close_when_seen(int code, WPARAM wparam, LPARAM lparam) {
    const CWPSTRUCT *sent = reinterpret_cast<const CWPSTRUCT *>(lparam);
    CloseWhen &w = g_close_when;
    if (code == HC_ACTION && !w.closed && sent->hwnd == w.to && sent->message == w.message) {
        const bool match = w.message == WM_NOTIFY
                               ? reinterpret_cast<const NMHDR *>(sent->lParam)->code == w.code
                               : HIWORD(sent->wParam) == w.code;
        if (match) {
            w.closed = true;
            w.module->ListCloseWindow(w.viewer);
            w.alive_inside = IsWindow(w.viewer) && IsWindow(w.to);
        }
    }
    return CallNextHookEx(g_hook, code, wparam, lparam);
}

class CloseInside : public ViewerTest {
  protected:
    // Arms the hook for `message` (and `code`) sent to the window `to`.
    void close_on(HWND to, UINT message, UINT code) {
        g_close_when = {message, code, &module, to, viewer, false, false};
        g_hook = SetWindowsHookExW(WH_CALLWNDPROC, close_when_seen, nullptr, GetCurrentThreadId());
        ASSERT_NE(g_hook, nullptr);
    }
    void TearDown() override {
        if (g_hook) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        if (g_close_when.closed) viewer = nullptr;
        ViewerTest::TearDown();
    }
};

} // namespace

TEST_F(CloseInside, AHeaderClickThatReachesAHostWhichClosesTheViewerEndsWithTheViewerGone) {
    // Once without the hook, so that what the process keeps for good after a first click is made.
    auto header_click = [&] {
        HWND header = reinterpret_cast<HWND>(SendMessageW(grid(), LVM_GETHEADER, 0, 0));
        RECT r = {};
        SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
        click(header, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        return header;
    };
    ASSERT_NE(open(kItems), nullptr);
    header_click();
    module.ListCloseWindow(viewer);
    pump_pending();
    const DWORD handles = handles_held();

    ASSERT_NE(open(kItems), nullptr);
    close_on(viewer, WM_NOTIFY, LVN_COLUMNCLICK);
    HWND header = header_click();
    pump_pending();
    EXPECT_TRUE(g_close_when.closed) << "the click reached the viewer";
    EXPECT_TRUE(g_close_when.alive_inside) << "destroyed under the procedures still running";
    EXPECT_FALSE(IsWindow(viewer)) << "gone once the click's procedures returned";
    EXPECT_FALSE(IsWindow(header));
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
    EXPECT_EQ(handles_held(), handles);
}

TEST_F(CloseInside, AFilterTypedIntoAFieldWhoseChangeClosesTheViewerEndsWithTheViewerGone) {
    ASSERT_NE(open(kItems), nullptr);
    press_key(grid(), 'F', true, true);
    HWND field = GetFocus();
    ASSERT_NE(field, grid());
    HWND bar = GetParent(field);
    close_on(bar, WM_COMMAND, EN_CHANGE);
    SetWindowTextW(field, L"b");
    pump_pending();
    EXPECT_TRUE(g_close_when.closed) << "the change reached the find bar";
    EXPECT_TRUE(g_close_when.alive_inside) << "destroyed under the procedures still running";
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_FALSE(IsWindow(field));
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
}
