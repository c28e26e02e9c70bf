// Runs the demo headless with scripted input and checks what a person would
// see in its screenshot: a clean exit, the PNG, and colour where the 3D field
// and the 2D layer are drawn. Needs a display (Xvfb); built with the window tests.
#include "common/Screenshot.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // rows top-down
};

std::uint32_t Be32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Decodes the screenshot writer's format only: 8-bit RGB, no interlace,
// zlib with stored blocks, filter 0 on every row. Anything else fails.
bool ReadPng(const std::string& path, Image& image, std::string& why) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) {
        why = "not a PNG";
        return false;
    }
    std::vector<unsigned char> z;
    for (std::size_t pos = 8; pos + 12 <= file.size();) {
        std::uint32_t length = Be32(&file[pos]);
        std::string type(reinterpret_cast<const char*>(&file[pos + 4]), 4);
        if (pos + 12 + length > file.size()) break;
        const unsigned char* body = &file[pos + 8];
        if (type == "IHDR") {
            image.width = int(Be32(body));
            image.height = int(Be32(body + 4));
            if (body[8] != 8 || body[9] != 2 || body[12] != 0) {
                why = "not 8-bit RGB";
                return false;
            }
        } else if (type == "IDAT") {
            z.insert(z.end(), body, body + length);
        }
        pos += 12 + length;
    }
    std::vector<unsigned char> raw;
    for (std::size_t pos = 2; pos + 5 <= z.size();) {
        bool last = z[pos] & 1;
        if ((z[pos] >> 1) != 0) {
            why = "compressed block";
            return false;
        }
        unsigned n = z[pos + 1] | unsigned(z[pos + 2]) << 8;
        unsigned check = z[pos + 3] | unsigned(z[pos + 4]) << 8;
        if ((n ^ 0xFFFFu) != check || pos + 5 + n > z.size()) {
            why = "bad stored block";
            return false;
        }
        raw.insert(raw.end(), &z[pos + 5], &z[pos + 5] + n);
        pos += 5 + n;
        if (last) break;
    }
    std::size_t stride = std::size_t(image.width) * 3 + 1;
    if (image.width <= 0 || raw.size() != stride * std::size_t(image.height)) {
        why = "pixel data does not match the size";
        return false;
    }
    image.rgb.clear();
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* row = &raw[stride * std::size_t(y)];
        if (row[0] != 0) {
            why = "filtered row";
            return false;
        }
        image.rgb.insert(image.rgb.end(), row + 1, row + stride);
    }
    return true;
}

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

// The checker itself: a blank picture reads as one colour, so the run test can fail.
TEST(DemoScreenshotCheck, DecodesTheWriterAndCountsColours) {
    const std::string path = QM_DEMO_TEST_DIR "/check.png";
    std::vector<unsigned char> rgb(std::size_t(300) * 200 * 3, 40);
    ASSERT_TRUE(screenshot::WritePng(path, 300, 200, rgb));
    Image blank;
    std::string why;
    ASSERT_TRUE(ReadPng(path, blank, why)) << why;
    EXPECT_EQ(blank.width, 300);
    EXPECT_EQ(blank.height, 200);
    EXPECT_EQ(DistinctColours(blank, 0, 0, 300, 200), 1);

    // glReadPixels rows are bottom-up; the image is top-down: row 0 of the
    // buffer is the bottom row of the picture.
    for (int x = 0; x < 300; ++x) rgb[std::size_t(x) * 3] = 255;
    ASSERT_TRUE(screenshot::WritePng(path, 300, 200, rgb));
    Image marked;
    ASSERT_TRUE(ReadPng(path, marked, why)) << why;
    EXPECT_EQ(marked.rgb[(std::size_t(199) * 300) * 3], 255);
    EXPECT_EQ(DistinctColours(marked, 0, 0, 300, 199), 1);
    EXPECT_EQ(DistinctColours(marked, 0, 0, 300, 200), 2);
}

TEST(DemoHeadlessRun, ExitsCleanlyWithAScreenshotOfFieldAndOverlay) {
    const std::string shot = QM_DEMO_TEST_DIR "/demo.png";
    std::remove(shot.c_str());
    // No multisampling: in a software renderer it costs most of the frame rate.
    const std::string command = std::string("\"") + QM_DEMO_PATH +
                                "\" --scripted --frames 240 --width 960 --height 600"
                                " --samples 0 --no-vsync --screenshot \"" + shot + "\"";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status)) << output;
    ASSERT_EQ(WEXITSTATUS(status), 0) << output;
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
