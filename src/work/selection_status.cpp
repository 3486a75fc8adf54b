// The selection's sums: worked out now or later, and kept for their cells.
#include "work/selection_status.h"

#include "base/strbuf.h"
#include "base/utf8.h"
#include "grid/shown_rows.h"
#include "query/selection_sums.h"

#include <string.h>

namespace {

bool same_rect(const SelectionRect &a, const SelectionRect &b) {
    return a.r0 == b.r0 && a.r1 == b.r1 && a.c0 == b.c0 && a.c1 == b.c1;
}

// The selection within the grid, or an empty rectangle when there are no cells.
bool grid_selection(const Viewer *viewer, SelectionRect *rect) {
    if (shown_row_count(viewer) <= 0 || viewer->col_count <= 0) return false;
    *rect = selection_rect(viewer);
    return rect->r0 >= 0 && rect->r1 < shown_row_count(viewer) && rect->c0 >= 0 &&
           rect->c1 < viewer->col_count;
}

} // namespace

int64_t selection_cells(const SelectionRect &rect) {
    return (static_cast<int64_t>(rect.r1) - rect.r0 + 1) *
           (static_cast<int64_t>(rect.c1) - rect.c0 + 1);
}

SumsWhen sums_when(const Viewer *viewer, const KeptSums *kept) {
    SelectionRect rect;
    if (!grid_selection(viewer, &rect) || selection_cells(rect) <= 1) return SUMS_NONE;
    if (kept->valid && same_rect(kept->rect, rect)) return SUMS_KEPT;
    if (kept->refused && same_rect(kept->refused_rect, rect)) return SUMS_NONE;
    return selection_cells(rect) <= SUMS_AT_ONCE_CELLS ? SUMS_NOW : SUMS_LATER;
}

void sums_keep(KeptSums *kept, const SelectionRect &rect, const char *text, size_t len) {
    size_t keep = len;
    if (keep > SUMS_TEXT_MAX) keep = utf8_char_floor(text, len, SUMS_TEXT_MAX);
    memcpy(kept->text, text, keep);
    kept->text[keep] = '\0';
    if (keep < len) strcat(kept->text, "\xE2\x80\xA6");
    kept->rect = rect;
    kept->valid = true;
}

int sums_work_out(const Viewer *viewer, KeptSums *kept) {
    SelectionRect rect;
    if (!grid_selection(viewer, &rect)) return 0;
    StrBuf out;
    if (!sb_init(&out)) return 0;
    const bool made =
        selection_sums_text(viewer, rect.r0, rect.r1, rect.c0, rect.c1, &out) && !out.failed;
    if (made) sums_keep(kept, rect, out.data, out.len);
    sb_drop(&out);
    return made ? 1 : 0;
}

void sums_forget(KeptSums *kept) {
    kept->valid = false;
    kept->refused = false;
}

void sums_refuse(KeptSums *kept, const SelectionRect &rect) {
    kept->refused = true;
    kept->refused_rect = rect;
}

const char *sums_shown(const Viewer *viewer, const KeptSums *kept) {
    switch (sums_when(viewer, kept)) {
    case SUMS_KEPT: return kept->text;
    case SUMS_NONE: return nullptr;
    default: return "Count \xE2\x80\xA6";
    }
}
