// The viewer window as the host sees it: loading, the window tree, tabs and closing.
#include <gtest/gtest.h>

#include "lister_host.h"

#include <commctrl.h>

#include "temp_dump.h"

namespace {

class ViewerWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        module = load_module();
        ASSERT_NE(module.dll, nullptr);
        create_lister(&lister, 800, 600);
        ASSERT_NE(lister.hwnd, nullptr) << GetLastError();
    }
    void TearDown() override {
        if (viewer) module.ListCloseWindow(viewer);
        DestroyWindow(lister.hwnd);
        pump_pending();
        unload_module(&module);
    }
    HWND open(const std::string &bytes) {
        TempFile file(bytes);
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(file.path()), 0);
        pump_pending();
        return viewer;
    }
    Module module;
    ListerWindow lister;
    HWND viewer = nullptr;
};

const std::string kItems = magic() + section("SQL", "CREATE TABLE items (id int);\n") +
                           section("INFO", "info text\n") +
                           section("DATA", "COPY public.items (id, name) FROM stdin;\n"
                                           "1\tpen\n2\t\\N\n\\.\n");

} // namespace

TEST_F(ViewerWindow, OpensOnTheGridWithBothChildrenBelowTheBar) {
    ASSERT_NE(open(kItems), nullptr);
    char name[64];
    GetClassNameA(viewer, name, sizeof name);
    EXPECT_STREQ(name, "TavrinLister");
    auto grids = children_of_class(viewer, "SysListView32");
    auto edits = children_of_class(viewer, "Edit");
    ASSERT_EQ(grids.size(), 1u);
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_TRUE(IsWindowVisible(grids[0]));
    EXPECT_FALSE(IsWindowVisible(edits[0]));
    RECT r;
    GetWindowRect(grids[0], &r);
    MapWindowPoints(nullptr, viewer, reinterpret_cast<POINT *>(&r), 2);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(SendMessageA(grids[0], LVM_GETITEMCOUNT, 0, 0), 2);
}
