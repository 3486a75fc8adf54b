// The host program's command line.
#include <gtest/gtest.h>

#include "host/host_options.h"

namespace {

HostOptions parsed(const std::vector<std::string> &args) {
    HostOptions options;
    std::string error;
    EXPECT_TRUE(parse_host_options(args, &options, &error)) << error;
    return options;
}

std::string refusal(const std::vector<std::string> &args) {
    HostOptions options;
    std::string error;
    EXPECT_FALSE(parse_host_options(args, &options, &error));
    return error;
}

} // namespace

TEST(HostOptions, FilesAloneOpenAnInteractiveWindowOfTheDefaultSize) {
    HostOptions options = parsed({"a.pg", "b.pg"});
    EXPECT_EQ(options.files, (std::vector<std::string>{"a.pg", "b.pg"}));
    EXPECT_TRUE(options.screenshot.empty());
    EXPECT_TRUE(options.keys.empty());
    EXPECT_EQ(options.client_width, DEFAULT_CLIENT_WIDTH);
    EXPECT_EQ(options.client_height, DEFAULT_CLIENT_HEIGHT);
}

TEST(HostOptions, OptionsMayStandBetweenFilesWhichKeepTheirOrder) {
    HostOptions options = parsed(
        {"b.pg", "--screenshot", "out/x.png", "a.pg", "--keys", "Down 4", "--size", "640x400"});
    EXPECT_EQ(options.files, (std::vector<std::string>{"b.pg", "a.pg"}));
    EXPECT_EQ(options.screenshot, "out/x.png");
    ASSERT_EQ(options.keys.size(), 2u);
    EXPECT_EQ(options.keys[0].key, 0x28);
    EXPECT_EQ(options.keys[1].key, '4');
    EXPECT_EQ(options.client_width, 640);
    EXPECT_EQ(options.client_height, 400);
}

TEST(HostOptions, AfterTwoDashesEveryArgumentIsAFile) {
    HostOptions options = parsed({"--", "--size", "-odd.pg"});
    EXPECT_EQ(options.files, (std::vector<std::string>{"--size", "-odd.pg"}));
}

TEST(HostOptions, SizesAreWidthByHeightInPixels) {
    int w = 0, h = 0;
    EXPECT_TRUE(parse_size("1x1", &w, &h));
    EXPECT_EQ(w, 1);
    EXPECT_TRUE(parse_size("1280X1024", &w, &h));
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1024);
    for (const char *bad : {"640", "640x", "x400", "0x400", "640x0", "640*400", "-640x400",
                            "640x400x2", "20000x100", "64 0x400", ""}) {
        w = h = 7;
        EXPECT_FALSE(parse_size(bad, &w, &h)) << bad;
        EXPECT_EQ(w, 7) << bad;
        EXPECT_EQ(h, 7) << bad;
    }
}

TEST(HostOptions, MistakesAreRefusedWithAReason) {
    EXPECT_EQ(refusal({}), "no file to view");
    EXPECT_EQ(refusal({"--keys", "Down"}), "no file to view");
    EXPECT_EQ(refusal({"a.pg", "--screenshot"}), "--screenshot needs a value");
    EXPECT_EQ(refusal({"a.pg", "--screenshot", ""}), "--screenshot needs a file name");
    EXPECT_EQ(refusal({"a.pg", "--zoom", "2"}), "unknown option --zoom");
    EXPECT_NE(refusal({"a.pg", "--size", "big"}).find("big"), std::string::npos);
    EXPECT_NE(refusal({"a.pg", "--keys", "Down Sideways"}).find("Sideways"), std::string::npos);
}
