// The per-window record: one loaded dump document, its view state and its window handles.
#pragma once

#include "base/file_map.h"
#include "document/column_types.h"
#include "document/row_index.h"

#include <stdint.h>

// MAX_COLS: name slots for the header line's columns. MAX_TABLE_COLS: the most columns a
// PostgreSQL table can have, so no real dump holds a row with more fields; a crafted row with tens
// of thousands would make the grid create as many list-view columns and freeze the host, so a
// column count taken from a row stops there.
enum { MAX_COLS = 256, MAX_TABLE_COLS = 1600, STATUS_LEN = 600 };

enum { TAB_DATA = 1, TAB_SQL = 2, TAB_INFO = 3, TAB_FULLSQL = 4 };

// The order the grid shows the rows in (grid/shown_rows.h reads it; work/grid_order.h makes it).
enum SortDir : uint8_t { SORT_NONE, SORT_ASC, SORT_DESC };

// One sort key: a column and its direction (never SORT_NONE in an order's keys).
struct OrderKey {
    int32_t col;
    SortDir dir;
};
enum { ORDER_KEYS_MAX = 8 };

// An order is made for the rows counted when it was made, file rows 0 .. rows - 1, and reads no
// row past them however many are counted since: a count that grows never changes what an order
// means. `shown` holds shown_count of those rows, each once: the ones a filter lets through (all
// of them without one), in the keys' order (file order without keys). `sorted` holds all `rows`
// of them in the keys' order while keys and a filter hold together, so that a new filter narrows
// it again without sorting; it is null otherwise. A zeroed RowOrder is file order with no filter:
// `shown` null, and the grid shows every row counted. Both blocks come from the allocation seam
// and belong to the record; the record's order changes only on the window thread, by installing a
// whole new order (work/grid_order.h), never by writing into the one shown.
struct RowOrder {
    int32_t rows;
    int32_t *shown;
    int32_t shown_count;
    int32_t *sorted;
    OrderKey keys[ORDER_KEYS_MAX];
    int32_t key_count;
    uint8_t filtered;
};

// The direction column `col` sorts in among the order's keys: SORT_NONE when it is no key.
inline SortDir order_dir_of(const RowOrder *order, int32_t col) {
    for (int32_t k = 0; k < order->key_count; ++k)
        if (order->keys[k].col == col) return order->keys[k].dir;
    return SORT_NONE;
}

// How far the load has come: a file is counted in steps (document/dump_scan.h), and the record
// shows what was found so far.
enum LoadState : uint8_t {
    LOAD_COUNTING, // rows are still being found
    LOAD_DONE,     // every row is known
};

// One record per open viewer window, created zero-filled.
//
// Ownership: the record owns these, all through the allocation seam but the map:
//   map        the file, mapped read-only (base/file_map.h): `buf` is its bytes
//   rows       where each row starts (document/row_index.h), 8 bytes a row
//   copy_line  a whole copy of the data block's header line, NUL-terminated
//   names      a second copy of it, cut by NULs into the column names
//   full_sql   the composed Full SQL script, null until first composed
//   col_types  each column's type (col_count entries), null when there are no columns
//   order.shown, order.sorted  the grid's order while a sort or a filter holds (RowOrder)
// sql and info point into buf, with their lengths: nothing in the file is written, and nothing
// ends them but their length. col_names point into `names`. viewer_free_blocks() is the one place
// that frees the owned blocks; nothing else frees them by hand.
//
// Invariants after a load has begun: buf is the whole file (buf_len bytes, no NUL after them);
// row r's line is [row_start(r), row_end(r)) (document/rows.h), the rows lying one after another
// in buf, each line followed by its line feed (the last possibly by the block's end); 0 <=
// row_count <= ROWS_MAX, and the index holds row_count + 1 entries; 0 <= col_count <=
// MAX_TABLE_COLS, and col_count may exceed MAX_COLS when it comes from the first row's field
// count, in which case only the first MAX_COLS columns have name slots; rows may hold more fields
// than col_count (the grid shows the first col_count); 0 <= cur_row, anchor_row < row_count when
// row_count > 0. While `load` is LOAD_COUNTING another thread may add entries to `rows` beyond
// row_count + 1; everything else changes on the window thread only. Work on other threads reads a
// copy of the record taken on the window thread (work/job.h): every block a copy points at stays
// unchanged below what the copy counts until the work has ended.
//
// The window fields are opaque pointer-sized values here; only the Windows side interprets them,
// so this header needs no platform header. Everything else of the windows (the find bar, the
// scroll positions) lives in records of the Windows side, beside the window that owns it.
struct Viewer {
    const char *buf;
    int64_t buf_len;
    const char *sql;
    const char *info;
    char *copy_line;
    RowIndex rows;
    int32_t row_count;
    char *col_names[MAX_COLS];
    int32_t col_count;
    int32_t tab;
    char *full_sql;
    int32_t cur_row, cur_col;
    int32_t anchor_row, anchor_col;
    char status[STATUS_LEN];
    void *grid, *edit;
    void *grid_proc, *edit_proc;
    ColumnType *col_types;
    RowOrder order;
    FileMap map;
    size_t sql_len, info_len;
    char *names;
    LoadState load;
    uint8_t rows_capped; // the file holds more rows than ROWS_MAX: the first ROWS_MAX show
    uint8_t read_failed; // a part of the file could not be read: what was read shows
    // The viewer's long work and count (work/viewer_work.h): made and freed by the Windows side
    // (or a test playing it), which is the only reader; not a document block.
    struct ViewerWork *work;
};

// Moves the document (every field but the tab, the cursor, the window fields and the order) from
// `from` into `to`, which must own no blocks, clears to's full_sql, puts its cursor and anchor at
// (0, 0) and its rows in file order. The blocks then belong to `to`; `from` owns none. The tab and
// the window fields of `to` stay.
void viewer_take_document(Viewer *to, Viewer *from);

// Frees full_sql, the row index, copy_line, names and col_types, closes the map, frees the grid's
// order, and empties the document's fields (the rows then show in file order); the record itself,
// its tab, cursor and window fields stay. Safe on a record that owns nothing.
void viewer_free_blocks(Viewer *viewer);

// Frees the grid's order and puts the rows back in file order, unsorted and unfiltered.
void viewer_free_order(Viewer *viewer);

// Frees the record's owned blocks, then the record. A null record does nothing.
void viewer_delete(Viewer *viewer);
