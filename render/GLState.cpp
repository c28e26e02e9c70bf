#include "render/GLState.h"

#include "glfw2.h"
#include "system.h"

#include <cstdio>
#include <cstring>

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif

namespace qmgl {

namespace {
unsigned generation = 0;

// Buffer objects (GL 1.5), whose tokens Windows' GL 1.1 header lacks.
constexpr GLenum kArrayBuffer = 0x8892;
constexpr GLenum kElementArrayBuffer = 0x8893;
constexpr GLenum kArrayBufferBinding = 0x8894;
constexpr GLenum kElementArrayBufferBinding = 0x8895;
constexpr GLenum kVertexArrayBufferBinding = 0x8896;
constexpr GLenum kColorArrayBufferBinding = 0x8898;
constexpr GLenum kTextureCoordArrayBufferBinding = 0x889A;

// Desktop GL keeps a buffer per client array, taken when its pointer is set.
// The web's emulation has none: every client array reads from the buffer
// bound at the draw (and WebGL refuses the per-array queries).
#if defined(__EMSCRIPTEN__)
constexpr bool kBufferPerArray = false;
#else
constexpr bool kBufferPerArray = true;
#endif

// The buffer object calls where the context has buffer objects, else null;
// looked up once per context (a token the context does not know would be a
// GL error).
struct BufferObjectsFound {
    bool known = false;
    unsigned generation = 0;
    BufferCalls calls = {nullptr, nullptr, nullptr};
    bool all = false;  // every call of BufferCalls was found
};
BufferObjectsFound bufferObjects;

void* LookUp(const char* name, const char* fallback) {
    void* proc = qmsys::GetProcAddress(name);
    return proc ? proc : qmsys::GetProcAddress(fallback);
}

const BufferObjectsFound& FindBufferObjects() {
    if (!bufferObjects.known || bufferObjects.generation != generation) {
        bufferObjects = BufferObjectsFound();
        const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (Version() >= 15 || HasExtension(found ? found : "", "GL_ARB_vertex_buffer_object")) {
            BufferCalls& c = bufferObjects.calls;
            c.bind = LookUpBind("glBindBuffer", "glBindBufferARB");
            c.gen = reinterpret_cast<decltype(c.gen)>(LookUp("glGenBuffers", "glGenBuffersARB"));
            c.data = reinterpret_cast<decltype(c.data)>(LookUp("glBufferData", "glBufferDataARB"));
            bufferObjects.all = c.bind && c.gen && c.data;
        }
        bufferObjects.generation = generation;
        bufferObjects.known = true;
    }
    return bufferObjects;
}

BindProc BufferBinder() { return FindBufferObjects().calls.bind; }

const GLenum kCaps[5] = {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING};
// Open enables the normal and secondary colour arrays without pointers: left
// on, a draw would read them from address 0.
const GLenum kClientStates[5] = {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY,
                                 GL_NORMAL_ARRAY, GL_SECONDARY_COLOR_ARRAY};

}  // namespace

void SetCap(GLenum cap, bool on) {
    if (on)
        glEnable(cap);
    else
        glDisable(cap);
}

void SetClientState(GLenum array, bool on) {
    if (on)
        glEnableClientState(array);
    else
        glDisableClientState(array);
}

bool ContextCurrent() { return glfw2::glfwGetWindowParam(glfw2::GLFW_OPENED) > 0; }
unsigned Generation() { return generation; }
void NoteContextOpened() { ++generation; }

// [SECTION] What the context offers

int Version() {
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2 || major < 1) return 10;
    return major * 10 + (minor > 9 ? 9 : minor);
}

