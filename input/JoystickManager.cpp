#include "JoystickManager.h"

#include "glfw2.h"

namespace {
constexpr int kJoysticks = 8;
constexpr int kButtons = 16;
constexpr int kAxes = 6;

// Unsigned so that negative numbers are out of range too.
bool InRange(int value, int count) { return unsigned(value) < unsigned(count); }
}  // namespace

JoystickManager::JoystickManager() {
    for (JoystickState& joystick : joysticks) {
        for (int b = 0; b < kButtons; ++b) {
            joystick.buttons[b] = 0;
            joystick.prevButtons[b] = 0;
        }
        for (int a = 0; a < kAxes; ++a) joystick.axes[a] = 0.0f;
    }
}

void JoystickManager::Step() {
    // No presence test: the windowing library clears the entries of an
    // absent joystick, or those a device does not supply, itself.
    for (int joy = 0; joy < kJoysticks; ++joy) {
        JoystickState& joystick = joysticks[joy];
        for (int b = 0; b < kButtons; ++b) joystick.prevButtons[b] = joystick.buttons[b];
        glfw2::glfwGetJoystickButtons(joy, joystick.buttons, kButtons);
        glfw2::glfwGetJoystickPos(joy, joystick.axes, kAxes);
    }
}

bool JoystickManager::IsConnected(int joy) const {
    if (!InRange(joy, kJoysticks)) return false;
    return glfw2::glfwGetJoystickParam(joy, glfw2::GLFW_PRESENT) > 0;
}

bool JoystickManager::GetButtonHold(int joy, int button) const {
    if (!InRange(joy, kJoysticks) || !InRange(button, kButtons)) return false;
    return joysticks[joy].buttons[button] != 0;
}

bool JoystickManager::GetButtonPress(int joy, int button) const {
    if (!InRange(joy, kJoysticks) || !InRange(button, kButtons)) return false;
    const JoystickState& joystick = joysticks[joy];
    return joystick.buttons[button] != 0 && joystick.prevButtons[button] == 0;
}

bool JoystickManager::GetButtonRelease(int joy, int button) const {
    if (!InRange(joy, kJoysticks) || !InRange(button, kButtons)) return false;
    const JoystickState& joystick = joysticks[joy];
    return joystick.buttons[button] == 0 && joystick.prevButtons[button] != 0;
}

float JoystickManager::GetAxis(int joy, int axis) const {
    if (!InRange(joy, kJoysticks) || !InRange(axis, kAxes)) return 0.0f;
    return joysticks[joy].axes[axis];
}

// [SECTION] Designed (non-const) getters: the const ones above, for existing callers

bool JoystickManager::IsConnected(int joy) { return static_cast<const JoystickManager&>(*this).IsConnected(joy); }
bool JoystickManager::GetButtonHold(int joy, int button) { return static_cast<const JoystickManager&>(*this).GetButtonHold(joy, button); }
bool JoystickManager::GetButtonPress(int joy, int button) { return static_cast<const JoystickManager&>(*this).GetButtonPress(joy, button); }
bool JoystickManager::GetButtonRelease(int joy, int button) { return static_cast<const JoystickManager&>(*this).GetButtonRelease(joy, button); }
float JoystickManager::GetAxis(int joy, int axis) { return static_cast<const JoystickManager&>(*this).GetAxis(joy, axis); }
