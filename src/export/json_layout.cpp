// JSON layouts: both re-emit the lexer's tokens of an already checked text, so no stack is kept.
#include "export/json_layout.h"

#include <string.h>

static void add_line_start(StrBuf *out, size_t depth) {
    const size_t most = JSON_INDENT_LEVELS_MAX;
    const size_t blanks = 2 * (depth < most ? depth : most);
    char *room = sb_prep(out, 1 + blanks);
    if (!room) return;
    room[0] = '\n';
    memset(room + 1, ' ', blanks);
    sb_commit(out, 1 + blanks);
}

static bool is_open(JsonTokenKind kind) {
    return kind == JSON_BEGIN_OBJECT || kind == JSON_BEGIN_ARRAY;
}

static bool is_close(JsonTokenKind kind) {
    return kind == JSON_END_OBJECT || kind == JSON_END_ARRAY;
}

JsonCheck json_indent(const char *text, size_t len, StrBuf *out) {
    out->data = nullptr;
    const JsonCheck check = json_check(text, len);
    if (check != JSON_VALID) return check;
    if (!sb_init(out)) return JSON_NO_MEMORY;
    JsonLexer lexer;
    json_lexer_start(&lexer, text, len);
    size_t depth = 0;
    for (JsonToken t = json_next(&lexer); t.kind != JSON_END && !out->failed;
         t = json_next(&lexer)) {
        if (is_open(t.kind)) {
            JsonLexer ahead = lexer;
            const JsonToken next = json_next(&ahead);
            sb_add_len(out, t.text, 1);
            // The check has proved the brackets match, so a close right after an open is its own.
            if (is_close(next.kind)) {
                sb_add_len(out, next.text, 1);
                lexer = ahead;
            } else {
                add_line_start(out, ++depth);
            }
        } else if (is_close(t.kind)) {
            add_line_start(out, --depth);
            sb_add_len(out, t.text, 1);
        } else if (t.kind == JSON_VALUE_SEP) {
            sb_add_len(out, ",", 1);
            add_line_start(out, depth);
        } else if (t.kind == JSON_NAME_SEP) {
            sb_add_len(out, ": ", 2);
        } else {
            sb_add_len(out, t.text, t.len);
        }
    }
    if (out->failed) {
        sb_drop(out);
        return JSON_NO_MEMORY;
    }
    return JSON_VALID;
}

void json_add_compact(StrBuf *out, const char *text, size_t len) {
    JsonLexer lexer;
    json_lexer_start(&lexer, text, len);
    for (JsonToken t = json_next(&lexer); t.kind != JSON_END && t.kind != JSON_BAD;
         t = json_next(&lexer))
        sb_add_len(out, t.text, t.len);
}
