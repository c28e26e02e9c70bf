// The GLFW 2.x interface the library is written against, with the 2.x token
// values. It lives in its own namespace with C++ linkage so it never collides
// with GLFW 3's C symbols of the same names. glfw2_on_glfw3.cpp implements it
// over GLFW 3; the unit tests link a recording fake instead. It declares only
// what the library calls (key codes: the keyboard polls 32..126 and 257..318);
// what reaches native handles is in glfw2_native.h.
//
// Every call is safe before glfwInit and with no window open: it does nothing
// and answers zeros.
#ifndef QUILLMAR_PLATFORM_GLFW2_H
#define QUILLMAR_PLATFORM_GLFW2_H

namespace glfw2 {

// [SECTION] Tokens (GLFW 2.x values)
enum : int {
    GLFW_RELEASE = 0,
    GLFW_PRESS   = 1,

    GLFW_KEY_SPACE    = 32,
    GLFW_KEY_SPECIAL  = 256,
    GLFW_KEY_ESC      = GLFW_KEY_SPECIAL + 1,
    GLFW_KEY_F1       = GLFW_KEY_SPECIAL + 2,
    GLFW_KEY_F25      = GLFW_KEY_SPECIAL + 26,
    GLFW_KEY_UP       = GLFW_KEY_SPECIAL + 27,
    GLFW_KEY_DOWN     = GLFW_KEY_SPECIAL + 28,
    GLFW_KEY_LEFT     = GLFW_KEY_SPECIAL + 29,
    GLFW_KEY_RIGHT    = GLFW_KEY_SPECIAL + 30,
    GLFW_KEY_LSHIFT   = GLFW_KEY_SPECIAL + 31,
    GLFW_KEY_RSHIFT   = GLFW_KEY_SPECIAL + 32,
    GLFW_KEY_LCTRL    = GLFW_KEY_SPECIAL + 33,
    GLFW_KEY_RCTRL    = GLFW_KEY_SPECIAL + 34,
    GLFW_KEY_LALT     = GLFW_KEY_SPECIAL + 35,
    GLFW_KEY_RALT     = GLFW_KEY_SPECIAL + 36,
    GLFW_KEY_TAB      = GLFW_KEY_SPECIAL + 37,
    GLFW_KEY_ENTER    = GLFW_KEY_SPECIAL + 38,
    GLFW_KEY_BACKSPACE= GLFW_KEY_SPECIAL + 39,
    GLFW_KEY_INSERT   = GLFW_KEY_SPECIAL + 40,
    GLFW_KEY_DEL      = GLFW_KEY_SPECIAL + 41,
    GLFW_KEY_PAGEUP   = GLFW_KEY_SPECIAL + 42,
    GLFW_KEY_PAGEDOWN = GLFW_KEY_SPECIAL + 43,
    GLFW_KEY_HOME     = GLFW_KEY_SPECIAL + 44,
    GLFW_KEY_END      = GLFW_KEY_SPECIAL + 45,
    GLFW_KEY_KP_0     = GLFW_KEY_SPECIAL + 46,
    GLFW_KEY_KP_9     = GLFW_KEY_SPECIAL + 55,
    GLFW_KEY_KP_DIVIDE   = GLFW_KEY_SPECIAL + 56,
    GLFW_KEY_KP_MULTIPLY = GLFW_KEY_SPECIAL + 57,
    GLFW_KEY_KP_SUBTRACT = GLFW_KEY_SPECIAL + 58,
    GLFW_KEY_KP_ADD      = GLFW_KEY_SPECIAL + 59,
    GLFW_KEY_KP_DECIMAL  = GLFW_KEY_SPECIAL + 60,
    GLFW_KEY_KP_EQUAL    = GLFW_KEY_SPECIAL + 61,
    GLFW_KEY_KP_ENTER    = GLFW_KEY_SPECIAL + 62,
    GLFW_KEY_LAST        = GLFW_KEY_KP_ENTER,

    GLFW_MOUSE_BUTTON_LEFT   = 0,
    GLFW_MOUSE_BUTTON_RIGHT  = 1,
    GLFW_MOUSE_BUTTON_MIDDLE = 2,


    GLFW_WINDOW     = 0x00010001,
    GLFW_FULLSCREEN = 0x00010002,

