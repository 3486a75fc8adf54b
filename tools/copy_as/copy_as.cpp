// copy_as: a dump's whole grid, every row and column selected, in one "Copy as" format.
//
//   copy_as csv|insert|json|markdown DUMP [KIND...]
//
// Each KIND gives one column's kind, in order (text integer numeric float boolean date time
// timetz timestamp timestamptz json); columns without one are text. Writes the text to standard
// output as copy_as builds it; exits 1 when the dump cannot be loaded or nothing was built.
#include "document/load.h"
#include "export/copy_as.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char *const KIND_NAMES[] = {"text", "integer", "numeric",   "float",       "boolean", "date",
                                  "time", "timetz",  "timestamp", "timestamptz", "json"};

bool parse_kind(const char *name, ColumnKind *kind) {
    for (size_t k = 0; k < sizeof KIND_NAMES / sizeof KIND_NAMES[0]; ++k) {
        if (std::strcmp(name, KIND_NAMES[k]) == 0) {
            *kind = static_cast<ColumnKind>(k);
            return true;
        }
    }
    return false;
}

bool parse_format(const char *name, CopyFormat *format) {
    const char *const names[] = {"csv", "insert", "json", "markdown"};
    const CopyFormat formats[] = {COPY_CSV, COPY_SQL_INSERT, COPY_JSON, COPY_MARKDOWN};
    for (int f = 0; f < 4; ++f) {
        if (std::strcmp(name, names[f]) == 0) {
            *format = formats[f];
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    CopyFormat format = COPY_CSV;
    if (argc < 3 || !parse_format(argv[1], &format)) {
        std::fprintf(stderr, "usage: copy_as csv|insert|json|markdown DUMP [KIND...]\n");
        return 2;
    }
    Viewer viewer{};
    if (!load_file(&viewer, argv[2])) {
        std::fprintf(stderr, "copy_as: cannot load %s\n", argv[2]);
        return 1;
    }
    std::vector<ColumnType> types(viewer.col_count > 0 ? viewer.col_count : 1, ColumnType{});
    for (int i = 3; i < argc; ++i) {
        if (i - 3 >= viewer.col_count || !parse_kind(argv[i], &types[i - 3].kind)) {
            std::fprintf(stderr, "copy_as: no column for kind %s, or no such kind\n", argv[i]);
            viewer_free_blocks(&viewer);
            return 2;
        }
    }
    viewer.anchor_row = 0;
    viewer.anchor_col = 0;
    viewer.cur_row = viewer.row_count - 1;
    viewer.cur_col = viewer.col_count - 1;
    StrBuf text;
    int built = copy_as(&viewer, types.data(), format, &text);
    if (built) {
        std::fwrite(text.data, 1, text.len, stdout);
        sb_drop(&text);
    }
    viewer_free_blocks(&viewer);
    return built ? 0 : 1;
}
