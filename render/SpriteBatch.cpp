#include "Sprite.h"

#include "core/Report.h"
#include "render/GLState.h"
#include "render/SpriteBatch.h"
#include "render/TextureAccess.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <utility>

namespace {

// [SECTION] The queue
// Fixed storage: queuing and drawing never allocate. Quads are indexed with
// unsigned shorts (4 vertices each), so a batch stays under 65536 vertices.
constexpr int kMaxQuads = 4096;
constexpr float kDepth = -4.0f;  // the 2D layer's depth, as the lines

struct Vertex {
    float x, y, z;
    float s, t;
    unsigned char rgba[4];
};

struct Queue {
    Vertex vertices[kMaxQuads * 4];
    unsigned short indices[kMaxQuads * 6];
    bool indicesReady = false;
    int quads = 0;
    unsigned texture = 0;     // GL name of the queued sprites' texture
    unsigned generation = 0;  // the context it belongs to
    // Whether every queued quad has the first one's tint: then the batch is
    // drawn in that one colour, without the colour array (a software GL
    // keeps its fastest path for a constant colour).
    bool oneTint = true;
    unsigned char tint[4];
    // The matrices the queued sprites were given under.
    GLfloat projection[16];
    GLfloat modelview[16];
};

Queue queue;

void FillIndices() {
    for (int q = 0; q < kMaxQuads; ++q) {
        const unsigned short v = static_cast<unsigned short>(q * 4);
        unsigned short* i = &queue.indices[q * 6];
        i[0] = v;
        i[1] = static_cast<unsigned short>(v + 1);
        i[2] = static_cast<unsigned short>(v + 2);
        i[3] = v;
        i[4] = static_cast<unsigned short>(v + 2);
        i[5] = static_cast<unsigned short>(v + 3);
    }
    queue.indicesReady = true;
}

void ReadMatrices(GLfloat* projection, GLfloat* modelview) {
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
}

void Draw() {
    // A game that changed the matrices without FlushSprites: the sprites are
    // drawn under the matrices they were queued with, and the game is told.
    GLfloat projection[16], modelview[16];
    ReadMatrices(projection, modelview);
    const bool moved = std::memcmp(projection, queue.projection, sizeof projection) != 0 ||
                       std::memcmp(modelview, queue.modelview, sizeof modelview) != 0;
    GLint mode = GL_MODELVIEW;
    if (moved) {
        // Told before any state is set: the game's callback may destroy or
        // reload the queued texture (which flushes the queue, from inside
        // this report, while the texture lives) or close the window. Then
        // there is nothing left to draw here, and its deleted name must not
        // be bound again (that would make a new texture of it).
        qmdiag::Report(Diagnostic::SpritesFlushedLate);
        if (queue.quads == 0 || queue.generation != qmgl::Generation() || !qmgl::ContextCurrent())
            return;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadMatrixf(queue.projection);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadMatrixf(queue.modelview);
    }
    {
        // Unit 0 with an identity texture matrix, whatever units and matrix a
        // multitexturing game left (made first, so the state guard saves and
        // sets unit 0's state, and undone last).
        qmgl::TextureUnitGuard unit;
        qmgl::StateGuard guard(true);
        glBindTexture(GL_TEXTURE_2D, queue.texture);
        const GLsizei stride = sizeof(Vertex);
        glVertexPointer(3, GL_FLOAT, stride, &queue.vertices[0].x);
        glTexCoordPointer(2, GL_FLOAT, stride, &queue.vertices[0].s);
        if (queue.oneTint) {
            glDisableClientState(GL_COLOR_ARRAY);
            glColor4ub(queue.tint[0], queue.tint[1], queue.tint[2], queue.tint[3]);
            // Texels times opaque white are the texels: drawn as they are,
            // a software GL spends about a quarter fewer instructions on
            // each pixel.
            if ((queue.tint[0] & queue.tint[1] & queue.tint[2] & queue.tint[3]) == 255)
                glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        } else {
            glColorPointer(4, GL_UNSIGNED_BYTE, stride, queue.vertices[0].rgba);
        }
        glDrawElements(GL_TRIANGLES, queue.quads * 6, GL_UNSIGNED_SHORT, queue.indices);
    }
    if (moved) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GLenum(mode));
    }
}

// [SECTION] Placement

// Sine and cosine of a turn in degrees, exact at the quarter turns so that
// 90 and 180 put texels exactly where they belong.
void SinCos(double degrees, double* s, double* c) {
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0.0) turn += 360.0;
    if (turn == 0.0) {
        *s = 0.0, *c = 1.0;
    } else if (turn == 90.0) {
        *s = 1.0, *c = 0.0;
    } else if (turn == 180.0) {
        *s = 0.0, *c = -1.0;
    } else if (turn == 270.0) {
        *s = -1.0, *c = 0.0;
    } else {
        const double radians = turn * 3.14159265358979323846 / 180.0;
        *s = std::sin(radians);
        *c = std::cos(radians);
    }
}

unsigned char Channel(float v) {
    const float clamped = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;  // NaN: 0
    return static_cast<unsigned char>(clamped * 255.0f + 0.5f);
}

bool Finite(float v) { return std::isfinite(v); }

}  // namespace

// [SECTION] Public calls

