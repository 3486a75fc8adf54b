// The context menus of the grid, the value view and the text tabs: their items in order, each a
// command of the key table with the key it has there, so that a menu and the keyboard always agree.
#pragma once

#include "keys/key_commands.h"

#include <stddef.h>

// One line of a menu: a command and its label; a separator has CMD_NONE and no label, a submenu
// CMD_NONE, a label and its `submenu_count` items. `keys` is command_key_label's for the menu's
// place (null when the command has no key there).
struct MenuItem {
    KeyCommand command;
    const char *label;
    const char *keys;
    const MenuItem *submenu;
    size_t submenu_count;
};

enum { MENU_ITEMS_MAX = 24 };

// The menu of `place` (PLACE_GRID, PLACE_VALUE, or PLACE_TEXT for the text tabs) into items
// (MENU_ITEMS_MAX entries); returns how many.
size_t context_menu_items(KeyPlace place, MenuItem items[MENU_ITEMS_MAX]);
