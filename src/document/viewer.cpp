// Disposal of a Viewer record's owned blocks, and moving a document from one record to another.
#include "document/viewer.h"

#include "base/mem.h"

#include <stdlib.h>
#include <string.h>

// The fields a load fills: everything but the tab, the cursor, the window fields and the order.
static void move_document(Viewer *to, Viewer *from) {
    to->buf = from->buf;
    to->buf_len = from->buf_len;
    to->sql = from->sql;
    to->sql_len = from->sql_len;
    to->info = from->info;
    to->info_len = from->info_len;
    to->copy_line = from->copy_line;
    to->names = from->names;
    to->rows = from->rows;
    to->row_count = from->row_count;
    memcpy(to->col_names, from->col_names, sizeof to->col_names);
    to->col_count = from->col_count;
    to->col_types = from->col_types;
    memcpy(to->status, from->status, sizeof to->status);
    to->map = from->map;
    to->load = from->load;
    to->rows_capped = from->rows_capped;
    to->read_failed = from->read_failed;
}

void viewer_take_document(Viewer *to, Viewer *from) {
    move_document(to, from);
    to->full_sql = nullptr;
    to->cur_row = to->cur_col = 0;
    to->anchor_row = to->anchor_col = 0;
    to->order = RowOrder{};
    Viewer empty{};
    move_document(from, &empty);
}

void viewer_free_blocks(Viewer *viewer) {
    mem_free(viewer->full_sql);
    viewer->full_sql = nullptr;
    row_index_free(&viewer->rows);
    mem_free(viewer->copy_line);
    mem_free(viewer->names);
    mem_free(viewer->col_types);
    file_map_close(&viewer->map);
    Viewer empty{};
    move_document(viewer, &empty);
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
