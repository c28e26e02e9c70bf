// The GLFW 2.x interface implemented over GLFW 3. The only file of the
// project that includes <GLFW/glfw3.h>.
//
// What GLFW 2.x did and GLFW 3 does differently, and how it is bridged here:
// - 2.x has one implicit window; here one GLFWwindow*, and opening a second fails.
// - 2.x hints are forgotten after every open; they are kept here until then.
// - 2.x polls events in glfwSwapBuffers; a window the user asked to close is
//   closed right after that poll, so GLFW_OPENED then reads 0.
// - 2.x key codes differ for special keys; they are mapped below. GLFW 3 names
//   printable keys by their place on a US keyboard; 2.x codes name them by the
//   character they type in the active layout (see [SECTION] Keys by layout).
// - 2.x reports a cumulative wheel count; GLFW 3 reports scroll offsets.
// - Sticky keys and mouse buttons are on by default, so a tap shorter than a
//   frame still reads as down at the next poll and up at the one after. The
//   latch is kept here rather than in GLFW 3's sticky modes: those also hold
//   back the release of a key whose press was already polled, by one poll.
// - 2.x answers keys, the cursor position and the window size from state its
//   event processing keeps; GLFW 3 on X11 asks the X server (a round trip)
//   for the cursor and the size at every call, twice per frame for the mouse.
//   All three are kept here from GLFW 3's callbacks instead (its key callback
//   sees every change of its own key state), so they change only when events
//   are taken in, and the keyboard's 157 polls a frame make no GLFW 3 call.
//   A move of the window (by the game or by anyone else) changes where the
//   resting cursor is in the window without a motion event, so the position
//   is read again at the next poll; the game's own warps and resizes are read
//   back at once.
//
// Limits beyond 2.x (X11 would otherwise end the process or misbehave):
// - window sides are kept within 1..16384; sizes that cannot be carried are ignored;
// - cursor warps are kept within X's 16-bit coordinates (the server then stops
//   the pointer at the screen's edge);
// - titles reach the window cut to kMaxTitleBytes, at a UTF-8 character boundary.
//
// Every entry that calls GLFW 3 holds the library's reports (qmdiag::Hold):
// GLFW 3's error callback, and reports made here, reach the game's callback
// only after the entry is done, never from inside GLFW 3 or half-way through
// a change here, so a callback that calls back in finds a consistent state.
//
// In a web page (Emscripten) GLFW 3 is Emscripten's JavaScript library over
// one canvas. Where the browser differs, the place says so (comments starting
// "Web:"): the swap waits for the browser's next frame, printable keys keep
// their US place, wheel steps are read from the browser's event, a hidden
// cursor locks the pointer, and cursor warps, swap intervals and joysticks
// without the Gamepad API are reported, not done.
#include "glfw2.h"
#include "glfw2_native.h"

// GLFW 3 defines many of the same token names as macros with other values, so
// the 2.x values used here are captured before its header is included.
namespace v2 {
using namespace glfw2;
enum : int {
    Release = GLFW_RELEASE, Press = GLFW_PRESS,
    KeyEsc = GLFW_KEY_ESC, KeyF1 = GLFW_KEY_F1, KeyF25 = GLFW_KEY_F25,
    KeyUp = GLFW_KEY_UP, KeyDown = GLFW_KEY_DOWN, KeyLeft = GLFW_KEY_LEFT, KeyRight = GLFW_KEY_RIGHT,
    KeyLShift = GLFW_KEY_LSHIFT, KeyRShift = GLFW_KEY_RSHIFT,
    KeyLCtrl = GLFW_KEY_LCTRL, KeyRCtrl = GLFW_KEY_RCTRL,
    KeyLAlt = GLFW_KEY_LALT, KeyRAlt = GLFW_KEY_RALT,
    KeyTab = GLFW_KEY_TAB, KeyEnter = GLFW_KEY_ENTER, KeyBackspace = GLFW_KEY_BACKSPACE,
    KeyInsert = GLFW_KEY_INSERT, KeyDel = GLFW_KEY_DEL,
    KeyPageUp = GLFW_KEY_PAGEUP, KeyPageDown = GLFW_KEY_PAGEDOWN,
    KeyHome = GLFW_KEY_HOME, KeyEnd = GLFW_KEY_END,
    KeyKp0 = GLFW_KEY_KP_0, KeyKp9 = GLFW_KEY_KP_9,
    KeyKpDivide = GLFW_KEY_KP_DIVIDE, KeyKpMultiply = GLFW_KEY_KP_MULTIPLY,
    KeyKpSubtract = GLFW_KEY_KP_SUBTRACT, KeyKpAdd = GLFW_KEY_KP_ADD,
    KeyKpDecimal = GLFW_KEY_KP_DECIMAL, KeyKpEqual = GLFW_KEY_KP_EQUAL,
    KeyKpEnter = GLFW_KEY_KP_ENTER,
    // The rest of 2.x the adapter honours, which the library never uses.
    MouseButtonFirst = 0, MouseButtonLast = 7,
    JoystickLast = 15,
    Window = GLFW_WINDOW, FullScreen = GLFW_FULLSCREEN,
    Opened = GLFW_OPENED, Active = 0x00020002, Iconified = 0x00020003,
    Accelerated = 0x00020004, RedBits = 0x00020005, GreenBits = 0x00020006,
    BlueBits = 0x00020007, AlphaBits = 0x00020008, DepthBits = 0x00020009,
    StencilBits = 0x0002000A, RefreshRate = 0x0002000B, Stereo = 0x00020011,
    WindowNoResize = GLFW_WINDOW_NO_RESIZE, FsaaSamples = GLFW_FSAA_SAMPLES,
    MouseCursor = GLFW_MOUSE_CURSOR, StickyKeys = 0x00030002,
    StickyMouseButtons = 0x00030003, AutoPollEvents = 0x00030006,
    Present = GLFW_PRESENT, Axes = GLFW_AXES, Buttons = GLFW_BUTTONS,
};
}  // namespace v2

