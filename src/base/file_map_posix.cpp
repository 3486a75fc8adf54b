// File maps on POSIX systems (the native build and its tests): mmap of the whole file.
#include "base/file_map.h"

#include "base/utf8.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

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
    if (map->bytes) munmap(const_cast<char *>(map->bytes), map->len);
    *map = FileMap{};
}

int file_map_failed(const FileMap *) {
    return 0;
}

void file_map_release_guard(void) {}
