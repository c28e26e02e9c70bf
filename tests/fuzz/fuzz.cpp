// Fuzz: random calls of every public function, with hostile arguments, in a
// hostile world (the recording fakes of the windowing library, GL and the OS
// answer at random: the window closed by the user, failed opens, no context,
// NaN joystick axes, clock jumps). A diagnostics callback takes part: it calls
// random library functions itself, replaces or removes itself, and sometimes
// throws. Meant to run under AddressSanitizer and UBSan; beside what they
// catch, it checks what must always hold:
// - nothing the library does lets an exception out;
// - the message handed to the callback is readable and unchanged for the whole
//   call, whatever the callback does;
// - the latest report's message is a bounded string, and a cleared channel
//   reads Nothing;
// - input edges are consistent (a press is held, a release is not);
// - FixedStep gives 0..max steps, an alpha in 0..1 and finite totals.
//
//   fuzz [--calls N] [--seed S]
//
// Exit status 0 when every check held; otherwise the call number, the seed
// and the operation are printed.
#include "Quillmar.h"

#include "fakes/Fakes.h"

#include <unistd.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

namespace {

// [SECTION] Run state, shared with the crash handler

std::mt19937_64 rng;
volatile long gCall = 0;
const char* volatile gOp = "start-up";
unsigned long long gSeed = 1;
std::string gDir;  // screenshots go here (and to hostile paths)

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz: FAILED at call %ld (seed %llu) in %s: %s\n", long(gCall), gSeed,
                 gOp, what);
    std::exit(1);
}
#define FUZZ_CHECK(cond) \
    do {                 \
        if (!(cond)) Fail(#cond); \
    } while (0)

void OnCrash(int sig) {
    char text[256];
    int n = std::snprintf(text, sizeof text, "fuzz: signal %d at call %ld (seed %llu) in %s\n", sig,
                          long(gCall), gSeed, gOp);
    if (n > 0) (void)!write(2, text, size_t(n));
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// [SECTION] Hostile values

std::uint64_t Pick(std::uint64_t n) { return rng() % n; }
bool Chance(int percent) { return Pick(100) < std::uint64_t(percent); }

float HostileFloat() {
    static const float table[] = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, 1e-45f, FLT_MIN, FLT_MAX,
                                  -FLT_MAX, std::numeric_limits<float>::infinity(),
                                  -std::numeric_limits<float>::infinity(),
                                  std::numeric_limits<float>::quiet_NaN(), 1e30f, -1e30f,
                                  179.99998f, 180.0f, 360.0f, -360.0f, 16384.0f, 2147483648.0f,
                                  -2147483904.0f, 0.00001f};
    if (Chance(50)) return table[Pick(sizeof table / sizeof table[0])];
    return std::uniform_real_distribution<float>(-2000.0f, 2000.0f)(rng);
}

double HostileDouble() {
    static const double table[] = {0.0, -0.0, 1.0 / 60.0, 1.0, -1.0, 5e-324, DBL_MIN, DBL_MAX,
                                   -DBL_MAX, 9e307, 1e308, std::numeric_limits<double>::infinity(),
                                   -std::numeric_limits<double>::infinity(),
                                   std::numeric_limits<double>::quiet_NaN(), 1e-9, 1e9};
    if (Chance(50)) return table[Pick(sizeof table / sizeof table[0])];
    return std::uniform_real_distribution<double>(0.0, 0.1)(rng);
}

int HostileInt() {
    static const int table[] = {0, 1, -1, 2, 3, 7, 8, 15, 16, 31, 32, 95, 96, 126, 127, 255, 256,
                                257, 318, 319, 511, 512, 16384, 16385, 65535, 65536, -32768,
                                INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
    if (Chance(60)) return table[Pick(sizeof table / sizeof table[0])];
    return int(Pick(700)) - 100;
}

// A window side: mostly small, so a screenshot stays a small buffer.
int HostileSide() { return Chance(80) ? int(Pick(300)) + 1 : HostileInt(); }

Vector2D HostileVector2D() { return Vector2D(HostileFloat(), HostileFloat()); }
Vector3D HostileVector3D() { return Vector3D(HostileFloat(), HostileFloat(), HostileFloat()); }

// Strings the library may be handed: null, empty, long, cut mid-character,
// not UTF-8 at all. Kept alive until the next call of this function.
const char* HostileText() {
    static std::string text;
    switch (Pick(8)) {
    case 0: return nullptr;
    case 1: return "";
    case 2: text.assign(16384 + Pick(3), 'q'); break;
    case 3:
        text = "a";
        for (int i = 0; i < 8200; ++i) text += "\xC3\xA9";
        break;
    case 4: text.assign(20000, char(0x80)); break;
    case 5: text = "\xFF\xFE tab\t new\nline %s %n %d"; break;
    case 6: text.assign(Pick(300), char(32 + Pick(95))); break;
    default: text = "Quillmar"; break;
    }
    return text.c_str();
}

const char* HostilePath() {
    static std::string path;
    switch (Pick(7)) {
    case 0: return nullptr;
    case 1: return "";
    case 2: return "/dev/null";
    case 3: return "/nonexistent-dir/shot.png";
    case 4: return gDir.c_str();  // a directory
    case 5: path = gDir + "/" + std::string(300, 'p') + ".png"; break;  // name too long
    default: path = gDir + "/shot.png"; break;
    }
    return path.c_str();
}

// [SECTION] The world the fakes answer

void StirTheWorld() {
    fake::Script& s = fake::script;
    switch (Pick(10)) {
    case 0: s.windowOpen = false; break;  // the user closed it
    case 1: s.openResult = Chance(70) ? 1 : 0; break;
    case 2:
        s.openFailure = glfw2::OpenFailure(Pick(4));
        s.initResult = Chance(90) ? 1 : 0;
        break;
    case 3: s.noContext = Chance(30); break;
    case 4: s.keys[Pick(512)] = Chance(50) ? 1 : 0; break;
    case 5: s.mouseButtons[Pick(8)] = Chance(50) ? 1 : 0; break;
    case 6:
        s.mouseX = HostileInt();
        s.mouseY = HostileInt();
        s.mouseMotionX = HostileDouble() * (Chance(50) ? 1 : -1);
        s.mouseMotionY = double(HostileFloat());
        s.wheel = HostileInt();
        break;
    case 7: {
        const int joy = int(Pick(16));
        s.joystickPresent[joy] = Chance(50);
        s.joystickAxisCount[joy] = int(Pick(9));
        s.joystickButtonCount[joy] = int(Pick(33));
        s.joystickAxes[joy][Pick(8)] = HostileFloat();
        s.joystickButtons[joy][Pick(32)] = Chance(50) ? 1 : 0;
        // As a gamepad too, with axes beyond what the adapter hands on.
        s.gamepads[joy].mapped = Chance(50);
        s.gamepads[joy].name = Chance(10) ? nullptr : "Fuzzed Pad";
        s.gamepads[joy].axes[Pick(6)] = HostileFloat();
        s.gamepads[joy].buttons[Pick(15)] = (unsigned char)Pick(3);
        break;
    }
    case 8:
        fake::clockNow = std::uint32_t(rng());
        fake::clockStep = Chance(50) ? std::uint32_t(Pick(40)) : std::uint32_t(rng());
        break;
    default:
        s.swapControl = Chance(50);
        s.swapIntervalResult = HostileInt();
        s.cursorCount = HostileInt();
        break;
    }
}

// [SECTION] Checks after a call

void CheckChannel() {
    const char* message = GetLastDiagnosticMessage();
    FUZZ_CHECK(message != nullptr);
    FUZZ_CHECK(std::strlen(message) < 512);
    FUZZ_CHECK((GetLastDiagnostic() == Diagnostic::Nothing) == (message[0] == '\0'));
}

void CheckEdges(bool hold, bool press, bool release) {
    FUZZ_CHECK(!(press && release));
    FUZZ_CHECK(!press || hold);
    FUZZ_CHECK(!release || !hold);
}

FixedStep gStep;

void CheckFixedStep(int steps) {
    FUZZ_CHECK(steps >= 0 && steps <= gStep.GetMaxSteps());
    const double alpha = gStep.GetAlpha();
    FUZZ_CHECK(alpha >= 0.0 && alpha <= 1.0);
    FUZZ_CHECK(std::isfinite(gStep.GetDroppedTime()) && gStep.GetDroppedTime() >= 0.0);
    FUZZ_CHECK(std::isfinite(gStep.GetStep()) && gStep.GetStep() > 0.0);
}

// [SECTION] The calls

Core* gCores[3] = {};
int gCallbackDepth = 0;
long gDelivered = 0;  // reports the callback received
long gThrown = 0;     // of which it answered with an exception
void RandomCall();

// The re-entrant callback: checks its message, calls back into the library,
// and now and then throws or changes the registration.
void Hostile(Diagnostic code, const char* message, void*) {
    FUZZ_CHECK(message != nullptr);
    const std::size_t length = std::strlen(message);
    FUZZ_CHECK(length < 512);
    char copy[512];
    std::memcpy(copy, message, length + 1);
    (void)code;
    ++gDelivered;

    ++gCallbackDepth;
    FUZZ_CHECK(gCallbackDepth <= 2);  // nested reports are recorded, never delivered
    const char* outer = gOp;
    const int calls = int(Pick(4));
    for (int i = 0; i < calls; ++i) RandomCall();
    gOp = outer;
    --gCallbackDepth;

    FUZZ_CHECK(std::strcmp(copy, message) == 0);
    switch (Pick(20)) {
    case 0: ++gThrown; throw std::runtime_error("thrown by the game's callback");
    case 1: ++gThrown; throw 42;
    case 2: SetDiagnosticCallback(nullptr, nullptr); break;
    default: break;
    }
}

void CoreCall() {
    const int i = int(Pick(3));
    switch (Pick(4)) {
    case 0: if (!gCores[i]) gCores[i] = new Core; break;
    case 1: delete gCores[i]; gCores[i] = nullptr; break;
    case 2:
        if (gCores[i] && !gCores[(i + 1) % 3]) gCores[(i + 1) % 3] = new Core(*gCores[i]);
        break;
    default:
        if (gCores[i] && gCores[(i + 1) % 3]) *gCores[i] = *gCores[(i + 1) % 3];
        break;
    }
}

void WindowCall() {
    WindowManager& w = Core::Window;
    const WindowManager& cw = w;
    switch (Pick(22)) {
    case 0: w.Open(); break;
    case 1: w.Close(); break;
    case 2: w.IsOpen(); cw.IsOpen(); break;
    case 3: w.SetSize(HostileSide(), HostileSide()); break;
    case 4: w.SetPosition(HostileInt(), HostileInt()); break;
    case 5: w.SetTitle(HostileText()); break;
    case 6: w.SetDepthBufferBits(HostileInt()); break;
    case 7: w.SetFullScreen(Chance(20)); break;
    case 8: w.SetClearColor(HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat()); break;
    case 9: w.SetClearColor(HostileFloat(), HostileFloat(), HostileFloat()); break;
    case 10: w.SetClearColorBuffer(Chance(80)); break;
    case 11: w.SetClearDepthBuffer(Chance(80)); break;
    case 12: w.SetSampleRate(HostileInt()); break;
    case 13: w.SetTextureQuality(HostileInt()); break;
    case 14: w.SetVerticalSync(Chance(50)); break;
    case 15: w.GetClearColorBuffer(); cw.GetClearDepthBuffer(); break;
    case 16: w.GetClearColor(); cw.GetClearColor(); break;
    case 17: FUZZ_CHECK(w.GetWidth() >= 0 && cw.GetHeight() >= 0); break;
    case 18: w.GetHDC(); cw.GetHDC(); break;
    case 19: w.GetAspectRatio(); cw.GetAspectRatio(); break;
    case 20:
        GetGlfwWindow();
#if defined(__unix__) && !defined(__APPLE__) && !defined(__EMSCRIPTEN__)
        GetX11Display();  // X11 only, as Native.h declares them
        GetX11Window();
#endif
        break;
    default: InitExtensions(); break;
    }
}

void RendererCall() {
    RenderingManager& r = Core::Renderer;
    switch (Pick(12)) {
    case 0: case 1: r.BeginFrame(); break;
    case 2: case 3: r.EndFrame(); break;
    case 4: r.Render2D(); break;
    case 5: r.Render3D(); break;
    case 6: r.SetFieldOfView(HostileFloat()); break;
    case 7: r.SetNearClippingPlane(HostileFloat()); break;
    case 8: r.SetFarClippingPlane(HostileFloat()); break;
    case 9: r.Frustum.Step(); break;
    case 10: r.Frustum.FrustumCheck(HostileVector3D(), HostileFloat()); break;
    default:
        // Unwired now and then: every manager may be missing.
        if (Chance(10))
            r.Init(Chance(50) ? &Core::Window : nullptr, Chance(50) ? &Core::Timer : nullptr,
                   Chance(50) ? &Core::Keyboard : nullptr, Chance(50) ? &Core::Mouse : nullptr,
                   Chance(50) ? &Core::Joystick : nullptr);
        else
            r.Init(&Core::Window, &Core::Timer, &Core::Keyboard, &Core::Mouse, &Core::Joystick);
        break;
    }
}

void FrustumCall() {
    plane_t plane{HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat()};
    float m[16];
    for (float& v : m) v = HostileFloat();
    frustum_t f{};
    for (plane_t& p : f.planes) p = {HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat()};
    if (Chance(50))
        ExtractPlane(plane, m, HostileInt() % 6);
    else
        ExtractPlane(plane, m, HostileInt());
    SphereInFrustum(HostileVector3D(), HostileFloat(), f);
}

void TimeCall() {
    TimeManager& t = Core::Timer;
    const TimeManager& ct = t;
    switch (Pick(6)) {
    case 0: t.Step(); break;
    case 1: t.GetElapsedTime(); t.GetFramesPerSecond(); break;
    case 2: ct.GetFrameDuration(); ct.GetTimeSinceStart(); ct.GetElapsedTime(); break;
    case 3: gStep = FixedStep(HostileDouble(), HostileInt()); CheckFixedStep(0); break;
    case 4: CheckFixedStep(gStep.Advance(HostileDouble())); break;
    default: gStep.Reset(); CheckFixedStep(0); break;
    }
}

void InputCall() {
    KeyboardManager& k = Core::Keyboard;
    MouseManager& m = Core::Mouse;
    JoystickManager& j = Core::Joystick;
    const int key = HostileInt();
    const int joy = HostileInt() % 10;
    const int other = HostileInt();
    switch (Pick(15)) {
    case 0: k.Step(); break;
    case 1: CheckEdges(k.GetKeyHold(key), k.GetKeyPress(key), k.GetKeyRelease(key)); break;
    case 2: k.CorrectCase(key); static_cast<const KeyboardManager&>(k).CorrectCase(other); break;
    case 3: m.Step(); break;
    case 4: m.SetPosition(HostileFloat(), HostileFloat()); break;
    case 5: m.SetPosition(HostileVector2D()); break;
    case 6: m.SetVisibility(Chance(50)); break;
    case 7:
        CheckEdges(m.GetLeftHold(), m.GetLeftPress(), m.GetLeftRelease());
        CheckEdges(m.GetRightHold(), m.GetRightPress(), m.GetRightRelease());
        CheckEdges(m.GetMiddleHold(), m.GetMiddlePress(), m.GetMiddleRelease());
        break;
    case 8:
        m.GetPosition(); m.GetVelocity(); m.GetWheelPosition(); m.GetRawMotion();
        m.GetPointerPosition();
        break;
    case 9: j.Step(); break;
    case 10: j.IsConnected(joy); static_cast<const JoystickManager&>(j).IsConnected(other); break;
    case 11:
        CheckEdges(j.GetButtonHold(joy, other), j.GetButtonPress(joy, other),
                   j.GetButtonRelease(joy, other));
        break;
    case 12: j.GetAxis(joy, other); break;
    case 13: {
        GamepadManager& g = Core::Gamepad;
        if (Chance(30)) g.Step();
        if (Chance(5)) g.SetDeadZone(HostileFloat());
        const GamepadButton button = GamepadButton(Chance(50) ? int(Pick(15)) : other);
        CheckEdges(g.GetButtonHold(joy, button), g.GetButtonPress(joy, button),
                   g.GetButtonRelease(joy, button));
        FUZZ_CHECK(!(g.WasConnected(joy) && g.WasDisconnected(joy)));
        FUZZ_CHECK(std::strlen(g.GetName(joy)) < 128);
        const float axis = g.GetAxis(joy, GamepadAxis(Chance(50) ? int(Pick(6)) : other));
        FUZZ_CHECK(axis >= -1.0f && axis <= 1.0f);  // NaN fails
        const Vector2D stick = g.GetLeftStick(joy);
        FUZZ_CHECK(std::isfinite(stick.x) && std::isfinite(stick.y));
        break;
    }
    default: {
        // Any value, named button or not.
        const MouseButton button = MouseButton(Chance(50) ? int(Pick(3)) : HostileInt());
        CheckEdges(m.GetButtonHold(button), m.GetButtonPress(button), m.GetButtonRelease(button));
        CheckEdges(k.GetKeyHold(Key::Escape), k.GetKeyPress(Key::Escape),
                   k.GetKeyRelease(Key::Escape));
        break;
    }
    }
}

// A font the draw calls write with (DejaVu Sans from fonts-dejavu-core,
// when the build has a font engine and the file is there).
Font& FuzzFont() {
    static Font font;
    static bool tried = false;
    if (!tried) {
        tried = true;
        font.LoadFromFile("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    }
    return font;
}

void FontCall() {
    static const char* const texts[] = {"Pilot: Zo\xC3\xAB", "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 42",
                                        "AV To\nfi \xEF\xAC\x81", "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8",
                                        "\xF0\x9F\x9A\x80 \xC3", "one two three four five"};
    const char* text = Chance(25) ? HostileText() : texts[Pick(6)];
    const Color4f colour = {HostileFloat(), Chance(80) ? 1.0f : HostileFloat(), 0.5f, 1.0f};
    const TextAlign align = TextAlign(Pick(3));
    const float wrap = Chance(50) ? 0.0f : HostileFloat();
    // Sizes up to a few hundred pixels mostly: hostile ones now and then.
    const float size = Chance(80) ? float(Pick(300)) + 0.5f : HostileFloat();
    if (Chance(70))
        FuzzFont().Draw(text, HostileVector2D(), size, colour, align, wrap);
    else
        FuzzFont().Measure(text, size, wrap);
}

void DrawCall() {
    switch (Pick(7)) {
    case 5: FontCall(); break;
    case 0: DrawLine(HostileVector2D(), HostileVector2D(), HostileFloat()); break;
    case 1: DrawCircle(HostileVector2D(), HostileFloat(), HostileFloat()); break;
    case 2: DrawString(HostileText(), HostileVector2D(), HostileFloat(), HostileFloat()); break;
    case 3: DrawString(HostileText(), HostileVector2D(), HostileFloat()); break;
    case 4: GetStringWidth(HostileText(), HostileFloat()); GetStringHeight(HostileText(), HostileFloat()); break;
    default: if (Chance(20)) SaveScreenshot(HostilePath()); break;
    }
}

// [SECTION] Textures, sprites and shapes

// The game's textures. A texture is destroyed or moved only when no call on
// the stack is using it (the callback may be running inside its own load or
// draw): that would be the game's fault, not the library's.
std::unique_ptr<Texture> gTextures[3];
int gBusyTexture = -1;

// A small valid BMP (2 x 2, 24 bits), changed at random: the decoders' input.
std::string HostileImageBytes() {
    static const unsigned char bmp[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0,
        24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 255, 255, 0, 0, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0};
    std::string bytes(reinterpret_cast<const char*>(bmp), sizeof bmp);
    switch (Pick(5)) {
    case 0: break;
    case 1:
        for (int i = int(Pick(6)); i >= 0; --i) bytes[Pick(bytes.size())] = char(rng());
        break;
    case 2: bytes.resize(Pick(bytes.size())); break;
    case 3: {  // a PNG signature and a header claiming a huge image
        static const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0,
                                            13, 'I', 'H', 'D', 'R', 0x7f, 0xff, 0xff, 0xff, 0x7f,
                                            0xff, 0xff, 0xff, 8, 6, 0, 0, 0, 0, 0, 0, 0};
        bytes.assign(reinterpret_cast<const char*>(png), sizeof png);
        break;
    }
    default:
        bytes.assign(Pick(64), '\0');
        for (char& c : bytes) c = char(rng());
        break;
    }
    return bytes;
}

void TextureCall() {
    const int i = int(Pick(3));
    std::unique_ptr<Texture>& t = gTextures[i];
    const bool mayRemove = i != gBusyTexture;
    const int outerBusy = gBusyTexture;
    if (!t) {
        if (Chance(50)) t.reset(new Texture);
        return;
    }
    gBusyTexture = mayRemove ? i : gBusyTexture;
    switch (Pick(9)) {
    case 0: {
        static unsigned char pixels[64 * 64 * 4];
        for (int k = 0; k < 16; ++k) pixels[Pick(sizeof pixels)] = (unsigned char)rng();
        if (Chance(60))
            t->LoadFromPixels(Chance(10) ? nullptr : pixels, int(Pick(64)) + 1, int(Pick(64)) + 1);
        else {  // sides it must refuse before reading a byte
            static const int refused[] = {0, -1, INT_MIN, Texture::kMaxSide + 1, INT_MAX};
            const int bad = refused[Pick(5)];
            if (Chance(50)) t->LoadFromPixels(pixels, bad, int(Pick(64)) + 1);
            else t->LoadFromPixels(pixels, int(Pick(64)) + 1, bad);
        }
        break;
    }
    case 1: {
        const std::string bytes = HostileImageBytes();
        t->LoadFromMemory(Chance(5) ? nullptr : bytes.data(), bytes.size(),
                          Chance(50) ? nullptr : HostileText());
        break;
    }
    case 2: {
        if (Chance(50)) {
            const std::string path = gDir + "/image.bmp";
            std::ofstream(path, std::ios::binary) << HostileImageBytes();
            t->LoadFromFile(path.c_str());
        } else {
            t->LoadFromFile(HostilePath());
        }
        break;
    }
    case 3: t->SetSmooth(Chance(50)); t->SetRepeated(Chance(50)); break;
    case 4:
        FUZZ_CHECK(t->GetWidth() >= 0 && t->GetHeight() >= 0);
        FUZZ_CHECK(t->IsLoaded() == (t->GetPixels() != nullptr));
        (void)t->IsSmooth(); (void)t->IsRepeated();
        break;
    case 5: if (mayRemove) t.reset(); break;
    case 6: {
        const int j = int(Pick(3));
        if (mayRemove && j != i && j != outerBusy && gTextures[j]) *t = std::move(*gTextures[j]);
        break;
    }
    case 7: {
        const int j = int(Pick(3));
        if (j != i && j != outerBusy && !gTextures[j]) gTextures[j].reset(new Texture(std::move(*t)));
        break;
    }
    default: if (mayRemove) t.reset(new Texture); break;
    }
    gBusyTexture = outerBusy;
}

void SpriteCall() {
    const int i = int(Pick(3));
    const Texture* texture = gTextures[i].get();
    const int outerBusy = gBusyTexture;
    if (texture) gBusyTexture = i;
    switch (Pick(10)) {
    case 0: case 1: case 2: {
        Sprite sprite;
        sprite.texture = Chance(10) ? nullptr : texture;
        sprite.source = {HostileInt(), HostileInt(), HostileInt(), HostileInt()};
        if (Chance(50)) sprite.source = {int(Pick(4)), int(Pick(4)), int(Pick(70)), int(Pick(70))};
        sprite.position = HostileVector2D();
        if (Chance(50)) sprite.size = HostileVector2D();
        if (Chance(50)) sprite.scale = HostileVector2D();
        if (Chance(50)) sprite.origin = HostileVector2D();
        if (Chance(50)) sprite.rotation = HostileFloat();
        if (Chance(30)) sprite.tint = {HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat()};
        sprite.flipX = Chance(50);
        sprite.flipY = Chance(50);
        DrawSprite(sprite);
        break;
    }
    case 3: if (texture) DrawSprite(*texture, HostileVector2D()); break;
    case 4: FlushSprites(); break;
    case 5:
        if (Chance(50)) SetColor(HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat());
        else SetColor(Color4f{HostileFloat(), HostileFloat(), HostileFloat(), HostileFloat()});
        break;
    case 6: FillRect(HostileVector2D(), HostileVector2D(), HostileFloat(), HostileVector2D()); break;
    case 7: FillCircle(HostileVector2D(), HostileFloat()); break;
    case 8: FillTriangle(HostileVector2D(), HostileVector2D(), HostileVector2D()); break;
    default: {
        Vector2D points[8];
        for (Vector2D& p : points) p = HostileVector2D();
        // Never more points than there are: a count beyond them is the caller's fault.
        const int count = Chance(80) ? int(Pick(9)) : (Chance(50) ? -1 : INT_MIN);
        FillPolygon(Chance(10) ? nullptr : points, count);
        break;
    }
    }
    gBusyTexture = outerBusy;
}

void MathCall() {
    Vector2D a = HostileVector2D(), b = HostileVector2D();
    Vector3D u = HostileVector3D(), v = HostileVector3D(), x = HostileVector3D();
    const float f = HostileFloat();
    switch (Pick(12)) {
    case 0: RotateToward(f, HostileFloat(), HostileFloat()); DirectionDifference(f, f); DirectionInRange(f); break;
    case 1: ClosestPointSeg(a, b, HostileVector2D()); break;
    case 2: LineCircleCollision(a, b, HostileVector2D(), f); CircleCircleCollision(a, f, b, f); break;
    case 3: a.Rotate(f); a.Normalize(); a.SetLength(f); a.Reflect(b); break;
    case 4: a.AngleToVector(f); a.VectorToAngle(b); a.Perp(); a.GetLength(); (void)(a / f); (void)(a * b); break;
    case 5: u.Add(v, x); u.Subtract(v, x); u.Multiply(v, x); u.Divide(v, x); u.Multiply(v, f); u.Divide(v, f); break;
    case 6: u.Normalize(); u.Normalize(v, x, HostileVector3D()); (void)u.Cross(v); u.Negate(); break;
    case 7: u.RotateX(f); u.RotateY(f); u.RotateZ(f); u.RotateAxis(f, v); break;
    case 8: u.polarCoord(f, HostileFloat()); u.vectorToPolar(v); u.Random(); u.GetLength(); u.Dot(v); break;
    case 9: { const std::string s = ToString<int>(HostileInt()); FUZZ_CHECK(!s.empty()); break; }
    case 10:
        u += v; u -= v; u *= v; u /= v; u *= f; u /= f; (void)(u == v); (void)(u != v);
        (void)(u / f); (void)(u * f); (void)(-u); (void)(f * u); (void)Vector3D::Distance(u, v);
        break;
    default:
        a += b; a -= b; a *= b; a /= b; a *= f; a /= f; (void)(a == b); (void)(a != b);
        (void)(-a); (void)(f * a); (void)(a.Dot(b));
        break;
    }
}

void DiagnosticsCall() {
    switch (Pick(7)) {
    case 0: case 1: SetDiagnosticCallback(Hostile, nullptr); break;
    case 2: SetDiagnosticCallback(nullptr, nullptr); break;
    case 3: ClearDiagnostic(); FUZZ_CHECK(GetLastDiagnostic() == Diagnostic::Nothing); break;
    case 4: {
        const char* name = GetDiagnosticName(Diagnostic(Chance(50) ? int(Pick(64)) : HostileInt()));
        FUZZ_CHECK(name && name[0]);
        break;
    }
    default: CheckChannel(); break;
    }
}

struct Area {
    const char* name;
    void (*call)();
    int weight;
};
const Area kAreas[] = {
    {"Core", CoreCall, 2},          {"WindowManager", WindowCall, 16},
    {"RenderingManager", RendererCall, 14}, {"ViewFrustum", FrustumCall, 4},
    {"TimeManager/FixedStep", TimeCall, 8}, {"Input", InputCall, 16},
    {"Draw2D/Screenshot", DrawCall, 8},     {"Math", MathCall, 10},
    {"Texture", TextureCall, 6},            {"Sprite/Shapes", SpriteCall, 8},
    {"Diagnostics", DiagnosticsCall, 8},    {"world", StirTheWorld, 6},
};

void RandomCall() {
    int total = 0;
    for (const Area& a : kAreas) total += a.weight;
    int pick = int(Pick(std::uint64_t(total)));
    for (const Area& a : kAreas) {
        if (pick < a.weight) {
            gOp = a.name;
            a.call();
            return;
        }
        pick -= a.weight;
    }
}

}  // namespace

int main(int argc, char** argv) {
    long calls = 100000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--calls")) calls = std::atol(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed")) gSeed = std::strtoull(argv[i + 1], nullptr, 10);
    }
    for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS, SIGILL}) std::signal(sig, OnCrash);
    char dir[] = "/tmp/quillmar-fuzz-XXXXXX";
    if (!mkdtemp(dir)) {
        std::perror("fuzz: mkdtemp");
        return 2;
    }
    gDir = dir;
    rng.seed(gSeed);
    fake::Reset();
    fake::recording = false;  // the call log would grow without bound

    for (gCall = 0; gCall < calls; gCall = gCall + 1) {
        try {
            RandomCall();
        } catch (...) {
            Fail("an exception left the library");
        }
        CheckChannel();
    }
    for (std::unique_ptr<Texture>& texture : gTextures) texture.reset();
    for (Core*& core : gCores) {
        delete core;
        core = nullptr;
    }
    SetDiagnosticCallback(nullptr, nullptr);
    std::string cleanup = "rm -rf '" + gDir + "'";
    if (std::system(cleanup.c_str()) != 0) std::fprintf(stderr, "fuzz: could not remove %s\n", dir);
    std::printf("fuzz: %ld calls, seed %llu: every check held (%ld reports delivered, %ld "
                "answered with an exception)\n", calls, gSeed, gDelivered, gThrown);
    return 0;
}
