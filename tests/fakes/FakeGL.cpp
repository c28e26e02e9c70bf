// The GL and GLU calls of the library as a recording fake. Matrix calls act
// on a small model of the two matrix stacks so that read-backs are real.
#if defined(_WIN32)
#define _GDI32_  // declares GL and GLU without dllimport: they are defined here
#endif
#include "Fakes.h"

#include <algorithm>

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY  // Windows' <GL/gl.h> names only APIENTRY
#endif

using fake::Record;

namespace {
fake::MatrixStack& Stack() {
    return fake::gl.mode == GL_PROJECTION ? fake::gl.projection : fake::gl.modelview;
}
}  // namespace

namespace {
constexpr GLenum kPixelPackBuffer = 0x88EB;
constexpr GLenum kPixelPackBufferBinding = 0x88ED;
constexpr GLenum kReadFramebuffer = 0x8CA8;
constexpr GLenum kReadFramebufferBinding = 0x8CAA;
constexpr GLenum kFramebufferExt = 0x8D40;
constexpr GLenum kFramebufferBindingExt = 0x8CA6;

GLint PackValue(GLenum pname) {
    auto found = fake::pixels.pack.find(pname);
    if (found != fake::pixels.pack.end()) return found->second;
    return pname == GL_PACK_ALIGNMENT ? 4 : 0;
}

// Entry points the library looks up by name (GetProcAddress), not imported.
#define FAKE_GLCALL GLAPIENTRY
void FAKE_GLCALL FakeBindBuffer(GLenum target, GLuint name) {
    Record("glBindBuffer", {double(target), double(name)});
    if (target == kPixelPackBuffer) fake::pixels.packBuffer = name;
}
void FAKE_GLCALL FakeBindFramebuffer(GLenum target, GLuint name) {
    Record("glBindFramebuffer", {double(target), double(name)});
    if (target == kReadFramebuffer || target == kFramebufferExt) fake::pixels.readFramebuffer = name;
}
}  // namespace

namespace fake {
void* GLProc(const std::string& name) {
    if (name == "glBindBuffer" || name == "glBindBufferARB")
        return reinterpret_cast<void*>(&FakeBindBuffer);
    if (name == "glBindFramebuffer" || name == "glBindFramebufferEXT")
        return reinterpret_cast<void*>(&FakeBindFramebuffer);
    return nullptr;
}
}  // namespace fake

extern "C" {

void GLAPIENTRY glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void GLAPIENTRY glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void GLAPIENTRY glCullFace(GLenum mode) { Record("glCullFace", {double(mode)}); }
void GLAPIENTRY glEnableClientState(GLenum cap) { Record("glEnableClientState", {double(cap)}); }
const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    Record("glGetString", {double(name)});
    if (fake::script.noContext) return nullptr;
    if (name == GL_VERSION) return reinterpret_cast<const GLubyte*>(fake::pixels.version);
    return name == GL_EXTENSIONS
        ? reinterpret_cast<const GLubyte*>(fake::script.glExtensions.c_str()) : nullptr;
}
void GLAPIENTRY glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    Record("glClearColor", {r, g, b, a});
}
void GLAPIENTRY glClear(GLbitfield mask) { Record("glClear", {double(mask)}); }
void GLAPIENTRY glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    Record("glViewport", {double(x), double(y), double(width), double(height)});
}
void GLAPIENTRY glOrtho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f) {
    Record("glOrtho", {l, r, b, t, n, f});
}
void GLAPIENTRY gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    Record("gluPerspective", {fovy, aspect, zNear, zFar});
}
void GLAPIENTRY glTranslatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {x, y, z}); }
void GLAPIENTRY glLineWidth(GLfloat width) { Record("glLineWidth", {width}); }
void GLAPIENTRY glBegin(GLenum mode) { Record("glBegin", {double(mode)}); }
void GLAPIENTRY glEnd() { Record("glEnd"); }
void GLAPIENTRY glVertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {x, y, z}); }

