// Recording fakes of the platform seam (GLFW 2.x interface, OS services) and
// of the GL/GLU calls the library makes. Each call is appended to a log with
// its arguments; answers come from the script below. Reset() before each test.
#ifndef QUILLMAR_TESTS_FAKES_H
#define QUILLMAR_TESTS_FAKES_H

#include "glfw2.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fake {

struct Call {
    std::string name;
    std::vector<double> args;
    std::string text;  // string argument, if any

    bool operator==(const Call& o) const {
        return name == o.name && args == o.args && text == o.text;
    }
};

// What the fakes answer. Plain values; tests change them between calls.
struct Script {
    // GLFW
    int initResult = 1;
    int openResult = 1;           // glfwOpenWindow's answer when no window is open
    // Why a failing open failed (openResult <= 0), as the adapter would tell.
    glfw2::OpenFailure openFailure = glfw2::OpenFailure::NoContext;
    glfw2::OpenFailure lastOpenFailure = glfw2::OpenFailure::NoFailure;
    void* glfw3Window = reinterpret_cast<void*>(0x3333);
    bool windowOpen = false;      // kept by open/close; tests may close "by the user"
    int windowWidth = 0;
    int windowHeight = 0;
    unsigned char keys[512] = {}; // 2.x key code -> GLFW_PRESS / GLFW_RELEASE
    int mouseButtons[8] = {};
    int mouseX = 0;
    int mouseY = 0;
    int pointerMaxX = 0x7fffffff;  // a warp further right stops here, as at a screen's edge
    int wheel = 0;
    double mouseMotionX = 0.0;    // pointer motion since taken (top-left origin, y down)
    double mouseMotionY = 0.0;
    bool joystickPresent[16] = {};
    unsigned char joystickButtons[16][32] = {};
    float joystickAxes[16][8] = {};
    int joystickButtonCount[16] = {};  // entries the device supplies
    int joystickAxisCount[16] = {};
    // Gamepads (GetGamepad): a pad with a mapping, as the adapter reports it.
    struct Gamepad {
        bool mapped = false;
        const char* name = "Fake Pad";
        unsigned char buttons[15] = {};
        float axes[6] = {};  // sticks -1..1, y down; triggers 0..1
    };
    Gamepad gamepads[16];
    glfw2::MappingsResult mappingsResult = glfw2::MappingsResult::Taken;  // AddGamepadMappings' answer

    // OS services (the clock is below: it is read at library load)
    int cursorCount = 0;
    void* nativeWindow = reinterpret_cast<void*>(0x1234);
    void* nativeDC = reinterpret_cast<void*>(0x5678);
    std::set<std::string> missingProcs; // GetProcAddress answers null for these
    bool swapControl = true;
    int swapIntervalResult = 1;

    // GL
    bool noContext = false;  // GL queries answer nothing (glGetString null), as without a context
    std::string glExtensions =
        "GL_ARB_multitexture GL_ARB_shading_language_100 GL_ARB_shader_objects";
};

extern Script script;
// The fake millisecond clock: each read answers clockNow, then adds clockStep.
// Plain globals so they hold their values before any static constructor runs.
extern std::uint32_t clockNow;
extern std::uint32_t clockStep;
// The fake high-resolution clock, in nanoseconds: each read answers
// clockNanoseconds, then adds clockNanosecondsStep. Not logged.
extern std::uint64_t clockNanoseconds;
extern std::uint64_t clockNanosecondsStep;
// Clock reads are logged as "Milliseconds" only after the first Reset(): the
// shared timer reads the clock at load, before the log exists.
extern bool logClock;
extern std::vector<Call> log;
extern bool recording;  // off: calls are answered but not logged (no allocation)
// On: glTexImage2D and glTexSubImage2D read every byte of the pixels they are
// given, so that a sanitizer sees an upload that runs past its buffer.
extern bool readUploads;

void Reset();
// The arguments arrive as an initializer list so that a call made while
// recording is off allocates nothing (no-allocation tests rely on it).
void Record(const char* name, std::initializer_list<double> args = {}, std::string text = {});
std::vector<std::string> Names();
std::vector<Call> CallsNamed(const std::string& name);
std::size_t Count(const std::string& name);

// The fake entry point GetProcAddress hands out for a name (non-null).
void* ProcFor(const std::string& name);
// The fakes of GL entry points the library calls through a looked-up pointer
// (the binds screenshots undo); null for other names.
void* GLProc(const std::string& name);

