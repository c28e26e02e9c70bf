// Keyboard, mouse and joystick managers against real input: events injected
// with XTest into the focused window, read back through the frame cycle.
#include "WindowTestSupport.h"

#include <X11/keysym.h>

#include <functional>
#include <limits>
#include <vector>

namespace {

using namespace qmtest;

constexpr int kLShift = Key::LeftShift;
constexpr int kRShift = Key::RightShift;
// Enough frames for an injected event to reach the library on a slow machine.
constexpr int kPatience = 40;

class InputWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        window = OpenWindow();
        ASSERT_NE(window, 0u);
        Focus(window);
        XWindowAttributes a{};
        XGetWindowAttributes(X(), window, &a);
        height = a.height;
        // Forget whatever earlier tests left in the shared managers.
        Frame();
        Frame();
    }

    // The library's frame cycle seen from the game: the swap takes in the
    // events, then the next frame polls them.
    void Frame() {
        XSync(X(), False);
        Sleep(5);
        Core::Renderer.EndFrame();
        Core::Renderer.BeginFrame();
    }

    // Runs frames until `seen` holds; false if it never does.
    bool FramesUntil(const std::function<bool()>& seen) {
        for (int i = 0; i < kPatience; ++i) {
            Frame();
            if (seen()) return true;
        }
        return false;
    }

    void Key(KeySym sym, bool down) {
        XTestFakeKeyEvent(X(), XKeysymToKeycode(X(), sym), down ? True : False, CurrentTime);
        XSync(X(), False);
    }
    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(X(), button, down ? True : False, CurrentTime);
        XSync(X(), False);
    }
    // Moves the real pointer to window pixel (x, y), top-left origin.
    void MovePointer(int x, int y) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(X(), window, DefaultRootWindow(X()), x, y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(X(), DefaultScreen(X()), rootX, rootY, CurrentTime);
        XSync(X(), False);
    }
    void PointerInWindow(int* x, int* y) { PointerIn(window, x, y); }

    Window window = 0;
    int height = 0;
};

// [SECTION] Keyboard

TEST_F(InputWindowTest, KeyHeldAcrossFramesGivesOnePressAndOneRelease) {
    KeyboardManager& k = Core::Keyboard;
    Key(XK_a, true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold('A'); }));
    EXPECT_TRUE(k.GetKeyPress('A'));
    EXPECT_FALSE(k.GetKeyRelease('A'));
    EXPECT_FALSE(k.GetKeyHold('B'));
    for (int i = 0; i < 3; ++i) {
        Frame();
        EXPECT_TRUE(k.GetKeyHold('A'));
        EXPECT_FALSE(k.GetKeyPress('A'));
        EXPECT_FALSE(k.GetKeyRelease('A'));
    }
    Key(XK_a, false);
    ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold('A'); }));
    EXPECT_TRUE(k.GetKeyRelease('A'));
    EXPECT_FALSE(k.GetKeyPress('A'));
    Frame();
    EXPECT_FALSE(k.GetKeyRelease('A'));
}

// Latching taps must not delay the release of a key whose press was already
// seen: a release arriving with another key's press shows in the same frame.
TEST_F(InputWindowTest, ReleaseOfAHeldKeyShowsInTheFrameItArrives) {
    KeyboardManager& k = Core::Keyboard;
    Key(XK_Escape, true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold(Key::Escape); }));
    EXPECT_TRUE(k.GetKeyPress(Key::Escape));
    Frame();
    Key(XK_Escape, false);
    Key(XK_KP_Enter, true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold(Key::KeypadEnter); }));
    EXPECT_FALSE(k.GetKeyHold(Key::Escape));
    EXPECT_TRUE(k.GetKeyRelease(Key::Escape));
    Key(XK_KP_Enter, false);
    ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold(Key::KeypadEnter); }));
}

