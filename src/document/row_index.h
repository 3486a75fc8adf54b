// Where each row of the data block starts: 8 bytes a row, in chunks that never move once written,
// so that a count going on in another thread can add rows while the grid reads those before them.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum { ROW_CHUNK_BITS = 16, ROW_CHUNK = 1 << ROW_CHUNK_BITS };

// The grid counts its rows in signed 32 bits: a file with more shows the first ROWS_MAX.
enum : int32_t { ROWS_MAX = 0x7FFFFFFF };

// `chunks` is a directory of `chunk_cap` entries, made whole when the index is made (for as many
// starts as the file can hold), each null until a chunk of ROW_CHUNK starts is taken for it, so
// the directory itself never moves either. Entry i of the index is where row i starts; the entry
// after a block's last row is where the row after it would start, so that a row's line is
// [start(i), start(i + 1) - 1), its line feed left out. The index itself is never written after
// it is made (the directory's entries and the chunks are), so a copy of it reads what was written
// before the copy was published: how many entries there are is the writer's to keep (the scan's
// `entries`), not the index's. Everything comes from the allocation seam; row_index_free releases
// it.
struct RowIndex {
    const char ***chunks;
    int32_t chunk_cap;
};

// Makes an empty index for up to `most` entries (at least 1). Returns 1, or 0 when the directory's
// memory cannot be had.
int row_index_init(RowIndex *index, int64_t most);

// Writes entry *count (the writer's count of entries written) and counts it. Returns 1, or 0 when
// the index is full or a chunk cannot be had (then nothing is written).
int row_index_push(RowIndex *index, int64_t *count, const char *start);

// Entry i, which must have been written.
inline const char *row_index_at(const RowIndex *index, int64_t i) {
    return index->chunks[i >> ROW_CHUNK_BITS][i & (ROW_CHUNK - 1)];
}

// Frees the chunks and the directory; safe on a zeroed index.
void row_index_free(RowIndex *index);
