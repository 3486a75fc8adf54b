// The row index: a fixed directory of chunks taken one at a time as rows are found.
#include "document/row_index.h"

#include "base/mem.h"

#include <string.h>

int row_index_init(RowIndex *index, int64_t most) {
    *index = RowIndex{};
    if (most < 1) most = 1;
    int64_t chunks = (most + ROW_CHUNK - 1) / ROW_CHUNK;
    if (chunks > INT32_MAX) return 0;
    size_t bytes = static_cast<size_t>(chunks) * sizeof(const char **);
    index->chunks = static_cast<const char ***>(mem_alloc(bytes));
    if (!index->chunks) return 0;
    memset(index->chunks, 0, bytes);
    index->chunk_cap = static_cast<int32_t>(chunks);
    return 1;
}

int row_index_push(RowIndex *index, int64_t *count, const char *start) {
    const int64_t i = *count;
    const int64_t chunk = i >> ROW_CHUNK_BITS;
    if (chunk >= index->chunk_cap) return 0;
    if (!index->chunks[chunk]) {
        const char **fresh =
            static_cast<const char **>(mem_alloc(ROW_CHUNK * sizeof(const char *)));
        if (!fresh) return 0;
        index->chunks[chunk] = fresh;
    }
    index->chunks[chunk][i & (ROW_CHUNK - 1)] = start;
    *count = i + 1;
    return 1;
}

void row_index_free(RowIndex *index) {
    if (index->chunks)
        for (int32_t c = 0; c < index->chunk_cap; ++c) mem_free(index->chunks[c]);
    mem_free(index->chunks);
    *index = RowIndex{};
}
