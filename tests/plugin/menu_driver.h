// Test support: a context menu as the user meets it. The viewer shows its menu with a modal
// TrackPopupMenu, so the test arms a driver before the click or key that opens it; inside the
// menu's own message loop the driver reads the items and then picks one with the arrow keys and
// Enter, as a keyboard user would, or dismisses the menu with Escape.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MenuDriver {
    // What to pick: the visible lines' positions, counting every item but separators; a second
    // position picks within the submenu the first opens. Empty: dismiss the menu.
    std::vector<int> pick;
    // What the menu held when it opened: each item's text (its key after a tab), "-" for a
    // separator; and whether a menu opened at all.
    std::vector<std::wstring> items;
    bool opened = false;
};

// Arms the driver for the next menu this thread opens. Pumps nothing itself; the action that
// opens the menu runs the menu's loop, where the driver acts. A menu still open a while after the
// pick (it opened a submenu, or Enter fell where it does nothing) is dismissed with Escape.
void arm_menu_driver(MenuDriver *driver);
// Stops a driver whose menu never came.
void disarm_menu_driver();
