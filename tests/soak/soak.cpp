// Soak: the library's window under random real input (injected with XTest)
// and random calls of every public function with hostile arguments, frame
// after frame, with a diagnostics callback that calls back into the library
// (and now and then closes the window or throws). Each frame checks that
// glGetError gives exactly what the calls should raise (nothing, except the
// GL rejections noted at the calls) and that the input queries agree (Press
// and Release never both true, Press implies Hold, Release implies no Hold,
// untracked codes always false). Resident memory and the heap in use are
// sampled every 64 frames; after warm-up their floors must not rise from the
// first half of the run to the second. A crash ends the process with the
// frame and the call it died in.
//
//   soak [--frames N] [--seed S] [--warmup N] [--quiet]
//
// Needs an X display with XTest (tools/with-display.sh gives a private Xvfb).
// Exit status 0 when every check held.
#include <Quillmar.h>

#include <GL/gl.h>
// Xlib's font handle is called Font, as Quillmar's fonts are (Font.h).
#define Font XFont
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#undef Font
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// [SECTION] Settings and state shared with the crash handler

constexpr int kWidth = 320;
constexpr int kHeight = 240;
// How far the floors may rise from the first half of the run after warm-up
// to the second before it counts as growth. Resident memory also holds the
// driver's code caches, which a new context fills for a while (about a
// megabyte here). The heap in use (malloc's main arena) is much steadier, but
// below the library each restart of the windowing library keeps some 10 KB
// and each new window configuration (samples, depth bits) some more: over
// 100,000 frames about 200 KB.
constexpr long kRssSlackKb = 2048;
constexpr long kHeapSlackKb = 512;
// Frames after a (re)open before memory is sampled again.
constexpr long kSettleFrames = 300;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryChecks = false;  // the sanitizer's quarantine holds freed memory
#else
constexpr bool kMemoryChecks = true;
#endif

struct Options {
    long frames = 100000;
    unsigned seed = 20240607;
    long warmup = -1;  // -1: a tenth of the frames, at least 200 and at most 5000
    bool quiet = false;
};

// What the crash handler reports: plain globals, read from a signal handler.
volatile long gFrame = 0;
const char* volatile gCall = "start-up";