// The fake GL matrix state: mode, projection and model-view stacks, column-major.
// Fixed storage, so that the fake itself never allocates.
using Matrix = std::array<float, 16>;
constexpr Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
struct MatrixStack {
    std::array<Matrix, 32> levels{{kIdentity}};
    int depth = 1;
    Matrix& Top() { return levels[std::size_t(depth - 1)]; }
};
struct GLMatrices {
    unsigned mode = 0x1700;  // GL_MODELVIEW
    MatrixStack projection;
    MatrixStack modelview;
    // The texture matrix of units 0 and 1 (glMatrixMode(GL_TEXTURE) acts on
    // the active unit's), and the active and client-active units
    // (glActiveTexture, glClientActiveTexture: GL_TEXTURE0 + i).
    std::array<MatrixStack, 2> texture;
    unsigned activeTexture = 0x84C0, clientActiveTexture = 0x84C0;

    // What glEnable / glEnableClientState and the other setters left, read
    // back by glIsEnabled, glGetBooleanv, glGetIntegerv, glGetFloatv and
    // glGetPointerv. Fixed storage (a cap's slot is found by search).
    struct Flag {
        unsigned cap = 0;
        bool on = false;
    };
    std::array<Flag, 32> flags{};
    int blendSrc = 1, blendDst = 0;  // GL_ONE, GL_ZERO
    int boundTexture = 0;
    int texEnvMode = 0x2100;  // GL_MODULATE
    unsigned nextTexture = 1;
    int maxTextureSize = 8192;
    std::array<float, 4> color{{1, 1, 1, 1}};
    std::array<float, 4> texcoord{{0, 0, 0, 1}};
    struct Pointer {
        int size = 4, type = 0x1406, stride = 0;  // GL_FLOAT
        const void* pointer = nullptr;
        int buffer = 0;  // the GL_ARRAY_BUFFER bound when the pointer was set
    };
    Pointer vertexArray, texcoordArray, colorArray;
    int arrayBuffer = 0, elementArrayBuffer = 0;  // buffer object bindings
    // The state at the latest glDrawArrays / glDrawElements.
    struct StateAtDraw {  // not DrawState: <windows.h> makes that DrawStateA
        bool texture, blend, depthTest, cullFace, lighting;
        bool vertexArray, normalArray, texcoordArray, colorArray, secondaryColorArray;
        int blendSrc, blendDst, boundTexture, texEnvMode;
        int arrayBuffer, elementArrayBuffer;
        unsigned activeTexture, clientActiveTexture;
        bool textureMatrixIdentity;  // unit 0's
        Pointer vertices, texcoords;  // the arrays drawn
    };
    StateAtDraw atDraw{};
};
// Where an array's data is: its pointer in client memory, or that offset into
// what glBufferData gave the buffer it was set with.
const void* ArrayData(const GLMatrices::Pointer& array);
// What each glDrawArrays drew (while recording): its mode and the vertices
// (x, y, z) and colours (0..255; the current colour without the colour array)
// read through the client arrays as GL would.
struct Drawn {
    unsigned mode;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<int, 4>> colours;
};
extern std::vector<Drawn> drawn;
// Whether the fake GL has cap (server or client) enabled.
bool Enabled(unsigned cap);
extern GLMatrices gl;

// The fake GL pixel state for read-backs: pack parameters (glPixelStorei,
// answered by glGetIntegerv), the read buffer and the bindings a game may
// leave in place. glReadPixels writes as GL does: where the pack parameters
// say, nothing into client memory while a pack buffer is bound, and only the
// pixels inside the framebuffer.
struct GLPixels {
    std::map<unsigned, int> pack;  // GL_PACK_* and GL_UNPACK_* -> value; absent: GL's default
    unsigned unpackBuffer = 0;     // GL_PIXEL_UNPACK_BUFFER binding
    // The pixel-store state and unpack buffer at the latest glTexImage2D.
    std::map<unsigned, int> unpackAtUpload;
    unsigned unpackBufferAtUpload = 0;
    unsigned readBuffer = 0x0405;  // GL_BACK
    unsigned packBuffer = 0;       // GL_PIXEL_PACK_BUFFER binding
    unsigned readFramebuffer = 0;  // the read (or EXT's only) framebuffer binding
    int framebufferWidth = 0;      // the window's framebuffer; 0: the window's size
    int framebufferHeight = 0;
    const char* version = nullptr; // glGetString(GL_VERSION); null as without a context
};
extern GLPixels pixels;

}  // namespace fake

#endif
