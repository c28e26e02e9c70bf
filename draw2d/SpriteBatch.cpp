#include "Sprite.h"

#include "core/Report.h"
#include "render/GLState.h"
#include "draw2d/SpriteBatch.h"
#include "draw2d/TextureAccess.h"

#include <GL/gl.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

using qmsprite::Vertex;

// [SECTION] The queue
// Fixed storage: queuing and drawing never allocate. The web's quads are
// indexed with unsigned shorts, so a batch stays within 65536 vertices.
constexpr int kMaxVertices = qmsprite::kMaxQuads * 4;
constexpr int kMaxRuns = 1024;

// Consecutive vertices drawn by one GL call.
struct Run {
    int first, count;
    unsigned texture;  // 0: untextured
    bool lines;
    float width;       // of the lines; 0: GL's current width
    // Whether every vertex of the run has the first one's colour: then the
    // run is drawn in that colour, without the colour array (a software GL
    // keeps its fastest path for a constant colour).
    bool oneColour;
    float colour[4];
    // Untextured and every vertex opaque: blending would give the colour
    // itself, so the run is drawn without it (a software GL's cheaper path).
    bool opaque;
};

struct Queue {
    Vertex vertices[kMaxVertices];
    int used = 0;
    Run runs[kMaxRuns];
    int runCount = 0;
    unsigned generation = 0;  // the context it belongs to
    // The matrices the queued vertices were given under.
    GLfloat projection[16];
    GLfloat modelview[16];
};

Queue queue;

// Desktop GL draws the quads as they are: on a software GL, non-indexed
// quads are the fastest path. WebGL has no quads: two indexed triangles each.
#if defined(__EMSCRIPTEN__) || defined(QM_BATCH_INDEXED)
unsigned short indices[qmsprite::kMaxQuads * 6];
bool indicesReady = false;

void DrawQuads(int first, int count) {
    if (!indicesReady) {
        for (int q = 0; q < qmsprite::kMaxQuads; ++q) {
            const unsigned short v = static_cast<unsigned short>(q * 4);
            unsigned short* i = &indices[q * 6];
            i[0] = v;
            i[1] = static_cast<unsigned short>(v + 1);
            i[2] = static_cast<unsigned short>(v + 2);
            i[3] = v;
            i[4] = static_cast<unsigned short>(v + 2);
            i[5] = static_cast<unsigned short>(v + 3);
        }
        indicesReady = true;
    }
    glDrawElements(GL_TRIANGLES, count / 4 * 6, GL_UNSIGNED_SHORT, &indices[first / 4 * 6]);
}
#else
void DrawQuads(int first, int count) { glDrawArrays(GL_QUADS, first, count); }
#endif

