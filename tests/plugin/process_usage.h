// Test support: what the process holds of memory and window-system objects, as a soak reads it
// before and after many cycles.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ProcessUsage {
    // Bytes. Private usage is the committed memory nobody else shares (under Wine: the process's
    // anonymous resident pages plus its swap); the working set counts file pages too.
    uint64_t private_bytes = 0;
    uint64_t working_set = 0;
    uint64_t pagefile = 0;
    // GetGuiResources' counts; 0 where the system does not count them.
    DWORD user_objects = 0;
    DWORD gdi_objects = 0;
    // Windows this thread owns, top-level and child, counted by enumeration.
    int thread_windows = 0;
};
ProcessUsage process_usage();

// The process's own committed memory: its private usage where the system reports that, else the
// pagefile figure (Wine reports private usage as 0 and fills only the latter).
inline uint64_t own_memory(const ProcessUsage &u) {
    return u.private_bytes ? u.private_bytes : u.pagefile;
}
inline const char *own_memory_name(const ProcessUsage &u) {
    return u.private_bytes ? "private usage" : "pagefile usage";
}

// The window-system counts are taken as real only when the system gives any: a process that owns
// a window holds at least one USER object, and every process holds its stock GDI objects.
inline bool counts_user_objects(const ProcessUsage &u) {
    return u.user_objects > 0;
}
inline bool counts_gdi_objects(const ProcessUsage &u) {
    return u.gdi_objects > 0;
}

// Fonts set into `window` and its descendants (WM_GETFONT), stock fonts left out.
std::vector<HFONT> fonts_in_use(HWND window);

std::string megabytes(uint64_t bytes);
