// The GLFW 2.x interface keeps the cursor position and the window size from
// GLFW 3's events instead of asking the X server on every call; these check
// that what it keeps follows the real window, and that sizes X cannot carry
// leave an open window alone instead of ending the process.
#include "WindowTestSupport.h"

namespace {

using namespace qmtest;

TEST_F(WindowTest, AResizeReachesTheMouseOnceItsEventsAreTakenIn) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    Core::Window.SetSize(400, 300);
    XSync(X(), False);
    Pump(3);
    // SetPosition flips y with the window height it is told: 300 - 30.
    Core::Mouse.SetPosition(40.0f, 30.0f);
    int x = -1, y = -1;
    PointerIn(w, &x, &y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 270);
}

TEST_F(WindowTest, TheCursorIsReadAgainWhenItIsShownAfterMovingHidden) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    Focus(w);
    Core::Mouse.SetPosition(100.0f, 100.0f);
    // Hidden, GLFW 3 reports a position of its own that moves with the mouse
    // while the real pointer stays put ...
    Core::Mouse.SetVisibility(false);
    Pump(2);
    for (int i = 0; i < 5; ++i) {
        XTestFakeRelativeMotionEvent(X(), 15, 10, CurrentTime);
        Pump(1);
    }
    // ... and shown again, the pointer is back where it was hidden, with no
    // motion event to say so.
    Core::Mouse.SetVisibility(true);
    Pump(2);
    Core::Renderer.BeginFrame();
    int x = -1, y = -1;
    PointerIn(w, &x, &y);
    const Vector2D p = Core::Mouse.GetPosition();
    // The smoothed position moves halfway from (100, 100) to the real pointer.
    EXPECT_EQ(p.x, (100.0f + float(x)) / 2);
    EXPECT_EQ(p.y, (100.0f + float(240 - y)) / 2);
}

TEST_F(WindowTest, SizesBeyondSixteenBitsLeaveAnOpenWindowAlone) {
    Window w = OpenWindow();
    ASSERT_NE(w, 0u);
    // 65536 would reach X as 0 (a protocol error that ends the process),
    // 100000 as 34464.
    Core::Window.SetSize(65536, 100);
    Core::Window.SetSize(100000, 200);
    Core::Window.SetSize(300, -1);
    XSync(X(), False);
    Pump(2);
    XWindowAttributes a{};
    XGetWindowAttributes(X(), w, &a);
    EXPECT_EQ(a.width, 320);
    EXPECT_EQ(a.height, 240);
    EXPECT_TRUE(Core::Window.IsOpen());
}

}  // namespace
