// Command-line settings of the demo, parsed without touching the window.
#ifndef QUILLMAR_DEMO_OPTIONS_H
#define QUILLMAR_DEMO_OPTIONS_H

namespace demo {

struct Options {
    int width = 1280;
    int height = 720;
    int samples = 4;
    bool vsync = true;
    bool fullScreen = false;
    int frames = -1;                 // run until closed
    const char* screenshot = nullptr;  // PNG path written at the last frame
    bool scripted = false;           // input from the built-in script, fixed time step
    bool help = false;
};

// Fills options from argv. False (with a one-line reason in error) on an
// unknown flag, a missing value or a value out of range.
bool ParseOptions(int argc, const char* const* argv, Options& options, char* error,
                  int errorSize);

// The --help text.
const char* Usage();

}  // namespace demo

#endif
