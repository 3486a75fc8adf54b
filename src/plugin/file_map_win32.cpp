// File maps on Windows: the file mapped read-only in views of CHUNK bytes laid one after another,
// and a guard against reads that fail. A mapped file can fail to read at any page (a network share
// that goes away, a drive pulled, a file cut short under the viewer), and the system then raises
// an exception in whatever code touched the page, here inside the file manager's own process. A
// vectored handler catches those in our views: the chunk's view is cut short before the page that
// failed (at the allocation granularity, 64 KiB), the rest of the chunk becomes reserved address
// space whose pages read as zeros once touched, the map remembers that it failed, and the read goes
// on. A zero byte ends the text, so the loader stops there, and what was read before the failure
// still shows.
#include "base/file_map.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

namespace {

// 16 MiB a view: a 4 GiB file takes 256 of them, and a failure loses at most one chunk's worth of
// what was already read.
const uint64_t CHUNK = 16u << 20;

struct MapHandle {
    HANDLE file, mapping;
    char *base;
    uint64_t len;
    uint64_t span;   // address space the views are laid out in: a whole number of chunks
    bool chunked;    // one view a chunk; else one view of it all
    uint32_t chunks; // views, or 1
    volatile LONG failed;
    // Per chunk, the bytes its view still maps from the chunk's start: the chunk's size until a
    // read fails in it. Past them, to the chunk's end, one reservation of zero pages.
    uint64_t *good;
};

// The maps the handler looks after. A few viewers are open at a time; more maps than this are made
// unguarded rather than refused.
enum { GUARDED_MAX = 64 };
MapHandle *g_guarded[GUARDED_MAX];
SRWLOCK g_lock = SRWLOCK_INIT;
void *g_handler = nullptr;

// Where chunk k begins in the file, and its bytes (the last chunk is shorter).
uint64_t chunk_first(const MapHandle *m, uint32_t k) {
    return m->chunked ? static_cast<uint64_t>(k) * CHUNK : 0;
}
uint64_t chunk_size(const MapHandle *m, uint32_t k) {
    const uint64_t first = chunk_first(m, k);
    return m->chunked && m->len - first > CHUNK ? CHUNK : m->len - first;
}

bool inside(const MapHandle *m, ULONG_PTR at) {
    return at >= reinterpret_cast<ULONG_PTR>(m->base) &&
           at < reinterpret_cast<ULONG_PTR>(m->base) + m->len;
}

// Makes the stretch around `at` of a lost part [lo, hi) readable: its address space is reserved,
// and committed 64 KiB at a time as it is read, so a lost part costs nothing until touched and a
// read through it does not stop at every page.
bool commit_around(ULONG_PTR at, ULONG_PTR lo, ULONG_PTR hi) {
    const ULONG_PTR block = 64u << 10;
    ULONG_PTR from = at & ~(block - 1), to = from + block;
    if (from < lo) from = lo;
    if (to > hi) to = hi;
    return VirtualAlloc(reinterpret_cast<void *>(from), to - from, MEM_COMMIT, PAGE_READONLY) !=
           nullptr;
}

// The chunk's view cut short before the page at `at` failed; called with the lock held.
bool lose_from(MapHandle *m, ULONG_PTR at) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const uint64_t off = static_cast<uint64_t>(at - reinterpret_cast<ULONG_PTR>(m->base));
    const uint32_t k = m->chunked ? static_cast<uint32_t>(off / CHUNK) : 0;
    const uint64_t first = chunk_first(m, k), size = chunk_size(m, k);
    char *start = m->base + first;
    InterlockedExchange(&m->failed, 1);
    const uint64_t was = m->good[k];
    const ULONG_PTR end = reinterpret_cast<ULONG_PTR>(start + size);
    if (off - first >= was) // in the zero pages already
        return commit_around(at, reinterpret_cast<ULONG_PTR>(start + was), end);
    // A view and a reservation both begin at the allocation granularity.
    const uint64_t keep = (off - first) & ~static_cast<uint64_t>(info.dwAllocationGranularity - 1);
    if (!UnmapViewOfFile(start)) return false;
    if (was < size) VirtualFree(start + was, 0, MEM_RELEASE);
    // Another thread could take the stretch in between: then the read cannot go on.
    uint64_t now = 0;
    if (keep > 0 &&
        MapViewOfFileEx(m->mapping, FILE_MAP_READ, static_cast<DWORD>(first >> 32),
                        static_cast<DWORD>(first), static_cast<SIZE_T>(keep), start) == start)
        now = keep;
    m->good[k] = now;
    if (VirtualAlloc(start + now, static_cast<SIZE_T>(size - now), MEM_RESERVE, PAGE_READONLY) !=
        start + now)
        return false;
    return commit_around(at, reinterpret_cast<ULONG_PTR>(start + now), end);
}