void OnCrash(int sig) {
    char text[256];
    int n = std::snprintf(text, sizeof text, "soak: signal %d at frame %ld during %s\n", sig,
                          long(gFrame), gCall);
    if (n > 0) (void)!write(2, text, size_t(n));
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

int OnXError(Display* display, XErrorEvent* e) {
    char text[128] = {};
    XGetErrorText(display, e->error_code, text, sizeof text);
    std::fprintf(stderr, "soak: X error \"%s\" (request %d) at frame %ld during %s\n", text,
                 e->request_code, long(gFrame), gCall);
    std::exit(3);  // what Xlib's own handler would do, with the context printed
}

long HeapInUseKb() {
    const struct mallinfo2 m = mallinfo2();
    return long((m.uordblks + m.hblkhd) / 1024);
}

long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// [SECTION] Hostile values

class Hostile {
public:
    explicit Hostile(unsigned seed) : rng(seed) {}

    std::mt19937& Rng() { return rng; }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

    float Float() {
        static const float pool[] = {
            std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
            std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
            0.0f, -0.0f, std::numeric_limits<float>::denorm_min(),
            std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
            1e30f, -1e30f, 1.0f, -1.0f, 0.5f, 180.0f, 360.0f, -720.0f, 1e7f, 0.00001f};
        if (Chance(0.5)) return pool[Pick(int(sizeof pool / sizeof *pool))];
        return std::uniform_real_distribution<float>(-1e4f, 1e4f)(rng);
    }

    int Int() {
        static const int pool[] = {INT_MIN, INT_MIN + 1, -65536, -1, 0, 1, 2, 31, 32, 38, 39,
                                   122, 123, 126, 127, 256, 257, 318, 319, 65535, 65536,
                                   100000, INT_MAX};
        if (Chance(0.6)) return pool[Pick(int(sizeof pool / sizeof *pool))];
        return std::uniform_int_distribution<int>(-400, 400)(rng);
    }

    // Sizes for an open window. Below 1 and past 16 bits they are extreme;
    // within 16 bits the window really gets that big, so they stop at 2048:
    // Mesa's software GLX crashes in XPutImage on a 65535 x 65535 window (the
    // back buffer cannot be allocated) and aborts in xcb at 32767 x 32767.
    int Size() {
        static const int pool[] = {INT_MIN, -70000, -1, 0, 1, 2, 17, 320, 2048,
                                   65536, 131072, 100000, INT_MAX};
        if (Chance(0.7)) return pool[Pick(int(sizeof pool / sizeof *pool))];
        return std::uniform_int_distribution<int>(1, 1024)(rng);
    }

    Vector2D Vec2() { return Vector2D(Float(), Float()); }
    Vector3D Vec3() { return Vector3D(Float(), Float(), Float()); }

private:
    std::mt19937 rng;
};

// [SECTION] Failures

class Checks {
public:
    Checks() = default;

    void Fail(const std::string& what) {
        ++failures;
        if (failures <= 20)
            std::fprintf(stderr, "soak: FAIL at frame %ld: %s\n", long(gFrame), what.c_str());
    }
    void Expect(bool ok, const char* what) {
        ++checks;
        if (!ok) Fail(what);
    }

    // Drains the GL error queue; exactly `expected` must have been raised.
    void ExpectGl(GLenum expected, const char* what) {
        ++glChecks;
        GLenum first = glGetError();
        if (expected != GL_NO_ERROR && first == expected) ++glRejections;
        int extra = 0;
        while (glGetError() != GL_NO_ERROR && extra < 16) ++extra;
        if (first != expected || extra) {
            char text[160];
            std::snprintf(text, sizeof text, "%s: GL error 0x%x (+%d more), expected 0x%x", what,
                          first, extra, expected);
            Fail(text);
        }
    }

    long failures = 0;
    long checks = 0;
    long glChecks = 0;
    long glRejections = 0;  // expected GL errors that were raised

};

// [SECTION] Input injection through XTest, on a connection of our own

class Injector {
public:
    Injector() : display(XOpenDisplay(nullptr)) {}
    ~Injector() {
        if (display) XCloseDisplay(display);
    }
    bool Ready() {
        int event = 0, error = 0, major = 0, minor = 0;
        return display && XTestQueryExtension(display, &event, &error, &major, &minor);
    }

    // Finds the library's window by its title and gives it the keyboard.
    bool Attach(const char* title) {
        window = 0;
        XSync(display, False);
        Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display, root, &root, &parent, &children, &count)) {
            for (unsigned i = 0; i < count && !window; ++i) {
                char* name = nullptr;
                if (XFetchName(display, children[i], &name) && name &&
                    std::strcmp(name, title) == 0)
                    window = children[i];
                if (name) XFree(name);
            }
            if (children) XFree(children);
        }
        if (!window) return false;
        Focus();
        return true;
    }

    void Focus() {
        if (!window) return;
        XWindowAttributes a{};
        if (XGetWindowAttributes(display, window, &a) && a.map_state == IsViewable)
            XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
    }

    // One random input event (sometimes a pair), counted per XTest call.
    void Random(Hostile& h) {
        switch (h.Pick(6)) {
        case 0:  // press a key, unless many are down already
            if (heldKeys.size() < 6) Key(RandomKey(h), true);
            break;
        case 1:  // release a held key
            if (!heldKeys.empty()) Key(heldKeys[size_t(h.Pick(int(heldKeys.size())))], false);
            break;
        case 2: {  // a tap shorter than a frame
            KeyCode k = RandomKey(h);
            if (!IsHeld(heldKeys, k)) {
                Key(k, true);
                Key(k, false);
            }
            break;
        }
        case 3: {  // a mouse button, left / middle / right and side buttons 8, 9
            static const unsigned buttons[] = {1, 2, 3, 8, 9};
            unsigned b = buttons[h.Pick(5)];
            Button(b, !IsHeld(heldButtons, b));
            break;
        }
        case 4:  // one wheel click up (4) or down (5)
            Button(h.Chance(0.5) ? 4 : 5, true);
            Button(heldButtons.back(), false);
            break;
        default: Motion(h); break;
        }
        XFlush(display);
    }

    // Lets go of everything still held, so the server is left clean.
    void ReleaseAll() {
        while (!heldKeys.empty()) Key(heldKeys.back(), false);
        while (!heldButtons.empty()) Button(heldButtons.back(), false);
        XSync(display, False);
    }

    void Key(KeyCode code, bool down) {
        if (!code) return;
        XTestFakeKeyEvent(display, code, down, CurrentTime);
        Track(heldKeys, code, down);
        ++injected;
    }
    KeyCode Code(KeySym sym) { return XKeysymToKeycode(display, sym); }
    void Sync() { XSync(display, False); }

    // The window manager's close request, as a click on the close box sends.
    void RequestClose() {
        if (!window) return;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &e);
        XFlush(display);
    }

    long injected = 0;

