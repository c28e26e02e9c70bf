// The window, its GL context and the extension loader on a real X server with
// Mesa's software renderer.
#include "WindowTestSupport.h"

#include <GL/glx.h>

namespace {

using namespace qmtest;

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif
#ifndef GL_SAMPLES
#define GL_SAMPLES 0x80A9
#endif

TEST_F(WindowTest, OpensClosesAndReopensWithTheStoredSettings) {
    EXPECT_FALSE(Core::Window.IsOpen());
    Window w = OpenWindow();
    EXPECT_TRUE(Core::Window.IsOpen());
    EXPECT_NE(Core::Window.GetHDC(), nullptr);
    XWindowAttributes a{};
    XGetWindowAttributes(X(), w, &a);
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);

    Core::Window.Close();
    EXPECT_FALSE(Core::Window.IsOpen());
    EXPECT_EQ(FindWindowByTitle("Quillmar test"), 0u);

    Window again = OpenWindow();
    EXPECT_TRUE(Core::Window.IsOpen());
    XGetWindowAttributes(X(), again, &a);
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
}

TEST_F(WindowTest, OpenSetsTheFixedGlState) {
    OpenWindow();
    for (GLenum cap : {GL_DEPTH_TEST, GL_TEXTURE_2D, GL_BLEND, GL_COLOR_MATERIAL, GL_CULL_FACE})
        EXPECT_TRUE(glIsEnabled(cap)) << std::hex << cap;
    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_BACK);
    for (GLenum array : {GLenum(GL_VERTEX_ARRAY), GLenum(GL_NORMAL_ARRAY), GLenum(GL_TEXTURE_COORD_ARRAY),
                         GLenum(GL_SECONDARY_COLOR_ARRAY)})
        EXPECT_TRUE(glIsEnabled(array)) << std::hex << array;
    EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// A 2D game's window: no depth buffer, and the 2D layer draws as before; the
// next Open asked for one has one again.
TEST_F(WindowTest, AWindowAskedForNoDepthBufferHasNone) {
    Core::Window.SetDepthBuffer(false);
    OpenWindow();
    GLint depthBits = -1;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 0);
    Core::Renderer.BeginFrame();
    Core::Renderer.Render2D();
    SetColor(0, 1, 0);
    FillRect(Vector2D(10, 10), Vector2D(20, 20));
    DrawString("-", Vector2D(50, 10), 12.0f, 3.0f);
    FlushSprites();
    EXPECT_EQ(ReadPixel(20, 20).g, 255);
    EXPECT_EQ(ReadPixel(54, 16).g, 255);  // the dash: x 52..56 at y 16
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    Core::Window.Close();
    Core::Window.SetDepthBuffer(true);
    OpenWindow();
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GE(depthBits, 16);
}