TEST_F(InputWindowTest, TapWithinOneFrameIsSeenOnceThenReleased) {
    KeyboardManager& k = Core::Keyboard;
    // Down and up before the library takes in either event.
    Key(XK_space, true);
    Key(XK_space, false);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold(' '); })) << "the tap was lost";
    EXPECT_TRUE(k.GetKeyPress(' '));
    Frame();
    EXPECT_FALSE(k.GetKeyHold(' '));
    EXPECT_TRUE(k.GetKeyRelease(' '));
    Frame();
    EXPECT_FALSE(k.GetKeyHold(' ') || k.GetKeyPress(' ') || k.GetKeyRelease(' '));
}

TEST_F(InputWindowTest, EitherShiftKeyChangesCorrectCase) {
    KeyboardManager& k = Core::Keyboard;
    EXPECT_EQ(k.CorrectCase('A'), 'a');
    EXPECT_EQ(k.CorrectCase('1'), '1');
    struct Shift { KeySym sym; int code; };
    for (Shift s : {Shift{XK_Shift_L, kLShift}, Shift{XK_Shift_R, kRShift}}) {
        SCOPED_TRACE(s.code);
        Key(s.sym, true);
        ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold(s.code); }));
        EXPECT_EQ(k.CorrectCase('A'), 'A');
        EXPECT_EQ(k.CorrectCase('1'), '!');
        EXPECT_EQ(k.CorrectCase(';'), ':');
        Key(s.sym, false);
        ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold(s.code); }));
        EXPECT_EQ(k.CorrectCase('A'), 'a');
        EXPECT_EQ(k.CorrectCase('1'), '1');
    }
}

// [SECTION] Keyboard layouts

// Rebinds one key to other symbols on the X server for the life of the object.
class Remap {
public:
    explicit Remap(KeyCode code) : code(code) {
        KeySym* syms = XGetKeyboardMapping(X(), code, 1, &perKey);
        old.assign(syms, syms + perKey);
        XFree(syms);
    }
    ~Remap() { Set(old); }
    void To(KeySym lower, KeySym upper) {
        std::vector<KeySym> syms(std::size_t(perKey), NoSymbol);
        syms[0] = lower;
        if (perKey > 1) syms[1] = upper;
        Set(syms);
    }

private:
    void Set(std::vector<KeySym> syms) {
        XChangeKeyboardMapping(X(), code, perKey, syms.data(), 1);
        XSync(X(), False);
    }
    KeyCode code;
    int perKey = 0;
    std::vector<KeySym> old;
};

TEST_F(InputWindowTest, PrintableKeysAreNamedByWhatTheyTypeInTheActiveLayout) {
    KeyboardManager& k = Core::Keyboard;
    const KeyCode aKey = XKeysymToKeycode(X(), XK_a);  // where a US keyboard has A
    Remap remap(aKey);
    auto press = [&](bool down) {
        XTestFakeKeyEvent(X(), aKey, down ? True : False, CurrentTime);
        XSync(X(), False);
    };

    // A French layout types 'a' with the key a US one has Q on, and Q with the A key.
    remap.To(XK_q, XK_Q);
    Frame();
    press(true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold('Q'); })) << "not named by its character";
    EXPECT_FALSE(k.GetKeyHold('A'));
    // The layout changes while the key is down: it is released under the name
    // it was pressed with, so nothing stays stuck.
    remap.To(XK_z, XK_Z);
    Frame();
    press(false);
    ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold('Q'); }));
    EXPECT_TRUE(k.GetKeyRelease('Q'));
    EXPECT_FALSE(k.GetKeyHold('Z') || k.GetKeyRelease('Z'));
    // Pressed again, it follows the new layout.
    press(true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold('Z'); }));
    EXPECT_FALSE(k.GetKeyHold('Q') || k.GetKeyHold('A'));
    press(false);
    ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold('Z'); }));

    // A key typing no character in 32..126 keeps its US-position code.
    remap.To(XK_eacute, XK_Eacute);
    Frame();
    press(true);
    ASSERT_TRUE(FramesUntil([&] { return k.GetKeyHold('A'); }));
    press(false);
    ASSERT_TRUE(FramesUntil([&] { return !k.GetKeyHold('A'); }));
}

