// The demo's HUD text and command line: number formatting, the stroke font's
// glyph data, the frame-time ring, option parsing.
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

// Every glyph must be strips of "xy" points inside the 4 x 6 grid, each strip
// at least one segment long: a typo would draw stray lines across the HUD.
TEST(DemoText, EveryGlyphIsWellFormedStrokeData) {
    const char* charset = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.:-/+%";
    for (const char* c = charset; *c; ++c) {
        const char* glyph = demo::Glyph(*c);
        ASSERT_NE(glyph, nullptr) << *c;
        std::string strip;
        std::string data = std::string(glyph) + " ";
        for (char g : data) {
            if (g != ' ') {
                strip += g;
                continue;
            }
            EXPECT_EQ(strip.size() % 2, 0u) << *c << " strip " << strip;
            EXPECT_GE(strip.size(), 4u) << *c << " strip " << strip;
            for (std::size_t i = 0; i + 1 < strip.size(); i += 2) {
                EXPECT_TRUE(strip[i] >= '0' && strip[i] <= '4') << *c << " x in " << strip;
                EXPECT_TRUE(strip[i + 1] >= '0' && strip[i + 1] <= '6') << *c << " y in " << strip;
            }
            strip.clear();
        }
    }
    EXPECT_EQ(demo::Glyph(' '), nullptr);
    EXPECT_EQ(demo::Glyph('a'), nullptr);  // the drawing upper-cases first
    EXPECT_STRNE(demo::Glyph('5'), demo::Glyph('6'));
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
