// The file map: a small file read as far as asked and let go once read whole, a file that fails to
// read or ends early (cut short by another program) ended there, a big file mapped with every
// byte ready.
#include <gtest/gtest.h>

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "base/file_map.h"
#include "base/held_file.h"
#include "temp_dump.h"

namespace {

// A file for held_fill that fails (-1), ends (0) or claims more than asked from byte `at` on, and
// gives at most `gives` bytes a read.
enum Trouble { FAILS, ENDS, CLAIMS };
struct FakeFile {
    std::string bytes;
    Trouble trouble;
    uint64_t at, gives;
    uint64_t most_asked = 0;
};

int64_t fake_read(void *file, uint64_t at, char *into, uint64_t n) {
    FakeFile *f = static_cast<FakeFile *>(file);
    f->most_asked = std::max(f->most_asked, n);
    if (at >= f->at) return f->trouble == FAILS ? -1 : f->trouble == ENDS ? 0 : int64_t(n) + 1;
    const uint64_t got = std::min({n, f->at - at, f->gives});
    std::copy_n(f->bytes.data() + at, got, into);
    return static_cast<int64_t>(got);
}

std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 23);
    return s;
}

int open_descriptors() {
    int n = 0;
    if (DIR *d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

} // namespace

TEST(HeldFile, ReadsAsFarAsAskedAndAReadThatFailsEndsTheFileThereTheRestZeros) {
    for (Trouble trouble : {FAILS, ENDS, CLAIMS}) {
        FakeFile f{pattern(2 * HELD_PIECE + 5000), trouble, 2 * HELD_PIECE, HELD_PIECE / 3};
        std::string room(f.bytes.size(), '\0');
        HeldFile h{room.data(), room.size(), 0, 0};
        EXPECT_EQ(held_fill(&h, 5, fake_read, &f), 5u);
        EXPECT_EQ(room.substr(0, 6), f.bytes.substr(0, 5) + '\0') << "read no further";
        EXPECT_EQ(held_fill(&h, f.at, fake_read, &f), f.at);
        EXPECT_EQ(held_failed(&h), 0);
        EXPECT_LE(f.most_asked, HELD_PIECE);
        // Every byte counts as ready once the file ended: the scan reads on into the zeros.
        EXPECT_EQ(held_fill(&h, f.at + 1, fake_read, &f), room.size()) << trouble;
        EXPECT_EQ(held_ready(&h), room.size());
        EXPECT_EQ(held_failed(&h), 1);
        EXPECT_EQ(room.substr(0, f.at), f.bytes.substr(0, f.at));
        EXPECT_EQ(room.find_first_not_of('\0', f.at), std::string::npos) << trouble;
    }
}

TEST(FileMap, ASmallFileIsReadAsFarAsAskedAndLetGoOnceReadWholeKeepingWhatItRead) {
    const std::string bytes = pattern(3 << 20);
    TempFile file(bytes);
    const int before = open_descriptors();
    FileMap map;
    ASSERT_EQ(file_map_open(&map, file.path()), 1);
    EXPECT_EQ(file_map_ready(&map), 0u);
    EXPECT_EQ(file_map_fill(&map, 100000), 100000u);
    EXPECT_EQ(std::string(map.bytes, 100000), bytes.substr(0, 100000));
    EXPECT_EQ(open_descriptors(), before + 1);
    EXPECT_EQ(file_map_fill(&map, map.len), map.len);
    EXPECT_EQ(open_descriptors(), before) << "let go once read whole";
    std::remove(file.path());
    EXPECT_EQ(std::string(map.bytes, map.len), bytes);
    EXPECT_EQ(file_map_failed(&map), 0);
    file_map_close(&map);
}

TEST(FileMap, AFileOverTheHeldSizeIsMappedWithEveryByteReadyAtOnce) {
    for (uint64_t len : {uint64_t{FILE_HELD_MOST} + 1, uint64_t{FILE_HELD_MOST}}) {
        TempFile file("KMZTAB01");
        ASSERT_EQ(truncate(file.path(), static_cast<off_t>(len)), 0);
        FileMap map;
        ASSERT_EQ(file_map_open(&map, file.path()), 1) << len;
        const bool held = len <= FILE_HELD_MOST;
        EXPECT_EQ(file_map_ready(&map), held ? 0 : len) << len;
        EXPECT_EQ(file_map_fill(&map, 8), held ? 8 : len) << len;
        EXPECT_EQ(std::string(map.bytes, 8), "KMZTAB01");
        file_map_close(&map);
    }
}