bool HasExtension(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = list; (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

const BufferCalls* BufferObjects() {
#if defined(__EMSCRIPTEN__)
    return nullptr;  // the web's GL emulation reads the client arrays itself
#else
    const BufferObjectsFound& found = FindBufferObjects();
    return found.all ? &found.calls : nullptr;
#endif
}

BindProc LookUpBind(const char* name, const char* fallback) {
    void* proc = qmsys::GetProcAddress(name);
    if (!proc && fallback) proc = qmsys::GetProcAddress(fallback);
    return reinterpret_cast<BindProc>(proc);
}

// [SECTION] Default unpack state

namespace {
constexpr GLenum kUnpackParameters[] = {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST,
                                        GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                                        GL_UNPACK_SKIP_PIXELS, GL_UNPACK_ALIGNMENT};
constexpr int kUnpackCount = int(sizeof kUnpackParameters / sizeof kUnpackParameters[0]);
constexpr GLenum kPixelUnpackBuffer = 0x88EC;  // GL 2.1, which Windows' header lacks
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;
GLint StandardUnpack(GLenum parameter) { return parameter == GL_UNPACK_ALIGNMENT ? 4 : 0; }
}  // namespace

DefaultUnpack::DefaultUnpack() {
    static_assert(kUnpackCount == sizeof saved_ / sizeof saved_[0], "one slot a parameter");
    for (int i = 0; i < kUnpackCount; ++i) {
        const GLint standard = StandardUnpack(kUnpackParameters[i]);
        saved_[i] = standard;
        glGetIntegerv(kUnpackParameters[i], &saved_[i]);
        if (saved_[i] != standard) glPixelStorei(kUnpackParameters[i], standard);
    }
    const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const char* extensions = found ? found : "";
    if (Version() >= 21 || HasExtension(extensions, "GL_ARB_pixel_buffer_object") ||
        HasExtension(extensions, "GL_EXT_pixel_buffer_object")) {
        glGetIntegerv(kPixelUnpackBufferBinding, &buffer_);
        if (buffer_ != 0) {
            bind_ = LookUpBind("glBindBuffer", "glBindBufferARB");
            if (bind_) bind_(kPixelUnpackBuffer, 0);
        }
    }
}

DefaultUnpack::~DefaultUnpack() {
    if (bind_) bind_(kPixelUnpackBuffer, GLuint(buffer_));
    for (int i = 0; i < kUnpackCount; ++i)
        if (saved_[i] != StandardUnpack(kUnpackParameters[i]))
            glPixelStorei(kUnpackParameters[i], saved_[i]);
}

// [SECTION] The state guard

// An array's layout as GL has it now; GL's defaults where it answers nothing.
StateGuard::Array StateGuard::ReadArray(GLenum size, GLenum type, GLenum stride, GLenum pointer,
                                        GLenum buffer) const {
    Array a{4, GL_FLOAT, 0, nullptr, 0};
    glGetIntegerv(size, &a.size);
    glGetIntegerv(type, &a.type);
    glGetIntegerv(stride, &a.stride);
    glGetPointerv(pointer, &a.pointer);
    if (bindBuffer_ && kBufferPerArray) glGetIntegerv(buffer, &a.buffer);
    return a;
}

void StateGuard::BindArrayBuffer(GLint buffer) const {
    if (bindBuffer_) bindBuffer_(kArrayBuffer, GLuint(buffer));
}

StateGuard::StateGuard(bool textured) : textured_(textured) {
    // A game's buffer objects would turn the library's client pointers into
    // offsets into them: set aside for the guard's life.
    bindBuffer_ = BufferBinder();
    arrayBuffer_ = elementBuffer_ = 0;
    if (bindBuffer_) {
        glGetIntegerv(kArrayBufferBinding, &arrayBuffer_);
        glGetIntegerv(kElementArrayBufferBinding, &elementBuffer_);
        if (arrayBuffer_) bindBuffer_(kArrayBuffer, 0);
        if (elementBuffer_) bindBuffer_(kElementArrayBuffer, 0);
    }
    for (int i = 0; i < 5; ++i) caps_[i] = glIsEnabled(kCaps[i]);
    // Client arrays are asked with glGetBooleanv: the web's GL answers them
    // only there.
    for (int i = 0; i < 5; ++i) {
        clientStates_[i] = GL_FALSE;
        glGetBooleanv(kClientStates[i], &clientStates_[i]);
    }
    blendSrc_ = GL_ONE;
    blendDst_ = GL_ZERO;
    glGetIntegerv(GL_BLEND_SRC, &blendSrc_);
    glGetIntegerv(GL_BLEND_DST, &blendDst_);
    vertex_ = ReadArray(GL_VERTEX_ARRAY_SIZE, GL_VERTEX_ARRAY_TYPE, GL_VERTEX_ARRAY_STRIDE,
                        GL_VERTEX_ARRAY_POINTER, kVertexArrayBufferBinding);

    SetCap(GL_TEXTURE_2D, textured);
    SetCap(GL_BLEND, true);
    SetCap(GL_DEPTH_TEST, false);
    SetCap(GL_CULL_FACE, false);
    SetCap(GL_LIGHTING, false);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    SetClientState(GL_VERTEX_ARRAY, true);
    SetClientState(GL_NORMAL_ARRAY, false);
    SetClientState(GL_SECONDARY_COLOR_ARRAY, false);
    if (textured) {
        // Drawing with texcoord and colour arrays leaves GL's current
        // texcoord and colour undefined: they are put back afterwards.
        binding_ = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding_);
        envMode_ = GL_MODULATE;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode_);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        texcoord_ = ReadArray(GL_TEXTURE_COORD_ARRAY_SIZE, GL_TEXTURE_COORD_ARRAY_TYPE,
                              GL_TEXTURE_COORD_ARRAY_STRIDE, GL_TEXTURE_COORD_ARRAY_POINTER,
                              kTextureCoordArrayBufferBinding);
        color_ = ReadArray(GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE, GL_COLOR_ARRAY_STRIDE,
                           GL_COLOR_ARRAY_POINTER, kColorArrayBufferBinding);
        for (float& c : currentColor_) c = 1.0f;
        glGetFloatv(GL_CURRENT_COLOR, currentColor_);
        for (float& t : currentTexcoord_) t = 0.0f;
        currentTexcoord_[3] = 1.0f;
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, currentTexcoord_);
        SetClientState(GL_TEXTURE_COORD_ARRAY, true);
        SetClientState(GL_COLOR_ARRAY, true);
    } else {
        SetClientState(GL_TEXTURE_COORD_ARRAY, false);
        SetClientState(GL_COLOR_ARRAY, false);
    }
}

