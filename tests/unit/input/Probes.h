// Read and set the private state of the input managers in tests.
#ifndef QUILLMAR_TESTS_UNIT_INPUT_PROBES_H
#define QUILLMAR_TESTS_UNIT_INPUT_PROBES_H

#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "MouseManager.h"
#include "TimeManager.h"

#include <cstdint>
#include <cstring>

struct KeyboardManagerProbe {
    static bool Current(const KeyboardManager& k, int entry) { return k.keyState[entry]; }
    static signed char Shift(const KeyboardManager& k, int entry) { return k.shiftTable[entry]; }
};

struct MouseManagerProbe {
    static float RawX(const MouseManager& m) { return m.rawX; }
    static float RawY(const MouseManager& m) { return m.rawY; }
};

struct JoystickManagerProbe {
    static const JoystickState& State(const JoystickManager& j, int joy) { return j.joysticks[joy]; }
};

struct TimeManagerProbe {
    static std::uint32_t LastTime(const TimeManager& t) { return t.lastTime; }
    static std::uint32_t CurrentTime(const TimeManager& t) { return t.currentTime; }
    static std::int32_t FrameCount(const TimeManager& t) { return t.frameCount; }
    static float FpsTime(const TimeManager& t) { return t.fpsTime; }
    static float FpsInterval(const TimeManager& t) { return t.fpsInterval; }
    static float FrameTime(const TimeManager& t) { return t.frameTime; }
    static bool Started(const TimeManager& t) { return t.started; }

    // Puts a started timer in the middle of a window.
    static void SetWindow(TimeManager& t, std::uint32_t lastTime, float fpsTime,
                          std::int32_t frameCount) {
        t.started = true;
        t.lastTime = lastTime;
        t.fpsTime = fpsTime;
        t.frameCount = frameCount;
    }
};

inline std::uint32_t FloatBits(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

#endif
