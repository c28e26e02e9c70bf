#include "RenderingManager.h"

#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "MouseManager.h"
#include "TimeManager.h"
#include "WindowManager.h"
#include "Core.h"
#include "core/Report.h"
#include "input/GamepadPoll.h"
#include "glfw2.h"
#include "draw2d/SpriteBatch.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <limits>

void RenderingManager::Init(WindowManager* newWindow, TimeManager* newTimer,
                            KeyboardManager* newKeyboard, MouseManager* newMouse,
                            JoystickManager* newJoystick) {
    window = newWindow;
    timer = newTimer;
    keyboard = newKeyboard;
    mouse = newMouse;
    joystick = newJoystick;
    ready = true;
}

// [SECTION] Frame cycle

void RenderingManager::BeginFrame() {
    qmsprite::Flush();  // sprites queued after the last EndFrame, before the clear
    if (ready && window) {
        // The viewport follows the window's size, set only when it changed.
        int shownWidth = 0, shownHeight = 0;
        glfw2::glfwGetWindowSize(&shownWidth, &shownHeight);
        if (shownWidth != viewportWidth || shownHeight != viewportHeight) {
            viewportWidth = shownWidth;
            viewportHeight = shownHeight;
            if (shownWidth > 0 && shownHeight > 0) glViewport(0, 0, shownWidth, shownHeight);
        }
        if (window->GetClearColorBuffer()) {
            clearColor = window->GetClearColor();
            glClearColor(clearColor.r, clearColor.g, clearColor.b, clearColor.a);
            glClear(window->GetClearDepthBuffer() ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT
                                                  : GL_COLOR_BUFFER_BIT);
        } else if (window->GetClearDepthBuffer()) {
            glClear(GL_DEPTH_BUFFER_BIT);
        }
    }
    // Clock first, so every input reader of this frame sees the same frame time.
    // A manager that was never wired is skipped rather than stepped through null.
    if (timer) timer->Step();
    if (keyboard) keyboard->Step();
    if (mouse) mouse->Step();
    if (joystick) joystick->Step();
    // The renderer wired to Core's managers polls Core's gamepads too, once
    // the game has asked them anything.
    if (joystick == &Core::Joystick) qmpad::StepSharedIfInUse();
}

void RenderingManager::EndFrame() {
    qmsprite::Flush();
    // The swap also takes in the window's pending input events.
    glfw2::glfwSwapBuffers();
}

// [SECTION] Projections

void RenderingManager::Render2D() {
    qmsprite::Flush();  // queued sprites keep the matrices they were given under
    if (!window) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // One unit per pixel, origin bottom-left, y up: the mouse's coordinates.
    glOrtho(0.0, double(window->GetWidth()), 0.0, double(window->GetHeight()), double(nearClip),
            double(farClip));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.0f);
}

void RenderingManager::Render3D() {
    qmsprite::Flush();
    if (!window) return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(double(fieldOfView), double(window->GetAspectRatio()), double(nearClip),
                   double(farClip));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// [SECTION] Settings

void RenderingManager::SetFieldOfView(float degrees) {
    if (degrees > 0.0f && degrees < 180.0f)  // NaN fails both
        fieldOfView = degrees;
    else
        qmdiag::Report(Diagnostic::FieldOfViewIgnored, degrees, fieldOfView);
}

// Each plane is checked against the other as it stands, so that both
// projections always get a volume they can make: 0 < near < far, both finite.
// NaN fails every comparison and is ignored with the rest.
void RenderingManager::SetNearClippingPlane(float distance) {
    if (distance > 0.0f && distance < farClip)
        nearClip = distance;
    else
        qmdiag::Report(Diagnostic::ClippingPlaneIgnored, distance, nearClip, "Near");
}

void RenderingManager::SetFarClippingPlane(float distance) {
    if (distance > nearClip && distance <= std::numeric_limits<float>::max())
        farClip = distance;
    else
        qmdiag::Report(Diagnostic::ClippingPlaneIgnored, distance, farClip, "Far");
}
