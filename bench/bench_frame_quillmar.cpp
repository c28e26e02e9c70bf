// The library's frame cycle, BeginFrame + EndFrame, on an open window: the
// counterpart of bench_frame_glfw3 with the same window settings.
#include "frame_settings.h"

#include <Quillmar.h>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

inline void Frame() {
    Core::Renderer.BeginFrame();
    Core::Renderer.EndFrame();
}

void BM_Frame(benchmark::State& state) {
    for (auto _ : state) Frame();
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

extern "C" __attribute__((noinline)) void qm_measured_frames(int frames) {
    for (int i = 0; i < frames; ++i) Frame();
}

int main(int argc, char** argv) {
    Core core;
    Core::Window.SetTitle("bench quillmar");
    Core::Window.SetSize(qmbench::kWidth, qmbench::kHeight);
    Core::Window.SetPosition(qmbench::kPositionX, qmbench::kPositionY);
    Core::Window.SetDepthBufferBits(qmbench::kDepthBits);
    Core::Window.SetSampleRate(1);
    // The bare loop neither clears nor draws; BeginFrame then only polls.
    // With --clear both clear colour and depth, the library's default.
    const bool clearing = qmbench::Clearing(argc, argv);
    Core::Window.SetClearColorBuffer(clearing);
    Core::Window.SetClearDepthBuffer(clearing);
    if (!Core::Window.Open()) {
        std::fprintf(stderr, "bench_frame_quillmar: no window (is there a display?)\n");
        return 1;
    }
    Core::Window.SetVerticalSync(false);
    for (int i = 0; i < qmbench::kWarmupFrames; ++i) Frame();

    return qmbench::RunFramesOrBenchmarks(argc, argv, qm_measured_frames);
}
