// Helpers for the real-window tests: a second X connection to inspect the
// library's window, give it focus and inject input with XTest.
#ifndef QUILLMAR_TESTS_WINDOW_SUPPORT_H
#define QUILLMAR_TESTS_WINDOW_SUPPORT_H

// gtest first: X11 defines macros (None, Bool) that clash with its names.
#include <gtest/gtest.h>

#include "Quillmar.h"

#include <GL/gl.h>

#include <string>

#if defined(_WIN32)
// The same helpers on Windows (under Wine): Win32 lookups, XTest through a
// helper program on the X side.
#include "windows/WindowsTestSupport.h"
#else

// Xlib calls its font handles Font, as Quillmar calls its fonts: renamed
// here, where no X font is used.
#define Font XFont
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#undef Font

#include <chrono>
#include <cstring>
#include <thread>

namespace qmtest {

// The test's own connection to the X server, separate from the library's.
inline Display* X() {
    static Display* display = XOpenDisplay(nullptr);
    return display;
}

inline std::string WindowName(Window w) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(X(), w, &name) && name) result = name;
    if (name) XFree(name);
    return result;
}

// The first top-level window whose title satisfies `matches`, or 0.
template <typename Match>
Window FindTopLevelWindow(Match matches) {
    XSync(X(), False);
    Window root = DefaultRootWindow(X()), parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(X(), root, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i)
            if (matches(WindowName(children[i]))) found = children[i];
        if (children) XFree(children);
    }
    return found;
}

// The top-level window with exactly this title, or 0.
inline Window FindWindowByTitle(const std::string& title) {
    return FindTopLevelWindow([&](const std::string& name) { return name == title; });
}

// Where the real pointer is, in pixels from the top-left of window w.
inline void PointerIn(Window w, int* x, int* y) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned mask = 0;
    XQueryPointer(X(), w, &root, &child, &rootX, &rootY, x, y, &mask);
}

inline void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Lets the library take in pending events: one frame's swap, then a pause
// for the X server, a few times over.
inline void Pump(int frames = 3) {
    for (int i = 0; i < frames; ++i) {
        XSync(X(), False);
        Sleep(5);
        Core::Renderer.EndFrame();
    }
}

// Gives the window keyboard focus and puts the pointer over it.
inline void Focus(Window w) {
    XMapRaised(X(), w);
    XSync(X(), False);
    for (int i = 0; i < 50; ++i) {
        XWindowAttributes a{};
        XGetWindowAttributes(X(), w, &a);
        if (a.map_state == IsViewable) break;
        Pump(1);
    }
    XSetInputFocus(X(), w, RevertToParent, CurrentTime);
    XWarpPointer(X(), None, w, 0, 0, 0, 0, 10, 10);
    XSync(X(), False);
    Pump(3);
}

// Sends the window manager's close request, as a user's click on the close box does.
inline void RequestClose(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(X(), "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(X(), "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(X(), w, False, NoEventMask, &e);
    XSync(X(), False);
}

inline bool DisplayReady() { return X() != nullptr; }

}  // namespace qmtest
#endif  // !_WIN32

namespace qmtest {

// The colour of one pixel of the back buffer, read with glReadPixels.
struct Pixel {
    unsigned char r, g, b;
};
inline Pixel ReadPixel(int x, int y) {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Pixel{rgba[0], rgba[1], rgba[2]};
}

// A Core for the test's life, and the window opened with the defaults the
// tests rely on (no multisampling unless asked, so pixels are exact).
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DisplayReady()) << "no X display: run the window tests under Xvfb";
        core = new Core;
        Core::Window.SetSize(320, 240);
        Core::Window.SetPosition(0, 0);
        Core::Window.SetSampleRate(1);
        Core::Window.SetTitle("Quillmar test");
    }
    void TearDown() override {
        delete core;
        core = nullptr;
        Core::Window.SetTitle("Quillmar");
        Core::Window.SetSize(800, 600);
        Core::Window.SetPosition(100, 50);
        Core::Window.SetSampleRate(2);
        Core::Window.SetFullScreen(false);
        Core::Window.SetClearColor(0, 0, 0, 1);
        Core::Window.SetClearColorBuffer(true);
        Core::Window.SetClearDepthBuffer(true);
    }
    // Opens the window and finds it on the X server (on Windows, by Win32).
    Window OpenWindow() {
        EXPECT_TRUE(Core::Window.Open());
        Pump(2);
        Window w = FindWindowByTitle("Quillmar test");
        EXPECT_NE(w, Window(0));
        return w;
    }

    Core* core = nullptr;
};

// The window opened for pixel checks in plain colours: no texture, no blending.
class PlainColourWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        OpenWindow();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
    }
};

}  // namespace qmtest

#endif
