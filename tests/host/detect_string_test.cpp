// Which files the host offers the module, from its detect string.
#include <gtest/gtest.h>

#include "host/detect_string.h"

namespace {
const char kModuleDetect[] = "EXT=\"PG\"";
}

TEST(DetectString, ReadsTheExtensionOfTheModulesString) {
    EXPECT_EQ(detect_extensions(kModuleDetect), std::vector<std::string>{"PG"});
}

TEST(DetectString, ReadsEveryExtTermAndSkipsTheOthers) {
    EXPECT_EQ(detect_extensions("(EXT=\"PG\" | ext = \"dump\") & SIZE<1000 | FORCE"),
              (std::vector<std::string>{"PG", "dump"}));
}

TEST(DetectString, NamesThatOnlyEndInExtAreNotExtTerms) {
    EXPECT_TRUE(detect_extensions("NEXT=\"PG\" | TEXT=\"X\"").empty());
    EXPECT_TRUE(detect_extensions("EXTRA=\"PG\"").empty());
}

TEST(DetectString, ACutOffOrEmptyStringNamesNothing) {
    // What the module writes into a 5-byte buffer.
    EXPECT_TRUE(detect_extensions("EXT=").empty());
    EXPECT_TRUE(detect_extensions("EXT=\"PG").empty());
    EXPECT_TRUE(detect_extensions("").empty());
    EXPECT_TRUE(detect_extensions(nullptr).empty());
    EXPECT_FALSE(detect_accepts("EXT=", "a.pg"));
}

TEST(DetectString, TakesTheExtensionInAnyCase) {
    EXPECT_TRUE(detect_accepts(kModuleDetect, "customers.pg"));
    EXPECT_TRUE(detect_accepts(kModuleDetect, "CUSTOMERS.PG"));
    EXPECT_TRUE(detect_accepts(kModuleDetect, "Customers.Pg"));
    EXPECT_TRUE(detect_accepts("EXT=\"pg\"", "C:\\dumps\\CUSTOMERS.PG"));
}

TEST(DetectString, LooksOnlyAtTheLastDotOfTheFileName) {
    EXPECT_TRUE(detect_accepts(kModuleDetect, "C:\\dumps\\2024.01\\orders.backup.pg"));
    EXPECT_TRUE(detect_accepts(kModuleDetect, "/tmp/dumps/orders.pg"));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "orders.pg.txt"));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "orders.pgx"));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "orders.p"));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "orders."));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "pg"));
}

TEST(DetectString, ADotInAFolderNameIsNoExtension) {
    EXPECT_FALSE(detect_accepts(kModuleDetect, "C:\\dumps.pg\\orders"));
    EXPECT_FALSE(detect_accepts(kModuleDetect, "/srv/x.pg/orders"));
}
