// Text for the HUD without allocation: number formatting into caller buffers
// (the library's DrawString draws it), and a ring of recent frame times.
#ifndef QUILLMAR_DEMO_TEXT_H
#define QUILLMAR_DEMO_TEXT_H

#if defined(_WIN32)
// <windows.h> (which Windows' <GL/gl.h> includes) defines DrawText as a
// macro; taken in first here so that it never renames the demo's own.
#include <windows.h>
#undef DrawText
#endif

namespace demo {

// Decimal text of value in out (always terminated); returns its length.
int FormatInt(char* out, int capacity, int value);
// value with `decimals` digits after the point (0..3), rounded half away from zero.
int FormatFixed(char* out, int capacity, float value, int decimals);

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
