// The exports the host calls before and besides a viewer: the detect string, commands, and the
// files ListLoad refuses.
#include "viewer_fixture.h"

#include <string>

namespace {

class Exports : public ViewerTest {
  protected:
    // The buffer after ListGetDetectString(buffer, size), the buffer holding 16 '#' before.
    std::string detect_string_with_size(int size) {
        char buffer[17] = "################";
        module.ListGetDetectString(buffer, size);
        return std::string(buffer, 16);
    }
};

} // namespace

TEST_F(Exports, TheDetectStringOffersTheModuleForPgFiles) {
    std::string full = detect_string_with_size(16);
    EXPECT_EQ(full.substr(0, 9), std::string("EXT=\"PG\"\0", 9));
    EXPECT_EQ(full.substr(9), "#######");
}

TEST_F(Exports, ADetectStringBufferOfFiveBytesHoldsItsFirstFourCharacters) {
    EXPECT_EQ(detect_string_with_size(5), std::string("EXT=\0###########", 16));
}

TEST_F(Exports, ADetectStringBufferOfNoSizeIsLeftUntouched) {
    EXPECT_EQ(detect_string_with_size(0), "################");
    EXPECT_EQ(detect_string_with_size(-1), "################");
}

TEST_F(Exports, EveryCommandIsAnsweredWithZero) {
    ASSERT_NE(open(magic() + section("SQL", "select 1;\n")), nullptr);
    EXPECT_EQ(module.ListSendCommand(viewer, 0, 0), 0);
    EXPECT_EQ(module.ListSendCommand(viewer, 2, 7), 0);
    EXPECT_EQ(module.ListSendCommand(nullptr, -1, -1), 0);
}

TEST_F(Exports, AFileWithoutTheMagicGetsNoViewer) {
    EXPECT_EQ(open("KMZTAB02" + section("SQL", "select 1;\n")), nullptr);
    EXPECT_EQ(open("kmztab01" + section("DATA", "COPY t (a) FROM stdin;\n1\n\\.\n")), nullptr);
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
    EXPECT_EQ(GetWindow(lister.hwnd, GW_CHILD), nullptr);
}

TEST_F(Exports, AMissingFileGetsNoViewer) {
    char path[] = "no_such_dump_here.pg";
    viewer = module.ListLoad(lister.hwnd, path, 0);
    EXPECT_EQ(viewer, nullptr);
    EXPECT_EQ(GetWindow(lister.hwnd, GW_CHILD), nullptr);
}

TEST_F(Exports, LoadingNextIntoAWindowThatIsNoViewerFails) {
    HWND stranger = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, lister.hwnd, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(stranger, nullptr);
    // Another window's own data is not a viewer record, whatever it holds.
    static char not_a_record[16] = "not a record";
    SetWindowLongPtrA(stranger, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(not_a_record));
    TempFile file(magic() + section("SQL", "select 1;\n"));
    EXPECT_EQ(module.ListLoadNext(lister.hwnd, stranger, const_cast<char *>(file.path()), 0), 1);
    EXPECT_TRUE(children_of_class(lister.hwnd, "TavrinLister").empty());
}
