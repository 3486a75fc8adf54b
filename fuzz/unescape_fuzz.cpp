// Fuzz target: any bytes as one cell's raw text through unescape_cell, into an output block of
// exactly the room it promises to need, checked against a byte-at-a-time decoder.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "fuzz_check.h"
#include "grid/selection_text.h"

namespace {

std::string decoded_slowly(const char *raw, size_t len) {
    std::string out;
    for (size_t i = 0; i < len && out.size() < CELL_SCRATCH - 1; ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
        } else if (i + 1 == len) {
            out += '\\';
        } else {
            char x = raw[++i];
            if (x == 't')
                out += ' ';
            else if (x != 'n' && x != 'r')
                out += x;
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *raw = reinterpret_cast<const char *>(data);
    size_t room = (size < CELL_SCRATCH - 1 ? size : CELL_SCRATCH - 1) + 1;
    char *out = static_cast<char *>(malloc(room));
    size_t n = unescape_cell(raw, size, out);
    FUZZ_CHECK(n < room && out[n] == '\0');
    FUZZ_CHECK(std::string(out, n) == decoded_slowly(raw, size));
    free(out);
    return 0;
}
