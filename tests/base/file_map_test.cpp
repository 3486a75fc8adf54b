// The file map: a small file read in pieces as far as asked and let go once read whole, a file
// that ends early or fails to read ended there, and a big file mapped with every byte ready.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/file_map.h"
#include "base/held_file.h"
#include "temp_dump.h"

namespace {

// A file for held_fill: its bytes, where a read fails (-1) or the file ends early (0), at most how
// much one read gives, and every read asked for.
struct FakeFile {
    std::string bytes;
    uint64_t fails_at = UINT64_MAX, ends_at = UINT64_MAX;
    uint64_t gives_most = UINT64_MAX;
    int64_t claims = 0; // when set, what every read claims to have read
    std::vector<std::pair<uint64_t, uint64_t>> asked;
};

int64_t fake_read(void *file, uint64_t at, char *into, uint64_t n) {
    FakeFile *f = static_cast<FakeFile *>(file);
    f->asked.push_back({at, n});
    if (f->claims) return f->claims;
    if (at >= f->fails_at) return -1;
    const uint64_t end = std::min<uint64_t>({f->bytes.size(), f->ends_at, f->fails_at});
    if (at >= end) return 0;
    const uint64_t got = std::min({n, end - at, f->gives_most});
    std::copy_n(f->bytes.data() + at, got, into);
    return static_cast<int64_t>(got);
}

std::string pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 23);
    return s;
}

// A held file over `f`'s bytes, its room zeroed as the platforms give it.
struct Held {
    explicit Held(const FakeFile &f) : room(f.bytes.size(), '\0') {
        file.bytes = room.data();
        file.len = room.size();
    }
    std::string room;
    HeldFile file{};
};

int open_descriptors() {
    int n = 0;
    if (DIR *d = opendir("/proc/self/fd")) {
        while (readdir(d)) ++n;
        closedir(d);
    }
    return n;
}

} // namespace

TEST(HeldFile, AFillReadsAsFarAsAskedInPiecesAndNoFurther) {
    FakeFile f;
    f.bytes = pattern(3 * HELD_PIECE + 100);
    f.gives_most = HELD_PIECE / 3; // reads that give less than asked
    Held h(f);
    EXPECT_EQ(held_fill(&h.file, 5, fake_read, &f), 5u);
    EXPECT_EQ(held_ready(&h.file), 5u);
    EXPECT_EQ(h.room.substr(0, 5), f.bytes.substr(0, 5));
    EXPECT_EQ(h.room[5], '\0');
    // Asking for less than is ready reads nothing.
    const size_t reads = f.asked.size();
    EXPECT_EQ(held_fill(&h.file, 3, fake_read, &f), 5u);
    EXPECT_EQ(f.asked.size(), reads);

    EXPECT_EQ(held_fill(&h.file, UINT64_MAX, fake_read, &f), f.bytes.size());
    EXPECT_EQ(h.room, f.bytes);
    EXPECT_EQ(held_failed(&h.file), 0);
    uint64_t next = 0;
    for (auto [at, n] : f.asked) {
        EXPECT_EQ(at, next) << "the pieces follow one another";
        EXPECT_LE(n, HELD_PIECE);
        next = at + std::min<uint64_t>(n, f.gives_most);
    }
}

TEST(HeldFile, AReadThatFailsOrAFileThatEndsEarlyEndsTheFileThereAndTheRestStaysZeros) {
    for (int ends : {0, 1}) {
        FakeFile f;
        f.bytes = pattern(HELD_PIECE + 5000);
        f.gives_most = 4096;
        (ends ? f.ends_at : f.fails_at) = 10000;
        Held h(f);
        EXPECT_EQ(held_fill(&h.file, 9000, fake_read, &f), 9000u) << ends;
        EXPECT_EQ(held_failed(&h.file), 0);
        // Every byte counts as ready: the scan reads on into the zeros, which end the text.
        EXPECT_EQ(held_fill(&h.file, 20000, fake_read, &f), f.bytes.size()) << ends;
        EXPECT_EQ(held_ready(&h.file), f.bytes.size());
        EXPECT_EQ(held_failed(&h.file), 1);
        EXPECT_EQ(h.room.substr(0, 10000), f.bytes.substr(0, 10000));
        EXPECT_EQ(h.room.find_first_not_of('\0', 10000), std::string::npos);
        // Nothing is asked of the file once it ended.
        const size_t reads = f.asked.size();
        EXPECT_EQ(held_fill(&h.file, UINT64_MAX, fake_read, &f), f.bytes.size());
        EXPECT_EQ(f.asked.size(), reads);
    }
}

