// The dump container loader: one file into the document fields of a Viewer record.
#pragma once

#include "document/viewer.h"

// The container starts with this magic; sections follow as "\x01[NAME]\n" markers.
#define DUMP_MAGIC "KMZTAB01"
enum { DUMP_MAGIC_LEN = 8 };

// Largest file taken: the length is held in a signed 32-bit field.
enum : int64_t { DUMP_MAX_LEN = 0x7FFFFFFF };

// Reads the dump container at `path` (an 8-bit file name) into `viewer`, which must own no blocks
// (a zeroed record, or one just emptied by viewer_free_blocks). Returns 1 when loaded: buf, sql,
// info, copy_line, rows, col_names, col_count, col_types and status are set, full_sql is null and
// cursor and
// anchor are (0, 0). Returns 0 when the file cannot be read whole, is 7 bytes or shorter, is
// 2 GiB or longer, lacks the magic, or memory for any owned block cannot be had; the record is
// then unchanged and nothing stays allocated.
int load_file(Viewer *viewer, const char *path);