private:
    template <typename T>
    static bool IsHeld(const std::vector<T>& held, T v) {
        for (T h : held)
            if (h == v) return true;
        return false;
    }
    template <typename T>
    static void Track(std::vector<T>& held, T v, bool down) {
        for (size_t i = 0; i < held.size(); ++i)
            if (held[i] == v) held.erase(held.begin() + long(i));
        if (down) held.push_back(v);
    }

    KeyCode RandomKey(Hostile& h) {
        static const KeySym syms[] = {
            XK_a, XK_q, XK_z, XK_m, XK_0, XK_5, XK_9, XK_space, XK_comma, XK_period,
            XK_slash, XK_semicolon, XK_apostrophe, XK_bracketleft, XK_backslash, XK_minus,
            XK_equal, XK_grave, XK_Escape, XK_F1, XK_F5, XK_F12, XK_Up, XK_Down, XK_Left,
            XK_Right, XK_Shift_L, XK_Shift_R, XK_Control_L, XK_Control_R, XK_Alt_L,
            XK_Tab, XK_Return, XK_BackSpace, XK_Insert, XK_Delete, XK_Prior, XK_Next,
            XK_Home, XK_End, XK_KP_0, XK_KP_7, XK_KP_Divide, XK_KP_Multiply, XK_KP_Subtract,
            XK_KP_Add, XK_KP_Decimal, XK_KP_Enter};
        return Code(syms[h.Pick(int(sizeof syms / sizeof *syms))]);
    }

    void Button(unsigned button, bool down) {
        XTestFakeButtonEvent(display, button, down, CurrentTime);
        Track(heldButtons, button, down);
        ++injected;
    }

    // Mostly over the window, sometimes anywhere on (or off) the screen.
    void Motion(Hostile& h) {
        int x = 0, y = 0;
        Window child = 0;
        if (window && h.Chance(0.8)) {
            XTranslateCoordinates(display, window, DefaultRootWindow(display),
                                  h.Pick(kWidth), h.Pick(kHeight), &x, &y, &child);
        } else {
            x = h.Pick(1600) - 100;
            y = h.Pick(1300) - 100;
        }
        XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
        ++injected;
    }

    Display* display;
    Window window = 0;
    std::vector<KeyCode> heldKeys;
    std::vector<unsigned> heldButtons;
};

// [SECTION] The soak

class Soak {
public:
    explicit Soak(const Options& options)
        : options(options), h(options.seed), reentry(options.seed + 1), core(new Core) {
        title = "Quillmar soak " + std::to_string(getpid());
        SetDiagnosticCallback(OnReport, this);
        side.renderer.Init(&side.window, &side.timer, &side.keyboard, &side.mouse,
                           &side.joystick);
        BuildCalls();
    }
    ~Soak() {
        SetDiagnosticCallback(nullptr, nullptr);
        delete core;
    }

    int Run();

private:
    struct Call {
        const char* name;
        std::function<void()> run;
    };

    // Managers of our own, wired like Core's: their Step()s poll the same
    // window, and their settings are hostile too.
    struct Side {
        WindowManager window;
        TimeManager timer;
        KeyboardManager keyboard;
        MouseManager mouse;
        JoystickManager joystick;
        RenderingManager renderer;
        float nearClip = 1.0f, farClip = 10000.0f;
    };

    // The diagnostics callback: it calls back into the library (a long
    // title, reports of its own, a clear, now and then a Close), checks that
    // its message stays as it was, and sometimes throws.
    static void OnReport(Diagnostic code, const char* message, void* user);
    bool OpenWindow();
    // Which settings a reopen uses: those the hostile calls left (a quarter
    // of the time, at random), the standard ones, or those set just before.
    enum class Settings { Random, Standard, Keep };
    void Reopen(const char* why, Settings settings = Settings::Random);
    void Frame();
    void CheckInput();
    void BuildCalls();
    void Add(const char* name, std::function<void()> run) { calls.push_back({name, run}); }
    bool Open() { return Core::Window.IsOpen(); }
    // The error a 2D projection raises: glOrtho rejects an empty volume.
    GLenum OrthoError(WindowManager& w, float nearClip, float farClip) {
        return (w.GetWidth() == 0 || w.GetHeight() == 0 || nearClip == farClip)
                   ? GL_INVALID_VALUE
                   : GL_NO_ERROR;
    }
    GLenum IfOpen(GLenum e) { return Open() ? e : GL_NO_ERROR; }
    // The clipping planes as the renderer keeps them: only 0 < near < far, finite.
    static void SetNear(RenderingManager& r, float& nearClip, float farClip, float v) {
        r.SetNearClippingPlane(v);
        if (v > 0.0f && v < farClip) nearClip = v;
    }
    static void SetFar(RenderingManager& r, float nearClip, float& farClip, float v) {
        r.SetFarClippingPlane(v);
        if (v > nearClip && std::isfinite(v)) farClip = v;
    }

    Options options;
    Hostile h;
    Hostile reentry;  // the callback's own choices, so the frame's stay as they were
    Checks checks;
    Injector input;
    Core* core;
    Side side;
    std::string title;
    std::vector<Call> calls;
    float nearClip = 1.0f, farClip = 10000.0f;  // what Core::Renderer holds
    bool resized = false;
    bool extensionsFirst = false;
    // The settings the next Open uses; memory is sampled only in windows
    // opened with the standard ones (multisampled buffers are bigger).
    int sampleRate = 1, depthBits = 16;
    bool standardWindow = true;
    long hostileUntil = 0;
    long settledFrom = 0;  // memory is sampled from this frame on
    long callsMade = 0, queries = 0, reopens = 0, inputFailures = 0;
    long pressesSeen = 0, releasesSeen = 0;  // key and button edges the library reported
    long reports = 0, reportsThrown = 0, callbackCloses = 0;
    bool reopening = false;  // the callback leaves a window being opened (and found) alone
};

