// Keyboard polling: KeyboardManager::Step (157 polls through the GLFW 2.x
// interface) beside 157 direct GLFW 3 glfwGetKey calls on the same window.
// The per-frame Step of the other managers is timed too, for the frame-cycle
// breakdown. Needs a display (the window is real).
#include "glfw3_keys.h"

#include <Quillmar.h>

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

const qmbench::Glfw3Keys keys;
GLFWwindow* window = nullptr;  // the library's window, shared through GLFW 3

void BM_Keyboard_Quillmar(benchmark::State& state) {
    for (auto _ : state) Core::Keyboard.Step();
    state.SetItemsProcessed(int64_t(state.iterations()) * 157);
}

// A GLFW 3 game keeping the same current and previous state for its edges.
bool current[157], previous[157];
void BM_Keyboard_Glfw3(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < 157; ++i) {
            previous[i] = current[i];
            current[i] = glfwGetKey(window, keys.codes[i]) == GLFW_PRESS;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * 157);
}

BENCHMARK(BM_Keyboard_Quillmar);
BENCHMARK(BM_Keyboard_Glfw3);

// The rest of BeginFrame, one manager at a time.
void BM_Step_Timer(benchmark::State& state) {
    for (auto _ : state) Core::Timer.Step();
}
void BM_Step_Mouse(benchmark::State& state) {
    for (auto _ : state) Core::Mouse.Step();
}
void BM_Step_Joystick(benchmark::State& state) {
    for (auto _ : state) Core::Joystick.Step();
}
void BM_BeginFrame(benchmark::State& state) {
    for (auto _ : state) Core::Renderer.BeginFrame();
}
BENCHMARK(BM_Step_Timer);
BENCHMARK(BM_Step_Mouse);
BENCHMARK(BM_Step_Joystick);
BENCHMARK(BM_BeginFrame);

}  // namespace

int main(int argc, char** argv) {
    Core core;
    Core::Window.SetTitle("bench polling");
    Core::Window.SetSampleRate(1);
    Core::Window.SetClearColorBuffer(false);
    Core::Window.SetClearDepthBuffer(false);
    if (!Core::Window.Open()) {
        std::fprintf(stderr, "bench_polling: no window (is there a display?)\n");
        return 1;
    }
    // The library opened it on this thread, so its context is the current one.
    window = glfwGetCurrentContext();
    if (!window) return 1;
    for (int i = 0; i < 10; ++i) Core::Renderer.EndFrame();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
