// The window's size seen by every reader (the game's queries, the viewport,
// both projections, the mouse), sizes the window cannot have, and titles
// longer than the X server takes.
#include "WindowTestSupport.h"

#include <X11/Xatom.h>

namespace {

using namespace qmtest;

// The top-level window whose title starts with `prefix`, or 0.
Window FindWindowByTitlePrefix(const std::string& prefix) {
    return FindTopLevelWindow([&](const std::string& name) { return name.rfind(prefix, 0) == 0; });
}

// The window's UTF-8 title as the server holds it.
std::string NetWmName(Window w) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(X(), w, XInternAtom(X(), "_NET_WM_NAME", False), 0, 1L << 24, False,
                           AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
        data)
        name.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    return name;
}

class SizeWindowTest : public WindowTest {
protected:
    void Frame() {
        XSync(X(), False);
        Sleep(5);
        Core::Renderer.EndFrame();
        Core::Renderer.BeginFrame();
    }
    // Runs frames until the game reads this width; false if it never does.
    bool FramesUntilWidth(int width) {
        for (int i = 0; i < 40; ++i) {
            Frame();
            if (Core::Window.GetWidth() == width) return true;
        }
        return false;
    }
    // Every reader of the size agrees on w x h: the queries, the viewport,
    // the 3D aspect, a mark drawn near the top-right corner of the 2D layer,
    // and the mouse's flip.
    void ExpectEveryReaderSees(Window w, int width, int height) {
        const float aspect = float(double(width) / double(height));
        EXPECT_EQ(Core::Window.GetWidth(), width);
        EXPECT_EQ(Core::Window.GetHeight(), height);
        EXPECT_EQ(Core::Window.GetAspectRatio(), aspect);
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], width);
        EXPECT_EQ(viewport[3], height);

        Core::Renderer.Render3D();
        GLfloat m[16] = {};
        glGetFloatv(GL_PROJECTION_MATRIX, m);
        EXPECT_NEAR(m[5] / m[0], aspect, 1e-5);

        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        Core::Renderer.Render2D();
        glColor3f(0.0f, 1.0f, 0.0f);
        DrawLine(Vector2D(float(width - 20), float(height) - 10.5f),
                 Vector2D(float(width - 2), float(height) - 10.5f), 1.0f);
        const Pixel p = ReadPixel(width - 10, height - 11);
        EXPECT_TRUE(p.g > 200 && p.r < 50) << "the 2D layer is not the window's pixels";

        Core::Mouse.SetPosition(10.0f, 10.0f);
        int x = -1, y = -1;
        PointerIn(w, &x, &y);
        EXPECT_EQ(x, 10);
        EXPECT_EQ(y, height - 10) << "the mouse flips with another height";
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
};

TEST_F(SizeWindowTest, SetSizeOnAnOpenWindowReachesEveryReader) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    Core::Window.SetSize(400, 300);
    EXPECT_EQ(Core::Window.GetAspectRatio(), float(400.0 / 300.0)) << "at once";
    Frame();
    ExpectEveryReaderSees(w, 400, 300);
}

TEST_F(SizeWindowTest, AResizeFromOutsideReachesEveryReaderAndCloseRestoresTheSetting) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    // What a tiling window manager does, to a window resizable or not.
    XResizeWindow(X(), w, 500, 200);
    ASSERT_TRUE(FramesUntilWidth(500));
    ExpectEveryReaderSees(w, 500, 200);
    XMoveResizeWindow(X(), w, 30, 20, 360, 280);
    ASSERT_TRUE(FramesUntilWidth(360));
    ExpectEveryReaderSees(w, 360, 280);

    Core::Window.Close();
    EXPECT_EQ(Core::Window.GetWidth(), 320) << "the stored setting again";
    EXPECT_EQ(Core::Window.GetHeight(), 240);
    EXPECT_EQ(Core::Window.GetAspectRatio(), float(320.0 / 240.0));
}

TEST_F(SizeWindowTest, FullScreenReportsTheSizeItReallyGot) {
    Core::Window.SetFullScreen(true);
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    Focus(w);  // the cursor is moved only in a focused window
    Frame();
    XWindowAttributes a{};
    XGetWindowAttributes(X(), w, &a);
    // Xvfb cannot switch modes: the window covers its whole screen.
    ExpectEveryReaderSees(w, a.width, a.height);
    Core::Window.Close();
    EXPECT_EQ(Core::Window.GetWidth(), 320);
}

