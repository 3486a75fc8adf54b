// Fuzz target: any bytes as a dump container, through the loader and every portable reader of it.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "document/load.h"
#include "document/strbuf.h"
#include "document/tab_text.h"
#include "grid/cells.h"
#include "grid/cursor.h"
#include "grid/selection_text.h"

static const char *input_path() {
    static std::string path = "document_fuzz_" + std::to_string(reinterpret_cast<uintptr_t>(&path));
    return path.c_str();
}

// Reads every cell (up to a bound), every tab text, and the whole selection, so that a pointer
// the loader left dangling or unterminated is touched.
static void exercise(Viewer *v) {
    char room[64];
    for (int32_t r = -1; r <= v->row_count && r < 64; ++r)
        for (int32_t c = -1; c <= v->col_count && c < 300; ++c)
            cell_text(v, r, c, room, sizeof room);
    for (int t = 0; t <= 5; ++t) (void)strlen(tab_text(v, t));
    char bar[BAR_TEXT_LEN];
    format_bar_text(bar, sizeof bar, v->tab, v->status);
    grid_apply_key(v, KEY_A, 1, 0, 0);
    grid_apply_key(v, KEY_NEXT, 0, 1, 0);
    StrBuf text;
    if (selection_text(v, &text)) sb_drop(&text);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *f = fopen(input_path(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    Viewer v;
    memset(&v, 0, sizeof v);
    if (load_file(&v, input_path())) {
        exercise(&v);
        viewer_free_blocks(&v);
    }
    remove(input_path());
    return 0;
}
