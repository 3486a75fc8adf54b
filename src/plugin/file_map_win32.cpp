// File maps on Windows. A file up to file_map_seam.held_most bytes (FILE_HELD_MOST) is held: read
// into committed pages of the map's own as the count goes (base/held_file.h), its handle closed
// once it is read whole, so that the file can be overwritten or deleted while it is viewed.
//
// A bigger file is mapped read-only in views of CHUNK bytes laid one after another, and guarded
// against reads that fail. A mapped file can fail to read at any page (a network share that goes
// away, a drive pulled, a file cut short under the viewer), and the system then raises an exception
// in whatever code touched the page, here inside the file manager's own process. A vectored handler
// catches those in our views: the chunk's view is cut short before the page that failed (at the
// allocation granularity, 64 KiB), the rest of the chunk becomes reserved address space whose pages
// read as zeros once touched, the map remembers that it failed, and the read goes on. A zero byte
// ends the text, so the loader stops there, and what was read before the failure still shows.
//
// The handler is process-wide, so it acts only on faults in address space it can show is its own,
// and decides under its lock from what the address holds now: another thread may have cut or
// mapped the page again while this one waited.
#include "base/file_map.h"

#include "base/held_file.h"
#include "plugin/file_map_seam.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

FileMapSeam file_map_seam = {nullptr, nullptr, FILE_HELD_MOST};

