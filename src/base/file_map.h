// A file's bytes mapped read-only into the address space: the viewer reads them where they lie,
// page by page as they are touched, and holds none of them as memory of its own. A dump of any size
// opens at once, and what the file manager's process keeps of it is what the system caches.
#pragma once

#include <stddef.h>
#include <stdint.h>

// `bytes` holds `len` bytes (null for an empty file); nothing follows them, so every read stays
// below bytes + len. `handle` is the platform's own and belongs to the map. A zeroed FileMap is
// closed.
struct FileMap {
    const char *bytes;
    uint64_t len;
    void *handle;
};

// Maps the file at `path` (the platform's 8-bit file name) for reading. Returns 1, or 0 when it
// cannot be opened or mapped (the map is then zeroed).
int file_map_open(FileMap *map, const char *path);

// The same for a file name in UTF-16, as Windows hands over names outside the 8-bit code page.
// Where the platform has no such names (POSIX), the name is converted to UTF-8.
int file_map_open_wide(FileMap *map, const uint16_t *path);

// Unmaps the file and zeroes the map; safe on a closed map.
void file_map_close(FileMap *map);

// Gives back what the platform set up for every map (on Windows, the handler that catches failed
// reads), for a module about to be unloaded; no map may be open then.
void file_map_release_guard(void);

// Whether a read of the mapping failed: the file shrank under the viewer, or the drive or share
// it lies on went away. The failed part then reads as zero bytes (which end the text where they
// begin) instead of taking the process down. Platforms that cannot notice say 0.
int file_map_failed(const FileMap *map);
