// The built-in stroke font's glyph data and the walk over a string's strokes,
// shared by DrawString, its tests and the 2D benchmark.
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

// Walks the strokes DrawString draws for text whose first baseline starts
// at (x, y), capitals `height` high: put(x0, y0, x1, y1) per segment.
template <typename Put>
void Strokes(const char* text, float x, float y, float height, Put&& put) {
    const double unit = double(height) / qmfont::kHeight;
    const double smallCaps = 2.0 / 3.0;  // lower case: two thirds of a capital's height
    double left = x;
    double base = y;
    int line = 0;
    for (const char* c = text; *c;) {
        const int ch = qmfont::Next(c);
        if (ch == '\n') {
            // Computed from the first line, not accumulated: every line's
            // baseline is one rounding from the position.
            ++line;
            left = x;
            base = double(y) - double(line) * qmfont::kLinePitch * unit;
            continue;
        }
        const char* g = qmfont::Glyph(ch);
        const double yScale = (ch >= 'a' && ch <= 'z') ? unit * smallCaps : unit;
        float px = 0.0f, py = 0.0f;
        bool joined = false;
        while (g && *g) {
            if (*g == ' ') {
                joined = false;
                ++g;
                continue;
            }
            const float px1 = float(left + (g[0] - '0') * unit);
            const float py1 = float(base + (g[1] - '0') * yScale);
            if (joined) put(px, py, px1, py1);
            px = px1;
            py = py1;
            joined = true;
            g += 2;
        }
        left += qmfont::kAdvance * unit;
    }
}

}  // namespace qmfont

#endif
