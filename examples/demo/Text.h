// Text for the HUD without fonts or allocation: number formatting into caller
// buffers, a stroke font whose glyphs are line strips on a 4 x 6 grid, and a
// ring of recent frame times.
#ifndef QUILLMAR_DEMO_TEXT_H
#define QUILLMAR_DEMO_TEXT_H

namespace demo {

// Decimal text of value in out (always terminated); returns its length.
int FormatInt(char* out, int capacity, int value);
// value with `decimals` digits after the point (0..3), rounded half away from zero.
int FormatFixed(char* out, int capacity, float value, int decimals);

// Glyph of an upper-case letter, digit or one of ". : - / + %" as strips of grid
// points: each point two digits "xy" (x 0..4, y 0..6, y up), strips separated
// by spaces. Null for characters without a glyph (a space draws nothing).
const char* Glyph(char c);

constexpr float kGlyphAdvance = 6.0f;  // grid units from one character to the next
float TextWidth(const char* text, float unit);  // pixels, for `unit` pixels per grid unit

// The latest frame times, oldest first.
class FrameHistory {
public:
    static constexpr int kSize = 120;
    void Add(float seconds);
    int Count() { return count; }
    float Get(int i);  // 0 is the oldest kept
    float Average();

private:
    float samples[kSize] = {};
    int next = 0;
    int count = 0;
};

}  // namespace demo

#endif
