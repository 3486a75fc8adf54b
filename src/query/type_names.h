// What a column's type name (as ColumnType holds it, from the CREATE TABLE) says beyond its kind:
// the few text types whose values the server reads or compares in ways of their own.
#pragma once

// Character strings: text, character varying, character, name, citext, and a type not found.
bool type_is_character(const char *type_name);

// character(n) and bpchar, whose trailing blanks the server ignores in comparisons, LIKE and
// length().
bool type_is_blank_padded(const char *type_name);

bool type_is_uuid(const char *type_name);
bool type_is_bytea(const char *type_name);