#include "core/Report.h"
#include "system.h"

#include <GLFW/glfw3.h>
#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#elif !defined(_WIN32)
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#endif

#ifndef GL_SAMPLES
#define GL_SAMPLES 0x80A9  // OpenGL 1.3; Windows' own <GL/gl.h> stops at 1.1
#endif

#include <climits>
#include <cmath>
#include <cstring>

namespace {

struct Hints {
    int samples = 0;
    bool noResize = false;
    int refreshRate = 0;
    bool stereo = false;
};

struct State {
    bool initialized = false;
    glfw2::OpenFailure openFailure = glfw2::OpenFailure::NoFailure;
    GLFWwindow* window = nullptr;
    Hints hints;
    double wheel = 0.0;
    bool cursorEnabled = true;
    bool systemCursorHidden = false;
    bool stickyKeys = true;
    bool stickyButtons = true;
    bool autoPoll = true;
    // Cursor position (GLFW 3's, top-left origin) and window size as of the
    // latest events.
    double cursorX = 0.0;
    double cursorY = 0.0;
    // The pointer's own motion taken in since TakeMouseMotion last asked
    // (see [SECTION] Raw motion).
    double motionX = 0.0;
    double motionY = 0.0;
    // The pointer's place on the screen as last sampled, and whether GLFW 3
    // has reported it moving (or entering or leaving) since.
    bool pointerKnown = false;
    int pointerX = 0;
    int pointerY = 0;
    bool pointerStirred = false;
    int width = 0;
    int height = 0;
    // Set by a cursor mode change: motion queued in the old mode may still
    // report that mode's positions, so the next poll reads the real one.
    bool cursorResync = false;
    // Keys down as of the latest events (GLFW 3 codes).
    unsigned char keyDown[GLFW_KEY_LAST + 1] = {};
    // Presses taken in since the key or button was last polled (GLFW 3 codes).
    unsigned char keyLatch[GLFW_KEY_LAST + 1] = {};
    unsigned char buttonLatch[GLFW_MOUSE_BUTTON_LAST + 1] = {};
    // Printable keys by character (2.x codes 32..126, index code - 32): how
    // many keys typing it are down, and presses not yet polled.
    unsigned char charDown[95] = {};
    unsigned char charLatch[95] = {};
    // Per scancode (X keycode): the character its press was counted under (0: none), so
    // that the release is counted under the same one after a layout change.
    unsigned char scanChar[512] = {};  // X keycodes are 8..255; Win32 scancodes reach 0x1FF
};

State g;

// Whole pixels from a GLFW 3 coordinate; NaN and out-of-range values (a
// disabled cursor moves without bound) are kept inside int.
int ToInt(double v) {
    if (std::isnan(v)) return 0;
    v = std::floor(v);
    if (v <= double(INT_MIN)) return INT_MIN;
    if (v >= double(INT_MAX)) return INT_MAX;
    return int(v);
}

constexpr int MapKey(int key) {
    // Printable keys are answered by character, not through GLFW 3 key codes.
    if (key >= 32 && key <= 126) return -1;
    if (key >= v2::KeyF1 && key <= v2::KeyF25) return GLFW_KEY_F1 + (key - v2::KeyF1);
    if (key >= v2::KeyKp0 && key <= v2::KeyKp9) return GLFW_KEY_KP_0 + (key - v2::KeyKp0);
    switch (key) {
    case v2::KeyEsc: return GLFW_KEY_ESCAPE;
    case v2::KeyUp: return GLFW_KEY_UP;
    case v2::KeyDown: return GLFW_KEY_DOWN;
    case v2::KeyLeft: return GLFW_KEY_LEFT;
    case v2::KeyRight: return GLFW_KEY_RIGHT;
    case v2::KeyLShift: return GLFW_KEY_LEFT_SHIFT;
    case v2::KeyRShift: return GLFW_KEY_RIGHT_SHIFT;
    case v2::KeyLCtrl: return GLFW_KEY_LEFT_CONTROL;
    case v2::KeyRCtrl: return GLFW_KEY_RIGHT_CONTROL;
    case v2::KeyLAlt: return GLFW_KEY_LEFT_ALT;
    case v2::KeyRAlt: return GLFW_KEY_RIGHT_ALT;
    case v2::KeyTab: return GLFW_KEY_TAB;
    case v2::KeyEnter: return GLFW_KEY_ENTER;
    case v2::KeyBackspace: return GLFW_KEY_BACKSPACE;
    case v2::KeyInsert: return GLFW_KEY_INSERT;
    case v2::KeyDel: return GLFW_KEY_DELETE;
    case v2::KeyPageUp: return GLFW_KEY_PAGE_UP;
    case v2::KeyPageDown: return GLFW_KEY_PAGE_DOWN;
    case v2::KeyHome: return GLFW_KEY_HOME;
    case v2::KeyEnd: return GLFW_KEY_END;
    case v2::KeyKpDivide: return GLFW_KEY_KP_DIVIDE;
    case v2::KeyKpMultiply: return GLFW_KEY_KP_MULTIPLY;
    case v2::KeyKpSubtract: return GLFW_KEY_KP_SUBTRACT;
    case v2::KeyKpAdd: return GLFW_KEY_KP_ADD;
    case v2::KeyKpDecimal: return GLFW_KEY_KP_DECIMAL;
    case v2::KeyKpEqual: return GLFW_KEY_KP_EQUAL;
    case v2::KeyKpEnter: return GLFW_KEY_KP_ENTER;
    default: return -1;
    }
}

// MapKey for every 2.x code, worked out at compile time: the keyboard polls
// 157 keys each frame, and a table read is cheaper than the tests above.
struct KeyTable {
    short glfw3[v2::KeyKpEnter + 1];
    constexpr KeyTable() : glfw3() {
        for (int key = 0; key <= v2::KeyKpEnter; ++key) glfw3[key] = short(MapKey(key));
    }
};
constexpr KeyTable kKeyTable;

inline int ToGlfw3Key(int key) {
    return unsigned(key) <= unsigned(v2::KeyKpEnter) ? kKeyTable.glfw3[key] : -1;
}

// [SECTION] Raw motion
// The pointer's own motion is where it went on the screen: the sum of the
// changes of its screen position between samples, except across a warp.
// GLFW 3's cursor events cannot give it: their positions are relative to the
// window (which may move), virtual while the cursor is disabled, and an event
// at the place of GLFW 3's latest warp is dropped, so a move away and back
// onto that place would lose the way back. Samples are taken on each side of
// every warp (the game's, and GLFW 3's centring and restoring of a disabled
// cursor, which happen in cursor-mode changes and at the end of each event
// poll), and after a poll that brought cursor events; so a game whose pointer
// rests makes no extra round trip to the display.

// Takes the pointer's screen position; with `count`, its change since the
// previous sample is motion.
void SamplePointer(bool count) {
    int x = 0, y = 0;
    if (!g.window || !qmsys::PointerOnScreen(&x, &y)) {
        g.pointerKnown = false;
        return;
    }
    if (count && g.pointerKnown) {
        g.motionX += double(x) - double(g.pointerX);
        g.motionY += double(y) - double(g.pointerY);
    }
    g.pointerX = x;
    g.pointerY = y;
    g.pointerKnown = true;
    g.pointerStirred = false;
}

void ApplyInputModes() {
    if (!g.window) return;
#if defined(__EMSCRIPTEN__)
    // Web: Emscripten's GLFW 3 has no hidden mode (it prints "not
    // implemented"). A page hides the pointer by locking it, which also lets
    // its raw motion go on past the canvas's edge, as mouse-look needs; the
    // lock takes effect at the player's next click if the browser waits for one.
    const int hidden = GLFW_CURSOR_DISABLED;
#else
    const int hidden = GLFW_CURSOR_HIDDEN;
#endif
    int cursor = !g.cursorEnabled        ? GLFW_CURSOR_DISABLED
                 : g.systemCursorHidden ? hidden
                                        : GLFW_CURSOR_NORMAL;
    if (glfwGetInputMode(g.window, GLFW_CURSOR) == cursor) return;
    // Disabling centres the pointer, enabling puts it back: neither is motion.
    SamplePointer(true);
    glfwSetInputMode(g.window, GLFW_CURSOR, cursor);
    SamplePointer(false);
    // Entering or leaving the disabled mode moves the position GLFW 3 reports
    // (virtual / restored) without a callback.
    glfwGetCursorPos(g.window, &g.cursorX, &g.cursorY);
    g.cursorResync = true;
}

void ClearLatches() {
    for (unsigned char& latch : g.keyLatch) latch = 0;
    for (unsigned char& latch : g.buttonLatch) latch = 0;
    for (unsigned char& latch : g.charLatch) latch = 0;
}

// [SECTION] Keys by layout
// A printable key is named by the character it types in the active layout
// with no modifier, letters upper case, as of its press. A key typing nothing
// in 32..126 (an accented letter) keeps the code of its place on a
// US keyboard (the French layout's 2 key, which types an accented e, reads as
// '2'); space is always 32. The layout is looked up at each press, so a change
// of layout applies from the next press; a key is released under the code it
// was pressed with.
bool IsPrintableGlfw3Key(int key) {
    return key == GLFW_KEY_SPACE || (key >= GLFW_KEY_APOSTROPHE && key <= GLFW_KEY_WORLD_2);
}

int CharacterOfKey(int key) {
    if (!IsPrintableGlfw3Key(key)) return 0;
#if defined(__EMSCRIPTEN__)
    // Web: Emscripten's glfwGetKeyName throws "not implemented", and its key
    // codes come from the event's US key position, so that is the name.
    return key <= 126 ? key : 0;
#endif
    const char* name = ::glfwGetKeyName(key, 0);  // unshifted, active layout and group
    if (name && name[0] >= 32 && name[0] <= 126 && name[1] == '\0') {
        const int ch = name[0];
        return (ch >= 'a' && ch <= 'z') ? ch - 'a' + 'A' : ch;
    }
    return key <= 126 ? key : 0;  // US position; GLFW 3's printable codes are ASCII
}

void OnPrintableKey(int key, int scancode, int action) {
    if (scancode < 0 || scancode > 511 || action == GLFW_REPEAT) return;
    unsigned char& counted = g.scanChar[scancode];
    if (action == GLFW_PRESS) {
        if (counted) return;
        const int ch = CharacterOfKey(key);
        if (!ch) return;
        counted = (unsigned char)ch;
        ++g.charDown[ch - 32];
        g.charLatch[ch - 32] = 1;
    } else if (counted) {
        if (g.charDown[counted - 32]) --g.charDown[counted - 32];
        counted = 0;
    }
}

void OnKey(GLFWwindow*, int key, int scancode, int action, int) {
    OnPrintableKey(key, scancode, action);
    if (key < 0 || key > GLFW_KEY_LAST) return;
    if (action == GLFW_PRESS) g.keyLatch[key] = 1;
    g.keyDown[key] = action != GLFW_RELEASE;  // a repeat keeps it down
}

void OnMouseButton(GLFWwindow*, int button, int action, int) {
    if (action == GLFW_PRESS && button >= 0 && button <= GLFW_MOUSE_BUTTON_LAST)
        g.buttonLatch[button] = 1;
}

#if defined(__EMSCRIPTEN__)
// Web: Emscripten's GLFW 3 hands the scroll callback the browser's raw
// deltas, in pixels, lines or pages by the event's mode, down positive. The
// same event is read first (a listener on the window, which sees it before
// the canvas does) in wheel steps, up positive, as GLFW 3 reports them
// elsewhere: 100 pixels, 3 lines or 1/80 page a step (Emscripten's own rule).
EM_JS(void, qm_watch_wheel, (), {
    if (Module.qmWheel) return;
    Module.qmWheel = {steps: 0};
    window.addEventListener('wheel', function(event) {
        Module.qmWheel.steps = -Browser.getMouseWheelDelta(event);
    }, true);
});
EM_JS(double, qm_wheel_steps, (), { return Module.qmWheel ? Module.qmWheel.steps : 0; });

// Web: Emscripten asks for the pointer lock at once when the cursor is
// disabled, and again at the next click on the canvas; a browser refuses the
// first outside a click, as an unhandled promise rejection. The refusal is
// expected, not an error of the page.
EM_JS(void, qm_quiet_pointer_lock_refusals, (), {
    var canvas = Module['canvas'];
    if (!canvas || canvas.qmQuietLock || !canvas.requestPointerLock) return;
    canvas.qmQuietLock = true;
    var request = canvas.requestPointerLock;
    canvas.requestPointerLock = function() {
        var result = request.apply(canvas, arguments);
        if (result && result.catch) result.catch(function() {});
        return result;
    };
});

void OnScroll(GLFWwindow*, double, double) {
    const double steps = qm_wheel_steps();
    if (std::isfinite(steps)) g.wheel += steps;
}
#else
void OnScroll(GLFWwindow*, double, double yoffset) {
    if (std::isfinite(yoffset)) g.wheel += yoffset;
}
#endif

void OnCursorPos(GLFWwindow*, double x, double y) {
    g.cursorX = x;
    g.cursorY = y;
    g.pointerStirred = true;
}

void OnCursorEnter(GLFWwindow*, int) { g.pointerStirred = true; }

void OnWindowSize(GLFWwindow*, int width, int height) {
    g.width = width;
    g.height = height;
}

// The cursor keeps its place on the screen while the window moves under it.
void OnWindowPos(GLFWwindow*, int, int) { g.cursorResync = true; }

void DestroyWindow() {
    if (!g.window) return;
    glfwDestroyWindow(g.window);
    g.window = nullptr;
    g.pointerKnown = false;
}

// After events were processed: a window the user asked to close is closed.
void CloseIfRequested() {
    if (g.window && glfwWindowShouldClose(g.window)) DestroyWindow();
}

void SetMode(int token, bool on) {
    switch (token) {
    case v2::MouseCursor: g.cursorEnabled = on; break;
    case v2::StickyKeys: g.stickyKeys = on; if (!on) ClearLatches(); break;
    case v2::StickyMouseButtons: g.stickyButtons = on; if (!on) ClearLatches(); break;
    case v2::AutoPollEvents: g.autoPoll = on; break;
    default: return;  // key repeat and system keys have no GLFW 3 counterpart here
    }
    ApplyInputModes();
}

// A software GL presents the back buffer as one X image: a window much larger
// than its largest viewport crashes the X client library at the next swap.
// Window sides are kept within what drivers draw (16384 is the common limit).
constexpr int kMaxWindowSide = 16384;
int ClampSide(int side) { return side < kMaxWindowSide ? side : kMaxWindowSide; }
int AtLeastOne(int side) { return side > 0 ? side : 1; }

// X carries window coordinates in 16 bits: a warp target beyond them would be
// cut to some other place.
int ClampToInt16(int v) { return v < -32768 ? -32768 : v > 32767 ? 32767 : v; }

// The title is sent as several properties, each in one X request; beyond the
// server's request limit (about 16 MB, or 256 KB without big requests) the
// process is ended. No title bar shows more than a fraction of this.
constexpr std::size_t kMaxTitleBytes = 16384;
char g_titleBuffer[kMaxTitleBytes + 1];

// The title cut to kMaxTitleBytes before the character the cut would split;
// *sent is the length that reaches the window.
const char* FittedTitle(const char* title, std::size_t* sent) {
    std::size_t length = ::strnlen(title, kMaxTitleBytes + 1);
    *sent = length;
    if (length <= kMaxTitleBytes) return title;
    length = kMaxTitleBytes;
    while (length > 0 && (static_cast<unsigned char>(title[length]) & 0xC0u) == 0x80u) --length;
    std::memcpy(g_titleBuffer, title, length);
    g_titleBuffer[length] = '\0';
    *sent = length;
    return g_titleBuffer;
}

// GLFW 3's own errors go to the library's diagnostics channel; GLFW 3 itself
// prints nothing.
void OnError(int code, const char* description) { qmdiag::ReportPlatformError(code, description); }

#if defined(__EMSCRIPTEN__)
// Web: joysticks come from the Gamepad API; without it none ever connects.
EM_JS(int, qm_has_gamepad_api, (), {
    return (typeof navigator != 'undefined' && (navigator.getGamepads || navigator.webkitGetGamepads)) ? 1 : 0;
});

bool JoysticksReachable() {
    static const bool reachable = qm_has_gamepad_api() != 0;
    static bool reported = false;
    if (!reachable && !reported) {
        reported = true;
        qmdiag::Report(Diagnostic::JoysticksUnavailable);
    }
    return reachable;
}

// Web: the page shows a frame, and takes in input events, only when the
// program gives control back to the browser, so every swap yields (Asyncify)
// and the game's own loop runs as written. With vertical sync (the default)
// the swap waits for the browser's next animation frame. Without it, it only
// lets the browser run its pending work (a message to itself: no timer's
// 4 ms clamp) and goes on, as a desktop swap goes on without waiting for the
// display: a frame that takes a little longer than the refresh then costs
// that time, not two refreshes.
bool g_waitForDisplay = true;

EM_ASYNC_JS(void, qm_yield_to_browser, (int waitForDisplay), {
    await new Promise(function(resolve) {
        if (waitForDisplay) { requestAnimationFrame(function() { resolve(); }); return; }
        if (!Module.qmYield) {
            Module.qmYield = { channel: new MessageChannel(), resume: null };
            Module.qmYield.channel.port1.onmessage = function() {
                var resume = Module.qmYield.resume;
                Module.qmYield.resume = null;
                if (resume) resume();
            };
        }
        Module.qmYield.resume = resolve;
        Module.qmYield.channel.port2.postMessage(0);
    });
});
#else
bool JoysticksReachable() { return true; }
#endif

bool ValidJoystick(int joy) {
    return g.initialized && joy >= 0 && joy <= v2::JoystickLast && JoysticksReachable();
}

}  // namespace

