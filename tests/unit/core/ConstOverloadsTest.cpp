// The designed getters and their const twins are both callable, and agree.
#include "Core.h"
#include "Vector2D.h"
#include "Vector3D.h"
#include "Keys.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

namespace {

// Both signatures exist exactly: the designed one (what existing games were
// compiled against) and its const twin. Either missing fails to compile.
#define QM_BOTH(Class, Ret, Name, ...)                                                  \
    static_assert(std::is_same_v<decltype(static_cast<Ret (Class::*)(__VA_ARGS__)>(&Class::Name)), \
                                 Ret (Class::*)(__VA_ARGS__)>);                          \
    static_assert(std::is_same_v<                                                        \
                  decltype(static_cast<Ret (Class::*)(__VA_ARGS__) const>(&Class::Name)), \
                  Ret (Class::*)(__VA_ARGS__) const>)
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
QM_BOTH(Vector2D, Vector2D, operator+, const Vector2D&);
QM_BOTH(Vector2D, Vector2D, operator*, float);
QM_BOTH(Vector2D, bool, operator==, const Vector2D&);
QM_BOTH(Vector2D, float, GetLength);
QM_BOTH(Vector2D, Vector2D, Perp);
QM_BOTH(Vector3D, Vector3D, operator-, const Vector3D&);
QM_BOTH(Vector3D, Vector3D, operator/, float);
QM_BOTH(Vector3D, Vector3D, Cross, const Vector3D&);
QM_BOTH(Vector3D, float, Dot, const Vector3D&);
#undef QM_BOTH

// Const and non-const vector operations give the same bits: the const ones
// run the designed ones.
TEST(ConstOverloads, VectorArithmeticThroughConstReferencesMatchesToTheBit) {
    Vector2D a(0.1f, -3.7f), b(2.9f, 1e-3f);
    const Vector2D& ca = a;
    const Vector2D& cb = b;
    auto same2 = [](Vector2D p, Vector2D q) {
        return std::memcmp(&p.x, &q.x, 4) == 0 && std::memcmp(&p.y, &q.y, 4) == 0;
    };
    EXPECT_TRUE(same2(ca + cb, a + b));
    EXPECT_TRUE(same2(ca - cb, a - b));
    EXPECT_TRUE(same2(ca * cb, a * b));
    EXPECT_TRUE(same2(ca / cb, a / b));
    EXPECT_TRUE(same2(ca * 0.3f, a * 0.3f));
    EXPECT_TRUE(same2(ca / 0.3f, a / 0.3f));
    EXPECT_TRUE(same2(ca.Perp(), a.Perp()));
    EXPECT_TRUE(same2(ca.AngleToVector(33.0f), a.AngleToVector(33.0f)));
    EXPECT_EQ(ca.Dot(cb), a.Dot(b));
    EXPECT_EQ(ca.GetLength(), a.GetLength());
    EXPECT_EQ(ca.GetLengthSq(), a.GetLengthSq());
    EXPECT_EQ(ca.VectorToAngle(cb), a.VectorToAngle(b));
    EXPECT_TRUE(ca == a && !(ca == cb));

    Vector3D u(1.5f, -0.2f, 7.0f), v(-2.0f, 0.7f, 0.3f);
    const Vector3D& cu = u;
    const Vector3D& cv = v;
    auto same3 = [](Vector3D p, Vector3D q) { return std::memcmp(&p, &q, sizeof p) == 0; };
    EXPECT_TRUE(same3(cu + cv, u + v));
    EXPECT_TRUE(same3(cu - cv, u - v));
    EXPECT_TRUE(same3(cu * cv, u * v));
    EXPECT_TRUE(same3(cu / cv, u / v));
    EXPECT_TRUE(same3(cu * 3.1f, u * 3.1f));
    EXPECT_TRUE(same3(cu / 3.1f, u / 3.1f));
    EXPECT_TRUE(same3(cu.Cross(cv), u.Cross(v)));
    EXPECT_TRUE(same3(cu.vectorToPolar(cv), u.vectorToPolar(v)));
    EXPECT_EQ(cu.Dot(cv), u.Dot(v));
    EXPECT_EQ(cu.GetLength(), u.GetLength());
    EXPECT_TRUE(cu == u && !(cu == cv));
}

TEST(ConstOverloads, ManagersAnswerAlikeThroughConstAndMutableReferences) {
    fake::Reset();
    fake::script.keys[Key::Tab] = 1;
    fake::script.mouseButtons[int(MouseButton::Right)] = 1;
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
