#include "Diagnostics.h"
#include "Probes.h"
#include "ToString.h"
#include "fakes/Fakes.h"
#include "glfw2.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale>

using fake::Call;

namespace {

class WindowManagerTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    WindowManager w;
};

// The calls of a successful Open after glfwOpenWindow, in order, for the
// default settings and the temporary title the call used.
std::vector<Call> CallsAfterOpenWindow(const std::string& temporaryTitle) {
    return {
        {"Milliseconds", {}, ""},  // seeds the temporary title
        {"glfwSetWindowTitle", {}, temporaryTitle},
        {"FindWindow", {}, temporaryTitle},
        {"GetDC", {double(0x1234)}, ""},
        {"glfwSetWindowTitle", {}, "Quillmar"},
        {"glfwSetWindowPos", {100, 50}, ""},
        {"glfwEnable", {double(glfw2::GLFW_MOUSE_CURSOR)}, ""},
        {"glEnable", {double(GL_DEPTH_TEST)}, ""},
        {"glEnable", {double(GL_TEXTURE_2D)}, ""},
        {"glEnable", {double(GL_BLEND)}, ""},
        {"glEnable", {double(GL_COLOR_MATERIAL)}, ""},
        {"glEnable", {double(GL_CULL_FACE)}, ""},
        {"glCullFace", {double(GL_BACK)}, ""},
        {"glGetString", {double(GL_EXTENSIONS)}, ""},
    };
}

std::vector<Call> ClientArrayCalls() {
    return {
        {"glEnableClientState", {double(GL_VERTEX_ARRAY)}, ""},
        {"glEnableClientState", {double(GL_NORMAL_ARRAY)}, ""},
        {"glEnableClientState", {double(GL_TEXTURE_COORD_ARRAY)}, ""},
        {"glEnableClientState", {double(0x845E)}, ""},  // secondary colour array
    };
}

TEST_F(WindowManagerTest, DefaultsAreTheDocumentedOnes) {
    WindowManager fresh;
    EXPECT_TRUE(fake::log.empty()) << "construction calls nothing";
    EXPECT_EQ(w.GetWidth(), 800);
    EXPECT_EQ(w.GetHeight(), 600);
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(1.3333334f));
    EXPECT_TRUE(w.GetClearColorBuffer());
    EXPECT_TRUE(w.GetClearDepthBuffer());
    Color4f c = w.GetClearColor();
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_EQ(c.b, 0.0f);
    EXPECT_EQ(c.a, 1.0f);
    EXPECT_EQ(w.GetHDC(), nullptr);
    EXPECT_EQ(WindowManagerProbe::DepthBits(w), 16);
    EXPECT_TRUE(WindowManagerProbe::Multisample(w));
    EXPECT_EQ(WindowManagerProbe::Samples(w), 2);
    EXPECT_EQ(WindowManagerProbe::Title(w), "Quillmar");
}

TEST_F(WindowManagerTest, SampleRateMapsByFixedRanges) {
    struct Case { int requested; bool on; int count; };
    const Case cases[] = {
        {1, false, 1}, {0, false, 1}, {-5, false, 1}, {std::numeric_limits<int>::min(), false, 1},
        {2, true, 2},  {3, true, 2},  {4, true, 4},   {6, true, 4},  {7, true, 8},
        {13, true, 8}, {14, true, 16}, {128, true, 16}, {129, true, 2}, {1000, true, 2},
        {std::numeric_limits<int>::max(), true, 2},
    };
    for (const Case& c : cases) {
        w.SetSampleRate(c.requested);
        EXPECT_EQ(WindowManagerProbe::Multisample(w), c.on) << c.requested;
        EXPECT_EQ(WindowManagerProbe::Samples(w), c.count) << c.requested;
    }
}

