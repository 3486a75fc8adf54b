// The viewer window as the host sees it: loading, the window tree, tabs and closing.
#include "viewer_fixture.h"

#include <commctrl.h>

namespace {

class ViewerWindow : public ViewerTest {};

const std::string kItems = magic() + section("SQL", "CREATE TABLE items (id int);\n") +
                           section("INFO", "info text\n") +
                           section("DATA", "COPY public.items (id, name) FROM stdin;\n"
                                           "1\tpen\n2\t\\N\n\\.\n");

const std::string kSqlAndInfoOnly =
    magic() + section("SQL", "CREATE VIEW v AS\n  SELECT 1;\n") + section("INFO", "made today");

// The window's rectangle in its parent's client coordinates.
RECT placement(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT *>(&r), 2);
    return r;
}

bool same_rect(const RECT &a, const RECT &b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST_F(ViewerWindow, OpensOnTheGridAloneBelowTheBar) {
    ASSERT_NE(open(kItems), nullptr);
    char name[64];
    GetClassNameA(viewer, name, sizeof name);
    EXPECT_STREQ(name, "TavrinLister");
    auto grids = children_of_class(viewer, "SysListView32");
    ASSERT_EQ(grids.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(grids[0]));
    // The text view, the value view and the find bar wait for their first use.
    for (const char *later : {"TavrinText", "TavrinValue", "TavrinFindBar"})
        EXPECT_TRUE(children_of_class(viewer, later).empty()) << later << " made at load";
    RECT r;
    GetWindowRect(grids[0], &r);
    MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(SendMessageA(grids[0], LVM_GETITEMCOUNT, 0, 0), 2);
}

TEST_F(ViewerWindow, FillsTheListerAndStacksTheTextViewOnTheGrid) {
    ASSERT_NE(open(kItems), nullptr);
    EXPECT_EQ(GetParent(viewer), lister.hwnd);
    EXPECT_TRUE(IsWindowVisible(viewer));
    EXPECT_TRUE(same_rect(placement(viewer), RECT{0, 0, 800, 600}));
    EXPECT_EQ(GetFocus(), grid());
    ASSERT_TRUE(show_tab(2));
    ASSERT_NE(edit(), nullptr);
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 800, 600}));
    EXPECT_TRUE(same_rect(placement(edit()), RECT{0, 30, 800, 600}));
}

TEST_F(ViewerWindow, EachChildIsMadeOnItsFirstUseAndOnlyOnce) {
    ASSERT_NE(open(kItems), nullptr);
    auto count = [&](const char *class_name) {
        return children_of_class(viewer, class_name).size();
    };
    ASSERT_TRUE(show_tab(3));
    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(count("TavrinText"), 1u);
    EXPECT_EQ(text_view(), L"CREATE TABLE items (id int);\n");
    ASSERT_TRUE(show_tab(1));
    press_key(grid(), VK_RETURN);
    ASSERT_EQ(count("TavrinValue"), 1u);
    HWND value = children_of_class(viewer, "TavrinValue")[0];
    EXPECT_TRUE(IsWindowVisible(value));
    // Made over the grid's place, as the grid's own size.
    EXPECT_TRUE(same_rect(placement(value), placement(grid())));
    press_key(GetFocus(), VK_ESCAPE);
    press_key(grid(), 'F', true);
    ASSERT_EQ(count("TavrinFindBar"), 1u);
    HWND bar = children_of_class(viewer, "TavrinFindBar")[0];
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(same_rect(placement(bar), RECT{0, 570, 800, 600}));
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 800, 570}));
    press_key(GetFocus(), VK_ESCAPE);
    press_key(grid(), 'F', true);
    press_key(GetFocus(), VK_RETURN);
    EXPECT_EQ(count("TavrinFindBar"), 1u);
    EXPECT_EQ(count("TavrinValue"), 1u);
}

