// The designed getters and their const twins are both callable, and agree.
#include "Core.h"
#include "Keys.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

// Both signatures exist exactly: the designed one (what existing games were
// compiled against) and its const twin. Either missing fails to compile.
#define QM_BOTH(Class, Ret, Name, ...)                                                 \
    using Class##Name##Designed = Ret (Class::*)(__VA_ARGS__);                          \
    using Class##Name##Const = Ret (Class::*)(__VA_ARGS__) const;                       \
    static_assert(std::is_same_v<decltype(static_cast<Class##Name##Designed>(&Class::Name)), \
                                 Class##Name##Designed>);                               \
    static_assert(std::is_same_v<decltype(static_cast<Class##Name##Const>(&Class::Name)),    \
                                 Class##Name##Const>)
QM_BOTH(KeyboardManager, bool, GetKeyHold, int);
QM_BOTH(KeyboardManager, bool, GetKeyPress, int);
QM_BOTH(KeyboardManager, bool, GetKeyRelease, int);
QM_BOTH(KeyboardManager, int, CorrectCase, int);
QM_BOTH(MouseManager, Vector2D, GetPosition);
QM_BOTH(MouseManager, Vector2D, GetVelocity);
QM_BOTH(MouseManager, float, GetWheelPosition);
QM_BOTH(MouseManager, bool, GetLeftHold);
QM_BOTH(MouseManager, bool, GetMiddleRelease);
QM_BOTH(JoystickManager, bool, IsConnected, int);
QM_BOTH(JoystickManager, bool, GetButtonHold, int, int);
QM_BOTH(JoystickManager, float, GetAxis, int, int);
QM_BOTH(TimeManager, float, GetElapsedTime);
QM_BOTH(TimeManager, float, GetFramesPerSecond);
QM_BOTH(WindowManager, bool, IsOpen);
QM_BOTH(WindowManager, Color4f, GetClearColor);
QM_BOTH(WindowManager, int, GetWidth);
QM_BOTH(WindowManager, HDC, GetHDC);
QM_BOTH(WindowManager, float, GetAspectRatio);
#undef QM_BOTH

TEST(ConstOverloads, ManagersAnswerAlikeThroughConstAndMutableReferences) {
    fake::Reset();
    fake::script.keys[Key::Tab] = 1;
    fake::script.mouseButtons[MouseButton::Right] = 1;
    fake::script.mouseX = 30;
    fake::script.joystickPresent[0] = true;
    fake::script.joystickAxisCount[0] = 2;
    fake::script.joystickAxes[0][1] = 0.5f;
    KeyboardManager keyboard;
    MouseManager mouse;
    JoystickManager joystick;
    TimeManager timer;
    WindowManager window;
    keyboard.Step();
    mouse.Step();
    joystick.Step();
    timer.Step();

    const KeyboardManager& k = keyboard;
    const MouseManager& m = mouse;
    const JoystickManager& j = joystick;
    const TimeManager& t = timer;
    const WindowManager& w = window;
    EXPECT_TRUE(k.GetKeyHold(Key::Tab) && keyboard.GetKeyHold(Key::Tab));
    EXPECT_EQ(k.GetKeyPress(Key::Tab), keyboard.GetKeyPress(Key::Tab));
    EXPECT_EQ(k.GetKeyRelease(Key::Tab), keyboard.GetKeyRelease(Key::Tab));
    EXPECT_EQ(k.CorrectCase('A'), keyboard.CorrectCase('A'));
    EXPECT_TRUE(m.GetRightHold() && mouse.GetRightPress() && m.GetRightPress());
    EXPECT_FALSE(m.GetLeftHold() || m.GetLeftPress() || m.GetLeftRelease() || m.GetRightRelease() ||
                 m.GetMiddleHold() || m.GetMiddlePress() || m.GetMiddleRelease());
    EXPECT_EQ(m.GetPosition().x, mouse.GetPosition().x);
    EXPECT_EQ(m.GetVelocity().x, mouse.GetVelocity().x);
    EXPECT_EQ(m.GetWheelPosition(), mouse.GetWheelPosition());
    EXPECT_EQ(j.GetAxis(0, 1), 0.5f);
    EXPECT_EQ(j.GetAxis(0, 1), joystick.GetAxis(0, 1));
    EXPECT_EQ(j.GetButtonHold(0, 0) || j.GetButtonPress(0, 0) || j.GetButtonRelease(0, 0) ||
                  j.IsConnected(9),
              false);
    EXPECT_EQ(t.GetElapsedTime(), timer.GetElapsedTime());
    EXPECT_EQ(t.GetFramesPerSecond(), timer.GetFramesPerSecond());
    EXPECT_EQ(w.GetWidth(), window.GetWidth());
    EXPECT_EQ(w.GetHeight(), 600);
    EXPECT_EQ(w.GetAspectRatio(), window.GetAspectRatio());
    EXPECT_EQ(w.GetClearColor().a, 1.0f);
    EXPECT_TRUE(w.GetClearColorBuffer() && w.GetClearDepthBuffer());
    EXPECT_EQ(w.GetHDC(), nullptr);
    EXPECT_FALSE(w.IsOpen());
}

}  // namespace