TEST_F(WindowManagerTest, DepthBitsRoundToSupportedValues) {
    const int cases[][2] = {{-1, 16}, {0, 16}, {19, 16}, {20, 24}, {27, 24}, {28, 32}, {100, 32}};
    for (const auto& c : cases) {
        w.SetDepthBufferBits(c[0]);
        EXPECT_EQ(WindowManagerProbe::DepthBits(w), c[1]) << c[0];
    }
    // No depth buffer is asked for as 0 bits; wanting one back gives 16, and
    // a size chosen before stays.
    w.SetDepthBuffer(false);
    EXPECT_EQ(WindowManagerProbe::DepthBits(w), 0);
    w.SetDepthBuffer(true);
    EXPECT_EQ(WindowManagerProbe::DepthBits(w), 16);
    w.SetDepthBufferBits(24);
    w.SetDepthBuffer(true);
    EXPECT_EQ(WindowManagerProbe::DepthBits(w), 24);
}

TEST_F(WindowManagerTest, ClearColorKeepsOnlyComponentsWithinZeroToOne) {
    w.SetClearColor(1.5f, 0.5f, -0.1f, 1.0f);
    Color4f c = w.GetClearColor();
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.5f);
    EXPECT_EQ(c.b, 0.0f);
    EXPECT_EQ(c.a, 1.0f);

    w.SetClearColor(0.25f, 0.75f, 0.5f, 0.0f);  // both ends are inside
    w.SetClearColor(0.0f, 0.0f, 1.0f);          // alpha untouched
    c = w.GetClearColor();
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_EQ(c.b, 1.0f);
    EXPECT_EQ(c.a, 0.0f);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    w.SetClearColor(nan, inf, -0.0f, nan);
    c = w.GetClearColor();
    EXPECT_EQ(c.r, 0.0f);
    EXPECT_EQ(c.g, 0.0f);
    EXPECT_TRUE(std::signbit(c.b)) << "-0 lies within 0..1 and is kept";
    EXPECT_EQ(c.a, 0.0f);
}

TEST_F(WindowManagerTest, SizeTakesSidesOneTo16384AndPositionStoresLowSixteenBits) {
    w.SetSize(1024, 768);
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(1.3333334f));
    w.SetSize(1, 16384);
    EXPECT_EQ(w.GetWidth(), 1);
    EXPECT_EQ(w.GetHeight(), 16384);
    // No side below one pixel or beyond 16384: nothing stored, nothing passed on.
    const int rejected[][2] = {{0, 0}, {-5, 100}, {1, 0}, {1, 65536}, {-1, -1}, {16385, 10},
                               {70000, 600}, {640, std::numeric_limits<int>::min()}};
    for (const auto& size : rejected) {
        w.SetSize(size[0], size[1]);
        EXPECT_EQ(w.GetWidth(), 1) << size[0] << "x" << size[1];
        EXPECT_EQ(w.GetHeight(), 16384);
        EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(float(1.0 / 16384.0)));
    }
    EXPECT_EQ(fake::CallsNamed("glfwSetWindowSize"),
              (std::vector<Call>{{"glfwSetWindowSize", {1024, 768}, ""},
                                 {"glfwSetWindowSize", {1, 16384}, ""}}));
    ASSERT_TRUE(w.Open());
    EXPECT_EQ(fake::CallsNamed("glfwOpenWindow")[0].args[0], 1);
    EXPECT_EQ(fake::CallsNamed("glfwOpenWindow")[0].args[1], 16384);

    w.SetPosition(-2, 65536 + 7);
    EXPECT_EQ(WindowManagerProbe::PositionX(w), 65534);
    EXPECT_EQ(WindowManagerProbe::PositionY(w), 7);
    EXPECT_EQ(fake::CallsNamed("glfwSetWindowPos").back(), (Call{"glfwSetWindowPos", {-2, 65543}, ""}));
}

// While the window is open the size is the one it really has (the windowing
// library's); before opening and after closing, the stored setting.
TEST_F(WindowManagerTest, SizeReadsTheOpenWindowAndTheSettingOtherwise) {
    w.SetSize(1000, 500);
    ASSERT_TRUE(w.Open());
    fake::script.windowWidth = 1280;  // a full-screen mode the display could not switch
    fake::script.windowHeight = 1024;
    EXPECT_EQ(w.GetWidth(), 1280);
    EXPECT_EQ(w.GetHeight(), 1024);
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(1.25f));
    w.SetSize(640, 480);  // the fake window takes it at once
    EXPECT_EQ(w.GetWidth(), 640);
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(float(640.0 / 480.0)));
    fake::script.windowWidth = 700;  // resized from outside
    EXPECT_EQ(w.GetWidth(), 700);
    w.Close();
    EXPECT_EQ(w.GetWidth(), 640);
    EXPECT_EQ(w.GetHeight(), 480);
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(float(640.0 / 480.0)));
}

