// Sprites: textures (Texture.h) drawn on the 2D layer (after Render2D), in
// window pixels, origin bottom-left, y up, as DrawLine.
//
// THE BATCHING RULE. DrawSprite queues its quad, and so do the Shapes.h
// fills and DrawString, in the order of the calls; consecutive sprites of one
// texture go to GL together. The queue is drawn when it is full, by
// FlushSprites, and by every other drawing call of the library (DrawLine,
// DrawCircle, Render2D, Render3D, BeginFrame, EndFrame, SaveScreenshot), so
// the library's own calls keep their order. Your own GL is not seen: call
// FlushSprites() before any GL call of your own (drawing, matrices, states,
// reading pixels) that comes after sprites in a frame, or those sprites are
// drawn later, under your state. A matrix changed behind the queue's back is
// reported (SpritesFlushedLate).
//
// Orientation: the source rectangle is in texels from the image's top-left
// corner, x right and y down, as image editors show it. Drawn unflipped and
// unrotated, the image stands upright: its top-left texel at the sprite's
// top-left corner (largest y, smallest x). flipX mirrors left-right, flipY
// top-bottom.
//
// Source rectangles: on a texture that is not repeated the rectangle must lie
// within the image (a negative width or height mirrors it, and must stay
// within too); one reaching outside is reported (SpriteIgnored) and the
// sprite is not drawn, rather than smearing the edge texels over it. On a
// repeated texture (Texture::SetRepeated) the rectangle may reach anywhere:
// the image tiles, so a source 3 images wide draws it 3 times side by side.
//
// Sprites are drawn textured and tinted (whatever texture environment the
// game set), alpha blended (source alpha over), without depth test or face
// culling (later sprites cover earlier ones, whatever the winding), at depth
// -4 like the lines, from the library's own memory (buffer objects the game
// left bound are set aside), on texture unit 0 with an identity texture
// matrix (whatever unit or matrix a multitexturing game left), and leave the
// GL state as found.
#ifndef QUILLMAR_SPRITE_H
#define QUILLMAR_SPRITE_H

#include "Color4f.h"
#include "QuillmarExport.h"
#include "Texture.h"
#include "Vector2D.h"

// A rectangle of a texture, in texels from the image's top-left corner, y down.
struct TextureRect {
    int x;
    int y;
    int width;
    int height;
};

// A light view of a texture: the texture must outlive the sprite's draws
// (until the next flush). Plain fields; set what you need.
struct Sprite {
    const Texture* texture = nullptr;
    // The part drawn; a width or height of 0 means the whole texture. Within
    // the image unless the texture is repeated (see above).
    TextureRect source = {0, 0, 0, 0};
    // Where `origin` lands: window pixels, origin bottom-left.
    Vector2D position;
    // Size before scale, in pixels; (0, 0) means the source's size in texels.
    Vector2D size;
    Vector2D scale{1.0f, 1.0f};
    // The point of the drawn sprite (after size and scale) that sits at
    // `position` and that rotation turns about: pixels from its lower-left
    // corner. (0, 0): the lower-left corner. It scales with the sprite
    // (`pivot`, at the end, does not).
    Vector2D origin;
    float rotation = 0.0f;  // degrees, counter-clockwise
    // Multiplies the texels; alpha below 1 makes the sprite translucent.
    Color4f tint = {1.0f, 1.0f, 1.0f, 1.0f};
    bool flipX = false;
    bool flipY = false;
    // The same point as a fraction of the drawn sprite, so it stays put
    // whatever the scale: (0.5, 0.5) is the centre, (1, 1) the upper-right
    // corner. Added to `origin`: the point is origin + pivot * drawn size.
    Vector2D pivot;
};

// Queues the sprite. A missing or empty texture, a non-finite position,
// size, scale, origin, pivot or rotation, or a source outside a texture that
// is not repeated, draws nothing (reported to Diagnostics).
// Nothing is drawn without an open window.
QM_API void DrawSprite(const Sprite& sprite);
// The whole texture at its size in pixels, lower-left corner at position.
QM_API void DrawSprite(const Texture& texture, Vector2D position);
// Draws the queued sprites, shapes and text now. Call it before your own GL
// calls.
QM_API void FlushSprites();

#endif