TEST_F(ViewerWindow, AFileWithoutRowsMakesItsGridOnTheFirstVisitOfTheDataTab) {
    ASSERT_NE(open(kSqlAndInfoOnly), nullptr);
    EXPECT_TRUE(children_of_class(viewer, "SysListView32").empty());
    ASSERT_TRUE(show_tab(1));
    ASSERT_NE(grid(), nullptr);
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 800, 600}));
    EXPECT_EQ(column_text(grid(), 0), "(no columns)");
    EXPECT_EQ(GetFocus(), grid());
    press_key(grid(), '2');
    EXPECT_TRUE(text_shown());
}

TEST_F(ViewerWindow, TheNextFileMakesTheGridItsRowsNeed) {
    ASSERT_NE(open(kSqlAndInfoOnly), nullptr);
    ASSERT_EQ(load_next(kItems), 0);
    ASSERT_NE(grid(), nullptr);
    EXPECT_TRUE(grid_shown());
    EXPECT_EQ(item_count(grid()), 2);
    EXPECT_EQ(item_text(grid(), 0, 1), "pen");
    press_key(grid(), VK_DOWN);
    EXPECT_EQ(cells(2, 2), "..|C.");
}

TEST_F(ViewerWindow, AFileWithoutDataOpensOnTheSqlTabShowingTheSql) {
    ASSERT_NE(open(kSqlAndInfoOnly), nullptr);
    EXPECT_TRUE(text_shown());
    EXPECT_EQ(GetFocus(), edit());
    // Line feeds reach the text view as they are in the file.
    EXPECT_EQ(text_view(), L"CREATE VIEW v AS\n  SELECT 1;\n");
    DWORD start = 99, end = 99;
    SendMessageW(edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 0u);
}

TEST_F(ViewerWindow, AbsentSectionsShowTheirPlaceholders) {
    ASSERT_NE(open(data_dump("a", "1\n")), nullptr);
    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(text_view(), L"(no SQL)");
    ASSERT_TRUE(show_tab(3));
    EXPECT_EQ(text_view(), L"(no info)");
}

TEST_F(ViewerWindow, EachTextTabShowsItsTextAndTheDataTabBringsTheGridBack) {
    ASSERT_NE(open(kItems), nullptr);
    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(text_view(), L"CREATE TABLE items (id int);\n");
    ASSERT_TRUE(show_tab(3));
    EXPECT_EQ(text_view(), L"info text\n");
    EXPECT_EQ(GetFocus(), edit());
    ASSERT_TRUE(show_tab(4));
    EXPECT_EQ(text_view(), L"CREATE TABLE items (id int);\n\n"
                           L"\nCOPY public.items (id, name) FROM stdin;\n1\tpen\n2\t\\N\n\\.\n"
                           L"\ninfo text\n");
    ASSERT_TRUE(show_tab(1));
    EXPECT_EQ(GetFocus(), grid());
}

TEST_F(ViewerWindow, FocusGivenToTheViewerGoesOnToTheChildOfTheCurrentTab) {
    ASSERT_NE(open(kItems), nullptr);
    SetFocus(lister.hwnd);
    SetFocus(viewer);
    EXPECT_EQ(GetFocus(), grid());
    ASSERT_TRUE(show_tab(2));
    SetFocus(lister.hwnd);
    SetFocus(viewer);
    EXPECT_EQ(GetFocus(), edit());
}

TEST_F(ViewerWindow, AnEmptySectionReplacesTheTextShownBefore) {
    ASSERT_NE(open(magic() + section("SQL", "") + section("INFO", "about")), nullptr);
    ASSERT_TRUE(show_tab(3));
    ASSERT_EQ(text_view(), L"about");
    ASSERT_TRUE(show_tab(2));
    EXPECT_EQ(text_view(), L"");
}