void Soak::OnReport(Diagnostic, const char* message, void* user) {
    Soak& s = *static_cast<Soak*>(user);
    ++s.reports;
    if (!message || !message[0] || std::strlen(message) >= 512) {
        s.checks.Fail("the callback's message is missing or unbounded");
        return;
    }
    const std::string copy = message;
    const char* outer = gCall;
    gCall = "diagnostics callback";
    switch (s.reentry.Pick(10)) {
    case 0:  // a title the window shows cut, reported from inside the report
        if (!s.reopening) Core::Window.SetTitle((s.title + std::string(17000, 'x')).c_str());
        break;
    case 1: ClearDiagnostic(); break;
    case 2: Core::Renderer.SetFieldOfView(-1.0f); break;
    case 3: Core::Mouse.SetPosition(std::numeric_limits<float>::quiet_NaN(), 0.0f); break;
    case 4: (void)GetLastDiagnosticMessage(); break;
    case 5:
        if (!s.reopening && s.reentry.Chance(0.02)) {
            Core::Window.Close();  // reopened at the next frame
            ++s.callbackCloses;
        }
        break;
    default: break;
    }
    gCall = outer;
    s.checks.Expect(copy == message, "the callback's message changed under it");
    if (s.reentry.Chance(0.05)) {
        ++s.reportsThrown;
        throw std::runtime_error("thrown by the soak's callback");
    }
}

bool Soak::OpenWindow() {
    Core::Window.SetFullScreen(false);  // a full-screen reopen would only slow the soak
    Core::Window.SetTitle(title.c_str());
    Core::Window.SetSize(kWidth, kHeight);
    Core::Window.SetPosition(0, 0);
    if (!Core::Window.Open()) return false;
    checks.ExpectGl(GL_NO_ERROR, "Open");
    Core::Window.SetVerticalSync(false);
    for (int i = 0; i < 3; ++i) Core::Renderer.EndFrame();
    if (!input.Attach(title.c_str())) checks.Fail("the window is not on the X server");
    return true;
}

// A window with hostile settings is kept for a couple of hundred frames.
void Soak::Reopen(const char* why, Settings settings) {
    gCall = why;
    ++reopens;
    if (settings == Settings::Standard || (settings == Settings::Random && h.Chance(0.75))) {
        Core::Window.SetSampleRate(sampleRate = 1);
        Core::Window.SetDepthBufferBits(depthBits = 16);
    }
    standardWindow = sampleRate == 1 && depthBits == 16;
    if (!standardWindow) hostileUntil = gFrame + 200;
    settledFrom = gFrame + kSettleFrames;
    reopening = true;
    if (!Open() && !OpenWindow()) checks.Fail(std::string("could not reopen after ") + why);
    reopening = false;
    nearClip = 1.0f;
    farClip = 10000.0f;
    Core::Renderer.SetNearClippingPlane(nearClip);
    Core::Renderer.SetFarClippingPlane(farClip);
}

