// Test support: a file cut short by another program while it is mapped. Windows refuses that
// (ERROR_USER_MAPPED_FILE); Wine lets it happen, as a share that disconnects would fail the reads,
// so a mapped file's failed reads can be made there with the system's own truncate.
#pragma once

#include <windows.h>

#include <string>

typedef char *(__cdecl *UnixNameFn)(const WCHAR *);

inline UnixNameFn unix_name_of() {
    return reinterpret_cast<UnixNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
}

// Whether another program can cut a mapped file here.
inline bool cuts_mapped_files() {
    return unix_name_of() != nullptr;
}

// Cuts the file at `path` (8-bit name) to `size` bytes with /usr/bin/truncate, as another program
// would while the viewer reads it; true once the file's size shows the cut.
inline bool cut_file(const char *path, DWORD size) {
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH);
    UnixNameFn unix_name = unix_name_of();
    char *unix_path = unix_name ? unix_name(wide) : nullptr;
    if (!unix_path) return false;
    std::string command = "/usr/bin/truncate -s " + std::to_string(size) + " " + unix_path;
    HeapFree(GetProcessHeap(), 0, unix_path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // A Unix program's process cannot be waited for under Wine, and its work posts nothing to
    // wait on: the file's size is looked at until it shows the cut, within a bound.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(wide, GetFileExInfoStandard, &data);
        if (data.nFileSizeHigh == 0 && data.nFileSizeLow == size) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}
