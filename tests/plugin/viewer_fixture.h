// Test support: a fixture that plays the host around one viewer — the module loaded, a Lister
// window, the viewer opened in it — and reads the viewer back through its windows.
#pragma once

#include <gtest/gtest.h>

#include "grid_probe.h"
#include "lister_host.h"
#include "temp_dump.h"

#include <string>

// The viewer's private tab message, part of the module's interface.
constexpr UINT kShowTab = WM_USER + 11;

// Colours of the grid's cells (COLORREF).
constexpr COLORREF kCursorFocused = 0xB56126;
constexpr COLORREF kCursorUnfocused = 0xAAAAAA;
constexpr COLORREF kSelectedFocused = 0xF1D9C5;
constexpr COLORREF kSelectedUnfocused = 0xE4E4E4;
constexpr COLORREF kEvenRow = 0xFFFFFF;
constexpr COLORREF kOddRow = 0xFAF7F5;

class ViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(lister.hwnd, nullptr);
        resize_lister(&lister, 800, 600);
        pump_pending();
        lister.keys_received.clear();
        module = load_module();
        ASSERT_NE(module.dll, nullptr) << "tavrin.wlx64 beside the test program";
    }

    void TearDown() override {
        set_modifiers(false, false);
        if (viewer && module.dll) module.ListCloseWindow(viewer);
        // Whatever a failed test left open goes before the module does.
        while (HWND child = GetWindow(lister.hwnd, GW_CHILD))
            if (!DestroyWindow(child)) break;
        pump_pending();
        unload_module(&module);
    }

    // ListLoad on a file holding `bytes`; the viewer (or null) is kept in `viewer`.
    HWND open(const std::string &bytes) {
        TempFile file(bytes);
        viewer = module.ListLoad(lister.hwnd, const_cast<char *>(file.path()), 0);
        pump_pending();
        return viewer;
    }

    int load_next(const std::string &bytes) {
        TempFile file(bytes);
        int result = module.ListLoadNext(lister.hwnd, viewer, const_cast<char *>(file.path()), 0);
        pump_pending();
        return result;
    }

    HWND grid() const { return only_child("SysListView32"); }
    // The text view, which answers as an edit control does.
    HWND edit() const { return only_child("TavrinText"); }

    bool grid_shown() const { return IsWindowVisible(grid()) && !IsWindowVisible(edit()); }
    bool text_shown() const { return IsWindowVisible(edit()) && !IsWindowVisible(grid()); }

    // Posts the tab message as the digit keys do and pumps until the tab's child is showing.
    bool show_tab(int tab) {
        PostMessageA(viewer, kShowTab, tab, 0);
        return pump_until([&] { return tab == 1 ? grid_shown() : text_shown(); });
    }

    std::wstring text_view() const { return window_text(edit()); }

    // The cursor and selection as the viewer colours them (see drawn_cells).
    std::string cells(int rows, int columns) const {
        return drawn_cells(viewer, grid(), rows, columns);
    }
    COLORREF background(int row, int column) const {
        return ask_custom_draw(viewer, grid(), CDDS_ITEMPREPAINT | CDDS_SUBITEM, row, column).back;
    }

    Module module;
    // One Lister window serves every test: without a window manager, Wine waits seconds for a
    // destroyed top-level window to be withdrawn.
    ListerWindow &lister = shared_lister();
    HWND viewer = nullptr;

  private:
    static ListerWindow &shared_lister() {
        static ListerWindow *shared = [] {
            auto *created = new ListerWindow;
            create_lister(created, 800, 600);
            return created;
        }();
        return *shared;
    }
    HWND only_child(const char *class_name) const {
        auto found = children_of_class(viewer, class_name);
        return found.size() == 1 ? found[0] : nullptr;
    }
};
