// Writes the fuzz targets' seed inputs from the files the tests and the samples use:
//   make_seeds EXAMPLES_DIR CORPUS_DIR
// CORPUS_DIR/document/ gets every sample dump and every hostile test file up to the size a fuzz
// input may have; CORPUS_DIR/unescape/ gets each distinct field of their rows that holds a
// backslash, and fields cut around the decoder's 8191-byte limit; CORPUS_DIR/export/ gets every
// sample dump up to 16 KiB and JSON texts for the export target's JSON check. Seeds are named
// "seed-...", so
// rerunning rewrites them and leaves what fuzzing found alone.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "document/load.h"
#include "grid/cells.h"
#include "grid/selection_text.h"
#include "hostile_files.h"

namespace fs = std::filesystem;

namespace {

const size_t kMaxDocumentSeed = 64 * 1024;

void write_file(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// FNV-1a, so that a cell's seed name follows from its bytes.
std::string hash_name(const std::string &bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "%016llx", static_cast<unsigned long long>(h));
    return name;
}

void collect_cells(const std::string &bytes, std::set<std::string> *cells) {
    LoadedViewer d(bytes);
    if (!d.loaded) return;
    for (int32_t r = 0; r < d.v.row_count; ++r) {
        for (int c = 0;; ++c) {
            size_t len = 0;
            const RowLine line = row_line(&d.v, r);
            const char *field = field_at(line.start, line.end, c, &len);
            if (!field) break;
            std::string cell(field, len);
            if (cell.find('\\') != std::string::npos) cells->insert(cell);
        }
    }
}

// Dumps for the searches the document target checks: letters of several scripts in both cases,
// escapes, NULLs, CR LF ends, ill-formed bytes, fields past the header's columns, and text to find
// in the SQL and INFO sections; and cells longer than the copied 8191 bytes, matching on both
// sides of the cut.
void write_find_seeds(const fs::path &documents) {
    const std::string scripts =
        "KMZTAB01\x01[SQL]\nCREATE TABLE "
        "\xCE\xA3\xCE\x8A\xCE\xA3\xCE\xA5\xCE\xA6\xCE\x9F\xCE\xA3 "
        "(\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0 text);\r\ncreate index on "
        "\xCF\x83\xCE\xAF\xCF\x83\xCF\x85"
        "\xCF\x86\xCE\xBF\xCF\x82;\n\x01[INFO]\nStra\xC3\x9F\x65 \xC3\x89\x63OLE "
        "\xC3\xA9\x63ole\xFF\n"
        "\x01[DATA]\nCOPY t (a, \"B c\") FROM stdin;\n"
        "\xC3\x89\x63ole\t\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90\\t\xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0\textr"
        "a\n"
        "\\N\t\\\\N\n"
        "\xCE\xBB\xCF\x8C\xCE\xB3\xCE\xBF\xCF\x82\t\xCE\x9B\xCE\x8C\xCE\x93\xCE\x9F\xCE\xA3\\n\r\n"
        "x\xE2\x82y\tX\xEF\xBF\xBDY\\\\\n"
        "\xC3\xA9\x63ole\n"
        "\\.\n";
    write_file(documents / "seed-find-scripts", scripts);

    std::string rows;
    std::string pattern;
    while (pattern.size() < CELL_SCRATCH + 1000) pattern += "Ab";
    rows += "short\t" + pattern + "\n";
    rows += pattern.substr(0, CELL_SCRATCH - 3) + "\\tab\tx\n";
    rows += "aB\tbA\n";
    write_file(documents / "seed-find-long-cells",
               "KMZTAB01\x01[DATA]\nCOPY t (a, b) FROM stdin;\n" + rows + "\\.\n");
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds EXAMPLES_DIR CORPUS_DIR\n");
        return 2;
    }
    const fs::path documents = fs::path(argv[2]) / "document";
    const fs::path unescape = fs::path(argv[2]) / "unescape";
    const fs::path exports = fs::path(argv[2]) / "export";
    fs::create_directories(documents);
    fs::create_directories(unescape);
    fs::create_directories(exports);

    std::set<std::string> cells;
    int written = 0;
    for (const auto &entry : fs::directory_iterator(argv[1])) {
        if (entry.path().extension() != ".pg") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        write_file(documents / ("seed-sample-" + entry.path().stem().string()), bytes);
        if (bytes.size() <= 16 * 1024)
            write_file(exports / ("seed-sample-" + entry.path().stem().string()), bytes);
        collect_cells(bytes, &cells);
        ++written;
    }
    for (const HostileCase &c : hostile_cases()) {
        const std::string bytes = c.make().bytes;
        if (bytes.size() > kMaxDocumentSeed) continue;
        write_file(documents / (std::string("seed-test-") + c.name), bytes);
        collect_cells(bytes, &cells);
        ++written;
    }

    write_find_seeds(documents);
    write_file(exports / "seed-json-nested",
               "{\"a\": [1, -0.5e+3, true, null, {}, []], \"b\\u00e9\": {\"c\": \"\\n\\\"\"}}");
    write_file(exports / "seed-json-deep", std::string(600, '[') + "\"x\"" + std::string(600, ']'));
    written += 2;

    // Escapes straddling the cut: a backslash as byte 8191, and an escape just inside it.
    cells.insert(std::string(CELL_SCRATCH - 2, 'a') + "\\t\\n");
    cells.insert(std::string(CELL_SCRATCH - 3, 'a') + "\\\\x");
    for (const std::string &cell : cells)
        write_file(unescape / ("seed-cell-" + hash_name(cell)), cell);
    std::printf("%d document seeds, %zu cell seeds\n", written, cells.size());
    return 0;
}
