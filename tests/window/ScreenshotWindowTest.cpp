// Screenshots on a real driver with a game's own GL state in place, and with
// a framebuffer that has not yet taken the window's new size.
#include "WindowTestSupport.h"

#include "support/PngFile.h"

#include <GL/glx.h>

#include <cstdio>
#include <vector>

namespace {

using namespace qmtest;

constexpr GLenum kPixelPackBuffer = 0x88EB;
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kColorAttachment0 = 0x8CE0;
constexpr GLenum kRenderbuffer = 0x8D41;

class ScreenshotWindowTest : public PlainColourWindowTest {
protected:
    void SetUp() override {
        PlainColourWindowTest::SetUp();
        Core::Window.SetSize(64, 48);
        Pump(3);
        ClearDiagnostic();
    }
    void TearDown() override {
        std::remove(path.c_str());
        PlainColourWindowTest::TearDown();
    }

    // A frame of four coloured quadrants, and its back buffer as read with
    // every pack parameter at its default (rows bottom-up).
    std::vector<unsigned char> DrawQuadrants() {
        Core::Renderer.BeginFrame();
        Core::Renderer.Render2D();
        const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
        for (int q = 0; q < 4; ++q) {
            glColor3fv(colours[q]);
            const float x = float(q % 2 * 32), y = float(q / 2 * 24);
            glBegin(GL_QUADS);
            glVertex2f(x, y);
            glVertex2f(x + 32, y);
            glVertex2f(x + 32, y + 24);
            glVertex2f(x, y + 24);
            glEnd();
        }
        std::vector<unsigned char> rgb(64 * 48 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 64, 48, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return rgb;
    }

    void ExpectSaved(const std::vector<unsigned char>& expected) {
        testpng::Image image;
        std::string why;
        ASSERT_TRUE(testpng::Read(path, image, why)) << why;
        ASSERT_EQ(image.width, 64);
        ASSERT_EQ(image.height, 48);
        for (int y = 0; y < 48; ++y)
            ASSERT_EQ(0, std::memcmp(&image.rgb[std::size_t(47 - y) * 64 * 3],
                                     &expected[std::size_t(y) * 64 * 3], 64 * 3))
                << "row " << y;
    }

    std::string path = ::testing::TempDir() + "qm_window_shot.png";
};

TEST_F(ScreenshotWindowTest, TheGamesPackStateIsSetAsideAndGivenBack) {
    const std::vector<unsigned char> expected = DrawQuadrants();
    const GLenum names[] = {GL_PACK_SKIP_ROWS, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_PIXELS,
                            GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST, GL_PACK_ALIGNMENT};
    const GLint game[] = {48, 4 * 64, 7, 1, 1, 8};
    for (int i = 0; i < 6; ++i) glPixelStorei(names[i], game[i]);
    // A pixel-pack buffer would take the pixels instead of the library's memory.
    GLuint buffer = 0;
    auto genBuffers = reinterpret_cast<void (*)(GLsizei, GLuint*)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glGenBuffers")));
    auto bindBuffer = reinterpret_cast<void (*)(GLenum, GLuint)>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glBindBuffer")));
    ASSERT_TRUE(genBuffers && bindBuffer);
    genBuffers(1, &buffer);
    bindBuffer(kPixelPackBuffer, buffer);

    ASSERT_TRUE(SaveScreenshot(path.c_str())) << GetLastDiagnosticMessage();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    for (int i = 0; i < 6; ++i) {
        GLint value = -1;
        glGetIntegerv(names[i], &value);
        EXPECT_EQ(value, game[i]) << "pack parameter 0x" << std::hex << names[i];
    }
    GLint bound = 0;
    glGetIntegerv(0x88ED, &bound);
    EXPECT_EQ(GLuint(bound), buffer);
    bindBuffer(kPixelPackBuffer, 0);
    for (int i = 0; i < 6; ++i) glPixelStorei(names[i], names[i] == GL_PACK_ALIGNMENT ? 4 : 0);
    ExpectSaved(expected);
}

TEST_F(ScreenshotWindowTest, TheWindowIsSavedWhileTheGamesFramebufferIsBound) {
    const std::vector<unsigned char> expected = DrawQuadrants();
    ASSERT_NE(ext::glGenFramebuffersEXT, nullptr);
    GLuint complete = 0, incomplete = 0, colour = 0;
    ext::glGenFramebuffersEXT(1, &complete);
    ext::glGenFramebuffersEXT(1, &incomplete);
    ext::glGenRenderbuffersEXT(1, &colour);
    ext::glBindRenderbufferEXT(kRenderbuffer, colour);
    ext::glRenderbufferStorageEXT(kRenderbuffer, GL_RGBA8, 64, 48);
    ext::glBindFramebufferEXT(kFramebuffer, complete);
    ext::glFramebufferRenderbufferEXT(kFramebuffer, kColorAttachment0, kRenderbuffer, colour);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);  // the game's own target is white
    ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    for (GLuint fbo : {complete, incomplete}) {
        SCOPED_TRACE(fbo == complete ? "complete" : "incomplete");
        ext::glBindFramebufferEXT(kFramebuffer, fbo);
        ASSERT_TRUE(SaveScreenshot(path.c_str())) << GetLastDiagnosticMessage();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        GLint bound = 0;
        glGetIntegerv(0x8CA6, &bound);
        EXPECT_EQ(GLuint(bound), fbo);
        ExpectSaved(expected);
    }
    ext::glBindFramebufferEXT(kFramebuffer, 0);
    ext::glDeleteFramebuffersEXT(1, &complete);
    ext::glDeleteFramebuffersEXT(1, &incomplete);
    ext::glDeleteRenderbuffersEXT(1, &colour);
    glClearColor(0, 0, 0, 1);
}

// The framebuffer takes the window's new size at the swap: in between, a
// screenshot would hold bytes nobody read.
TEST_F(ScreenshotWindowTest, AfterSetSizeInTheFrameTheScreenshotWaitsForTheSwap) {
    Core::Renderer.BeginFrame();
    Core::Window.SetSize(256, 48);
    EXPECT_FALSE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotUnreadable);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    Core::Renderer.EndFrame();
    Core::Renderer.BeginFrame();
    ASSERT_TRUE(SaveScreenshot(path.c_str())) << GetLastDiagnosticMessage();
    testpng::Image image;
    std::string why;
    ASSERT_TRUE(testpng::Read(path, image, why)) << why;
    EXPECT_EQ(image.width, 256);
    EXPECT_EQ(image.height, 48);
}

}  // namespace
