// Loads the module from beside the program and looks up its exports.
#include "host/lister_module.h"

#include <string>

// The program's directory with a trailing backslash.
static std::wstring program_directory() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n < MAX_PATH ? n : 0);
    size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash + 1);
}

template <typename Fn> static bool find_export(HMODULE dll, const char *name, Fn *fn) {
    *fn = reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(dll, name)));
    return *fn != nullptr;
}

bool load_lister_module(ListerModule *module) {
    *module = ListerModule{};
    // The full path, so that a tavrin.wlx64 elsewhere on the search path is never picked up.
    HMODULE dll = LoadLibraryW((program_directory() + L"tavrin.wlx64").c_str());
    if (!dll) return false;
    module->dll = dll;
    bool complete = find_export(dll, "ListLoad", &module->ListLoad) &&
                    find_export(dll, "ListLoadNext", &module->ListLoadNext) &&
                    find_export(dll, "ListCloseWindow", &module->ListCloseWindow) &&
                    find_export(dll, "ListGetDetectString", &module->ListGetDetectString) &&
                    find_export(dll, "ListSendCommand", &module->ListSendCommand);
    if (!complete) {
        unload_lister_module(module);
        return false;
    }
    // Both or neither: a host must not load with one and reload with the other's conversion.
    if (!find_export(dll, "ListLoadW", &module->ListLoadW) ||
        !find_export(dll, "ListLoadNextW", &module->ListLoadNextW)) {
        module->ListLoadW = nullptr;
        module->ListLoadNextW = nullptr;
    }
    return true;
}

void unload_lister_module(ListerModule *module) {
    if (module->dll) FreeLibrary(module->dll);
    *module = ListerModule{};
}
