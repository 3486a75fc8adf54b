// What a click on a column's header does to the keys the grid sorts by.
#pragma once

#include "document/viewer.h"

#include <stdint.h>

// The keys after a click on column col's header, given the keys asked for last (keys[0 .. n - 1]),
// into out (ORDER_KEYS_MAX of them); returns how many.
//
// A plain click sorts by the column alone: ascending, or, when the column was the only key,
// the next of ascending, descending and file order (no key). A click with Shift held adds the
// column as the last key, ascending; on a column that is a key already, a second turns that key
// round and a third takes it out, the other keys staying as they were. With ORDER_KEYS_MAX keys a
// Shift+click on another column changes nothing.
int32_t keys_after_click(const OrderKey *keys, int32_t n, int32_t col, bool shift,
                         OrderKey out[ORDER_KEYS_MAX]);