namespace glfw2 {

// [SECTION] Library and window

int glfwInit() {
    qmdiag::Hold hold;
    if (g.initialized) return 1;
    // Set before init: a missing display is reported by init itself.
    ::glfwSetErrorCallback(OnError);
    if (::glfwInit() != GLFW_TRUE) return 0;
    g = State();
    g.initialized = true;
    return 1;
}

void glfwTerminate() {
    qmdiag::Hold hold;
    if (!g.initialized) return;
    DestroyWindow();
    ::glfwTerminate();
    g.initialized = false;
}

int glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits,
                   int alphabits, int depthbits, int stencilbits, int mode) {
    qmdiag::Hold hold;
    Hints hints = g.hints;
    g.hints = Hints();
    if (!g.initialized || g.window) {
        // g is reset by init: the reason is kept apart from it.
        g.openFailure = g.window ? OpenFailure::AlreadyOpen : OpenFailure::NotInitialized;
        return 0;
    }
    g.openFailure = OpenFailure::NoContext;
    if (mode != v2::Window && mode != v2::FullScreen) return 0;
    // 2.x fills in a missing dimension at 4:3, or opens 640 x 480.
    if (width <= 0 && height <= 0) {
        width = 640;
        height = 480;
    } else if (width <= 0) {
        width = AtLeastOne(ClampSide(height) * 4 / 3);
    } else if (height <= 0) {
        height = AtLeastOne(ClampSide(width) * 3 / 4);  // 1 x 0 must not become 1 x 0
    }
    width = ClampSide(width);
    height = ClampSide(height);

    ::glfwDefaultWindowHints();
    ::glfwWindowHint(GLFW_RED_BITS, redbits);
    ::glfwWindowHint(GLFW_GREEN_BITS, greenbits);
    ::glfwWindowHint(GLFW_BLUE_BITS, bluebits);
    ::glfwWindowHint(GLFW_ALPHA_BITS, alphabits);
    ::glfwWindowHint(GLFW_DEPTH_BITS, depthbits);
    ::glfwWindowHint(GLFW_STENCIL_BITS, stencilbits);
    ::glfwWindowHint(GLFW_SAMPLES, hints.samples > 0 ? hints.samples : 0);
    ::glfwWindowHint(GLFW_RESIZABLE, hints.noResize ? GLFW_FALSE : GLFW_TRUE);
    ::glfwWindowHint(GLFW_STEREO, hints.stereo ? GLFW_TRUE : GLFW_FALSE);
    if (hints.refreshRate > 0) ::glfwWindowHint(GLFW_REFRESH_RATE, hints.refreshRate);

    GLFWmonitor* monitor = mode == v2::FullScreen ? ::glfwGetPrimaryMonitor() : nullptr;
    g.window = ::glfwCreateWindow(width, height, "GLFW Window", monitor, nullptr);
    if (!g.window) return 0;
    g.openFailure = OpenFailure::NoFailure;
    ::glfwMakeContextCurrent(g.window);
    ::glfwSetScrollCallback(g.window, OnScroll);
    ::glfwSetKeyCallback(g.window, OnKey);
    ::glfwSetMouseButtonCallback(g.window, OnMouseButton);
    ::glfwSetCursorPosCallback(g.window, OnCursorPos);
    ::glfwSetCursorEnterCallback(g.window, OnCursorEnter);
    ::glfwSetWindowSizeCallback(g.window, OnWindowSize);
    ::glfwSetWindowPosCallback(g.window, OnWindowPos);
    ::glfwGetCursorPos(g.window, &g.cursorX, &g.cursorY);
    ::glfwGetWindowSize(g.window, &g.width, &g.height);
#if defined(__EMSCRIPTEN__)
    qm_watch_wheel();
    qm_quiet_pointer_lock_refusals();
#endif
    // A new window starts with every key up.
    for (unsigned char& down : g.keyDown) down = 0;
    for (unsigned char& down : g.charDown) down = 0;
    for (unsigned char& counted : g.scanChar) counted = 0;
    ClearLatches();
    ApplyInputModes();
    // Nor has the pointer moved in it: motion counts from where it is now.
    SamplePointer(false);
    g.motionX = g.motionY = 0.0;
    return 1;
}

