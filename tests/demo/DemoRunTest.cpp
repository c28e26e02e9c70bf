// Runs the demo headless with scripted input and checks what a person would
// see in its screenshot: a clean exit, the PNG, and colour where the 3D field
// and the 2D layer are drawn. Needs a display (Xvfb); built with the window tests.
#include "support/PngFile.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using testpng::Image;

bool ReadPng(const std::string& path, Image& image, std::string& why) {
    return testpng::Read(path, image, why);
}

#if defined(_WIN32)
// A path of the build tree (a Unix path under Wine) as Windows names it; the
// command interpreter takes it unquoted, as it has no spaces.
std::string Native(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}
std::string Quote(const std::string& path) { return path; }
std::FILE* OpenPipe(const char* command) { return _popen(command, "r"); }
int ClosePipe(std::FILE* pipe) { return _pclose(pipe); }
#else
std::FILE* OpenPipe(const char* command) { return popen(command, "r"); }
int ClosePipe(std::FILE* pipe) { return pclose(pipe); }
std::string Native(const std::string& path) { return path; }
std::string Quote(const std::string& path) { return "\"" + path + "\""; }
#endif

// Distinct colours, 5 bits a channel, in the rectangle x0..x1, y0..y1 (pixels, top-down).
int DistinctColours(const Image& image, int x0, int y0, int x1, int y1) {
    std::set<int> colours;
    for (int y = y0; y < y1 && y < image.height; ++y)
        for (int x = x0; x < x1 && x < image.width; ++x) {
            const unsigned char* p = &image.rgb[(std::size_t(y) * image.width + x) * 3];
            colours.insert((p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3));
        }
    return int(colours.size());
}

// Pixels in the rectangle for which test(r, g, b) holds.
template <typename Test>
int CountPixels(const Image& image, int x0, int y0, int x1, int y1, Test test) {
    int n = 0;
    for (int y = y0; y < y1 && y < image.height; ++y)
        for (int x = x0; x < x1 && x < image.width; ++x) {
            const unsigned char* p = &image.rgb[(std::size_t(y) * image.width + x) * 3];
            n += test(int(p[0]), int(p[1]), int(p[2])) ? 1 : 0;
        }
    return n;
}

// Within 24 of (r, g, b) in every channel.
auto Near(int r, int g, int b) {
    return [=](int pr, int pg, int pb) {
        return std::abs(pr - r) <= 24 && std::abs(pg - g) <= 24 && std::abs(pb - b) <= 24;
    };
}

TEST(DemoHeadlessRun, ExitsCleanlyWithAScreenshotOfFieldAndOverlay) {
    const std::string shot = Native(QM_DEMO_TEST_DIR "/demo.png");
    std::remove(shot.c_str());
    // No multisampling: in a software renderer it costs most of the frame rate.
    const std::string command = Quote(Native(QM_DEMO_PATH)) +
                                " --scripted --frames 240 --width 960 --height 600"
                                " --samples 0 --no-vsync --screenshot " + Quote(shot);
    std::FILE* pipe = OpenPipe(command.c_str());
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = ClosePipe(pipe);
#if defined(_WIN32)
    ASSERT_EQ(status, 0) << output;
#else
    ASSERT_TRUE(WIFEXITED(status)) << output;
    ASSERT_EQ(WEXITSTATUS(status), 0) << output;
#endif
    EXPECT_NE(output.find("screenshot: " + shot), std::string::npos) << output;

    Image image;
    std::string why;
    ASSERT_TRUE(ReadPng(shot, image, why)) << why;
    ASSERT_EQ(image.width, 960);
    ASSERT_EQ(image.height, 600);

    // The 3D field fills the middle and bottom, right of the minimap and below
    // the HUD: many shades of its objects, and the cyan ground grid, which
    // only the 3D pass draws.
    EXPECT_GE(DistinctColours(image, 240, 260, 940, 560), 60);
    EXPECT_GE(CountPixels(image, 240, 260, 940, 560,
                          [](int r, int g, int b) { return g > r + 60 && b > r + 60; }),
              1000);
    // The 2D layer: the performance panel at the top left, with grey labels and
    // the drawn (cyan) and culled (pink) counts, and the minimap at the bottom
    // left. (The frames-per-second digits vary with the machine: not checked.)
    EXPECT_GE(DistinctColours(image, 16, 16, 292, 230), 12);
    EXPECT_GE(CountPixels(image, 16, 16, 292, 230, Near(158, 173, 204)), 60);
    EXPECT_GE(CountPixels(image, 16, 16, 292, 230, Near(77, 230, 255)), 40);
    EXPECT_GE(CountPixels(image, 16, 16, 292, 230, Near(255, 102, 191)), 40);
    EXPECT_GE(DistinctColours(image, 16, 394, 206, 584), 12);
}

}  // namespace
