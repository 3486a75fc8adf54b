// Filling a held file: pieces read one after another, `ready` published after each.
#include "base/held_file.h"

uint64_t held_fill(HeldFile *file, uint64_t upto, HeldRead read, void *platform_file) {
    uint64_t ready = file->ready;
    if (upto > file->len) upto = file->len;
    while (ready < upto) {
        const uint64_t n = upto - ready < HELD_PIECE ? upto - ready : HELD_PIECE;
        const int64_t got = read(platform_file, ready, file->bytes + ready, n);
        if (got <= 0 || static_cast<uint64_t>(got) > n) {
            // The file ends here: what follows stays zeros, and a NUL ends the text.
            __atomic_store_n(&file->failed, 1, __ATOMIC_RELEASE);
            ready = file->len;
        } else {
            ready += static_cast<uint64_t>(got);
        }
        __atomic_store_n(&file->ready, ready, __ATOMIC_RELEASE);
    }
    return ready;
}
