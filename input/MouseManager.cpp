#include "MouseManager.h"

#include "core/Report.h"
#include "glfw2.h"
#include "system.h"

#include <cmath>
#include <limits>

namespace {

// Adds 0.5 and truncates toward zero: nearest integer (halves up) for
// non-negative values, and deliberately not for negative ones (-0.7 -> 0,
// -1.6 -> -1). The sum is exact in double for every float. Values whose sum
// does not fit an int would be undefined to convert: NaN gives 0, and the
// rest saturate at the int limits, so a far-off target still lands on the
// nearest edge of the addressable range.
int RoundHalfUpTruncate(float value) {
    const double sum = double(value) + 0.5;
    if (std::isnan(sum)) return 0;
    if (sum >= 2147483648.0) return std::numeric_limits<int>::max();
    if (sum <= -2147483649.0) return std::numeric_limits<int>::min();
    return int(sum);
}

}  // namespace

void MouseManager::Step() {
    glfw2::glfwGetMousePos(&readX, &readY);
    rawX = float(readX);
    rawY = float(readY);

    // readX/readY are reused for the size: width, then height.
    glfw2::glfwGetWindowSize(&readX, &readY);
    // Origin at the bottom-left: height - y, so the top row reads as the
    // height and the bottom row as 1.
    rawY = float(double(readY) - double(rawY));
    pointerX = rawX;
    pointerY = rawY;

    // Halfway toward the cursor each frame; the sum is rounded to float
    // before the halving.
    smoothX = float(double(float(double(smoothX) + double(rawX))) * 0.5);
    smoothY = float(double(float(double(smoothY) + double(rawY))) * 0.5);

    // Per frame, not per second.
    velocityX = float(double(smoothX) - double(lastSmoothX));
    velocityY = float(double(smoothY) - double(lastSmoothY));
    lastSmoothX = smoothX;
    lastSmoothY = smoothY;

    double dx = 0.0, dy = 0.0;
    glfw2::TakeMouseMotion(&dx, &dy);
    motionX = float(dx);
    motionY = float(0.0 - dy);  // y up, as every position here

    prevLeftDown = leftDown;
    prevRightDown = rightDown;
    prevMiddleDown = middleDown;
    leftDown = glfw2::glfwGetMouseButton(glfw2::GLFW_MOUSE_BUTTON_LEFT) > 0;
    rightDown = glfw2::glfwGetMouseButton(glfw2::GLFW_MOUSE_BUTTON_RIGHT) > 0;
    middleDown = glfw2::glfwGetMouseButton(glfw2::GLFW_MOUSE_BUTTON_MIDDLE) > 0;
}

Vector2D MouseManager::GetPosition() const { return Vector2D(smoothX, smoothY); }

Vector2D MouseManager::GetVelocity() const { return Vector2D(velocityX, velocityY); }

void MouseManager::SetPosition(float x, float y) {
    if (std::isnan(x) || std::isnan(y)) {  // no place to move to
        qmdiag::Report(Diagnostic::MousePositionIgnored, x, y);
        return;
    }
    glfw2::glfwGetWindowSize(&readX, &readY);
    const int windowHeight = readY;
    // rawY holds the target in the windowing library's top-left coordinates
    // here; the next Step overwrites it before it is read.
    rawX = x;
    rawY = float(double(readY) - double(y));
    const int targetX = RoundHalfUpTruncate(rawX);
    const int targetY = RoundHalfUpTruncate(rawY);
    glfw2::glfwSetMousePos(targetX, targetY);

    // The smoothed position jumps to the unrounded request, so the next
    // Step's velocity is measured from there. Velocity and buttons stay.
    // A target the pointer cannot reach (beyond the screen) leaves it at the
    // edge: the smoothed position jumps to where it really is instead.
    glfw2::glfwGetMousePos(&readX, &readY);
    pointerX = float(readX);
    pointerY = float(double(windowHeight) - double(readY));
    if (readX == targetX && readY == targetY) {
        smoothX = x;
        smoothY = y;
    } else {
        smoothX = float(readX);
        smoothY = float(double(windowHeight) - double(readY));
    }
    lastSmoothX = smoothX;
    lastSmoothY = smoothY;
}

