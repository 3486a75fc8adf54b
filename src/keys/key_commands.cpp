// The key table: one switch per key, the place deciding where a key types instead.
#include "keys/key_commands.h"

KeyAction key_command(int key, int mods, KeyPlace place) {
    const bool ctrl = mods & KEYMOD_CTRL, shift = mods & KEYMOD_SHIFT;
    const bool filter = place == PLACE_FILTER_FIELD;
    const bool field = place == PLACE_FIND_FIELD || filter;
    if (key == KEY_ESCAPE)
        return {filter ? CMD_FILTER_CLEAR : field ? CMD_FIND_CLOSE : CMD_TO_HOST, 0};
    if (key >= KEY_1 && key <= KEY_4) {
        // In the field a digit is typed, Ctrl or Shift held or not.
        if (field) return {CMD_NONE, 0};
        return {CMD_SHOW_TAB, key - KEY_1 + 1};
    }
    // Filtering narrows the grid's rows: a text tab has none.
    if (ctrl && shift && key == KEY_F && place != PLACE_TEXT) return {CMD_FILTER_OPEN, 0};
    if ((ctrl && key == KEY_F) || key == KEY_F7) return {CMD_FIND_OPEN, 0};
    if (filter && key == KEY_RETURN) return {CMD_FILTER_KEEP, 0};
    if (key == KEY_F3 || (field && key == KEY_RETURN))
        return {shift ? CMD_FIND_PREV : CMD_FIND_NEXT, 0};
    // The field's own Ctrl+C, Ctrl+Insert and Ctrl+A act on its text.
    if (field) return {CMD_NONE, 0};
    if (ctrl && shift && key == KEY_C && place == PLACE_GRID) return {CMD_COPY_WITH_NAMES, 0};
    if (ctrl && (key == KEY_C || key == KEY_INSERT)) return {CMD_COPY, 0};
    if (ctrl && key == KEY_A) return {CMD_SELECT_ALL, 0};
    return {CMD_NONE, 0};
}
