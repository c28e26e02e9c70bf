#include "Core.h"

#include "core/Report.h"
#include "glfw2.h"

#include <cstddef>

// [SECTION] Shared instances
// All of the library's statics with load-time code are defined here, so their
// order is this file's order: the window first. The mouse and the renderer
// have constant constructors and are ready before any of these runs.
#if defined(__GNUC__)
#  define QM_INIT_FIRST __attribute__((init_priority(101)))
#else
#  define QM_INIT_FIRST
#endif

WindowManager Core::Window QM_INIT_FIRST;
TimeManager Core::Timer;
KeyboardManager Core::Keyboard;
JoystickManager Core::Joystick;
MouseManager Core::Mouse;
RenderingManager Core::Renderer;
GamepadManager Core::Gamepad;  // constant constructor, as the mouse's

// [SECTION] Core

namespace {
// Live Core objects, copies included. The windowing library is shut down
// only when the last one goes, so that a copy or a second Core leaving scope
// does not take the window away from the first. One byte per object at
// least: the count cannot overflow.
std::size_t liveCores = 0;
}  // namespace

Core::Core() {
    initialized = glfw2::glfwInit() > 0;  // a no-op start when already running
    ++liveCores;
    qmdiag::NoteWindowing(initialized ? qmdiag::Windowing::Started : qmdiag::Windowing::Failed);
    // Wired whether or not the windowing library started, and never unwired.
    Renderer.Init(&Window, &Timer, &Keyboard, &Mouse, &Joystick);
}

Core::Core(const Core& other) : initialized(other.initialized) { ++liveCores; }

Core::~Core() {
    if (--liveCores > 0) return;
    // Both calls are harmless without a window or a started library.
    glfw2::glfwCloseWindow();
    glfw2::glfwTerminate();
    // The device context named the connection that terminating just closed.
    Window.ForgetNativeHandles();
    qmdiag::NoteWindowing(qmdiag::Windowing::NotStarted);
}

Core& Core::operator=(const Core& other) {
    initialized = other.initialized;
    return *this;
}