void glfwOpenWindowHint(int target, int hint) {
    switch (target) {
    case v2::FsaaSamples: g.hints.samples = hint; break;
    case v2::WindowNoResize: g.hints.noResize = hint != 0; break;
    case v2::RefreshRate: g.hints.refreshRate = hint; break;
    case v2::Stereo: g.hints.stereo = hint != 0; break;
    default: break;
    }
}

void glfwCloseWindow() {
    qmdiag::Hold hold;
    DestroyWindow();
}

void glfwSetWindowTitle(const char* title) {
    if (!g.window || !title) return;
    qmdiag::Hold hold;  // the title and the window stay as they are until it is sent
    std::size_t sent = 0;
    const char* fitted = FittedTitle(title, &sent);
    ::glfwSetWindowTitle(g.window, fitted);
    if (fitted != title) qmdiag::Report(Diagnostic::TitleCut, double(std::strlen(title)), double(sent));
}

void glfwGetWindowSize(int* width, int* height) {
    if (width) *width = g.window ? g.width : 0;
    if (height) *height = g.window ? g.height : 0;
}

void glfwSetWindowSize(int width, int height) {
    qmdiag::Hold hold;
    // X11 carries sizes in 16 bits: a larger one is cut, and one that cuts to
    // 0 is a protocol error that ends the process. Such sizes are ignored.
    auto fits = [](int v) { return v > 0 && v <= 65535; };
    if (!g.window || !fits(width) || !fits(height)) return;
    // A hidden (disabled) cursor is held inside the window: a window that no
    // longer covers it carries it along, which is not motion. Sampled on
    // each side, as a warp (the read-back below waits for the server).
    SamplePointer(true);
    ::glfwSetWindowSize(g.window, ClampSide(width), ClampSide(height));
    // Read back: the size the window has now (a window manager may change or
    // refuse it; its answer arrives as an event).
    ::glfwGetWindowSize(g.window, &g.width, &g.height);
    SamplePointer(false);
}

