#include "render/GLState.h"

#include "glfw2.h"

#ifndef GL_SECONDARY_COLOR_ARRAY
#define GL_SECONDARY_COLOR_ARRAY 0x845E
#endif

namespace qmgl {

namespace {
unsigned generation = 0;

const GLenum kCaps[5] = {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE, GL_LIGHTING};
// Open enables the normal and secondary colour arrays without pointers: left
// on, a draw would read them from address 0.
const GLenum kClientStates[5] = {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY,
                                 GL_NORMAL_ARRAY, GL_SECONDARY_COLOR_ARRAY};

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
}  // namespace

bool ContextCurrent() { return glfw2::glfwGetWindowParam(glfw2::GLFW_OPENED) > 0; }
unsigned Generation() { return generation; }
void NoteContextOpened() { ++generation; }

// An array's layout as GL has it now; GL's defaults where it answers nothing.
StateGuard::Array StateGuard::ReadArray(GLenum size, GLenum type, GLenum stride, GLenum pointer) {
    Array a{4, GL_FLOAT, 0, nullptr};
    glGetIntegerv(size, &a.size);
    glGetIntegerv(type, &a.type);
    glGetIntegerv(stride, &a.stride);
    glGetPointerv(pointer, &a.pointer);
    return a;
}

StateGuard::StateGuard(bool textured) : textured_(textured) {
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
                        GL_VERTEX_ARRAY_POINTER);

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
                              GL_TEXTURE_COORD_ARRAY_STRIDE, GL_TEXTURE_COORD_ARRAY_POINTER);
        color_ = ReadArray(GL_COLOR_ARRAY_SIZE, GL_COLOR_ARRAY_TYPE, GL_COLOR_ARRAY_STRIDE,
                           GL_COLOR_ARRAY_POINTER);
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
    glVertexPointer(vertex_.size, GLenum(vertex_.type), vertex_.stride, vertex_.pointer);
    if (textured_) {
        glTexCoordPointer(texcoord_.size, GLenum(texcoord_.type), texcoord_.stride,
                          texcoord_.pointer);
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
}

}  // namespace qmgl
