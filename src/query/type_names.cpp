// Type names matched as the CREATE TABLE reader writes them (blanks single, catalog names kept).
#include "query/type_names.h"

#include <string.h>

namespace {

// Whether the name is `word` alone or `word` followed by a type modifier "(...)".
bool named(const char *name, const char *word) {
    const size_t n = strlen(word);
    return strncmp(name, word, n) == 0 && (name[n] == '\0' || name[n] == '(');
}

} // namespace

bool type_is_character(const char *name) {
    return name[0] == '\0' || named(name, "text") || named(name, "character varying") ||
           named(name, "varchar") || type_is_blank_padded(name) || named(name, "name") ||
           named(name, "citext");
}

bool type_is_blank_padded(const char *name) {
    return named(name, "character") || named(name, "char") || named(name, "bpchar");
}

bool type_is_uuid(const char *name) {
    return named(name, "uuid");
}

bool type_is_bytea(const char *name) {
    return named(name, "bytea");
}