// WebGL draws every line 1 pixel wide; the web build's GL layer widens the
// lines of glBegin/glEnd blocks (and batches them), not those of arrays.
#if defined(__EMSCRIPTEN__)
void DrawLines(const Run& run) {
    glBegin(GL_LINES);
    for (int i = run.first; i < run.first + run.count; ++i) {
        const Vertex& v = queue.vertices[i];
        if (!run.oneColour) glColor4ub(v.rgba[0], v.rgba[1], v.rgba[2], v.rgba[3]);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
}
#else
void DrawLines(const Run& run) { glDrawArrays(GL_LINES, run.first, run.count); }
#endif

void ReadMatrices(GLfloat* projection, GLfloat* modelview) {
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
}

// The queue goes to GL in a buffer object where the context has them, made
// anew at each draw: from client memory, Mesa copies it into upload buffers
// that glibc hands back to the system and faults in again, frame after
// frame, and that cost the drawing thread more than placing the quads.
constexpr GLenum kArrayBuffer = 0x8892;        // GL 1.5 tokens, which Windows'
constexpr GLenum kStreamDraw = 0x88E0;         // GL 1.1 header lacks
struct StreamBuffer {
    GLuint name = 0;
    unsigned generation = 0;
};
StreamBuffer stream;

// Binds the stream buffer holding the queue; false (nothing bound) where the
// context has no buffer objects.
bool Stream() {
    const qmgl::BufferCalls* calls = qmgl::BufferObjects();
    if (!calls) return false;
    if (stream.name == 0 || stream.generation != qmgl::Generation()) {
        stream.name = 0;  // a name of an older context died with it
        calls->gen(1, &stream.name);
        stream.generation = qmgl::Generation();
        if (stream.name == 0) return false;
    }
    calls->bind(kArrayBuffer, stream.name);
    calls->data(kArrayBuffer, std::ptrdiff_t(sizeof(Vertex)) * queue.used, queue.vertices,
                kStreamDraw);
    return true;
}

// Where a vertex field of the queue is for GL: an offset into the stream
// buffer, or the queue's own memory.
const GLvoid* VertexField(bool streamed, std::size_t offset) {
    if (streamed) return reinterpret_cast<const GLvoid*>(static_cast<std::uintptr_t>(offset));
    return reinterpret_cast<const unsigned char*>(queue.vertices) + offset;
}

void DrawRuns() {
    // Unit 0 with an identity texture matrix, whatever units and matrix a
    // multitexturing game left (made first, so the state guard saves and
    // sets unit 0's state, and undone last).
    qmgl::TextureUnitGuard unit;
    // The guard leaves texturing on, the texture environment GL_MODULATE and
    // the texcoord and colour arrays on; each run changes only what differs.
    qmgl::StateGuard guard(true);
    const GLsizei stride = sizeof(Vertex);
    const bool streamed = Stream();
    glVertexPointer(3, GL_FLOAT, stride, VertexField(streamed, offsetof(Vertex, x)));
    glTexCoordPointer(2, GL_FLOAT, stride, VertexField(streamed, offsetof(Vertex, s)));
    glColorPointer(4, GL_UNSIGNED_BYTE, stride, VertexField(streamed, offsetof(Vertex, rgba)));
    bool textured = true, colourArray = true, blending = true;
    GLint env = GL_MODULATE;
    unsigned bound = 0;
    bool anyBound = false;
    for (int r = 0; r < queue.runCount; ++r) {
        const Run& run = queue.runs[r];
        const bool texturedRun = run.texture != 0;
        if (texturedRun != textured) {
            textured = texturedRun;
            qmgl::SetCap(GL_TEXTURE_2D, textured);
            qmgl::SetClientState(GL_TEXTURE_COORD_ARRAY, textured);
        }
        if (texturedRun && (!anyBound || bound != run.texture)) {
            glBindTexture(GL_TEXTURE_2D, run.texture);
            bound = run.texture;
            anyBound = true;
        }
        if (run.opaque == blending) {
            blending = !run.opaque;
            qmgl::SetCap(GL_BLEND, blending);
        }
        if (run.oneColour == colourArray) {
            colourArray = !run.oneColour;
            qmgl::SetClientState(GL_COLOR_ARRAY, colourArray);
        }
        if (run.oneColour) glColor4f(run.colour[0], run.colour[1], run.colour[2], run.colour[3]);
        if (texturedRun) {
            // Texels times opaque white are the texels: drawn as they are, a
            // software GL spends about a quarter fewer instructions on each
            // pixel.
            const bool white = run.oneColour && run.colour[0] == 1.0f && run.colour[1] == 1.0f &&
                               run.colour[2] == 1.0f && run.colour[3] == 1.0f;
            const GLint wanted = white ? GL_REPLACE : GL_MODULATE;
            if (wanted != env) glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, env = wanted);
        }
        if (run.lines) {
            if (run.width > 0.0f) glLineWidth(run.width);
            DrawLines(run);
        } else {
            DrawQuads(run.first, run.count);
        }
    }
    // The guard gives the game's arrays back from no buffer bound.
    if (streamed) qmgl::BufferObjects()->bind(kArrayBuffer, 0);
}

void Draw() {
    // A game that changed the matrices without FlushSprites: the queue is
    // drawn under the matrices it was queued with, and the game is told.
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
        if (queue.used == 0 || queue.generation != qmgl::Generation() || !qmgl::ContextCurrent())
            return;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadMatrixf(queue.projection);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadMatrixf(queue.modelview);
    }
    DrawRuns();
    if (moved) {
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        glMatrixMode(GLenum(mode));
    }
}

unsigned char Channel(float v) {
    const float clamped = v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;  // NaN: 0
    return static_cast<unsigned char>(clamped * 255.0f + 0.5f);
}

// Room for `count` vertices in a run of this kind, after what is queued.
Vertex* Reserve(int count, unsigned texture, bool lines, float width, const float rgba[4]) {
    const unsigned generation = qmgl::Generation();
    if (queue.used > 0 && queue.generation != generation) qmsprite::Flush();
    Run* run = queue.runCount > 0 ? &queue.runs[queue.runCount - 1] : nullptr;
    const bool joins = run && run->texture == texture && run->lines == lines &&
                       (!lines || run->width == width);
    if (queue.used + count > kMaxVertices || (!joins && queue.runCount == kMaxRuns)) {
        qmsprite::Flush();
        run = nullptr;
    }
    // A queue already started belongs to an open window (Flush checks again
    // before any GL call); a new one needs one.
    if (queue.used == 0) {
        if (!qmgl::ContextCurrent()) return nullptr;
        queue.runCount = 0;
        queue.generation = generation;
        ReadMatrices(queue.projection, queue.modelview);
        run = nullptr;
    }
    if (!run || !joins) {
        run = &queue.runs[queue.runCount++];
        run->first = queue.used;
        run->count = 0;
        run->texture = texture;
        run->lines = lines;
        run->width = width;
        run->oneColour = true;
        std::memcpy(run->colour, rgba, sizeof run->colour);
    } else if (run->oneColour && std::memcmp(run->colour, rgba, sizeof run->colour) != 0) {
        run->oneColour = false;
    }
    const unsigned char bytes[4] = {Channel(rgba[0]), Channel(rgba[1]), Channel(rgba[2]),
                                    Channel(rgba[3])};
    run->opaque = (run->count == 0 || run->opaque) && texture == 0 && bytes[3] == 255;
    Vertex* v = &queue.vertices[queue.used];
    for (int i = 0; i < count; ++i) std::memcpy(v[i].rgba, bytes, 4);
    run->count += count;
    queue.used += count;
    return v;
}

