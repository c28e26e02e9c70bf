// Step() and the queries run every frame: they must not allocate.
#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "Keys.h"
#include "MouseManager.h"
#include "TimeManager.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include "support/AllocationCounter.h"


namespace {

TEST(NoAllocation, StepsAndQueriesOfEveryManager) {
    fake::Reset();
    fake::script.windowHeight = 600;
    fake::script.joystickPresent[0] = true;
    TimeManager timer;
    KeyboardManager keyboard;
    MouseManager mouse;
    JoystickManager joystick;

    fake::recording = false;  // the fakes' log would allocate
    const std::size_t before = qmtest::AllocationCount();
    float sink = 0;
    for (int frame = 0; frame < 3; ++frame) {
        fake::clockNow += 16;
        timer.Step();
        keyboard.Step();
        mouse.Step();
        joystick.Step();
        sink += timer.GetElapsedTime() + timer.GetFramesPerSecond();
        sink += float(keyboard.GetKeyHold('A') + keyboard.GetKeyPress(Key::Home) +
                      keyboard.GetKeyRelease(-1) + keyboard.CorrectCase('a'));
        sink += mouse.GetPosition().x + mouse.GetVelocity().y + mouse.GetWheelPosition();
        sink += float(mouse.GetLeftPress() + mouse.GetMiddleRelease());
        mouse.SetPosition(10.5f, 20.5f);
        mouse.SetVisibility(frame % 2 == 0);
        sink += float(joystick.IsConnected(0) + joystick.GetButtonPress(0, 3)) +
                joystick.GetAxis(0, 1);
    }
    const std::size_t during = qmtest::AllocationCount() - before;
    fake::recording = true;
    EXPECT_EQ(during, 0u);
    EXPECT_NE(sink, 0.0f);
}

}  // namespace
