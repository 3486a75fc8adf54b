// Refused loads: too short, wrong magic, or memory that cannot be had; and files of any size that
// load. A refused load returns 0, keeps nothing allocated and leaves the record exactly as it was.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "alloc_hook.h"
#include "hostile_files.h"

namespace {

using LoadRefusal = AllocationHookTest;

std::string dump_with_rows(int rows) {
    std::string text = "COPY t (a, b) FROM stdin;\n";
    for (int i = 0; i < rows; ++i) text += std::to_string(i) + "\tv\n";
    return magic() + section("SQL", "CREATE TABLE t (a int, b text);\n") +
           section("DATA", text + "\\.\n");
}

} // namespace

TEST_F(LoadRefusal, FileOfSevenBytesIsRefused) {
    TempFile file("KMZTAB0");
    PatternedViewer p;
    EXPECT_EQ(load_file(&p.v, file.path()), 0);
    EXPECT_TRUE(p.unchanged());
}

TEST_F(LoadRefusal, WrongMagicIsRefused) {
    for (const char *start : {"KMZTAB02", "kmztab01", "XMZTAB01"}) {
        TempFile file(start + section("SQL", "CREATE TABLE t (a int);\n"));
        PatternedViewer p;
        EXPECT_EQ(load_file(&p.v, file.path()), 0) << start;
        EXPECT_TRUE(p.unchanged()) << start;
    }
}

TEST_F(LoadRefusal, MissingFileIsRefused) {
    PatternedViewer p;
    EXPECT_EQ(load_file(&p.v, "no_such_dir/no_such_file.pg"), 0);
    EXPECT_TRUE(p.unchanged());
}

// Files of 2 GiB and more load: the file is mapped, not read, and its rows are found where they
// lie. The sparse files here are the 100 bytes of a dump and then zeros, whose first byte ends the
// text: one row, and nothing of the gigabytes after it is read or held.
TEST_F(LoadRefusal, FilesOf2GiBAndMoreLoadWithoutBeingHeldInMemory) {
    const std::string head = sparse_dump_head();
    ASSERT_EQ(head.size(), 100u);
    for (int64_t size :
         {INT64_C(0x80000000), int64_t{TWO_GIB_AND_ONE}, int64_t{FOUR_GIB_AND_100}}) {
        TempFile file(head);
        if (!extend_sparse(file.path(), size))
            GTEST_SKIP() << "this file system cannot make a sparse file";
        const long before = mem_alloc_count();
        LoadedViewer d;
        ASSERT_EQ(load_file(&d.v, file.path()), 1) << size << " bytes";
        EXPECT_EQ(d.v.buf_len, size);
        ASSERT_EQ(d.v.row_count, 1) << size << " bytes";
        EXPECT_EQ(row_at(d.v, 0), std::string(100 - 1 - 8 - 8 - 23, 'x'));
        EXPECT_LE(mem_alloc_count() - before, 6)
            << size << " bytes: the row index, the header line's copies and the types alone";
    }
}

TEST_F(LoadRefusal, FailureAtEveryAllocationPointRefusesCleanly) {
    // 2500 rows: the allocation points are the row index's directory and its first chunk, the
    // header line's two copies and the columns' types.
    TempFile file(dump_with_rows(2500));
    const long start = mem_alloc_count();
    {
        Viewer v{};
        ASSERT_EQ(load_file(&v, file.path()), 1);
        ASSERT_EQ(v.row_count, 2500);
        viewer_free_blocks(&v);
    }
    const long points = mem_alloc_count() - start;
    ASSERT_GE(points, 3);

    for (long i = 0; i < points; ++i) {
        PatternedViewer p;
        const long before = mem_alloc_count();
        const long live = mem_live_count();
        mem_fail_after(i);
        EXPECT_EQ(load_file(&p.v, file.path()), 0) << "allocation " << i << " failed";
        mem_fail_after(-1);
        EXPECT_EQ(mem_alloc_count() - before, i + 1) << "allocation " << i << " failed";
        EXPECT_EQ(mem_live_count(), live) << "allocation " << i << " failed: a block was kept";
        EXPECT_TRUE(p.unchanged()) << "allocation " << i << " failed";
    }

    // Arming the hook past the last allocation point changes nothing.
    mem_fail_after(points);
    Viewer v{};
    EXPECT_EQ(load_file(&v, file.path()), 1);
    EXPECT_EQ(v.row_count, 2500);
    viewer_free_blocks(&v);
}

TEST_F(LoadRefusal, FileWithoutDataNeedsOnlyItsRowIndex) {
    TempFile file(magic() + section("SQL", "CREATE TABLE t (a int);\n"));
    PatternedViewer p;
    mem_fail_after(0);
    EXPECT_EQ(load_file(&p.v, file.path()), 0);
    EXPECT_TRUE(p.unchanged());
    mem_fail_after(1);
    Viewer v{};
    EXPECT_EQ(load_file(&v, file.path()), 1);
    viewer_free_blocks(&v);
}
