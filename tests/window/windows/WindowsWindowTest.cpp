// The Windows services behind the window, on a real Win32 window and WGL
// context: the device context, swap control, the cursor display count, and
// XTest input reaching the window through Wine.
#include "WindowTestSupport.h"

#include <cmath>
#include <functional>
#include <string>

namespace {

using namespace qmtest;

// Enough frames for an injected event to reach the library on a slow machine.
constexpr int kPatience = 40;

class WindowsWindowTest : public WindowTest {
protected:
    void Frame() {
        ::Sleep(5);
        Core::Renderer.EndFrame();
        Core::Renderer.BeginFrame();
    }
    bool FramesUntil(const std::function<bool()>& seen) {
        for (int i = 0; i < kPatience; ++i) {
            Frame();
            if (seen()) return true;
        }
        return false;
    }
};

TEST_F(WindowsWindowTest, DeviceContextBelongsToTheWindowAndItsContext) {
    Window w = OpenWindow();
    ASSERT_NE(w, nullptr);
    HDC hdc = reinterpret_cast<HDC>(Core::Window.GetHDC());
    ASSERT_NE(hdc, nullptr);
    EXPECT_EQ(WindowFromDC(hdc), w);
    EXPECT_EQ(wglGetCurrentDC(), hdc) << "the GL context draws on another device context";
    char title[64] = {};
    GetWindowTextA(w, title, sizeof title);
    EXPECT_STREQ(title, "Quillmar test") << "the temporary title was left on the window";
}

TEST_F(WindowsWindowTest, VerticalSyncSwitchesTheDriversSwapInterval) {
    OpenWindow();
    ASSERT_NE(ext::wglSwapIntervalEXT, nullptr) << "WGL_EXT_swap_control not loaded";
    using GetInterval = int(WINAPI*)();
    auto get = reinterpret_cast<GetInterval>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    ASSERT_NE(get, nullptr);
    Core::Window.SetVerticalSync(true);
    EXPECT_EQ(get(), 1);
    Core::Window.SetVerticalSync(false);
    EXPECT_EQ(get(), 0);

    // The pointer stays loaded after Close; the context it needs is gone.
    Core::Window.Close();
    ClearDiagnostic();
    Core::Window.SetVerticalSync(true);
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::VerticalSyncIgnored);
}

TEST_F(WindowsWindowTest, MouseVisibilityMovesTheSystemsDisplayCount) {
    OpenWindow();
    const int start = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    Core::Mouse.SetVisibility(false);
    EXPECT_EQ(ShowCursor(TRUE), start);  // -1 from the library, +1 here
    ShowCursor(FALSE);
    Core::Mouse.SetVisibility(true);
    EXPECT_EQ(ShowCursor(TRUE), start + 1);
    ShowCursor(FALSE);
}

TEST_F(WindowsWindowTest, InjectedKeysAndButtonsReachTheManagers) {
    Window w = OpenWindow();
    Focus(w);
    KeyboardManager& k = Core::Keyboard;
    MouseManager& m = Core::Mouse;
    ASSERT_TRUE(Inject("key:a:down"));
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold('A'); }));
    EXPECT_TRUE(k.GetKeyPress('A'));
    ASSERT_TRUE(Inject("key:a:up key:Escape:down"));
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold(257); }));
    EXPECT_FALSE(k.GetKeyHold('A'));
    ASSERT_TRUE(Inject("key:Escape:up button:1:down"));
    ASSERT_TRUE(FramesUntil([&] { return m.GetLeftHold(); }));
    EXPECT_FALSE(k.GetKeyHold(257));
    ASSERT_TRUE(Inject("button:1:up"));
    ASSERT_TRUE(FramesUntil([&] { return m.GetLeftRelease(); }));
}

TEST_F(WindowsWindowTest, InjectedPointerPositionIsFromTheBottomLeft) {
    Window w = OpenWindow();
    Focus(w);
    // The X window carries the whole Win32 window, frame included: aim at
    // client pixel (100, 40) from the top-left.
    RECT frame{};
    GetWindowRect(w, &frame);
    POINT client{0, 0};
    ClientToScreen(w, &client);
    const int x = 100 + int(client.x - frame.left), y = 40 + int(client.y - frame.top);
    ASSERT_TRUE(Inject("move:" + std::to_string(x) + ":" + std::to_string(y)));
    // The managed position moves halfway each frame: it settles on the cursor.
    ASSERT_TRUE(FramesUntil([&] {
        Vector2D p = Core::Mouse.GetPosition();
        return std::fabs(p.x - 100.0f) < 0.5f && std::fabs(p.y - 200.0f) < 0.5f;
    })) << Core::Mouse.GetPosition().x << ", " << Core::Mouse.GetPosition().y;
}

}  // namespace