    GLFW_OPENED        = 0x00020001,
    GLFW_WINDOW_NO_RESIZE = 0x00020012,
    GLFW_FSAA_SAMPLES  = 0x00020013,

    GLFW_MOUSE_CURSOR        = 0x00030001,

    GLFW_PRESENT = 0x00050001,
    GLFW_AXES    = 0x00050002,
    GLFW_BUTTONS = 0x00050003,
};

// [SECTION] Library and window
int  glfwInit();
void glfwTerminate();
// One window at a time: fails (returns 0) while a window is open. The new
// context is current afterwards. Hints are forgotten after every call.
int  glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits,
                    int alphabits, int depthbits, int stencilbits, int mode);
void glfwOpenWindowHint(int target, int hint);
void glfwCloseWindow();
void glfwSetWindowTitle(const char* title);  // long titles are cut (16384 bytes)
void glfwGetWindowSize(int* width, int* height);
void glfwSetWindowSize(int width, int height);
void glfwSetWindowPos(int x, int y);
int  glfwGetWindowParam(int param);
// Swaps, then processes pending events (unless GLFW_AUTO_POLL_EVENTS is off).
// A window the user asked to close is closed here.
void glfwSwapBuffers();
void glfwPollEvents();
void glfwEnable(int token);
void glfwDisable(int token);

// [SECTION] Input
// 2.x key code -> GLFW_PRESS / GLFW_RELEASE. Printable codes 32..126 name a
// key by the character it types in the active layout, unshifted, letters
// upper case; a key typing none there keeps its US-position code.
int  glfwGetKey(int key);
int  glfwGetMouseButton(int button);
void glfwGetMousePos(int* x, int* y);     // whole pixels from the client area's top-left
void glfwSetMousePos(int x, int y);       // the pointer may stop short (screen edge)
int  glfwGetMouseWheel();                 // cumulative wheel count since start
int  glfwGetJoystickParam(int joy, int param);
int  glfwGetJoystickPos(int joy, float* pos, int numaxes);                   // fills all numaxes
int  glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons); // fills all

// [SECTION] OpenGL
void* glfwGetProcAddress(const char* procname);

// [SECTION] Beyond 2.x: what the library asks the adapter
// Why the latest glfwOpenWindow returned 0 (NoFailure after a success). Asking
// has no side effect.
enum class OpenFailure { NoFailure, NotInitialized, AlreadyOpen, NoContext };
OpenFailure LastOpenFailure();
// The GLFW 3 window (a GLFWwindow*) while one is open, else null.
void* Glfw3Window();
// The pointer's own motion on the screen since the previous call, in pixels
// (x right, y down), then forgets it. Warps (glfwSetMousePos, the centring
// and restoring of a disabled cursor), window moves and resizes, and the
// pointer's place when a window opens are not motion. 0 with no window open.
void TakeMouseMotion(double* dx, double* dy);

// [SECTION] Beyond 2.x: gamepads (GLFW 3.3's standard layout)
struct GamepadState {
    // GLFW_PRESS / GLFW_RELEASE, in GamepadButton's order: A, B, X, Y, the
    // bumpers, back, start, guide, the sticks pressed, d-pad up, right, down, left.
    unsigned char buttons[15];
    // Left x, y, right x, y in -1..1 with y down, as the pads report them;
    // then the left and right trigger in 0..1.
    float axes[6];
};
// Whether joystick joy (0..15) is connected and has a gamepad mapping; then
// *state is filled and *name (if asked) points at the pad's name, valid until
// the next call. Otherwise *state is all released / 0 and *name null.
// In a web page the pads come from the browser's Gamepad API, those with its
// "standard" mapping; the snapshot is taken anew when joy is 0.
bool GetGamepad(int joy, GamepadState* state, const char** name);
// Adds gamepad mappings (SDL game-controller format, one a line; text not
// null). They are kept and applied again after every glfwInit; before the
// first they wait for it (Taken). LineRefused: GLFW 3 skipped a line it did
// not understand (reported as a platform error) and took the others.
// Unavailable: a web page, where none can be added.
enum class MappingsResult { Taken, LineRefused, Unavailable };
MappingsResult AddGamepadMappings(const char* text);

} // namespace glfw2

#endif
