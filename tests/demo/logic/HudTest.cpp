// The demo's HUD text and command line: number formatting, the frame-time
// ring, option parsing.
#include "Options.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

std::string Int(int value, int capacity = 16) {
    char out[16];
    demo::FormatInt(out, capacity, value);
    return out;
}

std::string Fixed(float value, int decimals) {
    char out[32];
    demo::FormatFixed(out, sizeof out, value, decimals);
    return out;
}

TEST(DemoText, FormatsWholeNumbersIntoFixedBuffers) {
    EXPECT_EQ(Int(0), "0");
    EXPECT_EQ(Int(4096), "4096");
    EXPECT_EQ(Int(-7), "-7");
    EXPECT_EQ(Int(INT_MIN), "-2147483648");
    EXPECT_EQ(Int(123456, 4), "123");  // cut to the buffer, still terminated
    char out[8];
    EXPECT_EQ(demo::FormatInt(out, sizeof out, -305), 4);
}

TEST(DemoText, FormatsDecimalsRoundedHalfAwayFromZero) {
    EXPECT_EQ(Fixed(16.66f, 1), "16.7");
    EXPECT_EQ(Fixed(16.64f, 1), "16.6");
    EXPECT_EQ(Fixed(0.04f, 1), "0.0");
    EXPECT_EQ(Fixed(-0.04f, 1), "0.0");  // no "-0.0"
    EXPECT_EQ(Fixed(-2.25f, 1), "-2.3");
    EXPECT_EQ(Fixed(3.05f, 2), "3.05");
    EXPECT_EQ(Fixed(69.6f, 0), "70");
}

TEST(DemoText, FrameHistoryKeepsTheLatestSamplesOldestFirst) {
    demo::FrameHistory history;
    EXPECT_EQ(history.Average(), 0.0f);
    history.Add(0.010f);
    history.Add(0.030f);
    EXPECT_EQ(history.Count(), 2);
    EXPECT_FLOAT_EQ(history.Get(0), 0.010f);
    EXPECT_FLOAT_EQ(history.Average(), 0.020f);

    const int n = demo::FrameHistory::kSize;
    for (int i = 0; i < n + 5; ++i) history.Add(float(i));
    EXPECT_EQ(history.Count(), n);
    EXPECT_EQ(history.Get(0), 5.0f);
    EXPECT_EQ(history.Get(n - 1), float(n + 4));
    EXPECT_EQ(history.Get(n), 0.0f);  // past the end
    EXPECT_FLOAT_EQ(history.Average(), (5.0f + float(n + 4)) / 2.0f);
}

// [SECTION] Options

struct Parsed {
    demo::Options options;
    bool ok = false;
    std::string error;
};

Parsed Parse(std::initializer_list<const char*> args) {
    const char* argv[16] = {"demo"};
    int argc = 1;
    for (const char* a : args) argv[argc++] = a;
    Parsed p;
    char error[128] = "";
    p.ok = demo::ParseOptions(argc, argv, p.options, error, sizeof error);
    p.error = error;
    return p;
}

TEST(DemoOptions, ReadsEveryWindowAndRunSetting) {
    Parsed p = Parse({"--width", "640", "--height", "480", "--samples", "0", "--no-vsync",
                      "--fullscreen", "--frames", "300", "--screenshot", "out/a.png",
                      "--scripted"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.width, 640);
    EXPECT_EQ(p.options.height, 480);
    EXPECT_EQ(p.options.samples, 0);
    EXPECT_FALSE(p.options.vsync);
    EXPECT_TRUE(p.options.fullScreen);
    EXPECT_EQ(p.options.frames, 300);
    EXPECT_STREQ(p.options.screenshot, "out/a.png");
    EXPECT_TRUE(p.options.scripted);
    EXPECT_FALSE(p.options.help);

    Parsed none = Parse({});
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.options.frames, -1);  // runs until closed
    EXPECT_TRUE(none.options.vsync);
    EXPECT_EQ(none.options.screenshot, nullptr);
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"--no-vsync", "--vsync"}).options.vsync);  // the last one wins
}

TEST(DemoOptions, RejectsBadValuesNamingTheFlag) {
    const std::initializer_list<const char*> bad[] = {
        {"--frames"}, {"--frames", "0"}, {"--width", "8x"}, {"--width", "99999"},
        {"--samples", "-1"}, {"--screenshot"}, {"--bogus"}, {"--height", ""}};
    for (const auto& args : bad) {
        Parsed p = Parse(args);
        EXPECT_FALSE(p.ok) << *args.begin();
        EXPECT_NE(p.error.find(*args.begin()), std::string::npos) << p.error;
    }
    EXPECT_NE(std::strstr(demo::Usage(), "--screenshot"), nullptr);
}

}  // namespace
