// The loader reads files, so a fuzz target's input goes through one: in memory-backed /dev/shm
// where there is one, since a file written and removed per input is most of the cost on a disk.
#pragma once

#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "document/load.h"

// The file this process writes its inputs to; `target` names it apart from other targets' runs.
inline const char *fuzz_input_path(const char *target) {
    static std::string path = [target] {
        FILE *probe = fopen("/dev/shm/tavrin_fuzz_probe", "wb");
        std::string dir = probe ? "/dev/shm/" : "";
        if (probe) {
            fclose(probe);
            remove("/dev/shm/tavrin_fuzz_probe");
        }
        return dir + target + "_fuzz_" + std::to_string(getpid());
    }();
    return path.c_str();
}

// Loads `data` into `v` (zeroed first) as load_file loads a file holding it; 0 when refused or
// when the file could not be written.
inline int load_fuzz_input(Viewer *v, const char *target, const uint8_t *data, size_t size) {
    memset(v, 0, sizeof *v);
    const char *path = fuzz_input_path(target);
    FILE *f = fopen(path, "wb");
    if (!f) return 0;
    if (size > 0) fwrite(data, 1, size, f);
    fclose(f);
    const int loaded = load_file(v, path);
    remove(path);
    return loaded;
}
