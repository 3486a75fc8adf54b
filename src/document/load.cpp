// Loader: reads the file once, then cuts sections, header, names and rows in place with NULs.
#include "document/load.h"

#include "document/header_line.h"
#include "base/mem.h"

#include <stdio.h>
#include <string.h>

namespace {

// Length of an open file, or -1. Never truncated to 32 bits, so a 4 GiB + 100 byte file is seen
// as such and refused rather than read as 100 bytes.
int64_t file_length(FILE *f) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
    int64_t n = _ftelli64(f);
    if (_fseeki64(f, 0, SEEK_SET) != 0) return -1;
#else
    if (fseeko(f, 0, SEEK_END) != 0) return -1;
    int64_t n = ftello(f);
    if (fseeko(f, 0, SEEK_SET) != 0) return -1;
#endif
    return n;
}

// The whole file plus a NUL, or null.
char *read_whole_file(const char *path, int32_t *len_out) {
    FILE *f = fopen(path, "rb");
    if (!f) return nullptr;
    int64_t len = file_length(f);
    if (len < DUMP_MAGIC_LEN || len > DUMP_MAX_LEN) {
        fclose(f);
        return nullptr;
    }
    char *buf = static_cast<char *>(mem_alloc(static_cast<size_t>(len) + 1));
    if (!buf) {
        fclose(f);
        return nullptr;
    }
    size_t got = fread(buf, 1, static_cast<size_t>(len), f);
    fclose(f);
    if (got != static_cast<size_t>(len)) {
        mem_free(buf);
        return nullptr;
    }
    buf[len] = '\0';
    *len_out = static_cast<int32_t>(len);
    return buf;
}

const char *const SECTION_MARKERS[3] = {"\x01[SQL]\n", "\x01[INFO]\n", "\x01[DATA]\n"};
enum { SEC_SQL, SEC_INFO, SEC_DATA };

// Finds the first occurrence of each marker in [text, end) in one pass over the 0x01 bytes, and
// stores where each section's text starts (null when its marker is absent).
void find_sections(char *text, char *end, char *starts[3]) {
    size_t lens[3];
    for (int i = 0; i < 3; ++i) {
        starts[i] = nullptr;
        lens[i] = strlen(SECTION_MARKERS[i]);
    }
    int found = 0;
    char *p = text;
    while (found < 3 && p < end) {
        p = static_cast<char *>(memchr(p, '\x01', static_cast<size_t>(end - p)));
        if (!p) break;
        for (int i = 0; i < 3; ++i) {
            if (starts[i] || static_cast<size_t>(end - p) < lens[i]) continue;
            if (memcmp(p, SECTION_MARKERS[i], lens[i]) == 0) {
                starts[i] = p + lens[i];
                ++found;
                break;
            }
        }
        ++p;
    }
}

// SQL and INFO run to the next 0x01 byte; it becomes the NUL that ends them. Returns the cut
// position, or null.
char *cut_at_next_marker(char *section) {
    if (!section) return nullptr;
    char *next = strchr(section, '\x01');
    if (next) *next = '\0';
    return next;
}

// The end of the text (its first NUL; the buffer's own when the file holds none) and the number
// of line feeds before it, found in one walk from line feed to line feed.
char *scan_text(char *buf, size_t *line_feeds) {
    size_t lf = 0;
    char *p = buf;
    for (char *next; (next = strchr(p, '\n')); p = next + 1) ++lf;
    *line_feeds = lf;
    return p + strlen(p);
}

// Splits the data block's lines after the header into rows, cutting each at its line feed.
// Returns 0 when the row array cannot be had.
//
// The array is sized once from `max_rows`, a bound from the line feeds counted beforehand: growing
// it by doubling would hold the old and the new array at once while moving, up to 16 bytes a row
// on top of the file, where this costs 8 bytes a row.
int split_rows(Viewer *p, char *first, char *end, size_t max_rows) {
    char **rows = static_cast<char **>(mem_alloc((max_rows ? max_rows : 1) * sizeof(char *)));
    if (!rows) return 0;
    size_t count = 0;
    char *line = first;
    while (line && line < end) {
        char *lf = static_cast<char *>(memchr(line, '\n', static_cast<size_t>(end - line)));
        if (lf) *lf = '\0';
        size_t line_len = static_cast<size_t>((lf ? lf : end) - line);
        if (line_len == 2 && line[0] == '\\' && line[1] == '.') break;
        rows[count++] = line;
        line = lf ? lf + 1 : nullptr;
    }
    p->rows = rows;
    p->row_count = static_cast<int32_t>(count);
    return 1;
}

