// The inside of a Condition (query/condition.h): a tree of nodes in one array, the values they
// compare with in another, and the bytes of those values in a pool. Shared by the parser, the
// evaluator and the printer; nothing outside src/query/ reads it.
#pragma once

#include "document/column_types.h"
#include "query/condition.h"

#include <stddef.h>
#include <stdint.h>

enum NodeKind : uint8_t { NODE_AND, NODE_OR, NODE_NOT, NODE_TEST };

enum TestOp : uint8_t {
    TEST_EQ,
    TEST_NE,
    TEST_LT,
    TEST_LE,
    TEST_GT,
    TEST_GE,
    TEST_IS_NULL,
    TEST_NOT_NULL,
    TEST_LIKE,
    TEST_ILIKE,
    TEST_BETWEEN,
    TEST_IN,
};

// How a test's values compare with the field.
enum CompareBy : uint8_t {
    BY_KEY,   // the sort keys of the column's kind (`kind`), the values in COPY field form
    BY_FLOAT, // as float8: the field read as real (`single`) or double, the values' doubles
    BY_BYTES, // the raw field's bytes against the value's (a damaged cell's own value)
};

// A node: AND and OR of nodes `a` and `b`, NOT of node `a`, or a test of column `col`. A test's
// values are values[first .. first + count - 1]: one for a comparison, two for BETWEEN, the list
// of IN, the pattern of LIKE. `negated` makes LIKE, ILIKE, BETWEEN and IN their NOT forms.
struct CondNode {
    NodeKind node;
    TestOp op;
    CompareBy by;
    ColumnKind kind;
    bool negated;
    bool single;  // BY_FLOAT: the column is real
    bool trimmed; // character(n): the field's trailing blanks do not count
    int32_t col;
    int32_t a, b;
    int32_t first, count;
};

// A value: its bytes as the comparison reads them (`field`: COPY field form for BY_KEY and
// BY_BYTES, the pattern as typed for LIKE) and as the status line shows it (`shown`), both in the
// pool; its double for BY_FLOAT; and whether it was a number (shown bare) or a string (quoted).
struct CondValue {
    uint32_t field, field_len;
    uint32_t shown, shown_len;
    double number;
    bool bare;
};

// Blocks from base/mem.h, owned by the condition; `root` is the node the condition is.
struct Condition {
    CondNode *nodes;
    int32_t node_count, node_cap;
    CondValue *values;
    int32_t value_count, value_cap;
    char *pool;
    uint32_t pool_len, pool_cap;
    int32_t root;
};

// Appends a node or a value, or n bytes to the pool (returning their offset); -1 (or UINT32_MAX)
// when the memory cannot be had.
int32_t condition_add_node(Condition *c, const CondNode &node);
int32_t condition_add_value(Condition *c, const CondValue &value);
uint32_t condition_add_bytes(Condition *c, const char *bytes, size_t n);

// A new empty condition, or null.
Condition *condition_new();
