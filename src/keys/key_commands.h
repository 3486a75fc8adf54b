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
};

enum KeyCommand {
    CMD_NONE,            // not the viewer's key: the window that has the keyboard handles it
    CMD_TO_HOST,         // Escape: handed to the host's Lister window, which closes the viewer
    CMD_SHOW_TAB,        // a digit 1 to 4: that tab (the digit's value in KeyAction::tab)
    CMD_FIND_OPEN,       // Ctrl+F, F7: the find bar, its text all selected
    CMD_FIND_NEXT,       // F3 (Enter in the field): the next match of the last text
    CMD_FIND_PREV,       // Shift+F3 (Shift+Enter in the field): the previous match
    CMD_FIND_CLOSE,      // Escape in the field: the bar closes, the keyboard goes back
    CMD_FILTER_OPEN,     // Ctrl+Shift+F in the grid: the bar filters rows, its text all selected
    CMD_FILTER_KEEP,     // Enter in the filter field: the bar closes, the filter stays
    CMD_FILTER_CLEAR,    // Escape in the filter field: every row shows again, the bar closes
    CMD_COPY,            // Ctrl+C, Ctrl+Insert: the selection (a text's whole text when none)
    CMD_COPY_WITH_NAMES, // Ctrl+Shift+C in the grid: the selection under its columns' names
    CMD_SELECT_ALL,      // Ctrl+A: the whole grid, or the whole text
};

struct KeyAction {
    KeyCommand command;
    int tab; // for CMD_SHOW_TAB
};

// The command of virtual key `key` with the modifiers `mods` (KEYMOD_CTRL, KEYMOD_SHIFT, KEYMOD_ALT
// bits) held, at `place`. Only key-downs are asked about (Alt with a key comes as a system key,
// which is the host's). Digits are those of the main keyboard, not the keypad's.
KeyAction key_command(int key, int mods, KeyPlace place);