void MouseManager::SetPosition(Vector2D position) { SetPosition(position.x, position.y); }

void MouseManager::SetVisibility(bool visible) {
    // Both the windowing library's cursor mode and the system display count
    // are told every time; the manager keeps no record of its own.
    if (visible)
        glfw2::glfwEnable(glfw2::GLFW_MOUSE_CURSOR);
    else
        glfw2::glfwDisable(glfw2::GLFW_MOUSE_CURSOR);
    qmsys::ShowCursor(visible);
}

float MouseManager::GetWheelPosition() const { return float(glfw2::glfwGetMouseWheel()); }

bool MouseManager::GetLeftHold() const { return leftDown; }
bool MouseManager::GetLeftPress() const { return leftDown && !prevLeftDown; }
bool MouseManager::GetLeftRelease() const { return !leftDown && prevLeftDown; }
bool MouseManager::GetRightHold() const { return rightDown; }
bool MouseManager::GetRightPress() const { return rightDown && !prevRightDown; }
bool MouseManager::GetRightRelease() const { return !rightDown && prevRightDown; }
bool MouseManager::GetMiddleHold() const { return middleDown; }
bool MouseManager::GetMiddlePress() const { return middleDown && !prevMiddleDown; }
bool MouseManager::GetMiddleRelease() const { return !middleDown && prevMiddleDown; }

bool MouseManager::GetButtonHold(MouseButton button) const {
    switch (button) {
    case MouseButton::Left: return GetLeftHold();
    case MouseButton::Right: return GetRightHold();
    case MouseButton::Middle: return GetMiddleHold();
    }
    return false;
}

bool MouseManager::GetButtonPress(MouseButton button) const {
    switch (button) {
    case MouseButton::Left: return GetLeftPress();
    case MouseButton::Right: return GetRightPress();
    case MouseButton::Middle: return GetMiddlePress();
    }
    return false;
}

bool MouseManager::GetButtonRelease(MouseButton button) const {
    switch (button) {
    case MouseButton::Left: return GetLeftRelease();
    case MouseButton::Right: return GetRightRelease();
    case MouseButton::Middle: return GetMiddleRelease();
    }
    return false;
}

Vector2D MouseManager::GetRawMotion() const { return Vector2D(motionX, motionY); }

Vector2D MouseManager::GetPointerPosition() const { return Vector2D(pointerX, pointerY); }

// [SECTION] Designed (non-const) getters: the const ones above, for existing callers

Vector2D MouseManager::GetPosition() { return static_cast<const MouseManager&>(*this).GetPosition(); }
Vector2D MouseManager::GetVelocity() { return static_cast<const MouseManager&>(*this).GetVelocity(); }
float MouseManager::GetWheelPosition() { return static_cast<const MouseManager&>(*this).GetWheelPosition(); }
bool MouseManager::GetLeftHold() { return static_cast<const MouseManager&>(*this).GetLeftHold(); }
bool MouseManager::GetLeftPress() { return static_cast<const MouseManager&>(*this).GetLeftPress(); }
bool MouseManager::GetLeftRelease() { return static_cast<const MouseManager&>(*this).GetLeftRelease(); }
bool MouseManager::GetRightHold() { return static_cast<const MouseManager&>(*this).GetRightHold(); }
bool MouseManager::GetRightPress() { return static_cast<const MouseManager&>(*this).GetRightPress(); }
bool MouseManager::GetRightRelease() { return static_cast<const MouseManager&>(*this).GetRightRelease(); }
bool MouseManager::GetMiddleHold() { return static_cast<const MouseManager&>(*this).GetMiddleHold(); }
bool MouseManager::GetMiddlePress() { return static_cast<const MouseManager&>(*this).GetMiddlePress(); }
bool MouseManager::GetMiddleRelease() { return static_cast<const MouseManager&>(*this).GetMiddleRelease(); }