void Soak::BuildCalls() {
    WindowManager& w = Core::Window;
    RenderingManager& r = Core::Renderer;

    // [SECTION] Window
    Add("SetSize", [&] { w.SetSize(h.Size(), h.Size()); resized = true; });
    Add("SetPosition", [&] { w.SetPosition(h.Int(), h.Int()); });
    Add("SetTitle", [&] {
        static const std::string longTitle(5000, 'x');
        static const char bytes[] = {'\x80', '\xff', '\x01', 'q', '\xc3', '\0'};
        const char* pool[] = {nullptr, "", longTitle.c_str(), bytes, "\xe2\x82\xac soak"};
        w.SetTitle(pool[h.Pick(5)]);
    });
    Add("SetDepthBufferBits", [&] { w.SetDepthBufferBits(depthBits = h.Int()); });
    Add("SetFullScreen", [&] { w.SetFullScreen(h.Chance(0.5)); });
    Add("SetClearColor4", [&] { w.SetClearColor(h.Float(), h.Float(), h.Float(), h.Float()); });
    Add("SetClearColor3", [&] { w.SetClearColor(h.Float(), h.Float(), h.Float()); });
    Add("SetClearColorBuffer", [&] { w.SetClearColorBuffer(h.Chance(0.7)); });
    Add("SetClearDepthBuffer", [&] { w.SetClearDepthBuffer(h.Chance(0.7)); });
    Add("SetSampleRate", [&] { w.SetSampleRate(sampleRate = h.Int()); });
    Add("SetTextureQuality", [&] { w.SetTextureQuality(h.Int()); });
    Add("SetVerticalSync", [&] {
        w.SetVerticalSync(h.Chance(0.5));
        checks.ExpectGl(GL_NO_ERROR, "SetVerticalSync");
    });
    Add("OpenWhileOpen", [&] {
        if (Open()) checks.Expect(!w.Open(), "Open succeeded while a window was open");
    });
    Add("WindowGetters", [&] {
        Color4f c = w.GetClearColor();
        for (float v : {c.r, c.g, c.b, c.a})
            checks.Expect(v >= 0.0f && v <= 1.0f, "clear colour component outside 0..1");
        checks.Expect(w.GetWidth() >= 0 && w.GetWidth() <= 65535, "width outside 16 bits");
        checks.Expect(w.GetHeight() >= 0 && w.GetHeight() <= 65535, "height outside 16 bits");
        (void)w.GetClearColorBuffer();
        (void)w.GetClearDepthBuffer();
        (void)w.GetHDC();
        (void)w.GetAspectRatio();
    });
    Add("InitExtensions", [&] {
        if (!Open() || !h.Chance(0.05)) return;  // it reloads 36 entry points
        checks.Expect(InitExtensions() == extensionsFirst, "InitExtensions changed its answer");
        checks.ExpectGl(GL_NO_ERROR, "InitExtensions");
    });
    Add("ToString", [&] {
        int v = h.Int();
        checks.Expect(ToString<int>(v) == std::to_string(v), "ToString differs from to_string");
    });

    // [SECTION] Rendering
    Add("SetFieldOfView", [&] { r.SetFieldOfView(h.Float()); });
    Add("SetClippingPlanes", [&] {
        if (h.Chance(0.5)) SetNear(r, nearClip, farClip, h.Float());
        if (h.Chance(0.5)) SetFar(r, nearClip, farClip, h.Float());
        if (h.Chance(0.2)) SetFar(r, nearClip, farClip, nearClip);  // an empty volume: ignored
    });
    Add("Render2D", [&] {
        const GLenum expected = IfOpen(OrthoError(w, nearClip, farClip));
        r.Render2D();
        checks.ExpectGl(expected, "Render2D");
    });
    Add("Render3D+Frustum", [&] {
        r.Render3D();  // gluPerspective skips degenerate volumes itself
        r.Frustum.Step();
        for (int i = 0; i < 8; ++i) {
            Vector3D c = h.Vec3();
            float radius = h.Float();
            checks.Expect(r.Frustum.FrustumCheck(c, radius) ==
                              SphereInFrustum(c, radius, r.Frustum.frustum),
                          "FrustumCheck disagrees with SphereInFrustum");
        }
        checks.ExpectGl(GL_NO_ERROR, "Render3D / Frustum.Step");
    });
    Add("ExtractPlane", [&] {
        float m[16];
        for (float& v : m) v = h.Chance(0.3) ? 0.0f : h.Float();
        static const int rows[] = {1, -1, 2, -2, 3, -3};
        plane_t p{};
        ExtractPlane(p, m, rows[h.Pick(6)]);
        frustum_t f{};
        f.planes[h.Pick(6)] = p;
        (void)SphereInFrustum(h.Vec3(), h.Float(), f);
    });
    Add("DrawLine", [&] {
        float width = h.Chance(0.5) ? h.Float() : 1.0f + float(h.Pick(4));
        DrawLine(h.Vec2(), h.Vec2(), width);
        checks.ExpectGl(GL_NO_ERROR, "DrawLine (unusable widths keep the current one)");
    });
    Add("DrawCircle", [&] {
        float width = h.Chance(0.5) ? h.Float() : 2.0f;
        DrawCircle(h.Vec2(), h.Float(), width);
        checks.ExpectGl(GL_NO_ERROR, "DrawCircle (unusable widths keep the current one)");
    });
    Add("SideRenderer", [&] {
        side.window.SetSize(h.Size(), h.Size());  // reaches the one open window too
        resized = true;
        if (h.Chance(0.5)) SetNear(side.renderer, side.nearClip, side.farClip, h.Float());
        if (h.Chance(0.5)) SetFar(side.renderer, side.nearClip, side.farClip, h.Float());
        side.renderer.SetFieldOfView(h.Float());
        side.window.SetClearColorBuffer(h.Chance(0.5));
        side.window.SetClearDepthBuffer(h.Chance(0.5));
        side.renderer.BeginFrame();
        checks.ExpectGl(GL_NO_ERROR, "side BeginFrame");
        const GLenum expected = IfOpen(OrthoError(side.window, side.nearClip, side.farClip));
        side.renderer.Render2D();
        checks.ExpectGl(expected, "side Render2D");
        side.renderer.Render3D();
        checks.ExpectGl(GL_NO_ERROR, "side Render3D");
    });

    // [SECTION] Input and timing
    Add("KeyQueries", [&] {
        int key = h.Int();
        KeyboardManager& k = Core::Keyboard;
        bool hold = k.GetKeyHold(key), press = k.GetKeyPress(key), release = k.GetKeyRelease(key);
        checks.Expect(!(press && release), "hostile key code: Press and Release");
        checks.Expect(!press || hold, "hostile key code: Press without Hold");
        int ch = h.Int(), corrected = k.CorrectCase(ch);
        if (unsigned(ch) - 39u > 83u)
            checks.Expect(corrected == ch, "CorrectCase changed a character outside 39..122");
        else
            checks.Expect(corrected >= 32 && corrected <= 126, "CorrectCase left printable");
    });
    Add("SideSteps", [&] {
        side.keyboard.Step();
        side.mouse.Step();
        side.joystick.Step();
        side.timer.Step();
    });
    Add("MouseSetPosition", [&] {
        if (h.Chance(0.5))
            Core::Mouse.SetPosition(h.Float(), h.Float());
        else
            Core::Mouse.SetPosition(h.Vec2());
    });
    Add("MouseVisibility", [&] { Core::Mouse.SetVisibility(h.Chance(0.5)); });
    Add("MouseQueries", [&] {
        (void)Core::Mouse.GetPosition();
        (void)Core::Mouse.GetVelocity();
        float wheel = Core::Mouse.GetWheelPosition();
        checks.Expect(std::floor(wheel) == wheel, "wheel is not a whole count");
    });
    Add("JoystickQueries", [&] {
        int joy = h.Int(), button = h.Int();
        JoystickManager& j = Core::Joystick;
        // Xvfb has no joystick: every query is absent and zero.
        checks.Expect(!j.IsConnected(joy), "a joystick is connected");
        checks.Expect(!j.GetButtonHold(joy, button) && !j.GetButtonPress(joy, button) &&
                          !j.GetButtonRelease(joy, button),
                      "an absent joystick's button reads down");
        checks.Expect(j.GetAxis(joy, button) == 0.0f, "an absent joystick's axis is not 0");
    });
    Add("Timer", [&] {
        float elapsed = Core::Timer.GetElapsedTime(), fps = Core::Timer.GetFramesPerSecond();
        checks.Expect(elapsed >= 0.0f && elapsed <= 0.05f, "elapsed time outside 0..0.05");
        checks.Expect(fps >= 0.0f && fps < 1e9f, "frames per second negative or not finite");
    });

    // [SECTION] Math
    Add("Vector2D", [&] {
        Vector2D a = h.Vec2(), b = h.Vec2(), n = h.Vec2();
        float f = h.Float();
        Vector2D c = (a + b) - (a * b) + (a / b) + (a * f) + (a / f);
        c += a; c -= b; c *= a; c /= b;
        c.Rotate(f);
        (void)c.Dot(a); (void)c.GetLength(); (void)c.GetLengthSq();
        c.Normalize();
        c.SetLength(h.Float());
        (void)c.AngleToVector(h.Float());
        (void)c.VectorToAngle(a);
        (void)c.Perp();
        c.Reflect(n);
        (void)(c == a);
    });
    Add("Vector3D", [&] {
        Vector3D a = h.Vec3(), b = h.Vec3(), c = h.Vec3();
        float f = h.Float();
        Vector3D v = (a + b) - (a * b) + (a / b) + (a * f) + (a / f);
        v += a; v -= b; v *= a; v /= b;
        v.Add(a, b); v.Subtract(v, a); v.Multiply(a, b); v.Divide(a, b);
        v.Multiply(v, f); v.Divide(v, h.Float());
        (void)v.Dot(a); (void)v.GetLength();
        v.Normalize();
        v.Normalize(a, b, c);
        (void)v.Cross(a);
        v.Negate();
        v.RotateX(h.Float()); v.RotateY(h.Float()); v.RotateZ(h.Float());
        v.RotateAxis(h.Float(), b);
        v.polarCoord(h.Float(), h.Float());
        (void)v.vectorToPolar(a);
        (void)v.Random();
        (void)(v == a);
    });
    Add("Collision", [&] {
        (void)ClosestPointSeg(h.Vec2(), h.Vec2(), h.Vec2());
        (void)LineCircleCollision(h.Vec2(), h.Vec2(), h.Vec2(), h.Float());
        (void)CircleCircleCollision(h.Vec2(), h.Float(), h.Vec2(), h.Float());
    });
    Add("Angles", [&] {
        (void)RotateToward(h.Float(), h.Float(), h.Float());
        (void)DirectionDifference(h.Float(), h.Float());
        float d = DirectionInRange(h.Float());
        checks.Expect(d != d || (d >= 0.0f && d <= 360.0f), "DirectionInRange outside 0..360");
    });
}

