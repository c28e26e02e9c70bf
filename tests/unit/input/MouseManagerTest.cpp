#include "MouseManager.h"

#include "Probes.h"
#include "fakes/Fakes.h"
#include "glfw2.h"
#include "system.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

using Args = std::vector<double>;

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::script.windowWidth = 800;
        fake::script.windowHeight = 600;
    }

    void ExpectPosition(float x, float y) {
        Vector2D p = mouse.GetPosition();
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
    }
    void ExpectPointer(float x, float y) {
        Vector2D p = mouse.GetPointerPosition();
        EXPECT_EQ(p.x, x);
        EXPECT_EQ(p.y, y);
    }
    void ExpectVelocity(float x, float y) {
        Vector2D v = mouse.GetVelocity();
        EXPECT_EQ(v.x, x);
        EXPECT_EQ(v.y, y);
    }
    // The position the library was asked to move the cursor to.
    Args MovedTo() {
        auto calls = fake::CallsNamed("glfwSetMousePos");
        return calls.empty() ? Args{} : calls.back().args;
    }

    MouseManager mouse;
};

TEST_F(MouseTest, StartsAtRestWithNoButtonDown) {
    fake::script.mouseX = 400;
    fake::script.mouseY = 300;
    fake::script.mouseButtons[0] = fake::script.mouseButtons[1] = fake::script.mouseButtons[2] = 1;
    ExpectPosition(0, 0);
    ExpectVelocity(0, 0);
    EXPECT_FALSE(mouse.GetLeftHold() || mouse.GetLeftPress() || mouse.GetLeftRelease());
    EXPECT_FALSE(mouse.GetRightHold() || mouse.GetRightPress() || mouse.GetRightRelease());
    EXPECT_FALSE(mouse.GetMiddleHold() || mouse.GetMiddlePress() || mouse.GetMiddleRelease());
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(MouseTest, StepCallsPositionSizeThenButtonsLeftRightMiddle) {
    mouse.Step();
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"glfwGetMousePos", "glfwGetWindowSize",
                                                       "glfwGetMouseButton", "glfwGetMouseButton",
                                                       "glfwGetMouseButton"}));
    auto buttons = fake::CallsNamed("glfwGetMouseButton");
    EXPECT_EQ(buttons[0].args, Args{0});
    EXPECT_EQ(buttons[1].args, Args{1});
    EXPECT_EQ(buttons[2].args, Args{2});
}

TEST_F(MouseTest, CursorAtRestIsApproachedHalfwayEachStep) {
    fake::script.mouseX = 400;
    fake::script.mouseY = 300;
    mouse.Step();
    EXPECT_EQ(MouseManagerProbe::RawX(mouse), 400.0f);
    EXPECT_EQ(MouseManagerProbe::RawY(mouse), 300.0f);
    ExpectPosition(200, 150);
    ExpectVelocity(200, 150);
    mouse.Step();
    ExpectPosition(300, 225);
    ExpectVelocity(100, 75);
    mouse.Step();
    ExpectPosition(350, 262.5f);
    ExpectVelocity(50, 37.5f);
}

TEST_F(MouseTest, FlipIsHeightMinusYWithoutClamping) {
    struct Case { int libraryY; float rawY; };
    for (Case c : {Case{0, 600}, Case{599, 1}, Case{300, 300}, Case{-25, 625}, Case{700, -100}}) {
        fake::script.mouseY = c.libraryY;
        mouse.Step();
        EXPECT_EQ(MouseManagerProbe::RawY(mouse), c.rawY) << c.libraryY;
    }
    fake::script.mouseX = -40;
    mouse.Step();
    EXPECT_EQ(MouseManagerProbe::RawX(mouse), -40.0f);
}

TEST_F(MouseTest, FlipFollowsAResizedWindow) {
    fake::script.mouseY = 100;
    fake::script.windowHeight = 1000;
    mouse.Step();
    EXPECT_EQ(MouseManagerProbe::RawY(mouse), 900.0f);
}

