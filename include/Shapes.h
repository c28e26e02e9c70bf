// Filled shapes and the drawing colour, on the 2D layer (after Render2D), in
// window pixels, origin bottom-left, at depth -4 like the lines.
//
// Shapes are queued with the sprites (Sprite.h's batching rule: call
// FlushSprites before your own GL), untextured, in the colour current at the
// call with its alpha blended over what is there, without depth test or face
// culling: points in either winding fill. They leave the GL state as they
// found it. Nothing is drawn without an open window.
#ifndef QUILLMAR_SHAPES_H
#define QUILLMAR_SHAPES_H

#include "Color4f.h"
#include "QuillmarExport.h"
#include "Vector2D.h"

// The colour of lines, circles, text and shapes (GL's current colour; no GL
// header needed). Components 0..1; a colour with any component outside 0..1
// or NaN is ignored (the current colour stays; reported to Diagnostics).
QM_API void SetColor(float r, float g, float b, float a = 1.0f);
QM_API void SetColor(Color4f color);

// A size.x by size.y rectangle whose point `origin` (pixels from its
// lower-left corner) sits at position, turned `degrees` counter-clockwise
// about that point. Negative sides extend left or down.
QM_API void FillRect(Vector2D position, Vector2D size, float degrees = 0.0f,
                     Vector2D origin = Vector2D());
// Enough segments that the edge strays less than a quarter pixel from the
// true circle (8 at least, 1024 at most). A radius of 0 or less draws nothing.
QM_API void FillCircle(Vector2D center, float radius);
QM_API void FillTriangle(Vector2D a, Vector2D b, Vector2D c);
// A convex polygon of count points in either order (a fan from points[0]).
// Fewer than 3 points, or null, draws nothing (reported to Diagnostics).
QM_API void FillPolygon(const Vector2D* points, int count);

// The same shapes in a colour of their own, leaving the current colour as it
// is: the quickest way to draw many shapes of many colours (no colour is set
// or read in GL). A colour with a component outside 0..1 or NaN draws
// nothing (ColorIgnored).
QM_API void FillRect(Vector2D position, Vector2D size, Color4f color, float degrees = 0.0f,
                     Vector2D origin = Vector2D());
QM_API void FillCircle(Vector2D center, float radius, Color4f color);
QM_API void FillTriangle(Vector2D a, Vector2D b, Vector2D c, Color4f color);
QM_API void FillPolygon(const Vector2D* points, int count, Color4f color);

#endif
