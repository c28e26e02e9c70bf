// The 2D drawing benchmark's scenes, shared by the library's program, SFML's
// vertex-array program and the bare-GL ceiling: a 1280 x 720 window, vertical
// sync off, colour cleared each frame, and one of these cases:
//   sprites32 N  N moving alpha-blended sprites of one 32 x 32 texture
//   sprites4 N   the same with a 4 x 4 texture
//   circles N    N moving filled circles of radius 8, eight colours
//   rects N      N moving filled 8 x 8 rectangles, eight colours
//   rotrects N   the same turned 30 degrees about their centres
//   text N       N lines of 60 characters of the stroke font, 6 pixels high
//   fonttext N   the same lines in DejaVu Sans at 12 pixels (Font / sf::Text)
// Every program draws the same shapes at the same places (the peers from the
// same movers, the stroke font from draw2d/StrokeGlyphs.cpp) and prints
// "count N frames F wall_ms W cpu_ms C" as sprite_scene.h's Measure does.
#ifndef QUILLMAR_BENCH_DRAW2D_SCENE_H
#define QUILLMAR_BENCH_DRAW2D_SCENE_H

#include "sprite_scene.h"

#include "draw2d/StrokeFont.h"

#include <string>

namespace draw2d {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr float kRadius = 8.0f;
constexpr float kRect = 8.0f;
constexpr float kTurn = 30.0f;
constexpr int kTextColumns = 60;
constexpr float kTextHeight = 6.0f;
constexpr int kFontPixels = 12;
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Options {
    std::string scene = "sprites32";
    int count = 1000;
    int frames = 20;
    int warmup = 3;
    bool depth = false;  // the library's program: keep the window's depth buffer
    bool indexed = false;
};

inline Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--case") && i + 1 < argc) o.scene = argv[++i];
        else if (!std::strcmp(argv[i], "--count") && i + 1 < argc) o.count = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) o.frames = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc) o.warmup = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--depth")) o.depth = true;
        else if (!std::strcmp(argv[i], "--indexed")) o.indexed = true;
    }
    return o;
}

// The side of the sprite's texture, or 0 for the cases without sprites.
inline int SpriteSide(const std::string& scene) {
    return scene == "sprites32" ? 32 : scene == "sprites4" ? 4 : 0;
}

// A soft disc of side x side texels (as sprite_scene.h's, at any side).
inline std::vector<unsigned char> Disc(int side) {
    std::vector<unsigned char> rgba(std::size_t(side * side * 4));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double dx = x + 0.5 - side / 2.0, dy = y + 0.5 - side / 2.0;
            const double d = std::sqrt(dx * dx + dy * dy) / (side / 2.0);
            unsigned char* p = &rgba[std::size_t((y * side + x) * 4)];
            p[0] = static_cast<unsigned char>(255 - 4 * x);
            p[1] = static_cast<unsigned char>(128 + 3 * y);
            p[2] = 200;
            p[3] = static_cast<unsigned char>(d >= 1.0 ? 0 : 255 * std::min(1.0, 4 * (1 - d)));
        }
    return rgba;
}

using spritebench::Mover;

// Deterministic movers whose `side` x `side` box stays in the window.
inline std::vector<Mover> MakeMovers(int count, float side) {
    std::vector<Mover> m(static_cast<std::size_t>(count));
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    for (Mover& s : m) {
        s.x = next() * (kWidth - side);
        s.y = next() * (kHeight - side);
        s.vx = (next() - 0.5f) * 6.0f;
        s.vy = (next() - 0.5f) * 6.0f;
    }
    return m;
}

inline void Move(std::vector<Mover>& movers, float side) {
    for (Mover& s : movers) {
        s.x += s.vx;
        s.y += s.vy;
        if (s.x < 0 || s.x > kWidth - side) s.vx = -s.vx;
        if (s.y < 0 || s.y > kHeight - side) s.vy = -s.vy;
    }
}

// The box side of a case's movers.
inline float MoverSide(const std::string& scene) {
    const int sprite = SpriteSide(scene);
    if (sprite) return float(sprite);
    return scene == "circles" ? 2 * kRadius : kRect * 1.5f;
}

// Shape i's colour: one of eight, opaque.
inline void Colour(std::size_t i, float rgba[4]) {
    static const float palette[8][3] = {{1, 0.2f, 0.2f}, {0.2f, 1, 0.2f}, {0.2f, 0.4f, 1},
                                        {1, 1, 0.2f},    {1, 0.2f, 1},    {0.2f, 1, 1},
                                        {1, 0.6f, 0.2f}, {0.8f, 0.8f, 0.8f}};
    const float* p = palette[i % 8];
    rgba[0] = p[0], rgba[1] = p[1], rgba[2] = p[2], rgba[3] = 1.0f;
}

// The segments the library's FillCircle takes for a radius.
inline int CircleSegments(double r) {
    const double n = std::ceil(3.14159265358979323846 / std::acos(1.0 - 0.25 / r));
    return n < 8 ? 8 : n > 1024 ? 1024 : int(n);
}

// Text line i: 60 printable characters, and where it starts (6-pixel capitals
// in lines 10 pixels apart, in columns 400 pixels apart).
inline std::string TextLine(int i) {
    static const char kChars[] = "SCORE 0123456789 lives ABCDEFGHIJKLMNOPQRSTUVWXYZ !?+-*/=<>";
    std::string s;
    for (int c = 0; c < kTextColumns; ++c) s += kChars[std::size_t(i * 7 + c) % (sizeof kChars - 1)];
    return s;
}
inline void TextOrigin(int i, float* x, float* y) {
    *x = float(10 + (i / 70) * 400);
    *y = float(kHeight - 14 - (i % 70) * 10);
}

// The strokes of text line i, as the library's DrawString draws them at
// width 1: put(x0, y0, x1, y1) per segment.
template <typename Put>
void TextStrokes(int i, Put&& put) {
    const std::string line = TextLine(i);
    float x0, y0;
    TextOrigin(i, &x0, &y0);
    qmfont::Strokes(line.c_str(), x0, y0, kTextHeight, put);
}

// Runs the case: the measured frames through spritebench::Measure.
template <typename Frame>
int Measure(const Options& o, Frame frame) {
    spritebench::Options so;
    so.count = o.count;
    so.frames = o.frames;
    so.warmup = o.warmup;
    return spritebench::Measure(so, frame);
}

}  // namespace draw2d

#endif
