// The viewer's own keys: which command a key means, wherever the keyboard is. The grid, the text
// view and the find bar's field all ask this one table before handling a key themselves, so a key
// means one thing, decided here.
#pragma once

#include "base/keys.h"

// Where the keyboard is when the key comes.
enum KeyPlace {
    PLACE_GRID,         // the Data tab's grid
    PLACE_TEXT,         // the text view of a text tab
    PLACE_FIND_FIELD,   // the find bar's field, where letters and digits type
    PLACE_FILTER_FIELD, // the same field while the bar filters the grid's rows
    PLACE_GOTO_FIELD,   // the same field while the bar asks for a row to go to
    PLACE_VALUE,        // the value view: one cell's whole value in place of the grid
};

enum KeyCommand {
    CMD_NONE,             // not the viewer's key: the window that has the keyboard handles it
    CMD_TO_HOST,          // Escape: handed to the host's Lister window, which closes the viewer
    CMD_SHOW_TAB,         // a digit 1 to 4: that tab (the digit's value in KeyAction::tab)
    CMD_FIND_OPEN,        // Ctrl+F, F7: the find bar, its text all selected
    CMD_FIND_NEXT,        // F3 (Enter in the field): the next match of the last text
    CMD_FIND_PREV,        // Shift+F3 (Shift+Enter in the field): the previous match
    CMD_FIND_CLOSE,       // Escape in the field: the bar closes, the keyboard goes back
    CMD_FILTER_OPEN,      // Ctrl+Shift+F in the grid: the bar filters rows, its text all selected
    CMD_FILTER_KEEP,      // Enter in the filter field: the bar closes, the filter stays
    CMD_FILTER_CLEAR,     // Escape in the filter field: every row shows again, the bar closes
    CMD_COPY,             // Ctrl+C, Ctrl+Insert: the selection (a text's whole text when none)
    CMD_COPY_WITH_NAMES,  // Ctrl+Shift+C in the grid: the selection under its columns' names
    CMD_SELECT_ALL,       // Ctrl+A: the whole grid, or the whole text
    CMD_CONTEXT_MENU,     // Shift+F10, the context-menu key: the menu of the place
    CMD_SORT_ASC,         // the grid's rows by the cursor's column, ascending (from the menu)
    CMD_SORT_DESC,        // the same, descending
    CMD_SORT_NONE,        // the rows in file order again
    CMD_VALUE_OPEN,       // Enter in the grid: the cursor cell's whole value in the value view
    CMD_VALUE_CLOSE,      // Escape or Enter in the value view: the grid again, as it was
    CMD_VALUE_PREV,       // Alt+Up in the value view: the value of the cell above
    CMD_VALUE_NEXT,       // Alt+Down in the value view: the value of the cell below
    CMD_COPY_CSV,         // "Copy as" from the grid's menu: the selection as CSV,
    CMD_COPY_INSERT,      //   as SQL INSERT statements,
    CMD_COPY_JSON,        //   as JSON,
    CMD_COPY_MARKDOWN,    //   as a Markdown table
    CMD_SUMMARY_OPEN,     // Ctrl+I in the grid: the cursor's column summed up in the value view
    CMD_GOTO_OPEN,        // Ctrl+G in the grid or the bar: the bar asks for a row to go to
    CMD_GOTO_ROW,         // Enter in the go-to field: the cursor to the row typed
    CMD_FILTER_EQUAL,     // from the grid's menu: only the rows holding the cursor cell's value,
    CMD_FILTER_NOT_EQUAL, //   the rows holding another value (not NULL),
    CMD_FILTER_NULL,      //   the rows whose cell in the cursor's column is NULL,
    CMD_FILTER_NOT_NULL,  //   the rows whose cell there is not,
    CMD_FILTER_CLEAR_ALL, //   every row again: no text, no condition
};

struct KeyAction {
    KeyCommand command;
    int tab; // for CMD_SHOW_TAB
};

// The command of virtual key `key` with the modifiers `mods` (KEYMOD_CTRL, KEYMOD_SHIFT,
// KEYMOD_ALT bits) held, at `place`. Key-downs are asked about with Ctrl and Shift; system
// key-downs (F10, and keys with Alt held) with KEYMOD_ALT too when Alt is held, and of those the
// viewer takes only Shift+F10, leaving every Alt combination to the host. Digits are those of the
// main keyboard, not the keypad's.
KeyAction key_command(int key, int mods, KeyPlace place);

// The key a menu shows beside a command at `place`, e.g. "Ctrl+Shift+C"; null when the command
// has none there. key_command gives that command for that key.
const char *command_key_label(KeyCommand command, KeyPlace place);
