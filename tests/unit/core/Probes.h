// Read the private state of Core, WindowManager and RenderingManager in tests.
#ifndef QUILLMAR_TESTS_UNIT_CORE_PROBES_H
#define QUILLMAR_TESTS_UNIT_CORE_PROBES_H

#include "Core.h"
#include "Extensions.h"

#include <cstdint>
#include <cstring>

struct CoreProbe {
    static bool Initialized(const Core& c) { return c.initialized; }
};

struct WindowManagerProbe {
    static bool Multisample(const WindowManager& w) { return w.multisampleEnabled; }
    static int Samples(const WindowManager& w) { return w.sampleCount; }
    static int DepthBits(const WindowManager& w) { return w.depthBufferBits; }
    static int Width(const WindowManager& w) { return w.width; }  // the stored setting
    static int Height(const WindowManager& w) { return w.height; }
    static int PositionX(const WindowManager& w) { return w.positionX; }
    static int PositionY(const WindowManager& w) { return w.positionY; }
    static int TextureQuality(const WindowManager& w) { return w.textureQuality; }
    static bool FullScreen(const WindowManager& w) { return w.fullScreen; }
    static const std::string& Title(const WindowManager& w) { return w.title; }
    static void* WindowHandle(const WindowManager& w) { return w.windowHandle; }
};

struct RenderingManagerProbe {
    static bool Ready(const RenderingManager& r) { return r.ready; }
    static float FieldOfView(const RenderingManager& r) { return r.fieldOfView; }
    static float Near(const RenderingManager& r) { return r.nearClip; }
    static float Far(const RenderingManager& r) { return r.farClip; }
    static WindowManager* Window(const RenderingManager& r) { return r.window; }
    static TimeManager* Timer(const RenderingManager& r) { return r.timer; }
    static KeyboardManager* Keyboard(const RenderingManager& r) { return r.keyboard; }
    static MouseManager* Mouse(const RenderingManager& r) { return r.mouse; }
    static JoystickManager* Joystick(const RenderingManager& r) { return r.joystick; }
    static Color4f ClearColor(const RenderingManager& r) { return r.clearColor; }
};

inline std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

#endif
