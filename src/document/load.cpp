// Loader: the scan finds the sections and the rows' starts in the file's own bytes; adopting what
// it found copies the header line (twice: whole, and cut into the names) and writes the status.
#include "document/load.h"

#include "base/mem.h"
#include "base/thousands.h"
#include "document/fields.h"
#include "document/header_line.h"
#include "document/read_step.h"
#include "document/rows.h"

#include <stdio.h>
#include <string.h>

namespace {

// The header line [line, line + len) copied whole into copy_line and cut into the column names.
// Returns 0 when the memory cannot be had (then neither copy is kept).
int take_header(Viewer *v, const char *line, size_t len) {
    char *whole = static_cast<char *>(mem_alloc(len + 1));
    if (!whole) return 0;
    char *names = static_cast<char *>(mem_alloc(len + 1));
    if (!names) {
        mem_free(whole);
        return 0;
    }
    memcpy(whole, line, len);
    whole[len] = '\0';
    memcpy(names, whole, len + 1);
    v->copy_line = whole;
    v->names = names;
    v->col_count = cut_column_names(names, len, v->col_names);
    return 1;
}

// Each column's type from the SQL section's CREATE TABLE statement, for the columns with name
// slots; the columns past them are text. Returns 0 when the memory cannot be had.
int read_types(Viewer *v) {
    if (v->col_count <= 0) return 1;
    ColumnType *types = static_cast<ColumnType *>(
        mem_alloc(static_cast<size_t>(v->col_count) * sizeof(ColumnType)));
    if (!types) return 0;
    for (int32_t c = 0; c < v->col_count; ++c) types[c] = ColumnType{KIND_TEXT, ""};
    int32_t named = v->col_count < MAX_COLS ? v->col_count : MAX_COLS;
    read_column_types(v->sql, v->sql_len, v->copy_line, v->col_names, named, types);
    v->col_types = types;
    return 1;
}

// The sections whose ends are known.
void adopt_sections(Viewer *v, const DumpScan *s) {
    const int k[2] = {SECTION_SQL, SECTION_INFO};
    const char **text[2] = {&v->sql, &v->info};
    size_t *len[2] = {&v->sql_len, &v->info_len};
    for (int i = 0; i < 2; ++i) {
        if (*text[i] || s->start[k[i]] < 0 || !s->ended[k[i]]) continue;
        *text[i] = s->bytes + s->start[k[i]];
        *len[i] = static_cast<size_t>(s->end[k[i]] - static_cast<uint64_t>(s->start[k[i]]));
    }
}

// `s`, when given, is the scan the record was brought up to: while it still looks for the rows,
// the status says how far it has read.
void write_status(Viewer *v, const DumpScan *s = nullptr) {
    const bool done = v->load == LOAD_DONE;
    if (!v->copy_line && (done || !s)) {
        snprintf(v->status, sizeof v->status, "%s",
                 done ? "object (SQL only)" : "counting\xE2\x80\xA6");
        return;
    }
    if (!v->copy_line) {
        char read[32], of[32];
        format_thousands(read, sizeof read, s->pos / 1000000);
        format_thousands(of, sizeof of, (s->len + 999999) / 1000000);
        snprintf(v->status, sizeof v->status,
                 "counting\xE2\x80\xA6 looking for the rows: %s of %s MB read", read, of);
        return;
    }
    char name[TABLE_NAME_MAX + 1];
    table_name_of(v->names, name);
    format_status(v->status, name, v->row_count, done ? STATUS_COUNTED : STATUS_COUNTING);
    size_t used = strlen(v->status);
    if (v->rows_capped)
        snprintf(v->status + used, sizeof v->status - used, " (the file holds more)");
    used = strlen(v->status);
    if (v->read_failed)
        snprintf(v->status + used, sizeof v->status - used,
                 "   \xE2\x80\x94   the file could not be read whole");
}

} // namespace

int load_begin(Viewer *viewer, FileMap *map, DumpScan *scan) {
    if (!map->bytes || map->len < DUMP_MAGIC_LEN ||
        file_map_fill(map, DUMP_MAGIC_LEN) < DUMP_MAGIC_LEN ||
        memcmp(map->bytes, DUMP_MAGIC, DUMP_MAGIC_LEN) != 0)
        return 0;
    // Each row takes a line feed at least, so the file's length bounds the index.
    int64_t most = map->len < static_cast<uint64_t>(ROWS_MAX) ? static_cast<int64_t>(map->len)
                                                              : int64_t{ROWS_MAX};
    RowIndex rows;
    if (!row_index_init(&rows, most + 2)) return 0;
    viewer->map = *map;
    *map = FileMap{};
    viewer->buf = viewer->map.bytes;
    viewer->buf_len = static_cast<int64_t>(viewer->map.len);
    viewer->rows = rows;
    viewer->load = LOAD_COUNTING;
    snprintf(viewer->status, sizeof viewer->status, "%s", "counting\xE2\x80\xA6");
    scan_begin(scan, viewer->buf, viewer->map.len, &viewer->rows);
    return 1;
}

int load_adopt(Viewer *v, const DumpScan *s) {
    adopt_sections(v, s);
    if (scan_has_header(s) && !v->copy_line) {
        const char *line = s->bytes + s->start[SECTION_DATA];
        if (!take_header(
                v, line,
                static_cast<size_t>(s->header_end - static_cast<uint64_t>(s->start[SECTION_DATA]))))
            return 0;
    }
    int64_t rows = s->rows_found;
    v->row_count = static_cast<int32_t>(rows);
    v->rows_capped = s->capped;
    v->read_failed = v->read_failed || file_map_failed(&v->map);
    const bool done = s->phase == SCAN_DONE;
    // Without names the first row's fields make the columns; the types need the SQL section whole.
    if (v->copy_line && v->col_count == 0 && v->row_count > 0)
        v->col_count = field_count(row_start(v, 0), row_end(v, 0), MAX_TABLE_COLS);
    if (v->col_count > 0 && !v->col_types && (v->sql || done) && !read_types(v)) return 0;
    if (done) v->load = LOAD_DONE;
    write_status(v, s);
    return 1;
}

int load_note_failure(Viewer *viewer) {
    if (viewer->read_failed || !file_map_failed(&viewer->map)) return 0;
    viewer->read_failed = 1;
    write_status(viewer);
    return 1;
}

// load_map's steps: each read while the bytes it scans are still in the processor's cache.
const uint64_t LOAD_STEP = 1u << 20;

int load_map(Viewer *viewer, FileMap *map) {
    // Built in a record of its own and moved over only when nothing can fail any more, so a
    // refused load leaves `viewer` untouched.
    Viewer p{};
    DumpScan scan;
    if (!load_begin(&p, map, &scan)) return 0;
    while (read_step(&scan, &p.map, LOAD_STEP)) {
    }
    if (scan.no_memory || !load_adopt(&p, &scan)) {
        *map = p.map; // the caller's again
        p.map = FileMap{};
        viewer_free_blocks(&p);
        return 0;
    }
    viewer_take_document(viewer, &p);
    return 1;
}

int load_file(Viewer *viewer, const char *path) {
    FileMap map;
    if (!file_map_open(&map, path)) return 0;
    int loaded = load_map(viewer, &map);
    if (!loaded) file_map_close(&map);
    return loaded;
}