void glfwSetWindowPos(int x, int y) {
    qmdiag::Hold hold;
    if (!g.window) return;
    SamplePointer(true);  // a held cursor moves with the window: not motion
    ::glfwSetWindowPos(g.window, x, y);
    ::glfwGetCursorPos(g.window, &g.cursorX, &g.cursorY);
    SamplePointer(false);
    g.cursorResync = true;  // a window manager may place it later
}

int glfwGetWindowParam(int param) {
    qmdiag::Hold hold;
    if (!g.window) return 0;
    GLint bits = 0;
    switch (param) {
    case v2::Opened: return 1;
    case v2::Active: return ::glfwGetWindowAttrib(g.window, GLFW_FOCUSED);
    case v2::Iconified: return ::glfwGetWindowAttrib(g.window, GLFW_ICONIFIED);
    case v2::Accelerated: return 1;
    case v2::WindowNoResize: return ::glfwGetWindowAttrib(g.window, GLFW_RESIZABLE) ? 0 : 1;
    case v2::RedBits: glGetIntegerv(GL_RED_BITS, &bits); return bits;
    case v2::GreenBits: glGetIntegerv(GL_GREEN_BITS, &bits); return bits;
    case v2::BlueBits: glGetIntegerv(GL_BLUE_BITS, &bits); return bits;
    case v2::AlphaBits: glGetIntegerv(GL_ALPHA_BITS, &bits); return bits;
    case v2::DepthBits: glGetIntegerv(GL_DEPTH_BITS, &bits); return bits;
    case v2::StencilBits: glGetIntegerv(GL_STENCIL_BITS, &bits); return bits;
    case v2::FsaaSamples: glGetIntegerv(GL_SAMPLES, &bits); return bits;
    default: return 0;
    }
}