StateGuard::~StateGuard() {
    // Each pointer is given back with the buffer it was set with bound.
    if (vertex_.buffer) BindArrayBuffer(vertex_.buffer);
    glVertexPointer(vertex_.size, GLenum(vertex_.type), vertex_.stride, vertex_.pointer);
    GLint bound = vertex_.buffer;
    if (textured_) {
        if (texcoord_.buffer != bound) BindArrayBuffer(bound = texcoord_.buffer);
        glTexCoordPointer(texcoord_.size, GLenum(texcoord_.type), texcoord_.stride,
                          texcoord_.pointer);
        if (color_.buffer != bound) BindArrayBuffer(bound = color_.buffer);
        glColorPointer(color_.size, GLenum(color_.type), color_.stride, color_.pointer);
        glBindTexture(GL_TEXTURE_2D, GLuint(binding_));
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode_);
        glColor4f(currentColor_[0], currentColor_[1], currentColor_[2], currentColor_[3]);
        glTexCoord4f(currentTexcoord_[0], currentTexcoord_[1], currentTexcoord_[2],
                     currentTexcoord_[3]);
    }
    for (int i = 0; i < 5; ++i) SetClientState(kClientStates[i], clientStates_[i] != GL_FALSE);
    glBlendFunc(GLenum(blendSrc_), GLenum(blendDst_));
    for (int i = 0; i < 5; ++i) SetCap(kCaps[i], caps_[i] != GL_FALSE);
    if (arrayBuffer_ != bound) BindArrayBuffer(arrayBuffer_);
    if (elementBuffer_) bindBuffer_(kElementArrayBuffer, GLuint(elementBuffer_));
}

// [SECTION] Texture unit 0

namespace {
constexpr GLenum kTexture0 = 0x84C0;
constexpr GLenum kActiveTexture = 0x84E0;
constexpr GLenum kClientActiveTexture = 0x84E1;

// glActiveTexture and glClientActiveTexture where the context has more than
// one unit, else null; looked up once per context.
struct Multitexture {
    bool known = false;
    unsigned generation = 0;
    void(QM_GL_CALL* active)(GLenum) = nullptr;
    void(QM_GL_CALL* clientActive)(GLenum) = nullptr;
};
Multitexture multitexture;

const Multitexture& Units() {
    if (!multitexture.known || multitexture.generation != generation) {
        multitexture = Multitexture();
        const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (Version() >= 13 || HasExtension(found ? found : "", "GL_ARB_multitexture")) {
            void* active = qmsys::GetProcAddress("glActiveTexture");
            if (!active) active = qmsys::GetProcAddress("glActiveTextureARB");
            void* client = qmsys::GetProcAddress("glClientActiveTexture");
            if (!client) client = qmsys::GetProcAddress("glClientActiveTextureARB");
            if (active && client) {
                multitexture.active = reinterpret_cast<void(QM_GL_CALL*)(GLenum)>(active);
                multitexture.clientActive = reinterpret_cast<void(QM_GL_CALL*)(GLenum)>(client);
            }
        }
        multitexture.generation = generation;
        multitexture.known = true;
    }
    return multitexture;
}

bool IsIdentity(const GLfloat* m) {
    for (int i = 0; i < 16; ++i)
        if (m[i] != (i % 5 == 0 ? 1.0f : 0.0f)) return false;
    return true;
}
}  // namespace

TextureUnitGuard::TextureUnitGuard()
    : active_(nullptr), clientActive_(nullptr), activeUnit_(GLint(kTexture0)),
      clientActiveUnit_(GLint(kTexture0)), matrixSet_(false), matrixMode_(GL_MODELVIEW) {
    // A game that multitextures may leave another unit active: the sprite's
    // texture would go to one unit and its coordinates to another.
    const Multitexture& units = Units();
    if (units.active) {
        glGetIntegerv(kActiveTexture, &activeUnit_);
        glGetIntegerv(kClientActiveTexture, &clientActiveUnit_);
        if (activeUnit_ != GLint(kTexture0)) {
            active_ = units.active;
            active_(kTexture0);
        }
        if (clientActiveUnit_ != GLint(kTexture0)) {
            clientActive_ = units.clientActive;
            clientActive_(kTexture0);
        }
    }
    // Texture coordinates go through the texture matrix. It is saved and
    // loaded back rather than pushed: the game may have filled its stack.
    for (int i = 0; i < 16; ++i) matrix_[i] = i % 5 == 0 ? 1.0f : 0.0f;
    glGetFloatv(GL_TEXTURE_MATRIX, matrix_);
    if (!IsIdentity(matrix_)) {
        matrixSet_ = true;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode_);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GLenum(matrixMode_));
    }
}

TextureUnitGuard::~TextureUnitGuard() {
    if (matrixSet_) {
        glMatrixMode(GL_TEXTURE);
        glLoadMatrixf(matrix_);
        glMatrixMode(GLenum(matrixMode_));
    }
    if (clientActive_) clientActive_(GLenum(clientActiveUnit_));
    if (active_) active_(GLenum(activeUnit_));
}

}  // namespace qmgl
