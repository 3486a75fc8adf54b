// A condition's blocks: growing arrays of nodes and values and a pool of bytes, and the two ways
// a condition is made without text: from a cell, and from two conditions.
#include "query/condition_tree.h"

#include "base/mem.h"
#include "document/copy_escapes.h"
#include "order/sort_key.h"
#include "query/float_value.h"
#include "query/type_names.h"

#include <string.h>

namespace {

// Makes room for one more element of `size` bytes in *block (count used, *cap allocated).
bool grow(void **block, int32_t count, int32_t *cap, size_t size) {
    if (count < *cap) return true;
    const int32_t more = *cap ? *cap * 2 : 8;
    void *moved = mem_realloc(*block, static_cast<size_t>(more) * size);
    if (!moved) return false;
    *block = moved;
    *cap = more;
    return true;
}

} // namespace

Condition *condition_new() {
    Condition *c = static_cast<Condition *>(mem_alloc(sizeof(Condition)));
    if (c) *c = {};
    return c;
}

void condition_free(Condition *c) {
    if (!c) return;
    mem_free(c->nodes);
    mem_free(c->values);
    mem_free(c->pool);
    mem_free(c);
}

int32_t condition_add_node(Condition *c, const CondNode &node) {
    void *block = c->nodes;
    if (!grow(&block, c->node_count, &c->node_cap, sizeof(CondNode))) return -1;
    c->nodes = static_cast<CondNode *>(block);
    c->nodes[c->node_count] = node;
    return c->node_count++;
}

int32_t condition_add_value(Condition *c, const CondValue &value) {
    void *block = c->values;
    if (!grow(&block, c->value_count, &c->value_cap, sizeof(CondValue))) return -1;
    c->values = static_cast<CondValue *>(block);
    c->values[c->value_count] = value;
    return c->value_count++;
}

uint32_t condition_add_bytes(Condition *c, const char *bytes, size_t n) {
    if (n > UINT32_MAX / 2 || c->pool_len + n > UINT32_MAX / 2) return UINT32_MAX;
    if (c->pool_len + n + 1 > c->pool_cap) {
        uint32_t cap = c->pool_cap ? c->pool_cap : 64;
        while (cap < c->pool_len + n + 1) cap *= 2;
        char *moved = static_cast<char *>(mem_realloc(c->pool, cap));
        if (!moved) return UINT32_MAX;
        c->pool = moved;
        c->pool_cap = cap;
    }
    const uint32_t at = c->pool_len;
    if (n) memcpy(c->pool + at, bytes, n);
    c->pool_len += static_cast<uint32_t>(n);
    c->pool[c->pool_len] = '\0';
    return at;
}

Condition *condition_for_cell(const Viewer *viewer, int32_t col, CellTest test, const char *raw,
                              size_t len) {
    static const ColumnType unknown = {KIND_TEXT, ""};
    const ColumnType *type =
        viewer->col_types && col < viewer->col_count ? &viewer->col_types[col] : &unknown;
    CondNode node = {};
    node.node = NODE_TEST;
    node.col = col;
    node.kind = type->kind;
    node.trimmed = type->kind == KIND_TEXT && type_is_blank_padded(type->name);
    node.single = type->kind == KIND_FLOAT && float_type_is_single(type->name);
    const bool null = raw && field_is_null(raw, len);
    if (test == CELL_IS_NULL || (test == CELL_EQUAL && null)) {
        node.op = TEST_IS_NULL;
    } else if (test == CELL_NOT_NULL || (test == CELL_NOT_EQUAL && null)) {
        node.op = TEST_NOT_NULL;
    } else {
        node.op = test == CELL_EQUAL ? TEST_EQ : TEST_NE;
        if (!raw) raw = "";
        SortKey key;
        sort_key_open(&key, type->kind, raw, len);
        node.by = key.cls != FIELD_VALUE ? BY_BYTES : type->kind == KIND_FLOAT ? BY_FLOAT : BY_KEY;
    }
    Condition *c = condition_new();
    if (!c) return nullptr;
    bool ok = true;
    if (node.op == TEST_EQ || node.op == TEST_NE) {
        CondValue v = {};
        size_t key_len = len;
        if (node.trimmed)
            while (key_len > 0 && raw[key_len - 1] == ' ') --key_len;
        v.field = condition_add_bytes(c, raw, key_len);
        v.field_len = static_cast<uint32_t>(key_len);
        v.shown = condition_add_bytes(c, raw, len);
        v.shown_len = static_cast<uint32_t>(len);
        v.bare = kind_is_number(type->kind) && node.by != BY_BYTES && len > 0 &&
                 ((raw[0] >= '0' && raw[0] <= '9') || raw[0] == '-' || raw[0] == '.');
        if (node.by == BY_FLOAT) float_read(raw, len, node.single, &v.number);
        node.first =
            v.field == UINT32_MAX || v.shown == UINT32_MAX ? -1 : condition_add_value(c, v);
        node.count = 1;
        ok = node.first >= 0;
    }
    if (ok) c->root = condition_add_node(c, node);
    if (!ok || c->root < 0) {
        condition_free(c);
        return nullptr;
    }
    return c;
}

namespace {

// Copies b's nodes, values and bytes after a's own, its indexes moved along; the root of the copy,
// or -1.
int32_t append(Condition *a, const Condition *b) {
    const int32_t nodes = a->node_count, values = a->value_count;
    // Even b's empty pool makes one: an empty value's bytes are read from it (offset 0, length 0).
    const uint32_t bytes = condition_add_bytes(a, b->pool, b->pool_len);
    if (bytes == UINT32_MAX) return -1;
    for (int32_t i = 0; i < b->value_count; ++i) {
        CondValue v = b->values[i];
        v.field += bytes;
        v.shown += bytes;
        if (condition_add_value(a, v) < 0) return -1;
    }
    for (int32_t i = 0; i < b->node_count; ++i) {
        CondNode n = b->nodes[i];
        if (n.node != NODE_TEST) {
            n.a += nodes;
            n.b += nodes;
        } else {
            n.first += values;
        }
        if (condition_add_node(a, n) < 0) return -1;
    }
    return b->root + nodes;
}

} // namespace

Condition *condition_copy(const Condition *c) {
    if (!c) return nullptr;
    Condition *copy = condition_new();
    if (copy && (copy->root = append(copy, c)) < 0) {
        condition_free(copy);
        return nullptr;
    }
    return copy;
}

Condition *condition_and(Condition *a, Condition *b) {
    if (!a || !b) return a ? a : b;
    Condition *c = condition_new();
    CondNode node = {};
    node.node = NODE_AND;
    bool ok = c != nullptr;
    if (ok) ok = (node.a = append(c, a)) >= 0;
    if (ok) ok = (node.b = append(c, b)) >= 0;
    if (ok) ok = (c->root = condition_add_node(c, node)) >= 0;
    condition_free(a);
    condition_free(b);
    if (!ok) {
        condition_free(c);
        return nullptr;
    }
    return c;
}
