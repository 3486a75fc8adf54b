// A file's bytes where the viewer reads them. A file up to FILE_HELD_MOST bytes is read into memory
// of the map's own, a step at a time, and let go (its handle closed) once it is read whole, so that
// another program can overwrite, truncate or delete it while it is viewed. A bigger file is mapped
// read-only and read page by page as it is touched: the process keeps of it only what the system
// caches, and the file stays open until the map is closed.
#pragma once

#include <stddef.h>
#include <stdint.h>

// 256 MiB: what a file manager's process can spare for the file on view without a second thought,
// and more than most dumps hold.
enum : uint64_t { FILE_HELD_MOST = 256ull << 20 };

// `bytes` holds `len` bytes (null for an empty file) at an address that never changes while the map
// is open; nothing follows them, so every read stays below bytes + len. Of a held file only the
// first file_map_ready() bytes are the file's yet. `handle` is the platform's own and belongs to
// the map; a map whose handle is null (a closed map, or a test's bytes) has every byte ready. A
// zeroed FileMap is closed. Copies of an open map share its state: any of them may be filled,
// closed once.
struct FileMap {
    const char *bytes;
    uint64_t len;
    void *handle;
};

// Opens the file at `path` (the platform's 8-bit file name) for reading, sharing it with others
// for reading, writing and deleting: held, none of it read yet, or mapped. Returns 1, or 0 when it
// cannot be opened or mapped (the map is then zeroed).
int file_map_open(FileMap *map, const char *path);

// The same for a file name in UTF-16, as Windows hands over names outside the 8-bit code page.
// Where the platform has no such names (POSIX), the name is converted to UTF-8.
int file_map_open_wide(FileMap *map, const uint16_t *path);

// Closes the file if it is still open, gives back its bytes and zeroes the map; safe on a closed
// map. No other thread may read or fill the map then.
void file_map_close(FileMap *map);

// How many of the first bytes can be read now: len for a mapped file, the bytes read so far of a
// held one. Any thread may ask.
uint64_t file_map_ready(const FileMap *map);

// Reads a held file on until at least `upto` bytes (at most len) are ready, and closes its handle
// once it is read whole; returns the bytes ready. One thread at a time fills a map; others read
// only bytes below a count it handed them. A read that fails, or a file that is shorter now than
// when it was opened, ends the file there: the bytes past it stay zeros (a NUL ends the text) and
// count as ready, the handle is closed, and file_map_failed says so. A mapped map returns len.
uint64_t file_map_fill(FileMap *map, uint64_t upto);

// Gives back what the platform set up for every map (on Windows, the handler that catches failed
// reads), for a module about to be unloaded; no map may be open then.
void file_map_release_guard(void);

// Whether a read of the file failed: the file shrank under the viewer, or the drive or share it
// lies on went away. The failed part then reads as zero bytes (which end the text where they
// begin) instead of taking the process down. Platforms that cannot notice for a mapped file say 0.
int file_map_failed(const FileMap *map);
