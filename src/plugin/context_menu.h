// The context menu: the items of the key table's menu for a place, shown at a point, and the
// command the user picked.
#pragma once

#include <windows.h>

#include "keys/key_commands.h"

// Shows the menu of `place` at `screen` (screen coordinates) for `owner` and waits until it closes.
// Returns the command picked, or CMD_NONE when the menu was dismissed.
KeyCommand track_context_menu(HWND owner, KeyPlace place, POINT screen);