// Every code the queries take, tracked or not, and the three mouse buttons:
// the triads must agree, and untracked codes never read down.
void Soak::CheckInput() {
    KeyboardManager& k = Core::Keyboard;
    auto tracked = [](int key) {
        return (key >= 32 && key <= 126) || (key >= Key::Escape && key <= Key::KeypadEnter);
    };
    auto one = [&](int key) {
        bool hold = k.GetKeyHold(key), press = k.GetKeyPress(key), release = k.GetKeyRelease(key);
        queries += 3;
        pressesSeen += press;
        releasesSeen += release;
        bool ok = !(press && release) && (!press || hold) && (!release || !hold) &&
                  (tracked(key) || !(hold || press || release)) &&
                  hold == k.GetKeyHold(key);  // the same answer all frame
        if (!ok) {
            ++inputFailures;
            checks.Fail("key " + std::to_string(key) + ": hold " + std::to_string(hold) +
                        " press " + std::to_string(press) + " release " +
                        std::to_string(release));
        }
    };
    for (int key = -2; key <= 330; ++key) one(key);
    for (int key : {INT_MIN, INT_MAX, 1000}) one(key);

    MouseManager& m = Core::Mouse;
    const bool triads[3][3] = {
        {m.GetLeftHold(), m.GetLeftPress(), m.GetLeftRelease()},
        {m.GetRightHold(), m.GetRightPress(), m.GetRightRelease()},
        {m.GetMiddleHold(), m.GetMiddlePress(), m.GetMiddleRelease()}};
    queries += 9;
    for (const auto& t : triads) {
        pressesSeen += t[1];
        releasesSeen += t[2];
        bool ok = !(t[1] && t[2]) && (!t[1] || t[0]) && (!t[2] || !t[0]);
        if (!ok) {
            ++inputFailures;
            checks.Fail("mouse button triad disagrees");
        }
    }
}

