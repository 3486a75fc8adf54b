// The context menu built from the key table's items: each command is its own menu identifier, so
// the pick comes back as the command.
#include "plugin/context_menu.h"

#include "base/utf8.h"
#include "keys/context_menu.h"

#include <stdio.h>
#include <string.h>

namespace {

// "Copy\tCtrl+C": the system shows what follows the tab aligned at the menu's right.
void append_item(HMENU menu, const MenuItem &item) {
    if (item.command == CMD_NONE && !item.label) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    char text[128];
    snprintf(text, sizeof text, "%s%s%s", item.label, item.keys ? "\t" : "",
             item.keys ? item.keys : "");
    WCHAR wide[128];
    utf8_to_utf16(text, strlen(text), reinterpret_cast<uint16_t *>(wide), 128, nullptr);
    if (item.submenu) {
        HMENU sub = CreatePopupMenu();
        if (!sub) return;
        for (size_t i = 0; i < item.submenu_count; ++i) append_item(sub, item.submenu[i]);
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), wide);
        return;
    }
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), wide);
}

} // namespace

KeyCommand track_context_menu(HWND owner, KeyPlace place, POINT screen) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return CMD_NONE;
    MenuItem items[MENU_ITEMS_MAX];
    size_t n = context_menu_items(place, items);
    for (size_t i = 0; i < n; ++i) append_item(menu, items[i]);
    int picked = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x,
                                screen.y, 0, owner, nullptr);
    DestroyMenu(menu);
    return picked > 0 ? static_cast<KeyCommand>(picked) : CMD_NONE;
}
