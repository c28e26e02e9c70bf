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

extern "C" {

void GLAPIENTRY glEnable(GLenum cap) { Record("glEnable", {double(cap)}); }
void GLAPIENTRY glDisable(GLenum cap) { Record("glDisable", {double(cap)}); }
void GLAPIENTRY glCullFace(GLenum mode) { Record("glCullFace", {double(mode)}); }
void GLAPIENTRY glEnableClientState(GLenum cap) { Record("glEnableClientState", {double(cap)}); }
const GLubyte* GLAPIENTRY glGetString(GLenum name) {
    Record("glGetString", {double(name)});
    return name == GL_EXTENSIONS && !fake::script.noContext
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
    if (pname == GL_PACK_ALIGNMENT) *params = 4;
    if (pname == GL_READ_BUFFER) *params = GL_BACK;
}
void GLAPIENTRY glGetFloatv(GLenum pname, GLfloat* params) {
    Record("glGetFloatv", {double(pname)});
    if (fake::script.noContext) return;
    const fake::Matrix* m = nullptr;
    if (pname == GL_PROJECTION_MATRIX) m = &fake::gl.projection.Top();
    if (pname == GL_MODELVIEW_MATRIX) m = &fake::gl.modelview.Top();
    if (m) std::copy(m->begin(), m->end(), params);
}

// Screenshots: read-backs give a gradient, red = x, green = y (mod 256).
void GLAPIENTRY glPixelStorei(GLenum pname, GLint param) {
    Record("glPixelStorei", {double(pname), double(param)});
}
void GLAPIENTRY glReadBuffer(GLenum mode) { Record("glReadBuffer", {double(mode)}); }
void GLAPIENTRY glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                             GLenum type, GLvoid* pixels) {
    Record("glReadPixels", {double(x), double(y), double(width), double(height), double(format),
                            double(type)});
    auto* out = static_cast<unsigned char*>(pixels);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col, out += 3) {
            out[0] = static_cast<unsigned char>(col);
            out[1] = static_cast<unsigned char>(row);
            out[2] = 0;
        }
}

}  // extern "C"
