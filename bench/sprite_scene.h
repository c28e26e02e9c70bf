// The sprite benchmark's scene, shared by the library's program and the
// peers' (SFML 2.5, SDL2's renderer): N alpha-blended 32 x 32 sprites of one
// texture moving and bouncing in an 800 x 450 field, the same positions in
// every program, and the same measurement of each frame.
//
// Each program takes: --count N, --frames F (measured, after --warmup W),
// --tiny (a 160 x 90 window showing the same field scaled down, so that fill
// rate does not dominate and the time is the CPU's submission). It prints one
// line: "count N frames F wall_ms W cpu_ms C", W the median wall-clock time
// of a frame and C the median CPU time of the drawing thread in a frame.
#ifndef QUILLMAR_BENCH_SPRITE_SCENE_H
#define QUILLMAR_BENCH_SPRITE_SCENE_H

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace spritebench {

constexpr int kFieldWidth = 800;
constexpr int kFieldHeight = 450;
constexpr int kTinyWidth = 160;
constexpr int kTinyHeight = 90;
constexpr int kSide = 32;

struct Options {
    int count = 1000;
    int frames = 100;
    int warmup = 5;
    bool tiny = false;
    const char* mode = "";  // a program's own variant (SFML: sprite or vertexarray)
    int Width() const { return tiny ? kTinyWidth : kFieldWidth; }
    int Height() const { return tiny ? kTinyHeight : kFieldHeight; }
};

inline Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--count") && i + 1 < argc) o.count = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) o.frames = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--warmup") && i + 1 < argc) o.warmup = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--tiny")) o.tiny = true;
        else if (!std::strcmp(argv[i], "--mode") && i + 1 < argc) o.mode = argv[++i];
    }
    return o;
}

// A soft disc: opaque in the middle, fading to transparent at the rim.
inline std::vector<unsigned char> DiscPixels() {
    std::vector<unsigned char> rgba(kSide * kSide * 4);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double dx = x + 0.5 - kSide / 2.0, dy = y + 0.5 - kSide / 2.0;
            const double d = std::sqrt(dx * dx + dy * dy) / (kSide / 2.0);
            unsigned char* p = &rgba[std::size_t((y * kSide + x) * 4)];
            p[0] = static_cast<unsigned char>(255 - 4 * x);
            p[1] = static_cast<unsigned char>(128 + 3 * y);
            p[2] = 200;
            p[3] = static_cast<unsigned char>(d >= 1.0 ? 0 : 255 * std::min(1.0, 4 * (1 - d)));
        }
    return rgba;
}

struct Mover {
    float x, y, vx, vy;
};

// Deterministic positions and velocities (pixels per frame), lower-left
// corners inside the field.
inline std::vector<Mover> MakeMovers(int count) {
    std::vector<Mover> m(static_cast<std::size_t>(count));
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1664525u + 1013904223u;
        return float(seed >> 8) / float(1u << 24);
    };
    for (Mover& s : m) {
        s.x = next() * (kFieldWidth - kSide);
        s.y = next() * (kFieldHeight - kSide);
        s.vx = (next() - 0.5f) * 6.0f;
        s.vy = (next() - 0.5f) * 6.0f;
    }
    return m;
}

// Where a sprite is drawn: its whole-pixel position, as SDL_RenderCopy's
// integer rectangle takes it, so that every program draws the same pixels.
inline float PixelX(const Mover& m) { return float(int(m.x)); }
inline float PixelY(const Mover& m) { return float(int(m.y)); }

inline void Move(std::vector<Mover>& movers) {
    for (Mover& s : movers) {
        s.x += s.vx;
        s.y += s.vy;
        if (s.x < 0 || s.x > kFieldWidth - kSide) s.vx = -s.vx;
        if (s.y < 0 || s.y > kFieldHeight - kSide) s.vy = -s.vy;
    }
}

inline double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) * 1e-6;
}

// Runs frame() for the warm-up and the measured frames; prints the medians.
template <typename Frame>
int Measure(const Options& o, Frame frame) {
    for (int i = 0; i < o.warmup; ++i) frame();
    std::vector<double> wall, cpu;
    for (int i = 0; i < o.frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ThreadCpuMs();
        frame();
        cpu.push_back(ThreadCpuMs() - cpuStart);
        wall.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("count %d frames %d wall_ms %.4f cpu_ms %.4f\n", o.count, o.frames,
                median(wall), median(cpu));
    return 0;
}

}  // namespace spritebench

#endif
