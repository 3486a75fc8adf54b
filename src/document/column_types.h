// The columns' types, as the SQL section's CREATE TABLE statement for the dump's table names them:
// what the grid needs to sort a column in the database's own order, to align numbers, and to
// write a cell as another format expects it.
#pragma once

#include <stddef.h>
#include <stdint.h>

// What a type means to the viewer. Every type not named here (text, character varying, character,
// name, uuid, arrays, intervals, geometry, bytea, xml, ...) is KIND_TEXT: it sorts by the bytes of
// its text, as PostgreSQL's COLLATE "C" orders text.
enum ColumnKind : uint8_t {
    KIND_TEXT,
    KIND_INTEGER,     // smallint, integer, bigint, smallserial, serial, bigserial
    KIND_NUMERIC,     // numeric and decimal, with or without precision and scale
    KIND_FLOAT,       // real, double precision (float4, float8, float(p))
    KIND_BOOLEAN,     // boolean
    KIND_DATE,        // date
    KIND_TIME,        // time [(p)] [without time zone]
    KIND_TIMETZ,      // time [(p)] with time zone
    KIND_TIMESTAMP,   // timestamp [(p)] [without time zone]
    KIND_TIMESTAMPTZ, // timestamp [(p)] with time zone
    KIND_JSON,        // json, jsonb: sorted by their text like KIND_TEXT
};

// The type as the statement writes it, e.g. "character varying(20)", "numeric(10,2)",
// "timestamp with time zone", "integer[]", cut at COLUMN_TYPE_NAME_MAX - 1 bytes; "" when the
// column's type was not found.
enum { COLUMN_TYPE_NAME_MAX = 64 };

struct ColumnType {
    ColumnKind kind;
    char name[COLUMN_TYPE_NAME_MAX];
};

// Whether the kind's values are numbers (right-aligned in the grid, unquoted in INSERT statements
// and JSON when finite).
inline bool kind_is_number(ColumnKind kind) {
    return kind == KIND_INTEGER || kind == KIND_NUMERIC || kind == KIND_FLOAT;
}

// Reads the types of the col_count columns named col_names (as the COPY header line writes them;
// a null name is a column without one; col_names holds col_count entries, so a caller with more
// columns than MAX_COLS passes MAX_COLS) from the CREATE TABLE statement in the sql_len bytes at
// `sql` (the SQL section, or null) for the table `copy_line` (the COPY header line, or null)
// copies. A column whose type cannot be found is {KIND_TEXT, ""}. Writes out[0 .. col_count - 1];
// allocates nothing.
//
// Table and column names match as the server resolves them: unquoted letters fold to lower case,
// a quoted name is taken exactly, so pg_dump's quoting in the two places need not be the same
// text; a schema written in one place and not the other does not keep the names apart. Only a
// CREATE TABLE at the start of a line counts, as pg_dump writes every statement; columns a table
// inherits and does not list (INHERITS, OF type, PARTITION OF) are not found.
void read_column_types(const char *sql, size_t sql_len, const char *copy_line,
                       const char *const *col_names, int32_t col_count, ColumnType *out);
