// The system calls by which the Windows file map cuts a view that failed, and the size up to which
// it holds a file rather than maps it, gathered where a test program built with the file map's
// source can change them: to make a re-map fail, to read a view from another thread while it is
// cut, or to map a small file. The module exports nothing of it; a host cannot reach it.
#pragma once

#include <windows.h>

#include <stdint.h>

// Every field is set to the system's own behaviour at start; a test puts back what it changed.
struct FileMapSeam {
    // Maps the kept part of a view that is cut short (MapViewOfFileEx).
    LPVOID(WINAPI *map_view_at)
    (HANDLE mapping, DWORD access, DWORD offset_high, DWORD offset_low, SIZE_T size, LPVOID at);
    // Reserves the rest of that view's stretch as zero pages (VirtualAlloc).
    LPVOID(WINAPI *reserve)(LPVOID at, SIZE_T size, DWORD type, DWORD protect);
    // Runs, when not null, after a view is unmapped for a cut and before its kept part is mapped
    // again, with the guard's lock held and the view's first byte.
    void (*unmapped)(char *view);
    // Runs, when not null, on every read fault at `at` the guard looks at, before it takes its
    // lock.
    void (*faulted)(const void *at);
    // Files up to this many bytes are held (FILE_HELD_MOST); bigger ones are mapped.
    uint64_t held_most;
};

extern FileMapSeam file_map_seam;
