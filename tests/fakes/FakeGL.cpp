// The GL and GLU calls of the library as a recording fake. Matrix calls act
// on a small model of the two matrix stacks so that read-backs are real.
#if defined(_WIN32)
#define _GDI32_  // declares GL and GLU without dllimport: they are defined here
#endif
#include "Fakes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include <GL/gl.h>
#include <GL/glu.h>

#ifndef GLAPIENTRY
#define GLAPIENTRY APIENTRY  // Windows' <GL/gl.h> names only APIENTRY
#endif

using fake::Record;

namespace {
void SetFlag(unsigned cap, bool on) {
    for (auto& f : fake::gl.flags)
        if (f.cap == cap || f.cap == 0) {
            f.cap = cap;
            f.on = on;
            return;
        }
}
void NoteDrawState() {
    using fake::Enabled;
    fake::gl.atDraw = {Enabled(GL_TEXTURE_2D), Enabled(GL_BLEND), Enabled(GL_DEPTH_TEST),
                       Enabled(GL_CULL_FACE), Enabled(GL_LIGHTING), Enabled(GL_VERTEX_ARRAY),
                       Enabled(GL_NORMAL_ARRAY), Enabled(GL_TEXTURE_COORD_ARRAY),
                       Enabled(GL_COLOR_ARRAY), Enabled(0x845E /* secondary colour */),
                       fake::gl.blendSrc, fake::gl.blendDst, fake::gl.boundTexture,
                       fake::gl.texEnvMode, fake::gl.arrayBuffer, fake::gl.elementArrayBuffer,
                       fake::gl.activeTexture, fake::gl.clientActiveTexture,
                       fake::gl.texture[0].Top() == fake::kIdentity, fake::gl.vertexArray,
                       fake::gl.texcoordArray};
    // GL leaves the current colour and texcoord undefined after a draw with
    // their arrays on: the fake makes them NaN, which equals nothing.
    const float undefined = std::numeric_limits<float>::quiet_NaN();
    if (Enabled(GL_COLOR_ARRAY)) fake::gl.color.fill(undefined);
    if (Enabled(GL_TEXTURE_COORD_ARRAY)) fake::gl.texcoord.fill(undefined);
}
fake::MatrixStack& TextureStack() {
    return fake::gl.texture[fake::gl.activeTexture == 0x84C1 ? 1 : 0];
}
fake::MatrixStack& Stack() {
    if (fake::gl.mode == GL_TEXTURE) return TextureStack();
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
constexpr GLenum kArrayBuffer = 0x8892, kElementArrayBuffer = 0x8893;
constexpr GLenum kPixelUnpackBuffer = 0x88EC;
constexpr GLenum kPixelUnpackBufferBinding = 0x88EF;
constexpr GLenum kActiveTexture = 0x84E0, kClientActiveTexture = 0x84E1;

GLint PackValue(GLenum pname) {
    auto found = fake::pixels.pack.find(pname);
    if (found != fake::pixels.pack.end()) return found->second;
    return pname == GL_PACK_ALIGNMENT || pname == GL_UNPACK_ALIGNMENT ? 4 : 0;
}

volatile unsigned uploadSum = 0;  // keeps the reads below

// Reads every byte an upload of width x height texels takes from `pixels`
// under the current unpack alignment and row length.
void ReadUpload(GLsizei width, GLsizei height, GLenum format, GLenum type, const GLvoid* pixels) {
    if (!fake::readUploads || !pixels || width <= 0 || height <= 0 || type != GL_UNSIGNED_BYTE ||
        fake::pixels.unpackBuffer != 0)
        return;
    const std::size_t texel = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : format == GL_LUMINANCE_ALPHA ? 2 : 1;
    const GLint rowLength = PackValue(GL_UNPACK_ROW_LENGTH);
    const std::size_t align = std::size_t(PackValue(GL_UNPACK_ALIGNMENT));
    const std::size_t row = std::size_t(rowLength > 0 ? rowLength : width) * texel;
    const std::size_t stride = (row + align - 1) / align * align;
    const std::size_t bytes = stride * std::size_t(height - 1) + std::size_t(width) * texel;
    const auto* p = static_cast<const unsigned char*>(pixels);
    unsigned sum = 0;
    for (std::size_t i = 0; i < bytes; ++i) sum += p[i];
    uploadSum = uploadSum + sum;
}

// Entry points the library looks up by name (GetProcAddress), not imported.
#define FAKE_GLCALL GLAPIENTRY
void FAKE_GLCALL FakeBindBuffer(GLenum target, GLuint name) {
    Record("glBindBuffer", {double(target), double(name)});
    if (target == kPixelPackBuffer) fake::pixels.packBuffer = name;
    if (target == kPixelUnpackBuffer) fake::pixels.unpackBuffer = name;
    if (target == kArrayBuffer) fake::gl.arrayBuffer = int(name);
    if (target == kElementArrayBuffer) fake::gl.elementArrayBuffer = int(name);
}
// Buffer objects hold what glBufferData gave them; a draw reads arrays set
// with one bound from there.
std::map<GLuint, std::vector<unsigned char>> bufferStore;
void FAKE_GLCALL FakeGenBuffers(GLsizei count, GLuint* names) {
    Record("glGenBuffers", {double(count)});
    static GLuint next = 1000;
    for (GLsizei i = 0; i < count; ++i) names[i] = next++;
}
void FAKE_GLCALL FakeBufferData(GLenum target, std::ptrdiff_t size, const void* data, GLenum usage) {
    Record("glBufferData", {double(target), double(size), double(usage)});
    if (target != kArrayBuffer || fake::gl.arrayBuffer == 0) return;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    bufferStore[GLuint(fake::gl.arrayBuffer)].assign(bytes, bytes + size);
}
const char* ArrayBase(const fake::GLMatrices::Pointer& p) {
    return static_cast<const char*>(fake::ArrayData(p));
}
void FAKE_GLCALL FakeBindFramebuffer(GLenum target, GLuint name) {
    Record("glBindFramebuffer", {double(target), double(name)});
    if (target == kReadFramebuffer || target == kFramebufferExt) fake::pixels.readFramebuffer = name;
}
void FAKE_GLCALL FakeActiveTexture(GLenum unit) {
    Record("glActiveTexture", {double(unit)});
    fake::gl.activeTexture = unit;
}
void FAKE_GLCALL FakeClientActiveTexture(GLenum unit) {
    Record("glClientActiveTexture", {double(unit)});
    fake::gl.clientActiveTexture = unit;
}
}  // namespace

namespace fake {
const void* ArrayData(const GLMatrices::Pointer& p) {
    if (p.buffer == 0) return p.pointer;
    return bufferStore[GLuint(p.buffer)].data() + reinterpret_cast<std::uintptr_t>(p.pointer);
}

void* GLProc(const std::string& name) {
    if (name == "glActiveTexture" || name == "glActiveTextureARB")
        return reinterpret_cast<void*>(&FakeActiveTexture);
    if (name == "glClientActiveTexture" || name == "glClientActiveTextureARB")
        return reinterpret_cast<void*>(&FakeClientActiveTexture);
    if (name == "glBindBuffer" || name == "glBindBufferARB")
        return reinterpret_cast<void*>(&FakeBindBuffer);
    if (name == "glGenBuffers" || name == "glGenBuffersARB")
        return reinterpret_cast<void*>(&FakeGenBuffers);
    if (name == "glBufferData" || name == "glBufferDataARB")
        return reinterpret_cast<void*>(&FakeBufferData);
    if (name == "glBindFramebuffer" || name == "glBindFramebufferEXT")
        return reinterpret_cast<void*>(&FakeBindFramebuffer);
    return nullptr;
}
}  // namespace fake

extern "C" {

void GLAPIENTRY glEnable(GLenum cap) {
    Record("glEnable", {double(cap)});
    SetFlag(cap, true);
}
void GLAPIENTRY glDisable(GLenum cap) {
    Record("glDisable", {double(cap)});
    SetFlag(cap, false);
}
void GLAPIENTRY glCullFace(GLenum mode) { Record("glCullFace", {double(mode)}); }
void GLAPIENTRY glEnableClientState(GLenum cap) {
    Record("glEnableClientState", {double(cap)});
    SetFlag(cap, true);
}
void GLAPIENTRY glDisableClientState(GLenum cap) {
    Record("glDisableClientState", {double(cap)});
    SetFlag(cap, false);
}
GLboolean GLAPIENTRY glIsEnabled(GLenum cap) {
    Record("glIsEnabled", {double(cap)});
    return fake::Enabled(cap) ? GL_TRUE : GL_FALSE;
}
void GLAPIENTRY glGetBooleanv(GLenum pname, GLboolean* params) {
    Record("glGetBooleanv", {double(pname)});
    if (!fake::script.noContext) *params = fake::Enabled(pname) ? GL_TRUE : GL_FALSE;
}
void GLAPIENTRY glBlendFunc(GLenum src, GLenum dst) {
    Record("glBlendFunc", {double(src), double(dst)});
    fake::gl.blendSrc = int(src);
    fake::gl.blendDst = int(dst);
}
void GLAPIENTRY glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Record("glColor4f", {r, g, b, a});
    fake::gl.color = {r, g, b, a};
}
void GLAPIENTRY glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
    Record("glColor4ub", {double(r), double(g), double(b), double(a)});
    fake::gl.color = {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
}
void GLAPIENTRY glTexCoord4f(GLfloat s, GLfloat t, GLfloat r, GLfloat q) {
    Record("glTexCoord4f", {s, t, r, q});
    fake::gl.texcoord = {s, t, r, q};
}
void GLAPIENTRY glGenTextures(GLsizei n, GLuint* names) {
    Record("glGenTextures", {double(n)});
    for (GLsizei i = 0; i < n; ++i) names[i] = fake::gl.nextTexture++;
}
void GLAPIENTRY glDeleteTextures(GLsizei n, const GLuint* names) {
    Record("glDeleteTextures", {double(n), n > 0 ? double(names[0]) : 0.0});
}
void GLAPIENTRY glBindTexture(GLenum target, GLuint name) {
    Record("glBindTexture", {double(target), double(name)});
    fake::gl.boundTexture = int(name);
}
// The unpack state an upload read its pixels with.
void NoteUnpack() {
    fake::pixels.unpackAtUpload.clear();
    for (GLenum p = GL_UNPACK_SWAP_BYTES; p <= GL_UNPACK_ALIGNMENT; ++p)
        fake::pixels.unpackAtUpload[p] = PackValue(p);
    fake::pixels.unpackBufferAtUpload = fake::pixels.unpackBuffer;
}
void GLAPIENTRY glTexImage2D(GLenum target, GLint level, GLint internal, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const GLvoid* pixels) {
    Record("glTexImage2D", {double(target), double(level), double(internal), double(width),
                            double(height), double(border), double(format), double(type),
                            pixels ? double(static_cast<const unsigned char*>(pixels)[0]) : -1.0});
    ReadUpload(width, height, format, type, pixels);
    NoteUnpack();
}
void GLAPIENTRY glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width,
                                GLsizei height, GLenum format, GLenum type, const GLvoid* pixels) {
    Record("glTexSubImage2D", {double(target), double(level), double(x), double(y),
                               double(width), double(height), double(format), double(type),
                               pixels ? 1.0 : 0.0});
    ReadUpload(width, height, format, type, pixels);
    NoteUnpack();
}
void GLAPIENTRY glTexEnvi(GLenum target, GLenum pname, GLint param) {
    Record("glTexEnvi", {double(target), double(pname), double(param)});
    if (pname == GL_TEXTURE_ENV_MODE) fake::gl.texEnvMode = param;
}
void GLAPIENTRY glGetTexEnviv(GLenum target, GLenum pname, GLint* params) {
    Record("glGetTexEnviv", {double(target), double(pname)});
    if (!fake::script.noContext && pname == GL_TEXTURE_ENV_MODE) *params = fake::gl.texEnvMode;
}
void GLAPIENTRY glTexParameteri(GLenum target, GLenum pname, GLint param) {
    Record("glTexParameteri", {double(target), double(pname), double(param)});
}
void GLAPIENTRY glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Record("glVertexPointer", {double(size), double(type), double(stride)});
    fake::gl.vertexArray = {size, int(type), stride, p, fake::gl.arrayBuffer};
}
void GLAPIENTRY glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Record("glTexCoordPointer", {double(size), double(type), double(stride)});
    fake::gl.texcoordArray = {size, int(type), stride, p, fake::gl.arrayBuffer};
}
void GLAPIENTRY glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* p) {
    Record("glColorPointer", {double(size), double(type), double(stride)});
    fake::gl.colorArray = {size, int(type), stride, p, fake::gl.arrayBuffer};
}
void GLAPIENTRY glGetPointerv(GLenum pname, GLvoid** params) {
    Record("glGetPointerv", {double(pname)});
    if (fake::script.noContext) return;
    if (pname == GL_VERTEX_ARRAY_POINTER) *params = const_cast<void*>(fake::gl.vertexArray.pointer);
    if (pname == GL_TEXTURE_COORD_ARRAY_POINTER)
        *params = const_cast<void*>(fake::gl.texcoordArray.pointer);
    if (pname == GL_COLOR_ARRAY_POINTER) *params = const_cast<void*>(fake::gl.colorArray.pointer);
}
// Draws record their vertex count; a test reads the arrays through fake::gl.
void GLAPIENTRY glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    Record("glDrawArrays", {double(mode), double(first), double(count)});
    const fake::GLMatrices::Pointer& p = fake::gl.vertexArray;
    if (fake::recording && fake::Enabled(GL_VERTEX_ARRAY) && (p.pointer || p.buffer)) {
        const fake::GLMatrices::Pointer& c = fake::gl.colorArray;
        const bool colours = fake::Enabled(GL_COLOR_ARRAY) && (c.pointer || c.buffer) &&
                             c.type == GL_UNSIGNED_BYTE;
        const char* vertices = ArrayBase(p);
        const unsigned char* colourBytes = reinterpret_cast<const unsigned char*>(ArrayBase(c));
        fake::Drawn d{mode, {}, {}};
        for (GLint i = first; i < first + count; ++i) {
            const float* v = reinterpret_cast<const float*>(
                vertices + i * (p.stride ? p.stride : p.size * 4));
            d.vertices.push_back({{v[0], v[1], p.size > 2 ? v[2] : 0.0f}});
            std::array<int, 4> rgba;
            for (int k = 0; k < 4; ++k) {
                rgba[std::size_t(k)] =
                    colours ? colourBytes[i * c.stride + k]
                    : std::isnan(fake::gl.color[std::size_t(k)])
                            ? -1
                            : int(fake::gl.color[std::size_t(k)] * 255.0f + 0.5f);
            }
            d.colours.push_back(rgba);
        }
        fake::drawn.push_back(d);
    }
    NoteDrawState();
}
void GLAPIENTRY glDrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid*) {
    Record("glDrawElements", {double(mode), double(count), double(type)});
    NoteDrawState();
}
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
    if (pname >= GL_UNPACK_SWAP_BYTES && pname <= GL_UNPACK_ALIGNMENT) *params = PackValue(pname);
    if (pname == kPixelUnpackBufferBinding) *params = GLint(fake::pixels.unpackBuffer);
    if (pname == kActiveTexture) *params = GLint(fake::gl.activeTexture);
    if (pname == kClientActiveTexture) *params = GLint(fake::gl.clientActiveTexture);
    if (pname == GL_READ_BUFFER) *params = GLint(fake::pixels.readBuffer);
    if (pname == kPixelPackBufferBinding) *params = GLint(fake::pixels.packBuffer);
    if (pname == kReadFramebufferBinding || pname == kFramebufferBindingExt)
        *params = GLint(fake::pixels.readFramebuffer);
    const fake::GLMatrices& g = fake::gl;
    switch (pname) {
    case GL_BLEND_SRC: *params = g.blendSrc; break;
    case GL_BLEND_DST: *params = g.blendDst; break;
    case GL_TEXTURE_BINDING_2D: *params = g.boundTexture; break;
    case GL_MAX_TEXTURE_SIZE: *params = g.maxTextureSize; break;
    case GL_VERTEX_ARRAY_SIZE: *params = g.vertexArray.size; break;
    case GL_VERTEX_ARRAY_TYPE: *params = g.vertexArray.type; break;
    case GL_VERTEX_ARRAY_STRIDE: *params = g.vertexArray.stride; break;
    case GL_TEXTURE_COORD_ARRAY_SIZE: *params = g.texcoordArray.size; break;
    case GL_TEXTURE_COORD_ARRAY_TYPE: *params = g.texcoordArray.type; break;
    case GL_TEXTURE_COORD_ARRAY_STRIDE: *params = g.texcoordArray.stride; break;
    case GL_COLOR_ARRAY_SIZE: *params = g.colorArray.size; break;
    case GL_COLOR_ARRAY_TYPE: *params = g.colorArray.type; break;
    case GL_COLOR_ARRAY_STRIDE: *params = g.colorArray.stride; break;
    case 0x8894: *params = g.arrayBuffer; break;         // GL_ARRAY_BUFFER_BINDING
    case 0x8895: *params = g.elementArrayBuffer; break;  // GL_ELEMENT_ARRAY_BUFFER_BINDING
    case 0x8896: *params = g.vertexArray.buffer; break;  // GL_VERTEX_ARRAY_BUFFER_BINDING
    case 0x8898: *params = g.colorArray.buffer; break;   // GL_COLOR_ARRAY_BUFFER_BINDING
    case 0x889A: *params = g.texcoordArray.buffer; break;  // GL_TEXTURE_COORD_ARRAY_BUFFER_BINDING
    default: break;
    }
}
void GLAPIENTRY glGetFloatv(GLenum pname, GLfloat* params) {
    Record("glGetFloatv", {double(pname)});
    if (fake::script.noContext) return;
    const fake::Matrix* m = nullptr;
    if (pname == GL_PROJECTION_MATRIX) m = &fake::gl.projection.Top();
    if (pname == GL_MODELVIEW_MATRIX) m = &fake::gl.modelview.Top();
    if (pname == GL_TEXTURE_MATRIX) m = &TextureStack().Top();
    if (m) std::copy(m->begin(), m->end(), params);
    if (pname == GL_CURRENT_COLOR) std::copy(fake::gl.color.begin(), fake::gl.color.end(), params);
    if (pname == GL_CURRENT_TEXTURE_COORDS)
        std::copy(fake::gl.texcoord.begin(), fake::gl.texcoord.end(), params);
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
