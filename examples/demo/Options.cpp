#include "Options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace demo {

namespace {

// Whole decimal number in [low, high]; rejects trailing text so "8x" is an error.
bool ParseInt(const char* text, int low, int high, int& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = int(value);
    return true;
}

}  // namespace

bool ParseOptions(int argc, const char* const* argv, Options& options, char* error,
                  int errorSize) {
    struct IntFlag {
        const char* name;
        int* target;
        int low;
        int high;
    };
    const IntFlag intFlags[] = {
        {"--width", &options.width, 160, 7680},   {"--height", &options.height, 120, 4320},
        {"--samples", &options.samples, 0, 16},   {"--frames", &options.frames, 1, 100000000},
    };

    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool known = false;
        for (const IntFlag& flag : intFlags) {
            if (std::strcmp(arg, flag.name) != 0) continue;
            known = true;
            if (!ParseInt(value, flag.low, flag.high, *flag.target)) {
                std::snprintf(error, std::size_t(errorSize), "%s needs a whole number in %d..%d",
                              flag.name, flag.low, flag.high);
                return false;
            }
            ++i;
        }
        if (known) continue;

        if (!std::strcmp(arg, "--screenshot")) {
            if (!value || !*value) {
                std::snprintf(error, std::size_t(errorSize), "--screenshot needs a file name");
                return false;
            }
            options.screenshot = value;
            ++i;
        } else if (!std::strcmp(arg, "--vsync")) {
            options.vsync = true;
        } else if (!std::strcmp(arg, "--no-vsync")) {
            options.vsync = false;
        } else if (!std::strcmp(arg, "--fullscreen")) {
            options.fullScreen = true;
        } else if (!std::strcmp(arg, "--scripted")) {
            options.scripted = true;
        } else if (!std::strcmp(arg, "--help") || !std::strcmp(arg, "-h")) {
            options.help = true;
        } else {
            std::snprintf(error, std::size_t(errorSize), "unknown option %s (try --help)", arg);
            return false;
        }
    }
    return true;
}

const char* Usage() {
    return "usage: demo [options]\n"
           "\n"
           "A small game on Quillmar: a 3D field under a steerable camera, and a ship\n"
           "hunting targets on the 2D layer above it.\n"
           "\n"
           "  --width N          window width in pixels (default 1280)\n"
           "  --height N         window height in pixels (default 720)\n"
           "  --samples N        multisampling, samples per pixel; 0 or 1: off (default 4)\n"
           "  --vsync            wait for vertical sync (default)\n"
           "  --no-vsync         draw as fast as possible\n"
           "  --fullscreen       full-screen window\n"
           "  --frames N         quit after N frames\n"
           "  --screenshot FILE  save the last frame as a PNG (and print its path)\n"
           "  --scripted         play from the built-in script at a fixed 60 Hz step\n"
           "                     (also on when QUILLMAR_HEADLESS=1)\n"
           "  --help             this text\n"
           "\n"
           "Controls:\n"
           "  arrows / left stick     steer the ship; left shift / button 2 boosts\n"
           "  space / button 1        fire the nose gun\n"
           "  mouse                   aim the turret; left button fires, right fires a fan\n"
           "  W S / right stick       move the camera forward and back\n"
           "  A D                     turn the camera\n"
           "  R F                     tilt the camera\n"
           "  wheel                   zoom (field of view)\n"
           "  escape                  quit\n";
}

}  // namespace demo
