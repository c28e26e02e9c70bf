// The GLFW 2.x interface as a recording fake with 2.x behaviour: one window,
// joystick entries the device does not supply read as released / 0.
#include "Fakes.h"
#include "glfw2.h"
#include "glfw2_native.h"

using fake::Record;
using fake::script;

namespace {
// With no window the size reads 0 x 0, as the real interface answers.
void CloseFakeWindow() {
    script.windowOpen = false;
    script.windowWidth = 0;
    script.windowHeight = 0;
}
}  // namespace

namespace glfw2 {

int glfwInit() { Record("glfwInit"); return script.initResult; }
void glfwTerminate() { Record("glfwTerminate"); CloseFakeWindow(); }

int glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits,
                   int alphabits, int depthbits, int stencilbits, int mode) {
    Record("glfwOpenWindow", {double(width), double(height), double(redbits), double(greenbits),
                              double(bluebits), double(alphabits), double(depthbits),
                              double(stencilbits), double(mode)});
    if (script.windowOpen) {
        script.lastOpenFailure = glfw2::OpenFailure::AlreadyOpen;
        return 0;
    }
    script.lastOpenFailure = script.openResult > 0 ? glfw2::OpenFailure::NoFailure : script.openFailure;
    if (script.openResult > 0) {
        script.windowOpen = true;
        script.windowWidth = width;
        script.windowHeight = height;
    }
    return script.openResult;
}

void glfwOpenWindowHint(int target, int hint) {
    Record("glfwOpenWindowHint", {double(target), double(hint)});
}
void glfwCloseWindow() { Record("glfwCloseWindow"); CloseFakeWindow(); }
void glfwSetWindowTitle(const char* title) {
    Record("glfwSetWindowTitle", {}, title ? title : "(null)");
}
void glfwGetWindowSize(int* width, int* height) {
    Record("glfwGetWindowSize");
    if (width) *width = script.windowWidth;
    if (height) *height = script.windowHeight;
}
void glfwSetWindowSize(int width, int height) {
    Record("glfwSetWindowSize", {double(width), double(height)});
    if (script.windowOpen) {
        script.windowWidth = width;
        script.windowHeight = height;
    }
}
void glfwSetWindowPos(int x, int y) { Record("glfwSetWindowPos", {double(x), double(y)}); }
int glfwGetWindowParam(int param) {
    Record("glfwGetWindowParam", {double(param)});
    return param == GLFW_OPENED ? int(script.windowOpen) : 0;
}
void glfwSwapBuffers() { Record("glfwSwapBuffers"); }
void glfwPollEvents() { Record("glfwPollEvents"); }
void glfwEnable(int token) { Record("glfwEnable", {double(token)}); }
void glfwDisable(int token) { Record("glfwDisable", {double(token)}); }

int glfwGetKey(int key) {
    Record("glfwGetKey", {double(key)});
    return (key >= 0 && key < 512) ? int(script.keys[key]) : int(GLFW_RELEASE);
}
int glfwGetMouseButton(int button) {
    Record("glfwGetMouseButton", {double(button)});
    return (button >= 0 && button < 8) ? script.mouseButtons[button] : GLFW_RELEASE;
}
void glfwGetMousePos(int* x, int* y) {
    Record("glfwGetMousePos");
    if (x) *x = script.mouseX;
    if (y) *y = script.mouseY;
}
// The pointer goes where it is sent.
void glfwSetMousePos(int x, int y) {
    Record("glfwSetMousePos", {double(x), double(y)});
    script.mouseX = x < script.pointerMaxX ? x : script.pointerMaxX;
    script.mouseY = y;
}
int glfwGetMouseWheel() { Record("glfwGetMouseWheel"); return script.wheel; }

int glfwGetJoystickParam(int joy, int param) {
    Record("glfwGetJoystickParam", {double(joy), double(param)});
    if (joy < 0 || joy > 15 || !script.joystickPresent[joy]) return 0;
    switch (param) {
    case GLFW_PRESENT: return 1;
    case GLFW_AXES: return script.joystickAxisCount[joy];
    case GLFW_BUTTONS: return script.joystickButtonCount[joy];
    default: return 0;
    }
}
int glfwGetJoystickPos(int joy, float* pos, int numaxes) {
    Record("glfwGetJoystickPos", {double(joy), double(numaxes)});
    bool present = joy >= 0 && joy <= 15 && script.joystickPresent[joy];
    int supplied = present ? script.joystickAxisCount[joy] : 0;
    for (int i = 0; i < numaxes; ++i) pos[i] = (i < supplied && i < 8) ? script.joystickAxes[joy][i] : 0.0f;
    return supplied < numaxes ? supplied : numaxes;
}
int glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons) {
    Record("glfwGetJoystickButtons", {double(joy), double(numbuttons)});
    bool present = joy >= 0 && joy <= 15 && script.joystickPresent[joy];
    int supplied = present ? script.joystickButtonCount[joy] : 0;
    for (int i = 0; i < numbuttons; ++i)
        buttons[i] = (i < supplied && i < 32) ? script.joystickButtons[joy][i] : (unsigned char)GLFW_RELEASE;
    return supplied < numbuttons ? supplied : numbuttons;
}

bool GetGamepad(int joy, GamepadState* state, const char** name) {
    Record("GetGamepad", {double(joy)});
    *state = GamepadState();
    if (name) *name = nullptr;
    if (joy < 0 || joy > 15 || !script.gamepads[joy].mapped) return false;
    const fake::Script::Gamepad& pad = script.gamepads[joy];
    for (int b = 0; b < 15; ++b) state->buttons[b] = pad.buttons[b];
    for (int a = 0; a < 6; ++a) state->axes[a] = pad.axes[a];
    if (name) *name = pad.name;
    return true;
}
MappingsResult AddGamepadMappings(const char* text) {
    Record("AddGamepadMappings", {}, text);
    return script.mappingsResult;
}

void* glfwGetProcAddress(const char* procname) {
    Record("glfwGetProcAddress", {}, procname);
    return script.missingProcs.count(procname) ? nullptr : fake::ProcFor(procname);
}
#if !defined(_WIN32)
unsigned long NativeWindow() { return script.windowOpen ? 0x1234ul : 0ul; }
void* NativeDisplay() { return script.windowOpen ? script.nativeDC : nullptr; }
#endif
// Not recorded: the adapter's state, asked on failure paths only.
OpenFailure LastOpenFailure() { return script.lastOpenFailure; }
void* Glfw3Window() { return script.windowOpen ? script.glfw3Window : nullptr; }
void TakeMouseMotion(double* dx, double* dy) {
    *dx = script.mouseMotionX;
    *dy = script.mouseMotionY;
    script.mouseMotionX = script.mouseMotionY = 0.0;
}

}  // namespace glfw2
