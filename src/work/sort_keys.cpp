// The header click's rule over the keys.
#include "work/sort_keys.h"

int32_t keys_after_click(const OrderKey *keys, int32_t n, int32_t col, bool shift,
                         OrderKey out[ORDER_KEYS_MAX]) {
    if (n > ORDER_KEYS_MAX) n = ORDER_KEYS_MAX;
    if (!shift) {
        SortDir dir = SORT_ASC;
        if (n == 1 && keys[0].col == col) dir = keys[0].dir == SORT_ASC ? SORT_DESC : SORT_NONE;
        if (dir == SORT_NONE) return 0;
        out[0] = OrderKey{col, dir};
        return 1;
    }
    int32_t m = 0;
    bool found = false;
    for (int32_t k = 0; k < n; ++k) {
        if (keys[k].col != col) {
            out[m++] = keys[k];
            continue;
        }
        found = true;
        if (keys[k].dir == SORT_ASC) out[m++] = OrderKey{col, SORT_DESC};
    }
    if (!found && m < ORDER_KEYS_MAX) out[m++] = OrderKey{col, SORT_ASC};
    return m;
}