// [SECTION] Mouse

TEST_F(InputWindowTest, SetPositionMovesTheRealPointer) {
    Core::Mouse.SetPosition(40.0f, 30.0f);
    int x = -1, y = -1;
    PointerInWindow(&x, &y);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, height - 30);
    Vector2D p = Core::Mouse.GetPosition();
    EXPECT_EQ(p.x, 40.0f);
    EXPECT_EQ(p.y, 30.0f);
    // The library reads the pointer where it was put: the position stays.
    Frame();
    p = Core::Mouse.GetPosition();
    EXPECT_EQ(p.x, 40.0f);
    EXPECT_EQ(p.y, 30.0f);
    EXPECT_EQ(Core::Mouse.GetVelocity().x, 0.0f);
}

TEST_F(InputWindowTest, CursorMoveIsReadFlippedAndSmoothed) {
    MouseManager& m = Core::Mouse;
    m.SetPosition(40.0f, 40.0f);
    Frame();
    // Pointer to window pixel (200, 60) from the top: (200, height - 60) from the bottom.
    const float targetX = 200.0f, targetY = float(height - 60);
    MovePointer(200, 60);
    ASSERT_TRUE(FramesUntil([&] { return m.GetPosition().x != 40.0f; }));
    Vector2D p = m.GetPosition(), v = m.GetVelocity();
    EXPECT_EQ(p.x, (40.0f + targetX) / 2);
    EXPECT_EQ(p.y, (40.0f + targetY) / 2);
    EXPECT_EQ(v.x, (targetX - 40.0f) / 2);
    EXPECT_EQ(v.y, (targetY - 40.0f) / 2);
    Frame();
    p = m.GetPosition();
    v = m.GetVelocity();
    EXPECT_EQ(p.x, 40.0f + (targetX - 40.0f) * 0.75f);
    EXPECT_EQ(p.y, 40.0f + (targetY - 40.0f) * 0.75f);
    EXPECT_EQ(v.x, (targetX - 40.0f) / 4);
    EXPECT_EQ(v.y, (targetY - 40.0f) / 4);
}

