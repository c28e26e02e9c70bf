// The bare GLFW 3 frame loop (glfwSwapBuffers + glfwPollEvents), the baseline
// for the library's BeginFrame + EndFrame; does not link the library.
// BM_FramePolling adds what a GLFW 3 game would call to poll the state the
// library polls each frame (157 keys, 3 mouse buttons, cursor, window size,
// 8 joysticks, the clock), each straight through GLFW 3.
#include "frame_settings.h"
#include "glfw3_keys.h"

#include <GLFW/glfw3.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

GLFWwindow* window = nullptr;

const qmbench::Glfw3Keys keys;

bool clearing = false;  // --clear: as BeginFrame clears with the library's defaults

// Same order as the library's frame: the swap, then the events it takes in.
inline void Frame() {
    if (clearing) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glfwSwapBuffers(window);
    glfwPollEvents();
}

struct Polled {
    bool keys[157], prevKeys[157], buttons[3];
    double time, x, y;
    int width, height;
};
Polled polled;

inline void Poll() {
    polled.time = glfwGetTime();
    for (int i = 0; i < 157; ++i) {
        polled.prevKeys[i] = polled.keys[i];
        polled.keys[i] = glfwGetKey(window, keys.codes[i]) == GLFW_PRESS;
    }
    glfwGetCursorPos(window, &polled.x, &polled.y);
    glfwGetWindowSize(window, &polled.width, &polled.height);
    for (int b = 0; b < 3; ++b) polled.buttons[b] = glfwGetMouseButton(window, b) == GLFW_PRESS;
    for (int joy = 0; joy < 8; ++joy) {
        int count = 0;
        benchmark::DoNotOptimize(glfwGetJoystickButtons(joy, &count));
        benchmark::DoNotOptimize(glfwGetJoystickAxes(joy, &count));
    }
    benchmark::ClobberMemory();
}

void BM_Frame(benchmark::State& state) {
    for (auto _ : state) Frame();
    state.SetItemsProcessed(int64_t(state.iterations()));
}
void BM_FramePolling(benchmark::State& state) {
    for (auto _ : state) {
        Poll();
        Frame();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}
BENCHMARK(BM_Frame)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_FramePolling)->Unit(benchmark::kMicrosecond)->UseRealTime();

bool polling = false;  // --poll: the callgrind run polls as BM_FramePolling does

}  // namespace

extern "C" __attribute__((noinline)) void qm_measured_frames(int frames) {
    for (int i = 0; i < frames; ++i) {
        if (polling) Poll();
        Frame();
    }
}

int main(int argc, char** argv) {
    clearing = qmbench::Clearing(argc, argv);
    if (!glfwInit()) return 1;
    // What the library's window opening asks GLFW 3 for, through its adapter.
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, 0);
    glfwWindowHint(GLFW_DEPTH_BITS, qmbench::kDepthBits);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    window = glfwCreateWindow(qmbench::kWidth, qmbench::kHeight, "bench glfw3", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "bench_frame_glfw3: no window (is there a display?)\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSetWindowPos(window, qmbench::kPositionX, qmbench::kPositionY);
    glfwSwapInterval(0);
    for (int i = 0; i < qmbench::kWarmupFrames; ++i) Frame();

    int rc = 0;
    using qmbench::HasFlag;
    if (HasFlag(argc, argv, "--info")) {
        std::printf("renderer: %s\nGL version: %s\nGLFW: %s\n",
                    reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                    reinterpret_cast<const char*>(glGetString(GL_VERSION)), glfwGetVersionString());
    } else {
        // Only the callgrind run reads it; the timed benchmarks choose for themselves.
        polling = HasFlag(argc, argv, "--poll");
        rc = qmbench::RunFramesOrBenchmarks(argc, argv, qm_measured_frames);
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return rc;
}
