// Window settings and run lengths shared by the two frame-cycle programs, so
// that the library's loop and the bare GLFW 3 loop drive identical windows.
#ifndef QUILLMAR_BENCH_FRAME_SETTINGS_H
#define QUILLMAR_BENCH_FRAME_SETTINGS_H

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qmbench {

// The library's defaults (800 x 600 at 100, 50, 16 depth bits, RGB 8-8-8, no
// alpha or stencil, not resizable) with multisampling and vertical sync off.
// Neither loop clears or draws, so the difference is the library's polling.
constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kPositionX = 100;
constexpr int kPositionY = 50;
constexpr int kDepthBits = 16;

// Frames run before measuring, so the window is mapped and the driver warm.
constexpr int kWarmupFrames = 200;

inline bool HasFlag(int argc, char** argv, const char* flag) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0) return true;
    return false;
}

// "--clear": both loops clear colour and depth each frame (the library's
// default), for a frame that does some work of its own.
inline bool Clearing(int argc, char** argv) { return HasFlag(argc, argv, "--clear"); }

// Removes this program's own flags, leaving Google Benchmark's.
inline void DropOwnFlags(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--clear") == 0 || std::strcmp(argv[i], "--poll") == 0 ||
            std::strcmp(argv[i], "--info") == 0)
            continue;
        argv[kept++] = argv[i];
    }
    argc = kept;
}

// "--callgrind-frames N": run N frames inside qm_measured_frames (for
// valgrind --toggle-collect) instead of the timed benchmark. 0 when absent.
inline int CallgrindFrames(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--callgrind-frames") == 0) return std::atoi(argv[i + 1]);
    return 0;
}

// Runs N frames through measuredFrames when "--callgrind-frames N" is given,
// else the registered Google Benchmarks. Returns the exit code.
inline int RunFramesOrBenchmarks(int& argc, char** argv, void (*measuredFrames)(int)) {
    if (int frames = CallgrindFrames(argc, argv)) {
        measuredFrames(frames);
        std::printf("frames %d\n", frames);
        return 0;
    }
    DropOwnFlags(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace qmbench

#endif