TEST_F(InputWindowTest, SetPositionBeyondTheScreenReadsWhereThePointerWent) {
    MouseManager& m = Core::Mouse;
    m.SetPosition(50.0f, 60.0f);
    Frame();
    // NaN is no place: nothing moves.
    m.SetPosition(std::numeric_limits<float>::quiet_NaN(), 100.0f);
    EXPECT_EQ(m.GetPosition().x, 50.0f);
    EXPECT_EQ(m.GetPosition().y, 60.0f);
    Frame();
    EXPECT_EQ(m.GetPosition().x, 50.0f);
    EXPECT_EQ(m.GetPosition().y, 60.0f);
    // Far off the screen, the pointer stops at its edge, and that is what is read.
    for (float far : {2.1e9f, std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(far);
        m.SetPosition(far, -far);
        int x = -1, y = -1;
        PointerInWindow(&x, &y);
        EXPECT_LT(x, 10000);
        Vector2D p = m.GetPosition();
        EXPECT_EQ(p.x, float(x));
        EXPECT_EQ(p.y, float(height - y));
        Frame();
        p = m.GetPosition();
        EXPECT_EQ(p.x, float(x));
        EXPECT_EQ(p.y, float(height - y));
    }
}

// Mouse-look: the cursor re-centred every frame, the player's moves read
// whole from the raw motion, equal to what the pointer really did.
TEST_F(InputWindowTest, RawMotionEqualsThePointersMotionWhenRecentredEachFrame) {
    MouseManager& m = Core::Mouse;
    const int cx = 160, cy = 120;  // window pixels, top-left origin
    const int moves[][2] = {{7, -3}, {-12, 5}, {1, 1}, {25, 0}, {0, -18}};
    int pointerX = 0, pointerY = 0;
    float motionX = 0.0f, motionY = 0.0f;
    for (const auto& move : moves) {
        m.SetPosition(float(cx), float(height - cy));
        Frame();
        motionX += m.GetRawMotion().x;  // nothing, or what came before the warp
        motionY += m.GetRawMotion().y;
        int x = 0, y = 0;
        PointerInWindow(&x, &y);
        ASSERT_EQ(x, cx);
        XTestFakeRelativeMotionEvent(X(), move[0], move[1], CurrentTime);
        XSync(X(), False);
        int movedX = 0, movedY = 0;
        PointerInWindow(&movedX, &movedY);
        pointerX += movedX - x;
        pointerY += movedY - y;
        ASSERT_TRUE(FramesUntil([&] { return m.GetRawMotion().x != 0 || m.GetRawMotion().y != 0; }));
        motionX += m.GetRawMotion().x;
        motionY += m.GetRawMotion().y;
    }
    Frame();
    motionX += m.GetRawMotion().x;
    motionY += m.GetRawMotion().y;
    EXPECT_EQ(pointerX, 7 - 12 + 1 + 25);
    EXPECT_EQ(motionX, float(pointerX));
    EXPECT_EQ(motionY, float(-pointerY)) << "y up";
}

// The raw motion summed over a few frames: what the pointer did meanwhile.
Vector2D RawMotionOver(const std::function<void()>& frame, int frames) {
    Vector2D sum(0.0f, 0.0f);
    for (int i = 0; i < frames; ++i) {
        frame();
        sum.x += Core::Mouse.GetRawMotion().x;
        sum.y += Core::Mouse.GetRawMotion().y;
    }
    return sum;
}

// Nothing the game or the windowing library does to the pointer or the
// window is motion: re-centring twice in a frame, hiding the cursor (which
// centres it) and showing it (which puts it back), moving and resizing the
// window, and opening one away from the screen's origin, hidden or not.
TEST_F(InputWindowTest, WarpsAndWindowChangesAreNeverRawMotion) {
    MouseManager& m = Core::Mouse;
    auto frame = [this] { Frame(); };
    auto expectStill = [&](const char* what) {
        Vector2D motion = RawMotionOver(frame, 4);
        EXPECT_EQ(motion.x, 0.0f) << what;
        EXPECT_EQ(motion.y, 0.0f) << what;
    };
    MovePointer(30, 40);
    RawMotionOver(frame, 3);
    m.SetPosition(100.0f, 100.0f);
    m.SetPosition(200.0f, 150.0f);
    expectStill("two re-centrings in a frame");
    for (bool hidden : {false, true}) {
        if (hidden) m.SetVisibility(false);
        expectStill("hiding");
        Core::Window.SetSize(300, 200);
        Core::Window.SetSize(320, 240);
        expectStill("two resizes in a frame");
        Core::Window.SetPosition(40, 30);
        Core::Window.SetPosition(0, 0);
        expectStill("two window moves in a frame");
        if (hidden) m.SetVisibility(true);
        expectStill("showing");
    }
    for (bool hidden : {false, true}) {
        Core::Window.Close();
        Core::Window.SetPosition(100, 50);
        if (hidden) m.SetVisibility(false);
        ASSERT_TRUE(Core::Window.Open());
        expectStill(hidden ? "open while hidden" : "open at (100, 50)");
        if (hidden) m.SetVisibility(true);
    }
}

// With the cursor hidden the pointer is held inside the window: a resize or
// move that leaves it outside brings it along. That is no motion either, for
// one change or several in a frame, to any size or place.
TEST_F(InputWindowTest, WindowChangesThatCarryAHiddenPointerAreNoRawMotion) {
    MouseManager& m = Core::Mouse;
    auto frame = [this] { Frame(); };
    m.SetVisibility(false);
    RawMotionOver(frame, 3);
    const struct {
        const char* what;
        int width, height, x, y;
    } changes[][2] = {
        {{"narrower", 91, 240, 0, 0}, {"then wider", 120, 240, 0, 0}},
        {{"lower", 120, 240, 0, 500}, {"lower still", 120, 240, 0, 520}},
        {{"smaller", 60, 50, 0, 520}, {"and moved back", 60, 50, 300, 10}},
        {{"larger", 320, 240, 300, 10}, {"and moved", 320, 240, 0, 0}},
    };
    for (const auto& pair : changes) {
        for (const auto& c : pair) {
            Core::Window.SetSize(c.width, c.height);
            Core::Window.SetPosition(c.x, c.y);
        }
        Vector2D motion = RawMotionOver(frame, 4);
        EXPECT_EQ(motion.x, 0.0f) << pair[0].what << ", " << pair[1].what;
        EXPECT_EQ(motion.y, 0.0f) << pair[0].what << ", " << pair[1].what;
    }
    // The player's own moves still count afterwards.
    XTestFakeRelativeMotionEvent(X(), 5, -3, CurrentTime);
    XSync(X(), False);
    Vector2D motion = RawMotionOver(frame, 4);
    EXPECT_EQ(motion.x, 5.0f);
    EXPECT_EQ(motion.y, 3.0f) << "y up";
    m.SetVisibility(true);
}

// After a re-centring, a move away and back within one frame is no motion,
// and the next move reads as itself, with the cursor shown or hidden.
TEST_F(InputWindowTest, AMoveAwayAndBackWithinAFrameIsNoMotion) {
    MouseManager& m = Core::Mouse;
    auto frame = [this] { Frame(); };
    for (bool hidden : {false, true}) {
        if (hidden) m.SetVisibility(false);
        m.SetPosition(160.0f, float(height - 120));
        RawMotionOver(frame, 3);
        XTestFakeRelativeMotionEvent(X(), 20, 0, CurrentTime);
        XTestFakeRelativeMotionEvent(X(), -20, 0, CurrentTime);
        XSync(X(), False);
        Vector2D motion = RawMotionOver(frame, 4);
        EXPECT_EQ(motion.x, 0.0f) << (hidden ? "hidden" : "shown");
        EXPECT_EQ(motion.y, 0.0f);
        XTestFakeRelativeMotionEvent(X(), 5, -3, CurrentTime);
        XSync(X(), False);
        motion = RawMotionOver(frame, 4);
        EXPECT_EQ(motion.x, 5.0f) << (hidden ? "hidden" : "shown");
        EXPECT_EQ(motion.y, 3.0f) << "y up";
        if (hidden) m.SetVisibility(true);
    }
}

TEST_F(InputWindowTest, EachMouseButtonHasItsOwnEdges) {
    MovePointer(100, 100);
    using Query = bool (MouseManager::*)();
    struct Case { unsigned xButton; const char* name; Query hold, press, release; };
    // X numbers the buttons left 1, middle 2, right 3.
    const Case cases[] = {
        {1, "left", &MouseManager::GetLeftHold, &MouseManager::GetLeftPress, &MouseManager::GetLeftRelease},
        {2, "middle", &MouseManager::GetMiddleHold, &MouseManager::GetMiddlePress, &MouseManager::GetMiddleRelease},
        {3, "right", &MouseManager::GetRightHold, &MouseManager::GetRightPress, &MouseManager::GetRightRelease},
    };
    MouseManager& m = Core::Mouse;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Button(c.xButton, true);
        ASSERT_TRUE(FramesUntil([&] { return (m.*c.hold)(); }));
        EXPECT_TRUE((m.*c.press)());
        for (const Case& other : cases)
            if (other.xButton != c.xButton) {
                EXPECT_FALSE((m.*other.hold)()) << other.name;
            }
        Frame();
        EXPECT_TRUE((m.*c.hold)());
        EXPECT_FALSE((m.*c.press)() || (m.*c.release)());
        Button(c.xButton, false);
        ASSERT_TRUE(FramesUntil([&] { return !(m.*c.hold)(); }));
        EXPECT_TRUE((m.*c.release)());
        EXPECT_FALSE((m.*c.press)());
    }
}