TEST_F(WindowManagerTest, TitleIsCopiedAndNullIsIgnored) {
    std::string text = "Level 1";
    w.SetTitle(text.c_str());
    text[0] = 'X';  // the manager holds its own copy
    EXPECT_EQ(WindowManagerProbe::Title(w), "Level 1");

    w.SetTitle(nullptr);
    EXPECT_EQ(WindowManagerProbe::Title(w), "Level 1");

    std::string longTitle(100000, 'q');
    w.SetTitle(longTitle.c_str());
    EXPECT_EQ(WindowManagerProbe::Title(w), longTitle);
    w.SetTitle("");
    EXPECT_EQ(WindowManagerProbe::Title(w), "");

    std::vector<Call> titles = fake::CallsNamed("glfwSetWindowTitle");
    ASSERT_EQ(titles.size(), 3u) << "the null title reaches nothing";
    EXPECT_EQ(titles[0].text, "Level 1");
    EXPECT_EQ(titles[1].text, longTitle);

    WindowManager copy = w;
    w.SetTitle("changed");
    EXPECT_EQ(WindowManagerProbe::Title(copy), "") << "copies are deep";
}

TEST_F(WindowManagerTest, OpenMakesItsCallsInOrder) {
    fake::clockNow = 4242;
    ASSERT_TRUE(w.Open());

    std::srand(4242);
    std::string temporaryTitle = std::to_string(std::rand());

    std::vector<Call> expected = {
        {"glfwOpenWindowHint", {double(glfw2::GLFW_FSAA_SAMPLES), 2}, ""},
        {"glfwOpenWindowHint", {double(glfw2::GLFW_WINDOW_NO_RESIZE), 1}, ""},
        {"glfwOpenWindow", {800, 600, 8, 8, 8, 0, 16, 0, double(glfw2::GLFW_WINDOW)}, ""},
    };
    for (const Call& c : CallsAfterOpenWindow(temporaryTitle)) expected.push_back(c);
    // InitExtensions' lookups lie between the GL state and the client arrays.
    std::vector<Call> log = fake::log;
    ASSERT_GE(log.size(), expected.size() + 4);
    std::vector<Call> head(log.begin(), log.begin() + long(expected.size()));
    std::vector<Call> tail(log.end() - 4, log.end());
    EXPECT_EQ(head, expected);
    EXPECT_EQ(tail, ClientArrayCalls());
    EXPECT_EQ(fake::Count("GetProcAddress"), 35u) << "every entry point but swap control";
    EXPECT_EQ(w.GetHDC(), fake::script.nativeDC);
    EXPECT_EQ(WindowManagerProbe::WindowHandle(w), fake::script.nativeWindow);
}

TEST_F(WindowManagerTest, OpenReseedsTheGamesRandomSequence) {
    fake::clockNow = 777;
    std::srand(1);
    ASSERT_TRUE(w.Open());
    int afterOpen = std::rand();
    std::srand(777);
    std::rand();  // the temporary title's draw
    EXPECT_EQ(afterOpen, std::rand());
}

