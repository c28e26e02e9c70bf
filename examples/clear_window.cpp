// The smallest Quillmar program: open the window, clear it to a slowly
// changing colour for a few seconds, and exit.
//
//   clear_window [--frames N] [--screenshot FILE]
#include <Quillmar.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    int frames = -1;  // run for three seconds
    std::string shot;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--frames") && i + 1 < argc) frames = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--screenshot") && i + 1 < argc) shot = argv[++i];
    }

    // Initialization
    Core core;
    Core::Window.SetTitle("Quillmar: clear window");
    Core::Window.SetSize(640, 480);
    // A 2D program needs no depth buffer: without one, 2D drawing takes the
    // fastest path a GL has.
    Core::Window.SetDepthBuffer(false);
    if (!Core::Window.Open()) {
        std::fprintf(stderr, "clear_window: %s\n", GetLastDiagnosticMessage());
        return 1;
    }

    // Main loop
    float seconds = 0.0f;
    for (int frame = 0; Core::Window.IsOpen(); ++frame) {
        Core::Renderer.BeginFrame();
        seconds += Core::Timer.GetElapsedTime();
        Core::Window.SetClearColor(0.5f + 0.5f * std::sin(seconds), 0.3f, 0.6f);
        bool last = frames >= 0 ? frame + 1 >= frames : seconds >= 3.0f;
        if (Core::Keyboard.GetKeyPress(Key::Escape)) last = true;
        if (last && !shot.empty()) {
            if (SaveScreenshot(shot.c_str()))
                std::printf("screenshot: %s\n", shot.c_str());
            else
                std::fprintf(stderr, "clear_window: %s\n", GetLastDiagnosticMessage());
        }
        Core::Renderer.EndFrame();
        if (last) break;
    }

    // De-initialization: ~Core closes the window.
    return 0;
}
