#include "Core.h"

#include "glfw2.h"

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

// [SECTION] Core

Core::Core() {
    initialized = glfw2::glfwInit() > 0;
    // Wired whether or not the windowing library started, and never unwired.
    Renderer.Init(&Window, &Timer, &Keyboard, &Mouse, &Joystick);
}

Core::~Core() {
    // Both calls are harmless without a window or a started library.
    glfw2::glfwCloseWindow();
    glfw2::glfwTerminate();
}

Core& Core::operator=(const Core& other) {
    initialized = other.initialized;
    return *this;
}
