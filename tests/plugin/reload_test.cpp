// A viewer's life beyond its first file: loading the next file into it, many openings and
// closings, and the module unloaded and loaded again within one process.
#include "viewer_fixture.h"

namespace {

class Reload : public ViewerTest {};

const std::string kThreeColumns = magic() + section("SQL", "CREATE TABLE t3 ();\n") +
                                  section("DATA", "COPY t3 (a, b, c) FROM stdin;\n"
                                                  "1\tone\tI\n2\ttwo\tII\n3\tthree\tIII\n\\.\n");
const std::string kTwoColumns =
    magic() + section("SQL", "CREATE TABLE t2 ();\n") +
    section("DATA", "COPY t2 (x, y) FROM stdin;\nx0\ty0\nx1\ty1\nx2\ty2\nx3\ty3\n\\.\n");
const std::string kSqlOnly = magic() + section("SQL", "CREATE SEQUENCE s;\n");

} // namespace

TEST_F(Reload, ARefusedFileLeavesTheShownFileInPlace) {
    ASSERT_NE(open(kThreeColumns), nullptr);
    EXPECT_EQ(load_next("KMZTAB00" + section("SQL", "x\n")), 1);
    char missing[] = "no_such_dump_here.pg";
    EXPECT_EQ(module.ListLoadNext(lister.hwnd, viewer, missing, 0), 1);
    ASSERT_EQ(column_count(grid()), 3);
    EXPECT_EQ(column_text(grid(), 2), "c");
    EXPECT_EQ(item_count(grid()), 3);
    EXPECT_EQ(item_text(grid(), 2, 1), "three");
    EXPECT_TRUE(grid_shown());
}

TEST_F(Reload, ANewFileReplacesTheColumnsAndStartsAgainAtTheFirstCellOfTheGrid) {
    ASSERT_NE(open(kThreeColumns), nullptr);
    press_key(grid(), VK_DOWN);
    press_key(grid(), VK_RIGHT, false, true);
    ASSERT_EQ(cells(3, 3), "...|SC.|...");
    ASSERT_TRUE(show_tab(3));

    EXPECT_EQ(load_next(kTwoColumns), 0);
    ASSERT_EQ(column_count(grid()), 2);
    EXPECT_EQ(column_text(grid(), 0), "x");
    EXPECT_EQ(column_text(grid(), 1), "y");
    EXPECT_EQ(item_count(grid()), 4);
    EXPECT_EQ(item_text(grid(), 3, 1), "y3");
    EXPECT_TRUE(grid_shown());
    EXPECT_EQ(cells(4, 2), "C.|..|..|..");
}

TEST_F(Reload, ANewFileWithoutDataStartsOnTheSqlTabOverAnEmptyGrid) {
    ASSERT_NE(open(kThreeColumns), nullptr);
    EXPECT_EQ(load_next(kSqlOnly), 0);
    EXPECT_TRUE(text_shown());
    EXPECT_EQ(text_view(), L"CREATE SEQUENCE s;\n");
    ASSERT_EQ(column_count(grid()), 1);
    EXPECT_EQ(column_text(grid(), 0), "(no columns)");
    EXPECT_EQ(item_count(grid()), 0);
}

TEST_F(Reload, TheFullScriptIsComposedAgainFromTheNewFile) {
    ASSERT_NE(open(kSqlOnly), nullptr);
    ASSERT_TRUE(show_tab(4));
    ASSERT_EQ(text_view(), L"CREATE SEQUENCE s;\n\n");
    EXPECT_EQ(load_next(kTwoColumns), 0);
    ASSERT_TRUE(show_tab(4));
    EXPECT_EQ(text_view(), L"CREATE TABLE t2 ();\n\n"
                           L"\nCOPY t2 (x, y) FROM stdin;\nx0\ty0\nx1\ty1\nx2\ty2\nx3\ty3\n\\.\n");
}

TEST_F(Reload, ManyOpeningsReloadsAndClosingsLeaveNoViewerBehind) {
    TempFile first(kThreeColumns), next(kTwoColumns);
    for (int i = 0; i < 200; ++i) {
        HWND opened = module.ListLoad(lister.hwnd, const_cast<char *>(first.path()), 0);
        ASSERT_NE(opened, nullptr) << "opening " << i;
        if (i % 2)
            ASSERT_EQ(module.ListLoadNext(lister.hwnd, opened, const_cast<char *>(next.path()), 0),
                      0);
        pump_pending();
        module.ListCloseWindow(opened);
    }
    pump_pending();
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
    EXPECT_EQ(GetWindow(lister.hwnd, GW_CHILD), nullptr);
}

TEST_F(Reload, TheModuleWorksAgainAfterBeingUnloadedAndLoadedAtAnotherAddress) {
    ASSERT_NE(open(kThreeColumns), nullptr);
    module.ListCloseWindow(viewer);
    viewer = nullptr;

    char *old_base = reinterpret_cast<char *>(module.dll);
    auto *dos = reinterpret_cast<IMAGE_DOS_HEADER *>(old_base);
    auto *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(old_base + dos->e_lfanew);
    SIZE_T image_size = nt->OptionalHeader.SizeOfImage;
    unload_module(&module);
    ASSERT_EQ(GetModuleHandleA("tavrin.wlx64"), nullptr) << "the module stayed loaded";
    // The old image's addresses stay taken, so the module comes back elsewhere: a window class
    // still pointing into the old image would be called into nothing.
    void *blocker = VirtualAlloc(old_base, image_size, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_EQ(blocker, old_base);
    module = load_module();
    ASSERT_NE(module.dll, nullptr);
    EXPECT_NE(reinterpret_cast<char *>(module.dll), old_base);

    ASSERT_NE(open(kThreeColumns), nullptr);
    EXPECT_EQ(item_text(grid(), 1, 1), "two");
    ASSERT_TRUE(show_tab(2));
    InvalidateRect(viewer, nullptr, TRUE);
    UpdateWindow(viewer);
    RECT left;
    EXPECT_FALSE(GetUpdateRect(viewer, &left, FALSE));

    TempFile other(kTwoColumns);
    HWND second = module.ListLoad(lister.hwnd, const_cast<char *>(other.path()), 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(children_of_class(lister.hwnd, "TavrinLister").size(), 2u);
    module.ListCloseWindow(second);
    EXPECT_EQ(children_of_class(lister.hwnd, "TavrinLister").size(), 1u);
    VirtualFree(blocker, 0, MEM_RELEASE);
}
