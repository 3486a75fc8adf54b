// A file read into memory of its own a piece at a time: the part of the file map (file_map.h) that
// both platforms share, so that the native tests run the protocol the Windows module runs.
#pragma once

#include <stdint.h>

// Reads up to n bytes (n <= HELD_PIECE) of the platform's open file at offset `at` into `into`:
// returns the bytes read, 0 at the file's end, or -1 when the read failed.
typedef int64_t (*HeldRead)(void *file, uint64_t at, char *into, uint64_t n);

enum : uint64_t { HELD_PIECE = 4u << 20 }; // the most one read asks for

// `bytes` holds `len` bytes, zeros until read, owned by the platform's map. The first `ready` are
// the file's (or, once `failed`, the file's up to where the reads stopped and zeros after). The
// thread filling is the only one that writes the bytes and `ready`; any thread may load `ready`
// (held_ready) and read the bytes below what it loaded. A zeroed HeldFile of len bytes is unread.
struct HeldFile {
    char *bytes;
    uint64_t len;
    uint64_t ready;
    int failed;
};

// Reads on through `read` until `upto` bytes (at most len) are ready, no further, so that a step
// reads what it scans; returns the bytes ready, len once the whole file is read. A read that fails
// or finds the file's end early ends the file there: `failed` is set and every byte counts as
// ready.
uint64_t held_fill(HeldFile *file, uint64_t upto, HeldRead read, void *platform_file);

inline uint64_t held_ready(const HeldFile *file) {
    return __atomic_load_n(&file->ready, __ATOMIC_ACQUIRE);
}

inline int held_failed(const HeldFile *file) {
    return __atomic_load_n(&file->failed, __ATOMIC_ACQUIRE);
}
