// The built-in stroke font's glyph data, shared by DrawString and its tests.
#ifndef QUILLMAR_RENDER_FONT_H
#define QUILLMAR_RENDER_FONT_H

namespace qmfont {

constexpr int kAdvance = 6;  // grid units from one character to the next
constexpr int kHeight = 6;   // grid units of a capital

// The glyph of a printable character (33..126, lower case: its capital) as
// strips of grid points: each point two digits "xy" (x 0..4, y 0..6, y up),
// strips separated by spaces. Null for the space and outside 33..126.
const char* Glyph(int c);

}  // namespace qmfont

#endif