TEST(HeldFile, AReadClaimingMoreThanItWasAskedForIsAFailure) {
    FakeFile f;
    f.bytes = pattern(1000);
    f.claims = 2000;
    Held h(f);
    EXPECT_EQ(held_fill(&h.file, 10, fake_read, &f), 1000u);
    EXPECT_EQ(held_failed(&h.file), 1);
    EXPECT_EQ(h.room, std::string(1000, '\0'));
}

TEST(FileMap, ASmallFileIsReadAsFarAsAskedAndLetGoOnceReadWhole) {
    const std::string bytes = pattern(3 << 20);
    TempFile file(bytes);
    const int before = open_descriptors();
    FileMap map;
    ASSERT_EQ(file_map_open(&map, file.path()), 1);
    EXPECT_EQ(map.len, bytes.size());
    EXPECT_EQ(file_map_ready(&map), 0u);
    EXPECT_EQ(open_descriptors(), before + 1);

    EXPECT_EQ(file_map_fill(&map, 100000), 100000u);
    EXPECT_EQ(std::string(map.bytes, 100000), bytes.substr(0, 100000));
    EXPECT_EQ(open_descriptors(), before + 1);
    EXPECT_EQ(file_map_fill(&map, map.len), map.len);
    EXPECT_EQ(open_descriptors(), before) << "the file is let go once read whole";

    // Overwritten, then removed: the map keeps what it read.
    const char *at = map.bytes;
    {
        std::FILE *f = std::fopen(file.path(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("another file", f);
        std::fclose(f);
    }
    std::remove(file.path());
    EXPECT_EQ(std::string(map.bytes, map.len), bytes);
    EXPECT_EQ(map.bytes, at);
    EXPECT_EQ(file_map_fill(&map, map.len), map.len);
    EXPECT_EQ(file_map_failed(&map), 0);
    file_map_close(&map);
    EXPECT_EQ(map.bytes, nullptr);
}

TEST(FileMap, AFileCutShortWhileItIsReadEndsWhereTheCutIs) {
    const std::string bytes = pattern(6 << 20);
    TempFile file(bytes);
    FileMap map;
    ASSERT_EQ(file_map_open(&map, file.path()), 1);
    ASSERT_EQ(file_map_fill(&map, 1 << 20), uint64_t{1} << 20);
    ASSERT_EQ(truncate(file.path(), 2 << 20), 0);
    const int before = open_descriptors();
    EXPECT_EQ(file_map_fill(&map, 4 << 20), map.len);
    EXPECT_EQ(file_map_ready(&map), map.len);
    EXPECT_EQ(file_map_failed(&map), 1);
    EXPECT_EQ(open_descriptors(), before - 1);
    const std::string seen(map.bytes, map.len);
    EXPECT_EQ(seen.substr(0, 2 << 20), bytes.substr(0, 2 << 20));
    EXPECT_EQ(seen.find_first_not_of('\0', 2 << 20), std::string::npos);
    file_map_close(&map);
}

TEST(FileMap, AFileOverTheHeldSizeIsMappedWithEveryByteReadyAtOnce) {
    for (uint64_t len : {uint64_t{FILE_HELD_MOST} + 1, uint64_t{FILE_HELD_MOST}}) {
        TempFile file("KMZTAB01");
        ASSERT_EQ(truncate(file.path(), static_cast<off_t>(len)), 0);
        FileMap map;
        ASSERT_EQ(file_map_open(&map, file.path()), 1) << len;
        EXPECT_EQ(map.len, len);
        const bool held = len <= FILE_HELD_MOST;
        EXPECT_EQ(file_map_ready(&map), held ? 0 : len) << len;
        EXPECT_EQ(file_map_fill(&map, 8), held ? 8 : len) << len;
        EXPECT_EQ(std::string(map.bytes, 8), "KMZTAB01");
        file_map_close(&map);
    }
}