// [SECTION] Placement

bool Finite(float v) { return std::isfinite(v); }

// A quad's corners counter-clockwise from the lower-left: width x height
// turned by (sine s, cosine c) about the origin (ox, oy) from its lower-left
// corner, placed at (px, py). False when one is not finite.
bool Corners(double px, double py, double width, double height, double ox, double oy, double s,
             double c, float x[4], float y[4]) {
    const double cx[4] = {-ox, width - ox, width - ox, -ox};
    const double cy[4] = {-oy, -oy, height - oy, height - oy};
    bool finite = true;
    for (int i = 0; i < 4; ++i) {
        x[i] = float(px + cx[i] * c - cy[i] * s);
        y[i] = float(py + cx[i] * s + cy[i] * c);
        finite = finite && Finite(x[i]) && Finite(y[i]);
    }
    return finite;
}

// Queues a quad of GL texture `name` with these corners and texcoords.
void QueueQuad(unsigned name, const float tint[4], const float x[4], const float y[4],
               const float s4[4], const float t4[4]) {
    Vertex* v = qmsprite::Quads(name, 1, tint);
    if (!v) return;
    for (int i = 0; i < 4; ++i) {
        v[i].x = x[i];
        v[i].y = y[i];
        v[i].z = qmsprite::kDepth;
        v[i].s = s4[i];
        v[i].t = t4[i];
    }
}

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
    qmsprite::SinCos(double(sprite.rotation), &s, &c);

    // The origin is the pixel origin plus the pivot's share of the drawn size.
    const double ox = double(sprite.origin.x) + double(sprite.pivot.x) * width;
    const double oy = double(sprite.origin.y) + double(sprite.pivot.y) * height;
    float x[4], y[4];
    const bool finite = Corners(double(sprite.position.x), double(sprite.position.y), width, height,
                                ox, oy, s, c, x, y);
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

    // The tint as GL would hold it in bytes, so that a run of one tint draws
    // exactly what the colour array would.
    const float tint[4] = {Channel(sprite.tint.r) / 255.0f, Channel(sprite.tint.g) / 255.0f,
                           Channel(sprite.tint.b) / 255.0f, Channel(sprite.tint.a) / 255.0f};
    QueueQuad(name, tint, x, y, s4, t4);
}

void DrawSprite(const Texture& texture, Vector2D position) {
    // The common call, without the general path's turn, scale, source and
    // flips: the same corners and texture coordinates, in a fraction of the
    // time. Whatever is reported goes through the general path.
    Sprite sprite;
    sprite.texture = &texture;
    sprite.position = position;
    if (!texture.IsLoaded()) return DrawSprite(sprite);
    const unsigned name = qmdetail::TextureAccess::Prepare(texture);
    if (name == 0) return;
    // The general placement with no turn (sine 0, cosine 1) and the origin at
    // the lower-left corner: the same roundings.
    float x[4], y[4];
    if (!Corners(double(position.x), double(position.y), double(texture.GetWidth()),
                 double(texture.GetHeight()), 0.0, 0.0, 0.0, 1.0, x, y))
        return DrawSprite(sprite);
    static const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    static const float s4[4] = {0.0f, 1.0f, 1.0f, 0.0f}, t4[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    QueueQuad(name, white, x, y, s4, t4);
}

void FlushSprites() { qmsprite::Flush(); }

namespace qmsprite {

void SinCos(double degrees, double* s, double* c) {
    // The last turn's answer is kept: a game draws many things at one turn.
    static double lastDegrees = 0.0, lastS = 0.0, lastC = 1.0;
    if (degrees == lastDegrees) {
        *s = lastS, *c = lastC;
        return;
    }
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
    lastDegrees = degrees, lastS = *s, lastC = *c;
}

Vertex* Quads(unsigned texture, int quads, const float rgba[4]) {
    if (quads < 1 || quads > kMaxQuads) return nullptr;
    return Reserve(quads * 4, texture, false, 0.0f, rgba);
}

Vertex* Lines(float width, int segments, const float rgba[4]) {
    if (segments < 1 || segments > kMaxVertices / 2) return nullptr;
    return Reserve(segments * 2, 0, true, width > 0.0f ? width : 0.0f, rgba);
}

void Flush() {
    if (queue.used == 0) return;
    // Never a GL call for a context that is gone.
    if (queue.generation == qmgl::Generation() && qmgl::ContextCurrent()) Draw();
    queue.used = 0;
    queue.runCount = 0;
}

void FlushIfUsing(unsigned glName) {
    for (int r = 0; r < queue.runCount; ++r) {
        if (queue.runs[r].texture == glName) {
            Flush();
            return;
        }
    }
}

void Discard() {
    queue.used = 0;
    queue.runCount = 0;
}

}  // namespace qmsprite