TEST_F(MouseTest, SetPositionAsksForRoundedTopLeftTarget) {
    fake::script.mouseX = 400;
    fake::script.mouseY = 300;
    fake::script.mouseButtons[1] = 1;
    mouse.Step();
    fake::log.clear();

    mouse.SetPosition(100.4f, 50.5f);
    EXPECT_EQ(fake::Names(), (std::vector<std::string>{"glfwGetWindowSize", "glfwSetMousePos",
                                                       "glfwGetMousePos"}));
    EXPECT_EQ(MovedTo(), (Args{100, 550}));
    ExpectPosition(100.4f, 50.5f);
    ExpectVelocity(200, 150);  // the last Step's, untouched
    EXPECT_TRUE(mouse.GetRightPress());

    // The next Step measures from the requested point.
    fake::script.mouseX = 100;
    fake::script.mouseY = 550;
    mouse.Step();
    // 100.4f + 100 lies exactly halfway between two floats; it rounds to even.
    ExpectPosition(100.1999969482421875f, 50.25f);
    ExpectVelocity(-0.20000457763671875f, -0.25f);
}

TEST_F(MouseTest, SetPositionRoundsByAddingAHalfAndTruncating) {
    fake::script.windowHeight = 0;  // library y = -y
    struct Case { float x; double expected; };
    const Case cases[] = {
        {0.0f, 0},   {0.49f, 0},  {0.5f, 1},   {1.5f, 2},   {2.5f, 3},  {99.99f, 100},
        {-0.4f, 0},  {-0.5f, 0},  {-0.7f, 0},  {-1.6f, -1}, {-2.5f, -2}, {-3.0f, -2},
        // The largest in-range floats still round by adding a half and truncating.
        {2147483520.0f, 2147483520.0}, {-2147483648.0f, -2147483647.0},
    };
    for (const Case& c : cases) {
        mouse.SetPosition(c.x, 0.0f);
        EXPECT_EQ(MovedTo()[0], c.expected) << c.x;
        mouse.SetPosition(0.0f, -c.x);
        EXPECT_EQ(MovedTo()[1], c.expected) << c.x;
    }
}

TEST_F(MouseTest, SetPositionSaturatesHugeIgnoresNanAndReadsWhereThePointerStopped) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case { float x; double expected; };
    const Case cases[] = {
        {2147483648.0f, INT_MAX}, {1e20f, INT_MAX},  {inf, INT_MAX},
        {-2147483904.0f, INT_MIN}, {-1e20f, INT_MIN}, {-inf, INT_MIN},
    };
    fake::script.windowHeight = 0;  // library y = -y
    for (const Case& c : cases) {
        mouse.SetPosition(c.x, 0.0f);
        EXPECT_EQ(MovedTo(), (Args{c.expected, 0})) << c.x;
        mouse.SetPosition(0.0f, -c.x);
        EXPECT_EQ(MovedTo(), (Args{0, c.expected})) << c.x;
    }

    // The pointer stops short of a far target: the position is where it stopped.
    fake::script.windowHeight = 600;
    fake::script.pointerMaxX = 1279;
    mouse.SetPosition(1.0e9f, 10.0f);
    ExpectPosition(1279, 10);
    mouse.Step();
    ExpectPosition(1279, 10);

    fake::log.clear();
    mouse.SetPosition(nan, 5.0f);
    mouse.SetPosition(5.0f, nan);
    EXPECT_TRUE(fake::log.empty()) << "NaN is no place to move to";
    ExpectPosition(1279, 10);
}

TEST_F(MouseTest, VectorOverloadBehavesLikeTheFloatOne) {
    MouseManager other;
    mouse.SetPosition(Vector2D(-0.7f, 12.25f));
    other.SetPosition(-0.7f, 12.25f);
    auto calls = fake::CallsNamed("glfwSetMousePos");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], calls[1]);
    EXPECT_EQ(calls[0].args, (Args{0, 588}));
    EXPECT_EQ(mouse.GetPosition().x, other.GetPosition().x);
    EXPECT_EQ(mouse.GetPosition().y, other.GetPosition().y);
}

TEST_F(MouseTest, SetVisibilityTellsTheCursorModeThenTheDisplayCount) {
    mouse.SetVisibility(false);
    mouse.SetVisibility(false);
    EXPECT_EQ(fake::script.cursorCount, -2);
    mouse.SetVisibility(true);
    EXPECT_EQ(fake::script.cursorCount, -1);
    const std::vector<fake::Call> expected = {
        {"glfwDisable", {0x30001}, ""}, {"ShowCursor", {0}, ""},
        {"glfwDisable", {0x30001}, ""}, {"ShowCursor", {0}, ""},
        {"glfwEnable", {0x30001}, ""},  {"ShowCursor", {1}, ""},
    };
    EXPECT_EQ(fake::log, expected);
}

