// The built-in stroke font's glyph data, shared by DrawString and its tests.
#ifndef QUILLMAR_DRAW2D_STROKEFONT_H
#define QUILLMAR_DRAW2D_STROKEFONT_H

namespace qmfont {

constexpr int kAdvance = 6;  // grid units from one character to the next
constexpr int kHeight = 6;   // grid units of a capital
constexpr int kLinePitch = 10;  // grid units from one line's baseline to the next's

// What a character outside ASCII draws as: one visible replacement glyph.
constexpr int kReplacement = 0xFFFD;

// Reads the character at text (not its terminating NUL) and moves past it. A
// byte below 128 is itself; a well-formed UTF-8 sequence is kReplacement, and
// so is each byte that begins no well-formed sequence. Never reads past a NUL.
int Next(const char*& text);

// The glyph of a printable character (33..126, lower case: its capital) as
// strips of grid points: each point two digits "xy" (x 0..4, y 0..6, y up),
// strips separated by spaces. kReplacement has its own glyph. Null for the
// space and anything else outside 33..126.
const char* Glyph(int c);

}  // namespace qmfont

#endif
