// The guard of the Windows file map, built into this program from its source and driven through
// its seam: it cuts a view only where a read failed, lets every thread that met the view while it
// was cut go on reading, and after a re-map that failed keeps no record of address space it no
// longer owns. (Files cut short by another program: any_file_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "base/file_map.h"
#include "plugin/file_map_seam.h"
#include "temp_dump.h"

namespace {

const uint64_t MIB = 1u << 20;
const uint64_t CHUNK = 16 * MIB; // the map's views

char byte_at(uint64_t i) {
    return static_cast<char>('a' + (i * 7 + i / 4096) % 26);
}

std::string pattern(uint64_t n) {
    std::string s(n, '\0');
    for (uint64_t i = 0; i < n; ++i) s[i] = byte_at(i);
    return s;
}

char read_byte(const char *at) {
    return *static_cast<const volatile char *>(at);
}

// Whether bytes [from, to) of the map read as the file's (or, with `zeros`, as zeros): one a page
// and the stretch's last, every one read.
bool reads(const FileMap &map, uint64_t from, uint64_t to, bool zeros = false) {
    bool same = true;
    for (uint64_t i = from; i < to; i += 4096)
        same = read_byte(map.bytes + i) == (zeros ? '\0' : byte_at(i)) && same;
    return to <= from ||
           (read_byte(map.bytes + to - 1) == (zeros ? '\0' : byte_at(to - 1)) && same);
}

// A read of `at` failing as a read of a page that failed would: the guard's handler sees the
// same exception.
void fault_at(const char *at) {
    const ULONG_PTR info[2] = {0, reinterpret_cast<ULONG_PTR>(at)};
    RaiseException(EXCEPTION_IN_PAGE_ERROR, 0, 2, info);
}

// The seam as each test found it, put back when it ends; files mapped whatever their size.
class GuardedMap : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = file_map_seam;
        file_map_seam.held_most = 0;
    }
    void TearDown() override {
        file_map_close(&map);
        file_map_seam = saved;
    }
    // Maps a file of `size` bytes of the pattern, kept until the test ends.
    void map_file(uint64_t size) {
        file = std::make_unique<TempFile>(pattern(size));
        ASSERT_EQ(file_map_open(&map, file->path()), 1);
        ASSERT_EQ(file_map_ready(&map), size) << "mapped, every byte ready";
    }
    FileMapSeam saved;
    std::unique_ptr<TempFile> file;
    FileMap map{};
};

// What the seam's hooks of a test reach.
struct Meeting {
    const char *probe = nullptr; // the other thread's read
    HANDLE go = nullptr;         // set when it is to read
    HANDLE faulted = nullptr;    // set when it faulted there
    HANDLE reader = nullptr;
    bool read_on = false;
    const FileMap *map = nullptr;
    char *taken = nullptr; // another allocation made in the cut's address space
};
Meeting g_meeting;

DWORD WINAPI read_probe(void *) {
    WaitForSingleObject(g_meeting.go, INFINITE);
    const uint64_t from = static_cast<uint64_t>(g_meeting.probe - g_meeting.map->bytes);
    g_meeting.read_on = reads(*g_meeting.map, from, from + 64 * 1024);
    return 0;
}

void probe_faulted(const void *at) {
    if (at == g_meeting.probe) SetEvent(g_meeting.faulted);
}

// Between the unmapping and the re-map: another thread, made before (its stack could take the
// address space a cut gives back), reads the view and is held at the guard.
void read_while_cut(char *) {
    SetEvent(g_meeting.go);
    WaitForSingleObject(g_meeting.faulted, 10000);
}

// Between the unmapping and the re-map: another allocation takes the view's address.
void take_address(char *view) {
    g_meeting.taken =
        static_cast<char *>(VirtualAlloc(view, CHUNK, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (g_meeting.taken) g_meeting.taken[0] = 'Z';
}

} // namespace

TEST_F(GuardedMap, AFaultThatPassesCutsNothingAndAThreadReadingAViewWhileItIsCutReadsOn) {
    map_file(40 * MIB);
    const char *at = map.bytes + CHUNK + 8 * MIB + 100;
    fault_at(at);
    EXPECT_EQ(file_map_failed(&map), 0) << "a fault at a page that reads cuts nothing";
    EXPECT_TRUE(reads(map, 0, map.len));

    g_meeting = Meeting{};
    g_meeting.map = &map;
    g_meeting.probe = map.bytes + CHUNK + MIB;
    g_meeting.go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_meeting.faulted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_meeting.reader = CreateThread(nullptr, 0, read_probe, nullptr, 0, nullptr);
    ASSERT_NE(g_meeting.reader, nullptr);
    file_map_seam.unmapped = read_while_cut;
    file_map_seam.faulted = probe_faulted;

    fault_at(at); // again with no cut in between: the page fails
    EXPECT_EQ(WaitForSingleObject(g_meeting.faulted, 0), WAIT_OBJECT_0)
        << "the other thread read while the view was cut";
    ASSERT_EQ(WaitForSingleObject(g_meeting.reader, 10000), WAIT_OBJECT_0);
    CloseHandle(g_meeting.reader);
    CloseHandle(g_meeting.faulted);
    CloseHandle(g_meeting.go);
    file_map_seam.unmapped = nullptr;
    file_map_seam.faulted = nullptr;

    EXPECT_TRUE(g_meeting.read_on) << "it read the file's bytes from where it met the cut on";
    // Cut at the 64 KiB before the failed page, and nowhere else.
    EXPECT_EQ(file_map_failed(&map), 1);
    EXPECT_TRUE(reads(map, 0, CHUNK + 8 * MIB))
        << "the other thread's fault was taken for a failure";
    EXPECT_TRUE(reads(map, CHUNK + 8 * MIB, 2 * CHUNK, true));
    EXPECT_TRUE(reads(map, 2 * CHUNK, map.len));
}

TEST_F(GuardedMap, AReMapThatFailsSinceAnotherAllocationTookTheAddressNeverFreesThatAllocation) {
    map_file(40 * MIB);
    g_meeting = Meeting{};
    file_map_seam.unmapped = take_address;
    const char *second = map.bytes + CHUNK;
    for (int i = 0; i < 2; ++i) fault_at(second + 8 * MIB); // the second fault cuts
    file_map_seam.unmapped = nullptr;
    ASSERT_EQ(g_meeting.taken, second) << "the address could not be taken for the test";
    EXPECT_EQ(file_map_failed(&map), 1);
    EXPECT_TRUE(reads(map, 0, CHUNK));
    EXPECT_TRUE(reads(map, 2 * CHUNK, map.len));

    file_map_close(&map);
    MEMORY_BASIC_INFORMATION mbi = {};
    ASSERT_NE(VirtualQuery(second, &mbi, sizeof mbi), 0u);
    EXPECT_EQ(mbi.State, static_cast<DWORD>(MEM_COMMIT));
    EXPECT_EQ(mbi.AllocationBase, static_cast<void *>(g_meeting.taken));
    EXPECT_EQ(read_byte(g_meeting.taken), 'Z');
    VirtualFree(g_meeting.taken, 0, MEM_RELEASE);
}
