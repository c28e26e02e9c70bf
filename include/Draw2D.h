// Immediate drawing on the 2D layer (after Render2D): window pixels, origin
// bottom-left, at depth -4, in the current colour. The line width (pixels)
// stays set after the call; a width of 0 or less, or NaN, keeps the current
// width (no GL error) and the shape is still drawn.
#ifndef QUILLMAR_DRAW2D_H
#define QUILLMAR_DRAW2D_H

#include "QuillmarExport.h"
#include "Vector2D.h"

QM_API void DrawLine(Vector2D start, Vector2D end, float width);
// A closed outline of 24 vertices, counter-clockwise from (center.x + radius, center.y).
QM_API void DrawCircle(Vector2D center, float radius, float width);

#endif
