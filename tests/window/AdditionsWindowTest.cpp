// Text, screenshots, diagnostics and native handles on a real window.
#include "WindowTestSupport.h"

#include "support/PngFile.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace {

using namespace qmtest;

class AdditionsWindowTest : public PlainColourWindowTest {
protected:

    // The back buffer's RGB rows, bottom-up as glReadPixels gives them.
    static std::vector<unsigned char> ReadBack(int width, int height) {
        std::vector<unsigned char> rgb(std::size_t(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    // Lit pixels inside x0..x1, y0..y1 (window pixels, bottom-left origin).
    static int LitPixels(const std::vector<unsigned char>& rgb, int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += rgb[(std::size_t(y) * 320 + x) * 3 + 1] > 128;
        return n;
    }

    static std::vector<unsigned char> DrawAndRead(const char* text, Vector2D at, float height) {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        glColor3f(0.0f, 1.0f, 0.0f);
        DrawString(text, at, height, 1.0f);
        FlushSprites();  // the read-back is the game's own GL
        return ReadBack(320, 240);
    }
};

TEST_F(AdditionsWindowTest, TextAppearsWhereItIsDrawnAndDependsOnTheString) {
    const float height = 24.0f;
    std::vector<unsigned char> hello = DrawAndRead("HELLO", Vector2D(40.0f, 100.0f), height);
    const int right = 40 + int(GetStringWidth("HELLO", height));
    EXPECT_GE(LitPixels(hello, 40, 100, right + 1, 125), 100);
    // Nothing outside the string's box, a pixel's margin aside.
    EXPECT_EQ(LitPixels(hello, 0, 0, 320, 98), 0);
    EXPECT_EQ(LitPixels(hello, 0, 127, 320, 240), 0);
    EXPECT_EQ(LitPixels(hello, right + 2, 0, 320, 240), 0);
    EXPECT_EQ(LitPixels(hello, 0, 0, 38, 240), 0);

    std::vector<unsigned char> world = DrawAndRead("WORLD", Vector2D(40.0f, 100.0f), height);
    EXPECT_NE(hello, world);
    // Small capitals stay below two thirds of the height.
    std::vector<unsigned char> lower = DrawAndRead("hello", Vector2D(40.0f, 100.0f), height);
    EXPECT_NE(lower, hello);
    EXPECT_EQ(LitPixels(lower, 0, 118, 320, 240), 0);
    EXPECT_GT(LitPixels(lower, 40, 100, right + 1, 117), 50);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Text is on the 2D layer like the sprites and shapes: a depth buffer left
// uncleared (holding the last frame's text at the same depth) hides nothing.
TEST_F(AdditionsWindowTest, TextDrawsWhenTheDepthBufferIsNotCleared) {
    DrawAndRead("HELLO", Vector2D(40.0f, 100.0f), 24.0f);
    Core::Renderer.EndFrame();
    Core::Window.SetClearDepthBuffer(false);
    std::vector<unsigned char> again = DrawAndRead("HELLO", Vector2D(40.0f, 100.0f), 24.0f);
    Core::Window.SetClearDepthBuffer(true);
    EXPECT_GE(LitPixels(again, 40, 100, 140, 125), 100);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "the game's depth test is put back";
}

TEST_F(AdditionsWindowTest, FrameDurationsComeFromAClockFinerThanAMillisecond) {
    // The loop's frames are measured from this Step on.
    const auto wallStart = std::chrono::steady_clock::now();
    Core::Renderer.BeginFrame();
    Core::Renderer.EndFrame();
    const double startedAt = Core::Timer.GetTimeSinceStart();
    double sum = 0.0;
    int fractional = 0;  // durations that are no whole number of milliseconds
    for (int frame = 0; frame < 20; ++frame) {
        Core::Renderer.BeginFrame();
        Core::Renderer.EndFrame();
        const double ms = Core::Timer.GetFrameDuration() * 1000.0;
        fractional += std::abs(ms - std::round(ms)) > 1e-6;
        sum += Core::Timer.GetFrameDuration();
    }
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    EXPECT_GT(fractional, 0);
    EXPECT_NEAR(Core::Timer.GetTimeSinceStart() - startedAt, sum, 1e-6);
    EXPECT_LE(sum, wall + 1e-6);
}

TEST_F(AdditionsWindowTest, ScreenshotDecodesToTheReadBackPixels) {
    Core::Renderer.BeginFrame();
    Core::Renderer.Render2D();
    glColor3f(0.9f, 0.3f, 0.1f);
    DrawString("PNG 42", Vector2D(10.0f, 20.0f), 30.0f, 2.0f);
    DrawCircle(Vector2D(250.0f, 180.0f), 40.0f, 3.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 3);  // a game's own pack state stays as it was
    const std::vector<unsigned char> expected = ReadBack(320, 240);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);

    const std::string path = ::testing::TempDir() + "qm_screenshot.png";
    ClearDiagnostic();
    ASSERT_TRUE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::Nothing);
    GLint alignment = 0;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);

    testpng::Image image;
    std::string why;
    ASSERT_TRUE(testpng::Read(path, image, why)) << why;
    ASSERT_EQ(image.width, 320);
    ASSERT_EQ(image.height, 240);
    // The PNG is top-down, the read-back bottom-up.
    for (int y = 0; y < 240; ++y)
        ASSERT_EQ(0, std::memcmp(&image.rgb[std::size_t(239 - y) * 320 * 3],
                                 &expected[std::size_t(y) * 320 * 3], 320 * 3))
            << "row " << y;

    EXPECT_FALSE(SaveScreenshot("/nonexistent-dir/shot.png"));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotWriteFailed);
    Core::Window.Close();
    EXPECT_FALSE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotNoWindow);
    std::remove(path.c_str());
}