void glfwSwapBuffers() {
    qmdiag::Hold hold;
    if (!g.window) return;
    ::glfwSwapBuffers(g.window);
#if defined(__EMSCRIPTEN__)
    qm_yield_to_browser(g_waitForDisplay ? 1 : 0);
#endif
    if (g.autoPoll) glfwPollEvents();
}

void glfwPollEvents() {
    qmdiag::Hold hold;
    if (!g.initialized) return;
    // A disabled cursor is centred again once the events are taken in: the
    // motion up to then is sampled first, and the centring is not motion.
    // (Motion in the moment between that sample and the centring is lost.)
    const bool centres = g.window && !g.cursorEnabled;
    if (centres) SamplePointer(true);
    ::glfwPollEvents();
    CloseIfRequested();
    if (g.window && (centres || g.pointerStirred)) SamplePointer(!centres);
    if (g.cursorResync && g.window) {
        ::glfwGetCursorPos(g.window, &g.cursorX, &g.cursorY);
        g.cursorResync = false;
    }
}

void glfwEnable(int token) {
    qmdiag::Hold hold;
    SetMode(token, true);
}
void glfwDisable(int token) {
    qmdiag::Hold hold;
    SetMode(token, false);
}

// [SECTION] Input

int glfwGetKey(int key) {
    if (!g.window) return v2::Release;
    if (key >= 32 && key <= 126) {
        const int i = key - 32;
        const bool latched = g.stickyKeys && g.charLatch[i];
        g.charLatch[i] = 0;
        return (latched || g.charDown[i]) ? v2::Press : v2::Release;
    }
    int key3 = ToGlfw3Key(key);
    if (key3 < 0) return v2::Release;
    // A press not yet polled counts once, even if the key is already up.
    const bool latched = g.stickyKeys && g.keyLatch[key3];
    g.keyLatch[key3] = 0;
    return (latched || g.keyDown[key3]) ? v2::Press : v2::Release;
}

