#include "JoystickManager.h"

#include "Probes.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Args = std::vector<double>;

class JoystickTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }

    // A full device: 16 buttons and 6 axes.
    void Attach(int joy) {
        fake::script.joystickPresent[joy] = true;
        fake::script.joystickButtonCount[joy] = 16;
        fake::script.joystickAxisCount[joy] = 6;
    }

    JoystickManager joystick;
};

TEST_F(JoystickTest, EverythingReadsZeroBeforeTheFirstStep) {
    Attach(3);
    fake::script.joystickButtons[3][0] = 1;
    fake::script.joystickAxes[3][0] = 0.5f;
    for (int joy = 0; joy < 8; ++joy) {
        for (int b = 0; b < 16; ++b) {
            EXPECT_FALSE(joystick.GetButtonHold(joy, b));
            EXPECT_FALSE(joystick.GetButtonPress(joy, b));
            EXPECT_FALSE(joystick.GetButtonRelease(joy, b));
        }
        for (int a = 0; a < 6; ++a) EXPECT_EQ(joystick.GetAxis(joy, a), 0.0f);
    }
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(JoystickTest, StepPollsAllEightWithoutAskingForPresence) {
    joystick.Step();
    ASSERT_EQ(fake::log.size(), 16u);
    for (int joy = 0; joy < 8; ++joy) {
        EXPECT_EQ(fake::log[2 * joy], (fake::Call{"glfwGetJoystickButtons", {double(joy), 16}, ""}));
        EXPECT_EQ(fake::log[2 * joy + 1], (fake::Call{"glfwGetJoystickPos", {double(joy), 6}, ""}));
    }
}

TEST_F(JoystickTest, OutOfRangeNumbersAreRejectedWithoutALibraryCall) {
    for (int joy = 0; joy < 8; ++joy) Attach(joy);
    for (int joy = 0; joy < 8; ++joy) {
        for (int b = 0; b < 16; ++b) fake::script.joystickButtons[joy][b] = 1;
        for (int a = 0; a < 6; ++a) fake::script.joystickAxes[joy][a] = 0.25f;
    }
    // The fake would answer for joysticks 8..15 and button 16 too.
    fake::script.joystickPresent[8] = true;
    joystick.Step();
    fake::log.clear();

    for (int joy : {8, 15, -1, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(joystick.IsConnected(joy)) << joy;
        EXPECT_FALSE(joystick.GetButtonHold(joy, 0)) << joy;
        EXPECT_FALSE(joystick.GetButtonPress(joy, 0)) << joy;
        EXPECT_EQ(joystick.GetAxis(joy, 0), 0.0f) << joy;
    }
    for (int button : {16, -1, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(joystick.GetButtonHold(0, button)) << button;
        EXPECT_FALSE(joystick.GetButtonPress(7, button)) << button;
    }
    for (int axis : {6, -1, INT_MIN, INT_MAX}) EXPECT_EQ(joystick.GetAxis(0, axis), 0.0f) << axis;
    EXPECT_TRUE(fake::log.empty());

    // The last valid entries.
    EXPECT_TRUE(joystick.GetButtonHold(7, 15));
    EXPECT_TRUE(joystick.GetButtonPress(7, 15));
    EXPECT_TRUE(joystick.GetButtonHold(0, 0));
    EXPECT_EQ(joystick.GetAxis(7, 5), 0.25f);
    EXPECT_EQ(joystick.GetAxis(0, 0), 0.25f);
    EXPECT_TRUE(fake::log.empty());
}

TEST_F(JoystickTest, IsConnectedAsksTheLibraryAtCallTime) {
    EXPECT_FALSE(joystick.IsConnected(7));
    Attach(7);
    EXPECT_TRUE(joystick.IsConnected(7));  // no Step needed
    EXPECT_FALSE(joystick.IsConnected(0));
    const std::vector<fake::Call> expected = {
        {"glfwGetJoystickParam", {7, 0x50001}, ""},
        {"glfwGetJoystickParam", {7, 0x50001}, ""},
        {"glfwGetJoystickParam", {0, 0x50001}, ""},
    };
    EXPECT_EQ(fake::log, expected);
}

TEST_F(JoystickTest, HeldButtonGivesOnePressHoldsThenOneRelease) {
    Attach(2);
    struct Frame { unsigned char state; bool hold, press, release; };
    const Frame frames[] = {
        {0, false, false, false}, {1, true, true, false},  {1, true, false, false},
        {1, true, false, false},  {0, false, false, true}, {0, false, false, false},
    };
    for (const Frame& f : frames) {
        fake::script.joystickButtons[2][9] = f.state;
        joystick.Step();
        EXPECT_EQ(joystick.GetButtonHold(2, 9), f.hold);
        EXPECT_EQ(joystick.GetButtonPress(2, 9), f.press);
        EXPECT_EQ(joystick.GetButtonRelease(2, 9), f.release);
        EXPECT_FALSE(joystick.GetButtonHold(2, 8) || joystick.GetButtonHold(3, 9));
    }
}

TEST_F(JoystickTest, AJoystickVanishingWithAButtonDownReleasesItOnce) {
    Attach(1);
    fake::script.joystickButtons[1][4] = 1;
    fake::script.joystickAxes[1][2] = -0.75f;
    joystick.Step();
    joystick.Step();
    EXPECT_TRUE(joystick.GetButtonHold(1, 4));
    EXPECT_EQ(joystick.GetAxis(1, 2), -0.75f);

    fake::script.joystickPresent[1] = false;
    joystick.Step();
    EXPECT_FALSE(joystick.GetButtonHold(1, 4));
    EXPECT_TRUE(joystick.GetButtonRelease(1, 4));
    EXPECT_FALSE(joystick.GetButtonPress(1, 4));
    EXPECT_EQ(joystick.GetAxis(1, 2), 0.0f);
    joystick.Step();
    EXPECT_FALSE(joystick.GetButtonRelease(1, 4));

    // It comes back: one Press.
    fake::script.joystickPresent[1] = true;
    joystick.Step();
    EXPECT_TRUE(joystick.GetButtonPress(1, 4));
    EXPECT_EQ(JoystickManagerProbe::State(joystick, 1).prevButtons[4], 0);
}

}  // namespace
