// Refused loads: too short, wrong magic, 2 GiB or longer, or memory that cannot be had. A refused
// load returns 0, keeps nothing allocated and leaves the record exactly as it was.
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

// For the large files an attempted allocation is armed to fail, so a loader that got the length
// wrong cannot read gigabytes; the allocation count still shows that it tried.
TEST_F(LoadRefusal, FilesOf2GiBAndOneByteMoreAreRefusedBeforeAnyAllocation) {
    for (int64_t size : {INT64_C(0x80000000), int64_t{TWO_GIB_AND_ONE}}) {
        TempFile file(sparse_dump_head());
        if (!extend_sparse(file.path(), size))
            GTEST_SKIP() << "this file system cannot make a sparse file";
        PatternedViewer p;
        const long before = mem_alloc_count();
        mem_fail_after(0);
        EXPECT_EQ(load_file(&p.v, file.path()), 0) << size << " bytes";
        mem_fail_after(-1);
        EXPECT_EQ(mem_alloc_count(), before) << size << " bytes: the loader tried to allocate";
        EXPECT_TRUE(p.unchanged()) << size << " bytes";
    }
}

TEST_F(LoadRefusal, FileOf4GiBAnd100BytesIsNotReadAs100Bytes) {
    const std::string head = sparse_dump_head();
    ASSERT_EQ(head.size(), 100u);
    TempFile file(head);
    {
        // The first 100 bytes alone are a dump that loads.
        Viewer alone{};
        ASSERT_EQ(load_file(&alone, file.path()), 1);
        viewer_free_blocks(&alone);
    }
    if (!extend_sparse(file.path(), INT64_C(0x100000000) + 100))
        GTEST_SKIP() << "this file system cannot make a sparse file";
    PatternedViewer p;
    const long before = mem_alloc_count();
    mem_fail_after(0);
    EXPECT_EQ(load_file(&p.v, file.path()), 0);
    EXPECT_EQ(mem_alloc_count(), before) << "the loader tried to allocate a buffer";
    EXPECT_TRUE(p.unchanged());
}

TEST_F(LoadRefusal, FailureAtEveryAllocationPointRefusesCleanly) {
    // 2500 rows, well past the row array's first 1024 entries, so that any growth of the array is
    // among the allocation points: the file buffer, the header line's copy, the row array and
    // whatever doublings of it the load makes.
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

TEST_F(LoadRefusal, FileWithoutDataNeedsOnlyItsBuffer) {
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