TEST_F(AdditionsWindowTest, NativeHandlesNameTheOpenWindow) {
    ASSERT_NE(GetGlfwWindow(), nullptr);
    ASSERT_NE(GetX11Display(), nullptr);
    EXPECT_EQ(GetX11Window(), FindWindowByTitle("Quillmar test"));
    EXPECT_EQ(static_cast<void*>(GetX11Display()), static_cast<void*>(Core::Window.GetHDC()));
    Core::Window.Close();
    EXPECT_EQ(GetGlfwWindow(), nullptr);
    EXPECT_EQ(GetX11Display(), nullptr);
    EXPECT_EQ(GetX11Window(), 0u);
}

TEST_F(AdditionsWindowTest, SecondOpenAndAdapterChangesReachTheCallback) {
    struct Seen {
        int calls = 0;
        Diagnostic last = Diagnostic::Nothing;
        std::string message;
    } seen;
    SetDiagnosticCallback(
        [](Diagnostic code, const char* message, void* user) {
            Seen& s = *static_cast<Seen*>(user);
            ++s.calls;
            s.last = code;
            s.message = message;
        },
        &seen);
    EXPECT_FALSE(Core::Window.Open());
    EXPECT_EQ(seen.last, Diagnostic::WindowAlreadyOpen);
    EXPECT_NE(seen.message.find("already open"), std::string::npos) << seen.message;
    // The adapter's own change of an argument: a title longer than a window shows.
    Core::Window.SetTitle(std::string(20000, 'q').c_str());
    EXPECT_EQ(seen.last, Diagnostic::TitleCut);
    EXPECT_NE(seen.message.find("20000 bytes"), std::string::npos) << seen.message;
    Core::Window.SetTitle("Quillmar test");
    SetDiagnosticCallback(nullptr, nullptr);
}

// Run in a child process with DISPLAY pointing nowhere (see below): the
// windowing library cannot start, and Open says so.
TEST(NoDisplayChild, OpenReportsTheMissingDisplay) {
    if (!std::getenv("QM_NO_DISPLAY_CHILD")) GTEST_SKIP() << "run by OpenWithoutDisplay";
    Diagnostic codes[8] = {};
    int count = 0;
    struct Sink { Diagnostic* codes; int* count; } sink{codes, &count};
    SetDiagnosticCallback(
        [](Diagnostic code, const char*, void* user) {
            Sink& s = *static_cast<Sink*>(user);
            if (*s.count < 8) s.codes[(*s.count)++] = code;
        },
        &sink);
    Core core;
    EXPECT_FALSE(Core::Window.Open());
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::NoDisplay);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("DISPLAY"), std::string::npos);
    // GLFW's own error came first, through the same channel.
    ASSERT_GE(count, 2);
    EXPECT_EQ(codes[0], Diagnostic::PlatformError);
    EXPECT_EQ(codes[count - 1], Diagnostic::NoDisplay);
}

TEST(NoDisplay, OpenWithoutDisplayReportsItsReason) {
    std::vector<std::string> env = {"QM_NO_DISPLAY_CHILD=1", "DISPLAY=:4097",
                                    "WAYLAND_DISPLAY="};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) && std::strncmp(*e, "WAYLAND_DISPLAY=", 16))
            env.push_back(*e);
    std::vector<char*> envp;
    for (std::string& s : env) envp.push_back(&s[0]);
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe", filter = "--gtest_filter=NoDisplayChild.*";
    char* argv[] = {&self[0], &filter[0], nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()), 0);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child's checks failed (its output is above)";
}

}  // namespace
