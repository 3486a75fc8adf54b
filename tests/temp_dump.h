// Test support: dump containers written from byte strings into temporary files.
#pragma once

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "document/load.h"
#include "document/rows.h"
#include "document/tab_text.h"
#include "document/viewer.h"

// A file holding exactly the given bytes, removed when the object goes.
class TempFile {
  public:
    explicit TempFile(const std::string &bytes) {
        static int counter = 0;
        char name[64];
        std::snprintf(name, sizeof name, "tavrin_test_%d_%d.pg", static_cast<int>(process_id()),
                      counter++);
        path_ = name;
        std::FILE *f = std::fopen(path_.c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
    }
    ~TempFile() { std::remove(path_.c_str()); }
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;
    const char *path() const { return path_.c_str(); }

  private:
    static long process_id();
    std::string path_;
};

// A zeroed record that frees its blocks when it goes.
struct LoadedViewer {
    Viewer v{};
    int loaded = 0;
    LoadedViewer() = default;
    explicit LoadedViewer(const std::string &bytes) {
        TempFile file(bytes);
        loaded = load_file(&v, file.path());
    }
    ~LoadedViewer() { viewer_free_blocks(&v); }
    LoadedViewer(const LoadedViewer &) = delete;
    LoadedViewer &operator=(const LoadedViewer &) = delete;
};

// A document's texts as strings, for comparing: a row's line, a section ("<absent>" when the file
// has none), a tab's text and the copy of the current tab's text.
inline std::string row_at(const Viewer &v, int32_t r) {
    RowLine line = row_line(&v, r);
    return std::string(line.start, line.end);
}
inline std::string sql_of(const Viewer &v) {
    return v.sql ? std::string(v.sql, v.sql_len) : "<absent>";
}
inline std::string info_of(const Viewer &v) {
    return v.info ? std::string(v.info, v.info_len) : "<absent>";
}
inline std::string tab_string(Viewer *v, int tab) {
    size_t len = 0;
    const char *text = tab_text(v, tab, &len);
    return std::string(text, len);
}
inline std::string copy_string(const Viewer *v) {
    size_t len = 0;
    const char *text = tab_copy_text(v, &len);
    return std::string(text, len);
}

// A record filled with a byte pattern, for loads that must be refused: any write to it shows.
// Its pointers are garbage that nobody owns, so its blocks are never freed.
struct PatternedViewer {
    Viewer v;
    unsigned char before[sizeof(Viewer)];
    PatternedViewer() {
        std::memset(&v, 0xA5, sizeof v);
        std::memcpy(before, &v, sizeof v);
    }
    bool unchanged() const { return std::memcmp(before, &v, sizeof v) == 0; }
};

// The container's pieces, so tests read like the file they describe.
inline std::string magic() {
    return "KMZTAB01";
}
inline std::string section(const std::string &name, const std::string &text) {
    return "\x01[" + name + "]\n" + text;
}

#ifdef _WIN32
#include <process.h>
inline long TempFile::process_id() {
    return _getpid();
}
#else
#include <unistd.h>
inline long TempFile::process_id() {
    return getpid();
}
#endif

// A dump holding only a data block: the header line naming `columns` (as written between the
// parentheses), then `lines` (row lines, each ending in a line feed), then the end line.
inline std::string data_dump(const std::string &columns, const std::string &lines) {
    return magic() + section("DATA", "COPY t (" + columns + ") FROM stdin;\n" + lines + "\\.\n");
}