void Soak::Frame() {
    RenderingManager& r = Core::Renderer;
    gCall = "BeginFrame";
    r.BeginFrame();
    checks.ExpectGl(GL_NO_ERROR, "BeginFrame");
    CheckInput();

    // A few random public calls with hostile arguments.
    const int n = 2 + h.Pick(6);
    for (int i = 0; i < n; ++i) {
        const Call& call = calls[size_t(h.Pick(int(calls.size())))];
        gCall = call.name;
        call.run();
        ++callsMade;
    }

    // Back to the standard size, so the window's buffers do not keep a
    // hostile one.
    gCall = "restore";
    if (resized) Core::Window.SetSize(kWidth, kHeight);
    resized = false;

    // The callback may have closed the window: input goes to a new one.
    if (!Open()) Reopen("reopen after a Close from the callback");

    // Random real input, taken in by the swap.
    const int events = h.Pick(3);
    for (int i = 0; i < events; ++i) input.Random(h);

    gCall = "EndFrame";
    r.EndFrame();
    checks.ExpectGl(GL_NO_ERROR, "EndFrame");
}

int Soak::Run() {
    if (!input.Ready()) {
        std::fprintf(stderr, "soak: no X display with XTest (run under tools/with-display.sh)\n");
        return 2;
    }
    const long warmup = options.warmup >= 0
                            ? options.warmup
                            : std::max(500L, std::min(5000L, options.frames / 10));
    Core::Window.SetSampleRate(1);
    if (!OpenWindow()) {
        std::fprintf(stderr, "soak: the window did not open\n");
        return 2;
    }
    extensionsFirst = InitExtensions();
    const long rssStart = ResidentKb(), heapStart = HeapInUseKb();
    const long middle = warmup + (options.frames - warmup) / 2;
    long rssWarm = 0, rssMax = 0;
    long floorEarly = LONG_MAX, floorLate = LONG_MAX, heapEarly = LONG_MAX, heapLate = LONG_MAX;
    long userCloses = 0, coreRestarts = 0;

    for (long frame = 0; frame < options.frames; ++frame) {
        gFrame = frame;
        if (!Open()) Reopen("reopen after close");
        if (!standardWindow && frame >= hostileUntil) {
            Core::Window.Close();
            Reopen("reopen with standard settings", Settings::Standard);
        }

        // Warm-up visits the largest window configuration once, so that the
        // allocator's and the driver's high-water marks are reached before
        // memory is compared.
        if (frame == warmup / 4) {
            Core::Window.SetSampleRate(sampleRate = 16);
            Core::Window.SetDepthBufferBits(depthBits = 32);
            Core::Window.Close();
            Reopen("warm-up with the largest settings", Settings::Keep);
            hostileUntil = frame + std::min(100L, warmup / 4);
        }

        // Rare events: the user's close box, an explicit Close, a second Core
        // (once in every warm-up: each restart of the windowing library keeps
        // some kilobytes below the library, which must not count as growth).
        if (h.Chance(0.0005)) {
            gCall = "user close";
            input.RequestClose();
            input.Sync();
            ++userCloses;
        } else if (h.Chance(0.0005)) {
            gCall = "Close";
            Core::Window.Close();
            checks.Expect(!Open(), "Close left the window open");
            Reopen("reopen after Close");
        } else if (frame == warmup / 2 || h.Chance(0.0001)) {
            gCall = "second Core";
            const bool wasOpen = Open();
            {
                Core second;       // starts (again, a no-op) and rewires the renderer
                Core copy(second); // counted too: neither shuts the library down
            }
            checks.Expect(Open() == wasOpen, "a second Core took the window with it");
            delete core;           // the last Core: closes and shuts down
            checks.Expect(!Open(), "destroying the last Core left the window open");
            checks.Expect(Core::Window.GetHDC() == nullptr, "GetHDC outlived the shutdown");
            core = new Core;
            ++coreRestarts;
            Reopen("reopen after Core restart");
        }

        // Liveness, now and then: a held key must reach the library.
        if (frame % 1000 == 500) {
            gCall = "liveness";
            input.Focus();
            const KeyCode q = input.Code(XK_q);
            // Let go first: a key the random input holds since before a
            // reopen is down on the server but was never seen by this window,
            // and pressing it again makes no event.
            input.Key(q, false);
            input.Sync();
            Core::Renderer.EndFrame();
            Core::Renderer.BeginFrame();
            input.Key(q, true);
            input.Sync();
            bool seen = false;
            for (int i = 0; i < 60 && !seen && Open(); ++i) {
                Core::Renderer.EndFrame();
                Core::Renderer.BeginFrame();
                seen = Core::Keyboard.GetKeyHold('Q');
                usleep(1000);
            }
            input.Key(q, false);
            input.Sync();
            if (Open()) checks.Expect(seen, "a held key never reached the library");
        }

        Frame();

        // The floor, not the peak: the peak follows whatever the window
        // holds at the moment (a hostile size for one frame), a leak lifts
        // the floor.
        if (frame % 64 == 0) {
            const long rss = ResidentKb();
            rssMax = std::max(rssMax, rss);
            if (frame >= warmup && !rssWarm) rssWarm = rss;
            if (frame >= warmup && frame >= settledFrom && standardWindow && Open()) {
                long& floor = frame < middle ? floorEarly : floorLate;
                long& heap = frame < middle ? heapEarly : heapLate;
                floor = std::min(floor, rss);
                heap = std::min(heap, HeapInUseKb());
            }
        }
        if (!options.quiet && frame > 0 && frame % 10000 == 0)
            std::printf("soak: frame %ld, %ld KB resident\n", frame, ResidentKb());
    }
    gCall = "shutdown";
    input.ReleaseAll();
    const long rssEnd = ResidentKb(), heapEnd = HeapInUseKb();
    auto rose = [&](const char* what, long early, long late, long slack) {
        if (early != LONG_MAX && late != LONG_MAX && late > early + slack)
            checks.Fail(std::string(what) + " floor rose from " + std::to_string(early) +
                        " KB to " + std::to_string(late) + " KB");
    };
    if (kMemoryChecks) {
        rose("resident memory", floorEarly, floorLate, kRssSlackKb);
        rose("heap in use", heapEarly, heapLate, kHeapSlackKb);
    } else {
        std::printf("soak: memory not checked under AddressSanitizer\n");
    }

    std::printf("soak: seed %u\n", options.seed);
    std::printf("soak: frames %ld (warm-up %ld), inputs injected %ld, calls made %ld\n",
                options.frames, warmup, input.injected, callsMade);
    std::printf("soak: presses seen %ld, releases seen %ld, input queries checked %ld\n",
                pressesSeen, releasesSeen, queries);
    std::printf("soak: GL error checks %ld (%ld expected rejections raised), other checks %ld\n",
                checks.glChecks, checks.glRejections, checks.checks);
    std::printf("soak: reopened %ld times (user closes %ld, Core restarts %ld)\n", reopens,
                userCloses, coreRestarts);
    std::printf("soak: reports delivered %ld (answered with an exception %ld, Close from the "
                "callback %ld)\n", reports, reportsThrown, callbackCloses);
    std::printf("soak: resident memory start %ld KB, after warm-up %ld KB, end %ld KB, max %ld KB\n",
                rssStart, rssWarm, rssEnd, rssMax);
    auto shown = [](long v) { return v == LONG_MAX ? std::string("-") : std::to_string(v); };
    std::printf("soak: floors in the first and second half: resident %s / %s KB, "
                "heap in use %s / %s KB\n",
                shown(floorEarly).c_str(), shown(floorLate).c_str(), shown(heapEarly).c_str(),
                shown(heapLate).c_str());
    std::printf("soak: heap in use start %ld KB, end %ld KB\n", heapStart, heapEnd);
    std::printf("soak: %s (%ld failures, %ld input)\n", checks.failures ? "FAILED" : "passed",
                checks.failures, inputFailures);
    return checks.failures ? 1 : 0;
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto next = [&](long& v) {
            if (i + 1 >= argc) return false;
            char* end = nullptr;
            v = std::strtol(argv[++i], &end, 10);
            return end && *end == '\0' && v >= 0;
        };
        long v = 0;
        if (a == "--frames" && next(v)) o.frames = v;
        else if (a == "--seed" && next(v)) o.seed = unsigned(v);
        else if (a == "--warmup" && next(v)) o.warmup = v;
        else if (a == "--quiet") o.quiet = true;
        else return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: soak [--frames N] [--seed S] [--warmup N] [--quiet]\n");
        return 2;
    }
    // glibc raises its mmap threshold after the first big free and then keeps
    // such blocks in the heap, resident after they are freed: memory would
    // follow the high-water mark of the driver's buffers. A fixed threshold
    // gives them back, so resident memory follows what is in use.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024);
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(sig, OnCrash);
    XSetErrorHandler(OnXError);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    Soak soak(options);
    return soak.Run();
}