TEST(CursorCountTest, StopsAtTheEndsOfItsRange) {
    EXPECT_EQ(qmsys::NextCursorCount(INT_MAX, true), INT_MAX);
    EXPECT_EQ(qmsys::NextCursorCount(INT_MAX, false), INT_MAX - 1);
    EXPECT_EQ(qmsys::NextCursorCount(INT_MIN, false), INT_MIN);
    EXPECT_EQ(qmsys::NextCursorCount(INT_MIN, true), INT_MIN + 1);
    EXPECT_EQ(qmsys::NextCursorCount(-1, true), 0);
}

TEST_F(MouseTest, WheelIsReadAtCallTimeAsTheLibraryTotal) {
    fake::script.wheel = -3;
    EXPECT_EQ(mouse.GetWheelPosition(), -3.0f);
    EXPECT_EQ(mouse.GetWheelPosition(), -3.0f);
    fake::script.wheel = 7;
    EXPECT_EQ(mouse.GetWheelPosition(), 7.0f);
    EXPECT_EQ(fake::Count("glfwGetMouseWheel"), 3u);
    EXPECT_EQ(fake::log.size(), 3u);
}

TEST_F(MouseTest, EachButtonGivesOnePressHoldsThenOneRelease) {
    using Query = bool (MouseManager::*)();
    struct Button { int number; Query hold, press, release; };
    const Button buttons[] = {
        {0, &MouseManager::GetLeftHold, &MouseManager::GetLeftPress, &MouseManager::GetLeftRelease},
        {1, &MouseManager::GetRightHold, &MouseManager::GetRightPress, &MouseManager::GetRightRelease},
        {2, &MouseManager::GetMiddleHold, &MouseManager::GetMiddlePress, &MouseManager::GetMiddleRelease},
    };
    for (const Button& b : buttons) {
        SCOPED_TRACE(b.number);
        fake::Reset();
        MouseManager m;
        struct Frame { int state; bool hold, press, release; };
        const Frame frames[] = {
            {1, true, true, false}, {1, true, false, false}, {1, true, false, false},
            {0, false, false, true}, {0, false, false, false},
        };
        for (const Frame& f : frames) {
            fake::script.mouseButtons[b.number] = f.state;
            m.Step();
            EXPECT_EQ((m.*b.hold)(), f.hold);
            EXPECT_EQ((m.*b.press)(), f.press);
            EXPECT_EQ((m.*b.release)(), f.release);
            // The other two buttons stay up.
            for (const Button& o : buttons)
                if (o.number != b.number) {
                    EXPECT_FALSE((m.*o.hold)() || (m.*o.release)());
                }
        }
    }
}

// Raw motion is the pointer's own motion of the frame, y up, whole; the
// smoothed position would have passed on only half of it.
TEST_F(MouseTest, RawMotionIsTheFramesPointerMotionUnsmoothed) {
    EXPECT_EQ(mouse.GetRawMotion().x, 0.0f);
    fake::script.mouseMotionX = 7.0;
    fake::script.mouseMotionY = -3.0;  // up
    mouse.Step();
    EXPECT_EQ(mouse.GetRawMotion().x, 7.0f);
    EXPECT_EQ(mouse.GetRawMotion().y, 3.0f);
    mouse.SetPosition(10.0f, 10.0f);  // a re-centring is not motion
    EXPECT_EQ(mouse.GetRawMotion().x, 7.0f);
    mouse.Step();
    EXPECT_EQ(mouse.GetRawMotion().x, 0.0f);
    EXPECT_EQ(mouse.GetRawMotion().y, 0.0f);
}

// The pointer's own place for a crosshair: where the cursor is, in the 2D
// layer's coordinates, at once (not flying in from the corner), and after a
// SetPosition where it really went.
TEST_F(MouseTest, PointerPositionIsTheCursorItselfInTwoDCoordinates) {
    ExpectPointer(0, 0);
    fake::script.mouseX = 400;
    fake::script.mouseY = 100;
    mouse.Step();
    ExpectPointer(400, 500);
    ExpectPosition(200, 250);  // the smoothed one is still on its way
    mouse.SetPosition(10.0f, 20.0f);
    ExpectPointer(10, 20);
    mouse.SetPosition(std::nanf(""), 5.0f);  // ignored: nothing moved
    ExpectPointer(10, 20);
    fake::script.pointerMaxX = 799;  // the screen ends there
    mouse.SetPosition(5000.0f, 30.0f);
    ExpectPointer(799, 30);
    mouse.Step();
    ExpectPointer(799, 30);
}

}  // namespace