int glfwGetMouseButton(int button) {
    qmdiag::Hold hold;
    if (!g.window || button < v2::MouseButtonFirst || button > v2::MouseButtonLast) return v2::Release;
    const bool latched = g.stickyButtons && g.buttonLatch[button];
    g.buttonLatch[button] = 0;
    return (latched || ::glfwGetMouseButton(g.window, button) == GLFW_PRESS) ? v2::Press
                                                                             : v2::Release;
}

void glfwGetMousePos(int* x, int* y) {
    if (x) *x = g.window ? ToInt(g.cursorX) : 0;
    if (y) *y = g.window ? ToInt(g.cursorY) : 0;
}

void glfwSetMousePos(int x, int y) {
    qmdiag::Hold hold;
    if (!g.window) return;
#if defined(__EMSCRIPTEN__)
    // Web: a page cannot move the pointer.
    qmdiag::Report(Diagnostic::CursorWarpUnavailable, x, y);
    return;
#endif
    SamplePointer(true);
    ::glfwSetCursorPos(g.window, ClampToInt16(x), ClampToInt16(y));
    SamplePointer(false);
    // GLFW 3 reports no motion for its own warp, and the server stops the
    // pointer at the screen's edge: read where it is now.
    ::glfwGetCursorPos(g.window, &g.cursorX, &g.cursorY);
}