TEST_F(SizeWindowTest, SizesAWindowCannotHaveAreIgnored) {
    // Before opening (the last one would open a window with no pixels) ...
    for (auto size : {std::make_pair(-1, -1), std::make_pair(1, 0), std::make_pair(1, 65536),
                      std::make_pair(-5, 100), std::make_pair(16385, 100), std::make_pair(0, 0)})
        Core::Window.SetSize(size.first, size.second);
    EXPECT_EQ(Core::Window.GetWidth(), 320);
    EXPECT_EQ(Core::Window.GetHeight(), 240);
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    XWindowAttributes a{};
    XGetWindowAttributes(X(), w, &a);
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    // ... and on an open window.
    Core::Window.SetSize(0, 0);
    Core::Window.SetSize(-5, 100);
    Core::Window.SetSize(65535, 65535);
    Frame();
    ExpectEveryReaderSees(w, 320, 240);
    EXPECT_TRUE(Core::Window.IsOpen());
}

TEST_F(SizeWindowTest, TitlesBeyondWhatTheServerTakesAreCutAtACharacter) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    // 17 MB of two-byte characters after one single-byte one.
    std::string title = "a";
    for (int i = 0; i < 8500000; ++i) title += "\xC3\xA9";
    Core::Window.SetTitle(title.c_str());
    Pump(1);
    std::string shown = NetWmName(w);
    EXPECT_GT(shown.size(), 1000u);
    EXPECT_LT(shown.size(), title.size());
    EXPECT_EQ(shown, title.substr(0, shown.size()));
    EXPECT_EQ(shown.size() % 2, 1u) << "cut inside a character";

    // Stored before opening, it reaches the new window cut the same way.
    Core::Window.Close();
    std::string plain(17000000, 'q');
    Core::Window.SetTitle(plain.c_str());
    ASSERT_TRUE(Core::Window.Open());
    Pump(2);
    Window again = FindWindowByTitlePrefix("qqqq");
    ASSERT_NE(again, 0u);
    shown = NetWmName(again);
    EXPECT_GT(shown.size(), 1000u);
    EXPECT_LT(shown.size(), plain.size());
    Core::Window.SetTitle("Quillmar test");
}

// The report names what reached the window: a cut stepped back to the start
// of a two-byte character sends one byte less than the limit.
TEST_F(SizeWindowTest, TitleCutNamesTheBytesActuallySent) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    std::string title = "a";
    for (int i = 0; i < 9000; ++i) title += "\xC3\xA9";
    Core::Window.SetTitle(title.c_str());
    Pump(1);
    EXPECT_EQ(NetWmName(w).size(), 16383u);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::TitleCut);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("first 16383"), std::string::npos)
        << GetLastDiagnosticMessage();
}

// A callback that retitles or closes the window while a title is being cut:
// the adapter has finished with the old title and window before it is called.
TEST_F(SizeWindowTest, ACallbackMayRetitleOrCloseDuringATitleReport) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    static std::string other;
    other = std::string(20000, 'b');
    SetDiagnosticCallback(
        [](Diagnostic code, const char*, void*) {
            if (code == Diagnostic::TitleCut) Core::Window.SetTitle(other.c_str());
        },
        nullptr);
    const std::string first(20000, 'a');
    Core::Window.SetTitle(first.c_str());
    Core::Window.SetTitle(first.c_str());
    Pump(1);
    EXPECT_EQ(NetWmName(w), other.substr(0, 16384));

    SetDiagnosticCallback(
        [](Diagnostic code, const char*, void*) {
            if (code == Diagnostic::TitleCut) Core::Window.Close();
        },
        nullptr);
    Core::Window.SetTitle(first.c_str());
    EXPECT_FALSE(Core::Window.IsOpen());
    // The long title is stored: Open cuts it, and the callback closes the
    // window once Open is done.
    Core::Window.Open();
    EXPECT_FALSE(Core::Window.IsOpen());
    SetDiagnosticCallback(nullptr, nullptr);
    Core::Window.SetTitle("Quillmar test");
}

}  // namespace