TEST_F(ViewerWindow, ATabNumberBeyondFourShowsTheFullScript) {
    ASSERT_NE(open(kSqlAndInfoOnly), nullptr);
    const std::wstring script = L"CREATE VIEW v AS\n  SELECT 1;\n\n\nmade today";
    PostMessageA(viewer, kShowTab, 9, 0);
    EXPECT_TRUE(pump_until([&] { return text_view() == script; })) << "shows " << text_view();
}

TEST_F(ViewerWindow, TheTextViewKeepsEveryUnicodeCharacter) {
    ASSERT_NE(open(magic() + section("SQL", "-- Grüße / 日本")), nullptr);
    EXPECT_EQ(text_view(), L"-- Grüße / 日本");
    ASSERT_TRUE(show_tab(4));
    EXPECT_EQ(text_view(), L"-- Grüße / 日本\n");
}

TEST_F(ViewerWindow, ResizingTheViewerMovesBothChildrenToFillTheAreaBelowTheBar) {
    ASSERT_NE(open(kItems), nullptr);
    ASSERT_TRUE(show_tab(2));
    ASSERT_TRUE(show_tab(1));
    MoveWindow(viewer, 0, 0, 500, 400, TRUE);
    pump_pending();
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 500, 400}));
    EXPECT_TRUE(same_rect(placement(edit()), RECT{0, 30, 500, 400}));
    ASSERT_TRUE(show_tab(3));
    MoveWindow(viewer, 0, 0, 900, 700, TRUE);
    pump_pending();
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 900, 700}));
    EXPECT_TRUE(same_rect(placement(edit()), RECT{0, 30, 900, 700}));
}

TEST_F(ViewerWindow, AViewerOpenedInAListerShorterThanTheBarGrowsWithIt) {
    resize_lister(&lister, 300, 12);
    ASSERT_NE(open(kItems), nullptr);
    ASSERT_TRUE(show_tab(2));
    ASSERT_TRUE(show_tab(1));
    ASSERT_NE(grid(), nullptr);
    ASSERT_NE(edit(), nullptr);
    MoveWindow(viewer, 0, 0, 600, 400, TRUE);
    pump_pending();
    EXPECT_TRUE(same_rect(placement(grid()), RECT{0, 30, 600, 400}));
    EXPECT_TRUE(same_rect(placement(edit()), RECT{0, 30, 600, 400}));
    EXPECT_EQ(item_text(grid(), 0, 1), "pen");
}

TEST_F(ViewerWindow, SwitchingTabsRepaintsTheBar) {
    ASSERT_NE(open(kItems), nullptr);
    for (int tab : {3, 1}) {
        ValidateRect(viewer, nullptr);
        SendMessageA(viewer, kShowTab, tab, 0);
        RECT dirty;
        ASSERT_TRUE(GetUpdateRect(viewer, &dirty, FALSE)) << "tab " << tab;
        EXPECT_EQ(dirty.top, 0) << "tab " << tab;
        EXPECT_EQ(dirty.right, 800) << "tab " << tab;
    }
}

TEST_F(ViewerWindow, TheBarIsPaintedOnEveryTab) {
    ASSERT_NE(open(kItems), nullptr);
    for (int tab : {1, 2, 3, 4, 0}) {
        PostMessageA(viewer, kShowTab, tab, 0);
        pump_pending();
        InvalidateRect(viewer, nullptr, TRUE);
        UpdateWindow(viewer);
        RECT left;
        EXPECT_FALSE(GetUpdateRect(viewer, &left, FALSE)) << "tab " << tab << " left unpainted";
    }
}

TEST_F(ViewerWindow, ClosingDestroysTheViewerWithItsChildren) {
    ASSERT_NE(open(kItems), nullptr);
    ASSERT_TRUE(show_tab(2));
    HWND children[] = {grid(), edit()};
    ASSERT_NE(children[1], nullptr);
    module.ListCloseWindow(viewer);
    EXPECT_FALSE(IsWindow(viewer));
    EXPECT_FALSE(IsWindow(children[0]));
    EXPECT_FALSE(IsWindow(children[1]));
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
    viewer = nullptr;
}