namespace {

// 16 MiB a view: a 4 GiB file takes 256 of them, and a failure loses at most one chunk's worth of
// what was already read.
const uint64_t CHUNK = 16u << 20;

// What a chunk's stretch of address space holds for the map: its view maps the chunk's first
// `mapped` bytes (0: there is no view), and while `reserved` the rest of the stretch, to the
// chunk's end, is one reservation of ours whose pages read as zeros once committed. What is
// neither is not ours (a cut whose re-map failed after another thread took the address): it is
// never unmapped or freed.
struct Chunk {
    uint64_t mapped;
    bool reserved;
};

// One per open map, owned by it. A held file has `held.bytes` (committed pages of ours, len bytes)
// and `file` open until read whole. A mapped file has `file` and `mapping` open until the map is
// closed, its views at `base` (one a chunk when `chunked`, else one view of it all and `chunks` is
// 1), `chunk` describing each, and the guard looking after it; `failed` once a read failed.
struct MapHandle {
    HANDLE file, mapping;
    HeldFile held;
    char *base;
    uint64_t len;
    bool chunked;
    uint32_t chunks;
    volatile LONG failed;
    Chunk *chunk;
};

// The maps the handler looks after. A few viewers are open at a time; more maps than this are made
// unguarded rather than refused.
enum { GUARDED_MAX = 64 };
MapHandle *g_guarded[GUARDED_MAX];
SRWLOCK g_lock = SRWLOCK_INIT;
void *g_handler = nullptr;

// A fault at a page that reads when the handler looks at it is let go on once: the page was cut or
// mapped again by another thread meanwhile, or the failure passed. The same thread faulting there
// again with no cut in between means the page itself fails to read. Kept under g_lock.
struct Retry {
    DWORD thread;
    ULONG_PTR page;
    uint32_t cuts;
};
enum { RETRIES = 16 };
Retry g_retries[RETRIES];
uint32_t g_next_retry, g_cuts;

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

// Whether the page holding `at` can be read now: committed, readable and no guard page.
bool readable(ULONG_PTR at) {
    MEMORY_BASIC_INFORMATION mbi;
    if (VirtualQuery(reinterpret_cast<void *>(at), &mbi, sizeof mbi) == 0) return false;
    const DWORD reads = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                        PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    return mbi.State == MEM_COMMIT && (mbi.Protect & reads) &&
           !(mbi.Protect & (PAGE_GUARD | PAGE_NOACCESS));
}

// Whether this thread's fault at the page of `at` is its first there since the last cut; it is
// noted when it is.
bool first_try(ULONG_PTR at) {
    const DWORD thread = GetCurrentThreadId();
    const ULONG_PTR page = at & ~static_cast<ULONG_PTR>(4095);
    for (Retry &r : g_retries)
        if (r.thread == thread && r.page == page && r.cuts == g_cuts) {
            r = Retry{};
            return false;
        }
    g_retries[g_next_retry++ % RETRIES] = Retry{thread, page, g_cuts};
    return true;
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

// Reserves chunk k's stretch past its view as zero pages; false when another allocation holds
// some of it.
bool reserve_rest(MapHandle *m, uint32_t k) {
    char *from = m->base + chunk_first(m, k) + m->chunk[k].mapped;
    const SIZE_T size = static_cast<SIZE_T>(chunk_size(m, k) - m->chunk[k].mapped);
    return VirtualAlloc(from, size, MEM_RESERVE, PAGE_READONLY) == from;
}

// A read at `at` past chunk k's view: its zero pages are committed there, the stretch reserved
// again first when a cut could not keep it. Where someone else's allocation holds the stretch the
// read goes on only if the page reads.
bool zero_part_fault(MapHandle *m, uint32_t k, ULONG_PTR at) {
    Chunk &c = m->chunk[k];
    if (!c.reserved) c.reserved = reserve_rest(m, k);
    if (!c.reserved) return readable(at);
    const ULONG_PTR start = reinterpret_cast<ULONG_PTR>(m->base + chunk_first(m, k));
    return commit_around(at, start + c.mapped, start + chunk_size(m, k));
}

// Cuts chunk k's view short before the page at `at`, which failed to read though it is mapped:
// the view is unmapped, its part before that page mapped again at the same address, and the rest
// of the stretch reserved as zero pages. Another thread may take the address in between; what is
// not taken back then stays out of the chunk's record. Returns whether the read can go on.
bool cut(MapHandle *m, uint32_t k, ULONG_PTR at) {
    Chunk &c = m->chunk[k];
    char *start = m->base + chunk_first(m, k);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    // A view and a reservation both begin at the allocation granularity.
    const uint64_t keep = static_cast<uint64_t>(at - reinterpret_cast<ULONG_PTR>(start)) &
                          ~static_cast<uint64_t>(info.dwAllocationGranularity - 1);
    InterlockedExchange(&m->failed, 1);
    ++g_cuts;
    if (!UnmapViewOfFile(start)) return false;
    const uint64_t had = c.mapped;
    c.mapped = 0;
    if (c.reserved) VirtualFree(start + had, 0, MEM_RELEASE);
    c.reserved = false;
    if (file_map_seam.unmapped) file_map_seam.unmapped(start);
    if (keep > 0) {
        const uint64_t first = chunk_first(m, k);
        if (MapViewOfFileEx(m->mapping, FILE_MAP_READ, static_cast<DWORD>(first >> 32),
                            static_cast<DWORD>(first), keep, start) == start)
            c.mapped = keep;
    }
    return zero_part_fault(m, k, at);
}

// A read fault at `at` in map m; called with the lock held.
bool on_fault(MapHandle *m, ULONG_PTR at) {
    const uint64_t off = static_cast<uint64_t>(at - reinterpret_cast<ULONG_PTR>(m->base));
    const uint32_t k = m->chunked ? static_cast<uint32_t>(off / CHUNK) : 0;
    if (off - chunk_first(m, k) < m->chunk[k].mapped) {
        if (readable(at) && first_try(at)) return true;
        return cut(m, k, at);
    }
    return readable(at) || zero_part_fault(m, k, at);
}

LONG CALLBACK guard(EXCEPTION_POINTERS *e) {
    const EXCEPTION_RECORD *r = e->ExceptionRecord;
    if ((r->ExceptionCode != EXCEPTION_IN_PAGE_ERROR &&
         r->ExceptionCode != EXCEPTION_ACCESS_VIOLATION) ||
        r->NumberParameters < 2 || r->ExceptionInformation[0] != 0) // reads only
        return EXCEPTION_CONTINUE_SEARCH;
    const ULONG_PTR at = r->ExceptionInformation[1];
    if (file_map_seam.faulted) file_map_seam.faulted(reinterpret_cast<const void *>(at));
    AcquireSRWLockExclusive(&g_lock);
    bool handled = false;
    for (MapHandle *m : g_guarded)
        if (m && inside(m, at)) {
            handled = on_fault(m, at);
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
        char *at = static_cast<char *>(VirtualAlloc(
            nullptr, static_cast<uint64_t>(m->chunks) * CHUNK, MEM_RESERVE, PAGE_NOACCESS));
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

// The file mapped and guarded; false (with nothing of the mapping kept) when it cannot be.
bool map_file(MapHandle *m) {
    m->mapping = CreateFileMappingW(m->file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!m->mapping) return false;
    m->chunks = static_cast<uint32_t>((m->len + CHUNK - 1) / CHUNK);
    m->chunk = static_cast<Chunk *>(calloc(m->chunks, sizeof(Chunk)));
    m->chunked = m->chunk && m->chunks > 1 && map_chunks(m);
    if (!m->chunked && m->chunk) {
        // One view of it all: a failure then loses everything after it is touched.
        m->chunks = 1;
        m->base = static_cast<char *>(MapViewOfFile(m->mapping, FILE_MAP_READ, 0, 0, 0));
    }
    if (!m->base) {
        free(m->chunk);
        CloseHandle(m->mapping);
        return false;
    }
    for (uint32_t k = 0; k < m->chunks; ++k) m->chunk[k].mapped = chunk_size(m, k);
    guard_map(m);
    return true;
}

// The whole file's room in committed pages, which read as zeros until the file's bytes are read
// into them; false when the memory cannot be had (the file is mapped then).
bool hold_file(MapHandle *m) {
    void *bytes = VirtualAlloc(nullptr, m->len, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!bytes) return false;
    m->held.bytes = static_cast<char *>(bytes);
    m->held.len = m->len;
    return true;
}

int64_t read_at(void *file, uint64_t at, char *into, uint64_t n) {
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD got = 0;
    if (ReadFile(file, into, static_cast<DWORD>(n), &got, &where)) return got;
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
}

bool open_file(FileMap *map, HANDLE file) {
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE) return false;
    MapHandle *m = static_cast<MapHandle *>(calloc(1, sizeof(MapHandle)));
    if (!m || !GetFileSizeEx(file, &size) || size.QuadPart <= 0) {
        free(m);
        CloseHandle(file);
        return false;
    }
    m->file = file;
    m->len = static_cast<uint64_t>(size.QuadPart);
    if (!(m->len <= file_map_seam.held_most && hold_file(m)) && !map_file(m)) {
        free(m);
        CloseHandle(file);
        return false;
    }
    map->bytes = m->held.bytes ? m->held.bytes : m->base;
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
    return open_file(map, CreateFileA(path, GENERIC_READ, SHARE, nullptr, OPEN_EXISTING,
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
    int opened = open_file(map, CreateFileW(name, GENERIC_READ, SHARE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    free(long_name);
    return opened;
}

void file_map_close(FileMap *map) {
    MapHandle *m = static_cast<MapHandle *>(map->handle);
    if (m && m->held.bytes) {
        VirtualFree(m->held.bytes, 0, MEM_RELEASE);
    } else if (m) {
        unguard_map(m);
        for (uint32_t k = 0; k < m->chunks; ++k) {
            char *start = m->base + chunk_first(m, k);
            if (m->chunk[k].mapped > 0) UnmapViewOfFile(start);
            if (m->chunk[k].reserved) VirtualFree(start + m->chunk[k].mapped, 0, MEM_RELEASE);
        }
        CloseHandle(m->mapping);
        free(m->chunk);
    }
    if (m && m->file) CloseHandle(m->file);
    free(m);
    *map = FileMap{};
}

uint64_t file_map_ready(const FileMap *map) {
    const MapHandle *m = static_cast<const MapHandle *>(map->handle);
    return m && m->held.bytes ? held_ready(&m->held) : map->len;
}

uint64_t file_map_fill(FileMap *map, uint64_t upto) {
    MapHandle *m = static_cast<MapHandle *>(map->handle);
    if (!m || !m->held.bytes || !m->file) return map->len;
    const uint64_t ready = held_fill(&m->held, upto, read_at, m->file);
    if (ready == m->len) {
        CloseHandle(m->file);
        m->file = nullptr;
    }
    return ready;
}

int file_map_failed(const FileMap *map) {
    const MapHandle *m = static_cast<const MapHandle *>(map->handle);
    return m && (m->failed || held_failed(&m->held));
}

void file_map_release_guard(void) {
    AcquireSRWLockExclusive(&g_lock);
    if (g_handler) RemoveVectoredExceptionHandler(g_handler);
    g_handler = nullptr;
    ReleaseSRWLockExclusive(&g_lock);
}
