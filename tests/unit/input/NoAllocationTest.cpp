// Step() and the queries run every frame: they must not allocate.
#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "MouseManager.h"
#include "TimeManager.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
std::size_t allocations = 0;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

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
    const std::size_t before = allocations;
    float sink = 0;
    for (int frame = 0; frame < 3; ++frame) {
        fake::clockNow += 16;
        timer.Step();
        keyboard.Step();
        mouse.Step();
        joystick.Step();
        sink += timer.GetElapsedTime() + timer.GetFramesPerSecond();
        sink += float(keyboard.GetKeyHold('A') + keyboard.GetKeyPress(300) +
                      keyboard.GetKeyRelease(-1) + keyboard.CorrectCase('a'));
        sink += mouse.GetPosition().x + mouse.GetVelocity().y + mouse.GetWheelPosition();
        sink += float(mouse.GetLeftPress() + mouse.GetMiddleRelease());
        mouse.SetPosition(10.5f, 20.5f);
        mouse.SetVisibility(frame % 2 == 0);
        sink += float(joystick.IsConnected(0) + joystick.GetButtonPress(0, 3)) +
                joystick.GetAxis(0, 1);
    }
    const std::size_t during = allocations - before;
    fake::recording = true;
    EXPECT_EQ(during, 0u);
    EXPECT_NE(sink, 0.0f);
}

}  // namespace
