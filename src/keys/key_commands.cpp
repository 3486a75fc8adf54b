// The key table: one switch per key, the place deciding where a key types instead.
#include "keys/key_commands.h"

KeyAction key_command(int key, int mods, KeyPlace place) {
    const bool ctrl = mods & KEYMOD_CTRL, shift = mods & KEYMOD_SHIFT;
    const bool filter = place == PLACE_FILTER_FIELD;
    const bool go_to = place == PLACE_GOTO_FIELD;
    const bool field = place == PLACE_FIND_FIELD || filter || go_to;
    const bool value = place == PLACE_VALUE;
    if (key == KEY_F10 && shift && !ctrl && !(mods & KEYMOD_ALT))
        return {field ? CMD_NONE : CMD_CONTEXT_MENU, 0};
    if (mods & KEYMOD_ALT) {
        if (value && !ctrl && !shift && key == KEY_UP) return {CMD_VALUE_PREV, 0};
        if (value && !ctrl && !shift && key == KEY_DOWN) return {CMD_VALUE_NEXT, 0};
        return {CMD_NONE, 0};
    }
    if (key == KEY_ESCAPE)
        return {filter  ? CMD_FILTER_CLEAR
                : field ? CMD_FIND_CLOSE
                : value ? CMD_VALUE_CLOSE
                        : CMD_TO_HOST,
                0};
    if (key == KEY_RETURN && !ctrl && !shift) {
        if (place == PLACE_GRID) return {CMD_VALUE_OPEN, 0};
        if (value) return {CMD_VALUE_CLOSE, 0};
    }
    if (key >= KEY_1 && key <= KEY_4) {
        // In the field a digit is typed, Ctrl or Shift held or not.
        if (field) return {CMD_NONE, 0};
        return {CMD_SHOW_TAB, key - KEY_1 + 1};
    }
    // Filtering narrows the grid's rows: a text has none.
    if (ctrl && shift && key == KEY_F && place != PLACE_TEXT && !value) return {CMD_FILTER_OPEN, 0};
    if ((ctrl && key == KEY_F) || key == KEY_F7) return {CMD_FIND_OPEN, 0};
    if (filter && key == KEY_RETURN) return {CMD_FILTER_KEEP, 0};
    if (go_to && key == KEY_RETURN) return {CMD_GOTO_ROW, 0};
    // Going to a row moves among the grid's rows: a text and a value have none.
    if (ctrl && !shift && key == KEY_G && (place == PLACE_GRID || field)) return {CMD_GOTO_OPEN, 0};
    if (key == KEY_F3 || (field && key == KEY_RETURN))
        return {shift ? CMD_FIND_PREV : CMD_FIND_NEXT, 0};
    // The field's own Ctrl+C, Ctrl+Insert and Ctrl+A act on its text.
    if (field) return {CMD_NONE, 0};
    if (ctrl && shift && key == KEY_C && place == PLACE_GRID) return {CMD_COPY_WITH_NAMES, 0};
    if (ctrl && (key == KEY_C || key == KEY_INSERT)) return {CMD_COPY, 0};
    if (ctrl && key == KEY_A) return {CMD_SELECT_ALL, 0};
    if (ctrl && !shift && key == KEY_I && place == PLACE_GRID) return {CMD_SUMMARY_OPEN, 0};
    if (key == KEY_APPS) return {CMD_CONTEXT_MENU, 0};
    return {CMD_NONE, 0};
}

const char *command_key_label(KeyCommand command, KeyPlace place) {
    const bool grid = place == PLACE_GRID;
    switch (command) {
    case CMD_COPY: return "Ctrl+C";
    case CMD_COPY_WITH_NAMES: return grid ? "Ctrl+Shift+C" : nullptr;
    case CMD_SELECT_ALL: return "Ctrl+A";
    case CMD_FIND_OPEN: return "Ctrl+F";
    case CMD_FILTER_OPEN: return grid ? "Ctrl+Shift+F" : nullptr;
    case CMD_FIND_NEXT: return "F3";
    case CMD_FIND_PREV: return "Shift+F3";
    case CMD_VALUE_OPEN: return grid ? "Enter" : nullptr;
    case CMD_SUMMARY_OPEN: return grid ? "Ctrl+I" : nullptr;
    case CMD_GOTO_OPEN: return grid ? "Ctrl+G" : nullptr;
    default: return nullptr;
    }
}
