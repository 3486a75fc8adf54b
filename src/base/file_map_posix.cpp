// File maps on POSIX systems (the native build and its tests): a file up to FILE_HELD_MOST read
// with pread into anonymous pages, which read as zeros until written and cost nothing until
// touched; a bigger one mmap'ed whole, its handle null.
#include "base/file_map.h"

#include "base/held_file.h"
#include "base/utf8.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A held file: `fd` is open (>= 0) until the file is read whole.
struct Held {
    HeldFile file;
    int fd;
};

int64_t read_at(void *fd, uint64_t at, char *into, uint64_t n) {
    for (;;) {
        ssize_t got = pread(*static_cast<int *>(fd), into, n, static_cast<off_t>(at));
        if (got >= 0) return got;
        if (errno != EINTR) return -1;
    }
}

bool hold(FileMap *map, int fd, uint64_t len) {
    Held *h = static_cast<Held *>(calloc(1, sizeof(Held)));
    void *bytes = h ? mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0)
                    : MAP_FAILED;
    if (bytes == MAP_FAILED) {
        free(h);
        return false;
    }
    h->file.bytes = static_cast<char *>(bytes);
    h->file.len = len;
    h->fd = fd;
    map->bytes = h->file.bytes;
    map->len = len;
    map->handle = h;
    return true;
}

} // namespace

int file_map_open(FileMap *map, const char *path) {
    *map = FileMap{};
    if (!path) return 0;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return 0;
    }
    uint64_t len = static_cast<uint64_t>(st.st_size);
    if (len > 0 && len <= FILE_HELD_MOST && hold(map, fd, len)) return 1;
    void *bytes = nullptr;
    if (len > 0) {
        bytes = mmap(nullptr, len, PROT_READ, MAP_SHARED, fd, 0);
        if (bytes == MAP_FAILED) {
            close(fd);
            return 0;
        }
    }
    close(fd); // the mapping keeps the file
    map->bytes = static_cast<const char *>(bytes);
    map->len = len;
    return 1;
}

int file_map_open_wide(FileMap *map, const uint16_t *path) {
    *map = FileMap{};
    if (!path) return 0;
    size_t units = 0;
    while (path[units]) ++units;
    size_t room = 3 * units + 1;
    char *utf8 = static_cast<char *>(malloc(room));
    if (!utf8) return 0;
    utf16_to_utf8(path, units, utf8, room);
    int opened = file_map_open(map, utf8);
    free(utf8);
    return opened;
}

void file_map_close(FileMap *map) {
    Held *h = static_cast<Held *>(map->handle);
    if (h) {
        if (h->fd >= 0) close(h->fd);
        munmap(h->file.bytes, h->file.len);
        free(h);
    } else if (map->bytes) {
        munmap(const_cast<char *>(map->bytes), map->len);
    }
    *map = FileMap{};
}

uint64_t file_map_ready(const FileMap *map) {
    const Held *h = static_cast<const Held *>(map->handle);
    return h ? held_ready(&h->file) : map->len;
}

uint64_t file_map_fill(FileMap *map, uint64_t upto) {
    Held *h = static_cast<Held *>(map->handle);
    if (!h) return map->len;
    if (h->fd < 0) return h->file.len;
    uint64_t ready = held_fill(&h->file, upto, read_at, &h->fd);
    if (ready == h->file.len) {
        close(h->fd);
        h->fd = -1;
    }
    return ready;
}

int file_map_failed(const FileMap *map) {
    const Held *h = static_cast<const Held *>(map->handle);
    return h ? held_failed(&h->file) : 0;
}

void file_map_release_guard(void) {}