TEST_F(WindowTest, ExtensionsLoadOnMesa) {
    OpenWindow();
    EXPECT_TRUE(InitExtensions());
    const void* required[] = {
        reinterpret_cast<void*>(ext::glCreateProgramObjectARB),
        reinterpret_cast<void*>(ext::glCreateShaderObjectARB),
        reinterpret_cast<void*>(ext::glCompileShaderARB),
        reinterpret_cast<void*>(ext::glLinkProgramARB),
        reinterpret_cast<void*>(ext::glGetInfoLogARB),
        reinterpret_cast<void*>(ext::glDeleteObjectARB),
        reinterpret_cast<void*>(ext::glUseProgramObjectARB),
        reinterpret_cast<void*>(ext::glShaderSourceARB),
        reinterpret_cast<void*>(ext::glAttachObjectARB),
        reinterpret_cast<void*>(ext::glGetObjectParameterivARB),
        reinterpret_cast<void*>(ext::glGetUniformLocationARB),
        reinterpret_cast<void*>(ext::glUniform4fARB),
        reinterpret_cast<void*>(ext::glUniform1iARB),
    };
    for (const void* p : required) EXPECT_NE(p, nullptr);

    // The pointers are real: a shader object can be made and deleted.
    unsigned int shader = ext::glCreateShaderObjectARB(0x8B31);  // vertex shader
    EXPECT_NE(shader, 0u);
    ext::glDeleteObjectARB(shader);

    // Swap control is loaded exactly when this X server's GLX offers it
    // (Xvfb does not: it has no vertical blank).
    const char* glx = glXQueryExtensionsString(X(), DefaultScreen(X()));
    bool offered = glx && (std::strstr(glx, "GLX_EXT_swap_control") ||
                           std::strstr(glx, "GLX_MESA_swap_control") ||
                           std::strstr(glx, "GLX_SGI_swap_control"));
    EXPECT_EQ(ext::wglSwapIntervalEXT != nullptr, offered);
    Core::Window.SetVerticalSync(false);
    Core::Window.SetVerticalSync(true);
    Core::Window.SetVerticalSync(false);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(WindowTest, SecondOpenFailsAndKeepsTheDeviceContext) {
    OpenWindow();
    HDC first = Core::Window.GetHDC();
    EXPECT_FALSE(Core::Window.Open());
    EXPECT_EQ(Core::Window.GetHDC(), first);
    EXPECT_TRUE(Core::Window.IsOpen());
}

TEST_F(WindowTest, SizeAndTitleReachAnOpenWindow) {
    Window w = OpenWindow();
    Core::Window.SetSize(400, 300);
    Core::Window.SetTitle("Renamed");
    Pump(5);
    XWindowAttributes a{};
    XGetWindowAttributes(X(), w, &a);
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(a.height, 300);
    EXPECT_EQ(WindowName(w), "Renamed");
    Core::Window.SetTitle("Quillmar test");
}

TEST_F(WindowTest, MultisamplingIsRequestedAndGranted) {
    Core::Window.SetSampleRate(4);
    OpenWindow();
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    EXPECT_GE(samples, 2);
}

TEST_F(WindowTest, DestroyingCoreClosesTheWindow) {
    OpenWindow();
    delete core;
    core = nullptr;
    EXPECT_FALSE(Core::Window.IsOpen());
    EXPECT_EQ(FindWindowByTitle("Quillmar test"), 0u);
    // Every call stays safe after shutdown.
    Core::Renderer.EndFrame();
    Core::Window.Close();
    EXPECT_FALSE(Core::Window.Open()) << "the windowing library is no longer running";
}

TEST_F(WindowTest, TheWindowLivesAsLongAsAnyCoreAndItsHandleNoLonger) {
    OpenWindow();
    { Core copy = *core; }
    { Core second; }
    EXPECT_TRUE(Core::Window.IsOpen());
    EXPECT_NE(FindWindowByTitle("Quillmar test"), 0u);
    Core::Renderer.BeginFrame();
    Core::Renderer.EndFrame();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_NE(Core::Window.GetHDC(), nullptr);
    delete core;
    core = nullptr;
    EXPECT_FALSE(Core::Window.IsOpen());
    EXPECT_EQ(Core::Window.GetHDC(), nullptr) << "the display it named was closed";
}

TEST_F(WindowTest, TheUserClosingTheWindowIsSeenByIsOpen) {
    Window w = OpenWindow();
    RequestClose(w);
    for (int i = 0; i < 50 && Core::Window.IsOpen(); ++i) Pump(1);
    EXPECT_FALSE(Core::Window.IsOpen());
    Pump(2);  // swapping with no window does nothing
    Window again = OpenWindow();
    EXPECT_NE(again, 0u) << "and it can be opened again";
}

TEST_F(WindowTest, NothingBreaksBeforeTheLibraryStartsOrWithoutAWindow) {
    delete core;  // no Core at all: the windowing library is not running
    core = nullptr;
    EXPECT_FALSE(Core::Window.Open());
    EXPECT_FALSE(Core::Window.IsOpen());
    Core::Window.Close();
    Core::Window.SetSize(640, 480);
    Core::Window.SetTitle(nullptr);
    Core::Window.SetTitle(std::string(70000, 't').c_str());
    Core::Renderer.EndFrame();
    Core::Keyboard.Step();
    Core::Mouse.Step();
    Core::Joystick.Step();
    EXPECT_FALSE(Core::Keyboard.GetKeyHold('A'));
    Core::Window.SetTitle("Quillmar test");

    core = new Core;
    Core second;  // a second Core starts the same library again
    Window w = OpenWindow();
    EXPECT_NE(w, 0u);
}

}  // namespace
