// The menus' items, labelled with the key table's own keys.
#include "keys/context_menu.h"

namespace {

const MenuItem COPY_AS[] = {
    {CMD_COPY_CSV, "CSV", nullptr, nullptr, 0},
    {CMD_COPY_INSERT, "SQL INSERT statements", nullptr, nullptr, 0},
    {CMD_COPY_JSON, "JSON", nullptr, nullptr, 0},
    {CMD_COPY_MARKDOWN, "Markdown table", nullptr, nullptr, 0},
};

struct Line {
    KeyCommand command;
    const char *label;
    const MenuItem *submenu;
    size_t submenu_count;
};

const Line GRID_MENU[] = {
    {CMD_COPY, "Copy", nullptr, 0},
    {CMD_COPY_WITH_NAMES, "Copy with column names", nullptr, 0},
    {CMD_NONE, "Copy as", COPY_AS, sizeof COPY_AS / sizeof COPY_AS[0]},
    {CMD_SELECT_ALL, "Select all", nullptr, 0},
    {CMD_VALUE_OPEN, "Show value", nullptr, 0},
    {CMD_SUMMARY_OPEN, "Column summary", nullptr, 0},
    {CMD_NONE, nullptr, nullptr, 0},
    {CMD_FIND_OPEN, "Find...", nullptr, 0},
    {CMD_GOTO_OPEN, "Go to row...", nullptr, 0},
    {CMD_FILTER_OPEN, "Filter...", nullptr, 0},
    {CMD_FILTER_EQUAL, "Filter: equal to this value", nullptr, 0},
    {CMD_FILTER_NOT_EQUAL, "Filter: not equal to this value", nullptr, 0},
    {CMD_FILTER_NULL, "Filter: NULL", nullptr, 0},
    {CMD_FILTER_NOT_NULL, "Filter: not NULL", nullptr, 0},
    {CMD_FILTER_CLEAR_ALL, "Clear filter", nullptr, 0},
    {CMD_NONE, nullptr, nullptr, 0},
    {CMD_SORT_ASC, "Sort ascending", nullptr, 0},
    {CMD_SORT_DESC, "Sort descending", nullptr, 0},
    {CMD_SORT_NONE, "File order", nullptr, 0},
};

const Line TEXT_MENU[] = {
    {CMD_COPY, "Copy", nullptr, 0},
    {CMD_SELECT_ALL, "Select all", nullptr, 0},
    {CMD_NONE, nullptr, nullptr, 0},
    {CMD_FIND_OPEN, "Find...", nullptr, 0},
};

} // namespace

size_t context_menu_items(KeyPlace place, MenuItem items[MENU_ITEMS_MAX]) {
    const Line *lines = place == PLACE_GRID ? GRID_MENU : TEXT_MENU;
    size_t n = place == PLACE_GRID ? sizeof GRID_MENU / sizeof GRID_MENU[0]
                                   : sizeof TEXT_MENU / sizeof TEXT_MENU[0];
    for (size_t i = 0; i < n && i < MENU_ITEMS_MAX; ++i) {
        const Line &l = lines[i];
        items[i] = {l.command, l.label,
                    l.command == CMD_NONE ? nullptr : command_key_label(l.command, place),
                    l.submenu, l.submenu_count};
    }
    return n;
}