TEST_F(InputWindowTest, ReleaseOfAHeldButtonShowsInTheFrameItArrives) {
    MouseManager& m = Core::Mouse;
    MovePointer(100, 100);
    Button(1, true);
    ASSERT_TRUE(FramesUntil([&] { return m.GetLeftHold(); }));
    Frame();
    Button(1, false);
    Button(3, true);
    ASSERT_TRUE(FramesUntil([&] { return m.GetRightHold(); }));
    EXPECT_FALSE(m.GetLeftHold());
    EXPECT_TRUE(m.GetLeftRelease());
    Button(3, false);
    ASSERT_TRUE(FramesUntil([&] { return !m.GetRightHold(); }));
}

TEST_F(InputWindowTest, MouseButtonTapWithinOneFrameIsSeenOnce) {
    MouseManager& m = Core::Mouse;
    MovePointer(100, 100);
    Button(2, true);
    Button(2, false);
    ASSERT_TRUE(FramesUntil([&] { return m.GetMiddleHold(); })) << "the click was lost";
    EXPECT_TRUE(m.GetMiddlePress());
    Frame();
    EXPECT_TRUE(m.GetMiddleRelease());
    Frame();
    EXPECT_FALSE(m.GetMiddleHold() || m.GetMiddlePress() || m.GetMiddleRelease());
}

