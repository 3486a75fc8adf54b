// Where a test program built with the Windows file map's source can step into a cut of a view that
// failed: between the unmapping and the re-map (another thread reads the view, or another
// allocation takes its address, as can happen in the file manager's process), and at each fault
// the guard looks at; and the size up to which a file is held rather than mapped, so that small
// files can be mapped. The module exports nothing of it; a host cannot reach it.
#pragma once

#include <windows.h>

#include <stdint.h>

// Null hooks and FILE_HELD_MOST at start; a test puts back what it changed.
struct FileMapSeam {
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