void DrawSprite(const Sprite& sprite) {
    const Texture* texture = sprite.texture;
    if (!texture || !texture->IsLoaded()) {
        qmdiag::Report(Diagnostic::SpriteIgnored, 0, 0, "the texture holds no image");
        return;
    }
    const unsigned name = qmdetail::TextureAccess::Prepare(*texture);
    if (name == 0) return;  // no window, or the GL cannot hold it (reported)

    const int texWidth = texture->GetWidth(), texHeight = texture->GetHeight();
    TextureRect src = sprite.source;
    if (src.width == 0 || src.height == 0) src = TextureRect{0, 0, texWidth, texHeight};
    // Beyond the image, a texture that is not repeated has only its edge
    // texels smeared over the sprite: a source reaching there is a game's
    // bug (often garbage values, a quad as wide as the window or far more),
    // reported and not drawn. A repeated texture tiles (summed in double: a
    // source may reach beyond int).
    if (!texture->IsRepeated()) {
        const double x0 = src.x, x1 = double(src.x) + double(src.width);
        const double y0 = src.y, y1 = double(src.y) + double(src.height);
        if ((x0 < x1 ? x0 : x1) < 0.0 || (x0 < x1 ? x1 : x0) > texWidth ||
            (y0 < y1 ? y0 : y1) < 0.0 || (y0 < y1 ? y1 : y0) > texHeight) {
            qmdiag::Report(Diagnostic::SpriteIgnored, src.x, src.y,
                           "its source rectangle reaches outside a texture that is not repeated");
            return;
        }
    }
    double width = double(src.width), height = double(src.height);
    if (sprite.size.x != 0.0f || sprite.size.y != 0.0f) {
        width = sprite.size.x;
        height = sprite.size.y;
    }
    width *= double(sprite.scale.x);
    height *= double(sprite.scale.y);
    double s, c;
    SinCos(double(sprite.rotation), &s, &c);

    // Corners counter-clockwise from the lower-left, relative to the origin
    // (the pixel origin plus the pivot's share of the drawn size).
    const double ox = double(sprite.origin.x) + double(sprite.pivot.x) * width;
    const double oy = double(sprite.origin.y) + double(sprite.pivot.y) * height;
    const double cx[4] = {-ox, width - ox, width - ox, -ox};
    const double cy[4] = {-oy, -oy, height - oy, height - oy};
    float x[4], y[4];
    bool finite = true;
    for (int i = 0; i < 4; ++i) {
        x[i] = float(double(sprite.position.x) + cx[i] * c - cy[i] * s);
        y[i] = float(double(sprite.position.y) + cx[i] * s + cy[i] * c);
        finite = finite && Finite(x[i]) && Finite(y[i]);
    }
    if (!finite) {
        qmdiag::Report(Diagnostic::SpriteIgnored, 0, 0,
                       "its position, size, scale, origin or rotation is not finite");
        return;
    }

    // Texture rows go top row first (t = 0 at the image's top), the 2D layer
    // has y up: the sprite's top edge takes the source's top row. The far
    // edges are summed in double: a source may reach beyond int.
    float left = float(double(src.x) / texWidth);
    float right = float((double(src.x) + double(src.width)) / texWidth);
    float top = float(double(src.y) / texHeight);
    float bottom = float((double(src.y) + double(src.height)) / texHeight);
    if (sprite.flipX) std::swap(left, right);
    if (sprite.flipY) std::swap(top, bottom);
    const float s4[4] = {left, right, right, left};
    const float t4[4] = {bottom, bottom, top, top};

    const unsigned generation = qmgl::Generation();
    if (queue.quads > 0 && (queue.texture != name || queue.generation != generation))
        qmsprite::Flush();
    if (queue.quads == kMaxQuads) qmsprite::Flush();
    if (queue.quads == 0) {
        if (!queue.indicesReady) FillIndices();
        queue.texture = name;
        queue.generation = generation;
        ReadMatrices(queue.projection, queue.modelview);
    }
    const unsigned char rgba[4] = {Channel(sprite.tint.r), Channel(sprite.tint.g),
                                   Channel(sprite.tint.b), Channel(sprite.tint.a)};
    if (queue.quads == 0) {
        queue.oneTint = true;
        std::memcpy(queue.tint, rgba, 4);
    } else if (queue.oneTint && std::memcmp(queue.tint, rgba, 4) != 0) {
        queue.oneTint = false;
    }
    Vertex* v = &queue.vertices[queue.quads * 4];
    for (int i = 0; i < 4; ++i) {
        v[i].x = x[i];
        v[i].y = y[i];
        v[i].z = kDepth;
        v[i].s = s4[i];
        v[i].t = t4[i];
        std::memcpy(v[i].rgba, rgba, 4);
    }
    ++queue.quads;
}

void DrawSprite(const Texture& texture, Vector2D position) {
    Sprite sprite;
    sprite.texture = &texture;
    sprite.position = position;
    DrawSprite(sprite);
}

void FlushSprites() { qmsprite::Flush(); }

namespace qmsprite {

void Flush() {
    if (queue.quads == 0) return;
    // Never a GL call for a context that is gone.
    if (queue.generation == qmgl::Generation() && qmgl::ContextCurrent()) Draw();
    queue.quads = 0;
}

void FlushIfUsing(unsigned glName) {
    if (queue.quads > 0 && queue.texture == glName) Flush();
}

void Discard() { queue.quads = 0; }

}  // namespace qmsprite