// Fields of a row line, counted up to MAX_TABLE_COLS.
int32_t count_fields(const char *row) {
    int32_t n = 1;
    for (const char *t = strchr(row, '\t'); t && n < MAX_TABLE_COLS; t = strchr(t + 1, '\t')) ++n;
    return n;
}

// Each column's type from the SQL section's CREATE TABLE statement, for the columns with name
// slots; the columns past them are text. Returns 0 when the memory cannot be had.
int read_types(Viewer *p) {
    if (p->col_count <= 0) return 1;
    p->col_types = static_cast<ColumnType *>(
        mem_alloc(static_cast<size_t>(p->col_count) * sizeof(ColumnType)));
    if (!p->col_types) return 0;
    for (int32_t c = 0; c < p->col_count; ++c) p->col_types[c] = ColumnType{KIND_TEXT, ""};
    int32_t named = p->col_count < MAX_COLS ? p->col_count : MAX_COLS;
    read_column_types(p->sql, p->copy_line, p->col_names, named, p->col_types);
    return 1;
}

// Header line, names, rows and status from the data text [data, end), which holds at most
// `max_rows` lines. Returns 0 when memory for the header line's copy or the row array cannot be
// had.
int parse_data_block(Viewer *p, char *data, char *end, size_t max_rows) {
    char *lf = static_cast<char *>(memchr(data, '\n', static_cast<size_t>(end - data)));
    size_t header_len = static_cast<size_t>((lf ? lf : end) - data);
    if (lf) *lf = '\0';

    p->copy_line = static_cast<char *>(mem_alloc(header_len + 1));
    if (!p->copy_line) return 0;
    memcpy(p->copy_line, data, header_len);
    p->copy_line[header_len] = '\0';

    p->col_count = cut_column_names(data, header_len, p->col_names);

    if (!split_rows(p, lf ? lf + 1 : nullptr, end, max_rows)) return 0;

    if (p->col_count == 0 && p->row_count > 0) p->col_count = count_fields(p->rows[0]);
    if (!read_types(p)) return 0;

    char name[TABLE_NAME_MAX + 1];
    table_name_of(data, name);
    format_status(p->status, name, p->row_count);
    return 1;
}

} // namespace

int load_file(Viewer *viewer, const char *path) {
    if (!path) return 0;
    // Built in a record of its own and moved over only when nothing can fail any more, so a
    // refused load leaves `viewer` untouched.
    Viewer p{};
    p.buf = read_whole_file(path, &p.buf_len);
    if (!p.buf) return 0;
    if (memcmp(p.buf, DUMP_MAGIC, DUMP_MAGIC_LEN) != 0) {
        mem_free(p.buf);
        return 0;
    }

    // A NUL inside the file ends the text for every search. Every row is a line of the text, so
    // its line feeds bound the row count.
    size_t line_feeds = 0;
    char *text_end = scan_text(p.buf, &line_feeds);
    char *starts[3];
    find_sections(p.buf, text_end, starts);
    p.sql = starts[SEC_SQL];
    p.info = starts[SEC_INFO];
    char *data = starts[SEC_DATA];

    // The data block is not cut at a 0x01 itself, but a cut that ends SQL or INFO may fall inside
    // it, and then the block ends there.
    char *data_end = text_end;
    char *cuts[2] = {cut_at_next_marker(p.sql), cut_at_next_marker(p.info)};
    for (char *cut : cuts)
        if (data && cut && cut >= data && cut < data_end) data_end = cut;

    if (!data) {
        snprintf(p.status, sizeof p.status, "%s", "object (SQL only)");
    } else if (!parse_data_block(&p, data, data_end, line_feeds + 1)) {
        viewer_free_blocks(&p);
        return 0;
    }
    viewer_take_document(viewer, &p);
    return 1;
}