int glfwGetMouseWheel() { return ToInt(g.wheel); }

int glfwGetJoystickParam(int joy, int param) {
    qmdiag::Hold hold;
    if (!ValidJoystick(joy) || !::glfwJoystickPresent(joy)) return 0;
    int count = 0;
    switch (param) {
    case v2::Present: return 1;
    case v2::Axes: ::glfwGetJoystickAxes(joy, &count); return count;
    case v2::Buttons: ::glfwGetJoystickButtons(joy, &count); return count;
    default: return 0;
    }
}

int glfwGetJoystickPos(int joy, float* pos, int numaxes) {
    qmdiag::Hold hold;
    if (!pos || numaxes <= 0) return 0;
    int count = 0;
    const float* axes = ValidJoystick(joy) ? ::glfwGetJoystickAxes(joy, &count) : nullptr;
    if (!axes) count = 0;
    if (count > numaxes) count = numaxes;
    for (int i = 0; i < numaxes; ++i) pos[i] = i < count ? axes[i] : 0.0f;
    return count;
}

int glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons) {
    qmdiag::Hold hold;
    if (!buttons || numbuttons <= 0) return 0;
    int count = 0;
    const unsigned char* state = ValidJoystick(joy) ? ::glfwGetJoystickButtons(joy, &count) : nullptr;
    if (!state) count = 0;
    if (count > numbuttons) count = numbuttons;
    for (int i = 0; i < numbuttons; ++i)
        buttons[i] = (i < count && state[i] == GLFW_PRESS) ? v2::Press : v2::Release;
    return count;
}

// [SECTION] OpenGL

void* glfwGetProcAddress(const char* procname) {
    qmdiag::Hold hold;
    if (!g.window || !procname) return nullptr;
    return reinterpret_cast<void*>(::glfwGetProcAddress(procname));
}

// [SECTION] Beyond 2.x

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// On Windows the OS services find the window themselves (FindWindowA); a web
// page has no native window.
unsigned long NativeWindow() {
    qmdiag::Hold hold;
    return g.window ? ::glfwGetX11Window(g.window) : 0ul;
}

void* NativeDisplay() {
    qmdiag::Hold hold;
    return g.window ? ::glfwGetX11Display() : nullptr;
}
#endif

void SetSystemCursorHidden(bool hidden) {
    qmdiag::Hold hold;
    g.systemCursorHidden = hidden;
    ApplyInputModes();
}

int SwapInterval(int interval) {
    qmdiag::Hold hold;
    if (!g.window) return 0;
#if defined(__EMSCRIPTEN__)
    // Web: Emscripten's glfwSwapInterval times its own main loop, which a
    // game with its own loop does not have (it prints an error). The swap
    // itself chooses whether to wait for the browser's refresh.
    g_waitForDisplay = interval != 0;
    return 1;
#endif
    ::glfwSwapInterval(interval);
    return 1;
}

void TakeMouseMotion(double* dx, double* dy) {
    if (dx) *dx = g.window ? g.motionX : 0.0;
    if (dy) *dy = g.window ? g.motionY : 0.0;
    g.motionX = 0.0;
    g.motionY = 0.0;
}

OpenFailure LastOpenFailure() { return g.openFailure; }

void* Glfw3Window() { return g.window; }

}  // namespace glfw2
