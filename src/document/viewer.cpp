// Disposal of a Viewer record's owned blocks.
#include "document/viewer.h"

#include "base/mem.h"

#include <stdlib.h>
#include <string.h>

void viewer_take_document(Viewer *to, Viewer *from) {
    to->buf = from->buf;
    to->buf_len = from->buf_len;
    to->sql = from->sql;
    to->info = from->info;
    to->copy_line = from->copy_line;
    to->rows = from->rows;
    to->row_count = from->row_count;
    memcpy(to->col_names, from->col_names, sizeof to->col_names);
    to->col_count = from->col_count;
    to->col_types = from->col_types;
    memcpy(to->status, from->status, sizeof to->status);
    to->full_sql = nullptr;
    to->cur_row = to->cur_col = 0;
    to->anchor_row = to->anchor_col = 0;
    to->order = RowOrder{};
    from->buf = nullptr;
    from->copy_line = nullptr;
    from->rows = nullptr;
    from->col_types = nullptr;
}

void viewer_free_blocks(Viewer *viewer) {
    mem_free(viewer->full_sql);
    mem_free(viewer->rows);
    mem_free(viewer->copy_line);
    mem_free(viewer->buf);
    mem_free(viewer->col_types);
    viewer->col_types = nullptr;
    viewer->full_sql = nullptr;
    viewer->rows = nullptr;
    viewer->copy_line = nullptr;
    viewer->buf = nullptr;
    viewer_free_order(viewer);
}

void viewer_free_order(Viewer *viewer) {
    mem_free(viewer->order.shown);
    mem_free(viewer->order.sorted);
    viewer->order = RowOrder{};
}

void viewer_delete(Viewer *viewer) {
    if (!viewer) return;
    viewer_free_blocks(viewer);
    free(viewer);
}
