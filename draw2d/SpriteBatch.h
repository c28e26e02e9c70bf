// The 2D batch: sprites, filled shapes and the stroke font's text queue their
// vertices here and go to GL together, in the order they were queued, as
// Sprite.h's batching rule says. Consecutive quads of one texture (or of
// none) are one GL draw; consecutive lines of one width another.
#ifndef QUILLMAR_DRAW2D_SPRITEBATCH_H
#define QUILLMAR_DRAW2D_SPRITEBATCH_H

namespace qmsprite {

// One queued vertex: position at the 2D layer's depth, texcoord and colour.
struct Vertex {
    float x, y, z;
    float s, t;
    unsigned char rgba[4];
};

constexpr float kDepth = -4.0f;  // the 2D layer's depth, as the lines
// The most quads one Quads call may ask for (the batch's room).
constexpr int kMaxQuads = 8192;

// Room for `quads` quads (4 vertices each, counter-clockwise from the
// lower-left; a triangle repeats its last vertex) drawn with GL texture
// `texture` (0: untextured) in colour `rgba` (0..1, texels multiplied by it),
// queued after everything before. The caller writes positions (z included)
// and texcoords; the colours are written here. Null when no window is open or
// quads is outside 1..kMaxQuads.
Vertex* Quads(unsigned texture, int quads, const float rgba[4]);
// Room for `segments` untextured line segments (2 vertices each) of the given
// width in pixels (0 or less: the width GL has) in colour rgba. Null as Quads.
Vertex* Lines(float width, int segments, const float rgba[4]);

// Sine and cosine of a turn in degrees, exact at the quarter turns so that
// 90 and 180 put texels and corners exactly where they belong.
void SinCos(double degrees, double* s, double* c);

// Draws the queue (FlushSprites); every non-batched drawing call of the
// library calls it first.
void Flush();
// Flush, if the queue draws with this GL texture name (it is about to change
// or go).
void FlushIfUsing(unsigned glName);
// Forgets the queue without drawing (the window is closing).
void Discard();

}  // namespace qmsprite

#endif