TEST_F(WindowManagerTest, OpenUsesTheStoredSettings) {
    w.SetSampleRate(1);
    w.SetDepthBufferBits(24);
    w.SetFullScreen(true);
    w.SetSize(1024, 768);
    w.SetPosition(3, 4);
    w.SetTitle("Game");
    fake::Reset();
    ASSERT_TRUE(w.Open());
    std::vector<Call> log = fake::log;
    EXPECT_EQ(log[0], (Call{"glfwOpenWindowHint", {double(glfw2::GLFW_WINDOW_NO_RESIZE), 1}, ""}))
        << "no sample hint with multisampling off";
    EXPECT_EQ(log[1], (Call{"glfwOpenWindow",
                            {1024, 768, 8, 8, 8, 0, 24, 0, double(glfw2::GLFW_FULLSCREEN)}, ""}));
    EXPECT_EQ(fake::CallsNamed("glfwSetWindowPos"), (std::vector<Call>{{"glfwSetWindowPos", {3, 4}, ""}}));
    EXPECT_EQ(fake::CallsNamed("glfwSetWindowTitle").back().text, "Game");
    EXPECT_EQ(Bits(w.GetAspectRatio()), Bits(float(1024.0 / 768.0)));
}

TEST_F(WindowManagerTest, FailedOpenChangesNothing) {
    ASSERT_TRUE(w.Open());
    HDC first = w.GetHDC();
    w.Close();

    fake::Reset();
    fake::script.openResult = 0;
    fake::script.nativeDC = reinterpret_cast<void*>(0x9999);
    w.SetSize(100, 100);
    fake::log.clear();
    EXPECT_FALSE(w.Open());
    ASSERT_EQ(fake::log.size(), 3u) << "two hints and the open, nothing after";
    EXPECT_EQ(w.GetHDC(), first);

    fake::script.openResult = -1;  // anything not above 0 is a failure
    EXPECT_FALSE(w.Open());
}

TEST_F(WindowManagerTest, OpenWhileOpenFailsAndKeepsTheHandles) {
    ASSERT_TRUE(w.Open());
    HDC first = w.GetHDC();
    fake::script.nativeDC = reinterpret_cast<void*>(0x9999);
    EXPECT_FALSE(w.Open());
    EXPECT_EQ(w.GetHDC(), first);
    EXPECT_TRUE(w.IsOpen());

    w.Close();
    EXPECT_FALSE(w.IsOpen());
    ASSERT_TRUE(w.Open()) << "reopens with the stored settings";
    EXPECT_EQ(w.GetHDC(), reinterpret_cast<HDC>(0x9999)) << "fresh handles on reopen";
}

TEST_F(WindowManagerTest, VerticalSyncNeedsTheLoadedEntryPoint) {
    ext::wglSwapIntervalEXT = nullptr;
    w.SetVerticalSync(true);
    EXPECT_EQ(fake::Count("wglSwapIntervalEXT"), 0u);

    ASSERT_TRUE(w.Open());
    w.SetVerticalSync(true);
    w.SetVerticalSync(false);
    EXPECT_EQ(fake::CallsNamed("wglSwapIntervalEXT"),
              (std::vector<Call>{{"wglSwapIntervalEXT", {1}, ""}, {"wglSwapIntervalEXT", {0}, ""}}));

    // The loaded pointer outlives the window, its context does not.
    w.Close();
    ClearDiagnostic();
    w.SetVerticalSync(true);
    EXPECT_EQ(fake::Count("wglSwapIntervalEXT"), 2u);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::VerticalSyncIgnored);
}

TEST_F(WindowManagerTest, TextureQualityKeepsTheLowEightBits) {
    w.SetTextureQuality(0x1FF);
    EXPECT_EQ(WindowManagerProbe::TextureQuality(w), 0xFF);
    w.SetTextureQuality(-1);
    EXPECT_EQ(WindowManagerProbe::TextureQuality(w), 0xFF);
}

TEST(ToStringTest, IgnoresTheGamesLocale) {
    struct Grouping : std::numpunct<char> {
        char do_thousands_sep() const override { return ','; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new Grouping));
    const std::string text = ToString<int>(-1234567);
    std::locale::global(previous);
    EXPECT_EQ(text, "-1234567");
}

TEST(ToStringTest, FormatsIntsAsDecimalText) {
    EXPECT_EQ(ToString<int>(0), "0");
    EXPECT_EQ(ToString<int>(-42), "-42");
    EXPECT_EQ(ToString<int>(std::numeric_limits<int>::min()), "-2147483648");
    EXPECT_EQ(ToString<int>(std::numeric_limits<int>::max()), "2147483647");
}

}  // namespace
