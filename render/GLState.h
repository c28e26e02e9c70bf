// What the library's textured and filled drawing needs of GL: whether a
// context is current and which one (a generation that changes at every
// successful Open), and a guard that sets the state it draws in and puts back
// exactly what it found. No glPushAttrib: the web build's GL has none.
#ifndef QUILLMAR_RENDER_GLSTATE_H
#define QUILLMAR_RENDER_GLSTATE_H

#include <GL/gl.h>

#include <cstddef>

namespace qmgl {

// A window (and with it a GL context) is open and current.
bool ContextCurrent();
// Changes at each successful Open: GL names of an older generation are gone.
unsigned Generation();
// Called by WindowManager::Open after the context is made.
void NoteContextOpened();

// What the current context offers: its version as major * 10 + minor (10
// when it does not say), whether an extension string lists `name`, and a
// bind function (glBindBuffer, glBindFramebuffer...) by either of two names.
#if defined(_WIN32)
#  define QM_GL_CALL __stdcall
#else
#  define QM_GL_CALL
#endif
using BindProc = void(QM_GL_CALL*)(GLenum target, GLuint name);
int Version();
bool HasExtension(const char* list, const char* name);
BindProc LookUpBind(const char* name, const char* fallback);

// glEnable / glDisable, glEnableClientState / glDisableClientState by a flag.
void SetCap(GLenum cap, bool on);
void SetClientState(GLenum array, bool on);

// The buffer object calls (GL 1.5 or GL_ARB_vertex_buffer_object) the 2D
// batch streams its vertices through, where the context has them; null
// otherwise. Looked up once per context.
struct BufferCalls {
    BindProc bind;
    void(QM_GL_CALL* gen)(GLsizei count, GLuint* names);
    void(QM_GL_CALL* data)(GLenum target, std::ptrdiff_t size, const void* data, GLenum usage);
};
const BufferCalls* BufferObjects();

// Sets GL's pixel-unpack parameters to their defaults, with no unpack buffer
// bound, for the guard's life, and gives the game's back: a game's row
// length, skips or alignment would have GL read an upload from the wrong
// place. Only tokens the context knows are asked (an unknown one is a GL
// error the game would find).
class DefaultUnpack {
public:
    DefaultUnpack();
    ~DefaultUnpack();
    DefaultUnpack(const DefaultUnpack&) = delete;
    DefaultUnpack& operator=(const DefaultUnpack&) = delete;

    // False when a game's unpack buffer is bound and cannot be unbound.
    bool Ready() const { return buffer_ == 0 || bind_ != nullptr; }

private:
    GLint saved_[6];
    GLint buffer_ = 0;
    BindProc bind_ = nullptr;
};

// Sets, for the guard's life, the state the library draws 2D in: no depth
// test, no culling, no lighting, blending with source alpha, texturing as
// asked, client arrays of vertex (and texcoord and colour, if textured) only,
// with no buffer object of the game's bound (the caller may bind its own, and
// unbinds it before the guard goes), and textured: the texels
// multiplied by the colour (GL_MODULATE), whatever texture environment the
// game left. The destructor restores every cap, blend factor, binding
// (texture and buffer objects), texture environment mode, client array
// (enable, size, type, stride, pointer and buffer) and current colour and
// texcoord it touched.
class StateGuard {
public:
    explicit StateGuard(bool textured);
    ~StateGuard();
    StateGuard(const StateGuard&) = delete;
    StateGuard& operator=(const StateGuard&) = delete;

private:
    struct Array {
        GLint size, type, stride;
        GLvoid* pointer;
        GLint buffer;  // the buffer object the pointer is an offset into; 0: client memory
    };
    bool textured_;
    GLboolean caps_[5];
    GLboolean clientStates_[5];
    GLint blendSrc_, blendDst_, binding_, envMode_;
    BindProc bindBuffer_;  // null where the context has no buffer objects
    GLint arrayBuffer_, elementBuffer_;
    Array ReadArray(GLenum size, GLenum type, GLenum stride, GLenum pointer, GLenum buffer) const;
    void BindArrayBuffer(GLint buffer) const;

    Array vertex_, texcoord_, color_;
    GLfloat currentColor_[4];
    GLfloat currentTexcoord_[4];
};

// Puts texture unit 0 in charge, for the server and the client arrays, with an
// identity texture matrix, for the guard's life; then gives the game back its
// units and unit 0's matrix. Made before a textured StateGuard (which saves
// and sets unit 0's state) and gone after it. A context without
// multitexturing has one unit: only the matrix is looked at there.
class TextureUnitGuard {
public:
    TextureUnitGuard();
    ~TextureUnitGuard();
    TextureUnitGuard(const TextureUnitGuard&) = delete;
    TextureUnitGuard& operator=(const TextureUnitGuard&) = delete;

private:
    using UnitProc = void(QM_GL_CALL*)(GLenum unit);
    UnitProc active_, clientActive_;  // null: the unit was unit 0 already
    GLint activeUnit_, clientActiveUnit_;
    bool matrixSet_;
    GLint matrixMode_;
    GLfloat matrix_[16];
};

}  // namespace qmgl

#endif