TEST_F(InputWindowTest, WheelCountsButtonsFourUpAndFiveDown) {
    MouseManager& m = Core::Mouse;
    MovePointer(100, 100);
    const float start = m.GetWheelPosition();
    for (int i = 0; i < 2; ++i) {
        Button(4, true);
        Button(4, false);
    }
    // Read at call time: nothing changes until the library takes in events.
    EXPECT_EQ(m.GetWheelPosition(), start);
    ASSERT_TRUE(FramesUntil([&] { return m.GetWheelPosition() == start + 2; }));
    EXPECT_EQ(m.GetWheelPosition(), m.GetWheelPosition());
    for (int i = 0; i < 5; ++i) {
        Button(5, true);
        Button(5, false);
    }
    ASSERT_TRUE(FramesUntil([&] { return m.GetWheelPosition() == start - 3; }));
    // The total, not one frame's movement.
    Frame();
    EXPECT_EQ(m.GetWheelPosition(), start - 3);
}

// The pointer resting before the window opens is read in window pixels from
// the first frame, not as screen coordinates.
TEST_F(WindowTest, PointerRestingBeforeOpenIsReadInWindowPixels) {
    Core::Window.SetSize(800, 600);
    Core::Window.SetPosition(100, 50);
    XWarpPointer(X(), None, DefaultRootWindow(X()), 0, 0, 0, 0, 500, 400);
    XSync(X(), False);
    ASSERT_TRUE(Core::Window.Open());
    for (int i = 0; i < 40; ++i) {
        Core::Renderer.BeginFrame();
        Core::Renderer.EndFrame();
    }
    Vector2D p = Core::Mouse.GetPosition();
    EXPECT_EQ(p.x, 400.0f);
    EXPECT_EQ(p.y, 250.0f);
}

// [SECTION] Joysticks

TEST_F(InputWindowTest, WithNoJoystickEveryQueryIsAbsentAndZero) {
    JoystickManager& j = Core::Joystick;
    Frame();
    for (int joy = 0; joy < 8; ++joy) {
        EXPECT_FALSE(j.IsConnected(joy)) << joy;
        for (int b = 0; b < 16; ++b)
            EXPECT_FALSE(j.GetButtonHold(joy, b) || j.GetButtonPress(joy, b) ||
                         j.GetButtonRelease(joy, b));
        for (int a = 0; a < 6; ++a) EXPECT_EQ(j.GetAxis(joy, a), 0.0f);
    }
}

}  // namespace