LONG CALLBACK guard(EXCEPTION_POINTERS *e) {
    const EXCEPTION_RECORD *r = e->ExceptionRecord;
    if ((r->ExceptionCode != EXCEPTION_IN_PAGE_ERROR &&
         r->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) ||
        r->NumberParameters < 2 || r->ExceptionInformation[0] != 0) // reads only
        return EXCEPTION_CONTINUE_SEARCH;
    const ULONG_PTR at = r->ExceptionInformation[1];
    AcquireSRWLockExclusive(&g_lock);
    bool handled = false;
    for (MapHandle *m : g_guarded)
        if (m && inside(m, at)) {
            handled = lose_from(m, at);
            break;
        }
    ReleaseSRWLockExclusive(&g_lock);
    return handled ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

void guard_map(MapHandle *m) {
    AcquireSRWLockExclusive(&g_lock);
    if (!g_handler) g_handler = AddVectoredExceptionHandler(1, guard);
    for (MapHandle *&slot : g_guarded)
        if (!slot) {
            slot = m;
            break;
        }
    ReleaseSRWLockExclusive(&g_lock);
}

void unguard_map(MapHandle *m) {
    AcquireSRWLockExclusive(&g_lock);
    for (MapHandle *&slot : g_guarded)
        if (slot == m) slot = nullptr;
    ReleaseSRWLockExclusive(&g_lock);
}

// The views of every chunk at consecutive addresses: address space big enough is found, given
// back, and taken again view by view; another thread may take some of it in between, and then the
// attempt starts over elsewhere.
bool map_chunks(MapHandle *m) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        char *at = static_cast<char *>(VirtualAlloc(nullptr, m->span, MEM_RESERVE, PAGE_NOACCESS));
        if (!at) return false;
        VirtualFree(at, 0, MEM_RELEASE);
        uint32_t k = 0;
        for (; k < m->chunks; ++k) {
            uint64_t off = static_cast<uint64_t>(k) * CHUNK;
            SIZE_T size = static_cast<SIZE_T>(m->len - off < CHUNK ? m->len - off : CHUNK);
            void *view = MapViewOfFileEx(m->mapping, FILE_MAP_READ, static_cast<DWORD>(off >> 32),
                                         static_cast<DWORD>(off), size, at + off);
            if (view != at + off) break;
        }
        if (k == m->chunks) {
            m->base = at;
            return true;
        }
        while (k-- > 0) UnmapViewOfFile(at + static_cast<uint64_t>(k) * CHUNK);
    }
    return false;
}

bool map_file(FileMap *map, HANDLE file) {
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE) return false;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) {
        CloseHandle(file);
        return false;
    }
    MapHandle *m = static_cast<MapHandle *>(calloc(1, sizeof(MapHandle)));
    HANDLE mapping = m ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    if (!mapping) {
        free(m);
        CloseHandle(file);
        return false;
    }
    m->file = file;
    m->mapping = mapping;
    m->len = static_cast<uint64_t>(size.QuadPart);
    m->chunks = static_cast<uint32_t>((m->len + CHUNK - 1) / CHUNK);
    m->span = static_cast<uint64_t>(m->chunks) * CHUNK;
    m->good = static_cast<uint64_t *>(calloc(m->chunks, sizeof(uint64_t)));
    m->chunked = m->good && m->chunks > 1 && map_chunks(m);
    if (!m->chunked && m->good) {
        // One view of it all: a failure then loses everything after it is touched.
        m->chunks = 1;
        m->base = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
        m->span = m->len;
    }
    for (uint32_t k = 0; m->base && k < m->chunks; ++k) m->good[k] = chunk_size(m, k);
    if (!m->base) {
        free(m->good);
        free(m);
        CloseHandle(mapping);
        CloseHandle(file);
        return false;
    }
    guard_map(m);
    map->bytes = m->base;
    map->len = m->len;
    map->handle = m;
    return true;
}

// Others may read, write, rename and delete the file while it is viewed, as with any viewer.
const DWORD SHARE = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

int file_map_open(FileMap *map, const char *path) {
    *map = FileMap{};
    if (!path) return 0;
    return map_file(map, CreateFileA(path, GENERIC_READ, SHARE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
}

int file_map_open_wide(FileMap *map, const uint16_t *path) {
    *map = FileMap{};
    if (!path) return 0;
    const wchar_t *name = reinterpret_cast<const wchar_t *>(path);
    size_t len = wcslen(name);
    // A name of MAX_PATH or more opens only in the form that lifts the limit: "\\?\C:\..." for a
    // drive, "\\?\UNC\server\share\..." for a share.
    wchar_t *long_name = nullptr;
    if (len >= MAX_PATH - 12 && wcsncmp(name, L"\\\\?\\", 4) != 0) {
        bool drive = len > 2 && name[1] == L':' && (name[2] == L'\\' || name[2] == L'/');
        bool share = len > 2 && name[0] == L'\\' && name[1] == L'\\';
        if (drive || share) {
            long_name = static_cast<wchar_t *>(malloc((len + 9) * sizeof(wchar_t)));
            if (long_name) {
                wcscpy(long_name, share ? L"\\\\?\\UNC" : L"\\\\?\\");
                wcscat(long_name, share ? name + 1 : name);
                for (wchar_t *p = long_name + 4; *p; ++p)
                    if (*p == L'/') *p = L'\\';
                name = long_name;
            }
        }
    }
    int opened = map_file(map, CreateFileW(name, GENERIC_READ, SHARE, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    free(long_name);
    return opened;
}

void file_map_close(FileMap *map) {
    MapHandle *m = static_cast<MapHandle *>(map->handle);
    if (m) {
        unguard_map(m);
        for (uint32_t k = 0; k < m->chunks; ++k) {
            char *start = m->base + chunk_first(m, k);
            if (m->good[k] > 0) UnmapViewOfFile(start);
            if (m->good[k] < chunk_size(m, k)) VirtualFree(start + m->good[k], 0, MEM_RELEASE);
        }
        CloseHandle(m->mapping);
        CloseHandle(m->file);
        free(m->good);
        free(m);
    }
    *map = FileMap{};
}

int file_map_failed(const FileMap *map) {
    const MapHandle *m = static_cast<const MapHandle *>(map->handle);
    return m && m->failed;
}

void file_map_release_guard(void) {
    AcquireSRWLockExclusive(&g_lock);
    if (g_handler) RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
    ReleaseSRWLockExclusive(&g_lock);
}
