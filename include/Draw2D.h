// Immediate drawing on the 2D layer (after Render2D): lines, circles and
// text in window pixels, origin bottom-left, at depth -4, in the current
// colour. The line width (pixels) stays set after the call; a width of 0 or
// less, or NaN, keeps the current width (no GL error) and the shape is still
// drawn.
#ifndef QUILLMAR_DRAW2D_H
#define QUILLMAR_DRAW2D_H

#include "QuillmarExport.h"
#include "Vector2D.h"

QM_API void DrawLine(Vector2D start, Vector2D end, float width);
// A closed outline of 24 vertices, counter-clockwise from (center.x + radius, center.y).
QM_API void DrawCircle(Vector2D center, float radius, float width);

// [SECTION] Text
// Drawn with the library's built-in stroke font: no font files, no allocation.
//
// The font covers printable ASCII (32..126) on a grid 4 units wide and 6
// high, one character every 6 units (a 2-unit gap). A character's height is
// its cap height: `height` pixels is 6 grid units. Lower-case letters are
// drawn as small capitals, two thirds of that height, so "Score" and "SCORE"
// differ.
//
// A newline starts a new line 10 grid units (5/3 of the height) below the
// previous one, back at the first line's left edge. A UTF-8 character outside
// ASCII takes one character's room and draws as a replacement glyph (a diamond
// with a bar), as does each byte that begins no well-formed UTF-8 sequence.
// Other bytes outside 32..126 take a character's room and draw nothing.

// Draws text with the lower-left corner of its first character at position
// (window pixels, origin bottom-left); further lines go below it. height: pixels, finite and above 0.
// lineWidth: pixels, as for DrawLine (0 or less, or NaN, keeps the current
// width); it stays set once the text is drawn. A null
// text or a bad height draws nothing (and is reported to Diagnostics).
// The strokes are queued with the sprites and shapes (Sprite.h's batching
// rule) in the colour current at the call, and drawn like them: without
// depth test, culling or texturing, blended by alpha, the GL state kept.
// Nothing is drawn without an open window.
QM_API void DrawString(const char* text, Vector2D position, float height,
                       float lineWidth = 1.0f);

// Width in pixels of DrawString's drawing of text at that height, from the
// left edge of the first character to the right edge of the last, on its
// widest line: for n characters (n - 1/3) * height, 0 for "". 0 for a null
// text or bad height.
QM_API float GetStringWidth(const char* text, float height);

// Height in pixels of DrawString's drawing of text at that height, from the
// bottom of its last line to the top of its first: for n lines (n - 1 newlines)
// height + (n - 1) * 5/3 * height; height for one line, 0 for "". 0 for a null
// text or bad height. The drawing starts at position.y and reaches down to
// position.y + height - GetStringHeight(text, height).
QM_API float GetStringHeight(const char* text, float height);

#endif