void GLAPIENTRY glMatrixMode(GLenum mode) {
    Record("glMatrixMode", {double(mode)});
    fake::gl.mode = mode;
}
void GLAPIENTRY glLoadIdentity() {
    Record("glLoadIdentity");
    Stack().Top() = fake::kIdentity;
}
void GLAPIENTRY glPushMatrix() {
    Record("glPushMatrix");
    fake::MatrixStack& s = Stack();
    if (s.depth < int(s.levels.size())) {
        s.levels[std::size_t(s.depth)] = s.Top();
        ++s.depth;
    }
}
void GLAPIENTRY glPopMatrix() {
    Record("glPopMatrix");
    if (Stack().depth > 1) --Stack().depth;
}
void GLAPIENTRY glLoadMatrixf(const GLfloat* m) {
    Record("glLoadMatrixf");
    std::copy(m, m + 16, Stack().Top().begin());
}
void GLAPIENTRY glMultMatrixf(const GLfloat* m) {
    Record("glMultMatrixf");
    fake::Matrix& c = Stack().Top();
    fake::Matrix r{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += c[k * 4 + row] * m[col * 4 + k];
            r[col * 4 + row] = s;
        }
    c = r;
}
// Without a current context GL answers no query: the outputs are left unwritten.
void GLAPIENTRY glGetIntegerv(GLenum pname, GLint* params) {
    Record("glGetIntegerv", {double(pname)});
    if (fake::script.noContext) return;
    if (pname == GL_MATRIX_MODE) *params = GLint(fake::gl.mode);
    if (pname >= GL_PACK_SWAP_BYTES && pname <= GL_PACK_ALIGNMENT) *params = PackValue(pname);
    if (pname == GL_READ_BUFFER) *params = GLint(fake::pixels.readBuffer);
    if (pname == kPixelPackBufferBinding) *params = GLint(fake::pixels.packBuffer);
    if (pname == kReadFramebufferBinding || pname == kFramebufferBindingExt)
        *params = GLint(fake::pixels.readFramebuffer);
}
void GLAPIENTRY glGetFloatv(GLenum pname, GLfloat* params) {
    Record("glGetFloatv", {double(pname)});
    if (fake::script.noContext) return;
    const fake::Matrix* m = nullptr;
    if (pname == GL_PROJECTION_MATRIX) m = &fake::gl.projection.Top();
    if (pname == GL_MODELVIEW_MATRIX) m = &fake::gl.modelview.Top();
    if (m) std::copy(m->begin(), m->end(), params);
}

// Screenshots: read-backs of the window give a gradient, red = x, green = y
// (mod 256), blue 0; of a framebuffer object, blue 200.
void GLAPIENTRY glPixelStorei(GLenum pname, GLint param) {
    Record("glPixelStorei", {double(pname), double(param)});
    fake::pixels.pack[pname] = param;
}
void GLAPIENTRY glReadBuffer(GLenum mode) {
    Record("glReadBuffer", {double(mode)});
    fake::pixels.readBuffer = mode;
}
void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                             GLenum type, GLvoid* pixels) {
    Record("glReadPixels", {double(x), double(y), double(width), double(height), double(format),
                            double(type)});
    const fake::GLPixels& p = fake::pixels;
    if (p.packBuffer != 0 || format != GL_RGB || type != GL_UNSIGNED_BYTE) return;
    const int fbWidth = p.framebufferWidth > 0 ? p.framebufferWidth : fake::script.windowWidth;
    const int fbHeight = p.framebufferHeight > 0 ? p.framebufferHeight : fake::script.windowHeight;
    // Where GL puts pixel (col, row) of the rectangle, per the pack parameters.
    const long rowLength = PackValue(GL_PACK_ROW_LENGTH) > 0 ? PackValue(GL_PACK_ROW_LENGTH) : width;
    const long alignment = PackValue(GL_PACK_ALIGNMENT);
    const long stride = (rowLength * 3 + alignment - 1) / alignment * alignment;
    auto* base = static_cast<unsigned char*>(pixels) +
                 PackValue(GL_PACK_SKIP_ROWS) * stride + PackValue(GL_PACK_SKIP_PIXELS) * 3;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            if (x + col >= fbWidth || y + row >= fbHeight) continue;  // outside: left unwritten
            unsigned char* out = base + row * stride + col * 3;
            out[0] = static_cast<unsigned char>(x + col);
            out[1] = static_cast<unsigned char>(y + row);
            out[2] = p.readFramebuffer != 0 ? 200 : 0;
        }
}

}  // extern "C"
