#include "TimeManager.h"

#include "system.h"

namespace {
// The single-precision 0.05 (0x3D4CCCCD); the clamp compares against it, not
// against the double 0.05.
constexpr float kMaxFrameTime = 0.05f;
}  // namespace

TimeManager::TimeManager()
    : fpsInterval(1.0f),
      lastTime(qmsys::Milliseconds()),
      currentTime(0),
      frameCount(0),
      fpsTime(0.0f),
      started(false),
      framesPerSecond(60.0f),
      frameTime(0.001f),
      elapsedTime(0.001f) {}

void TimeManager::Step() {
    const std::uint32_t now = qmsys::Milliseconds();
    currentTime = now;

    // The first frame is measured from here, not from construction or load.
    if (!started) {
        started = true;
        lastTime = now;
    }

    // Unsigned difference read as signed: survives the clock's 32-bit wrap.
    // (Conversion of an out-of-range value is well defined since C++20 and
    // modular on every compiler before it.)
    const std::int32_t milliseconds = static_cast<std::int32_t>(now - lastTime);
    frameTime = float(double(milliseconds) / 1000.0);

    // Frames per second uses the unclamped frame time.
    fpsTime = float(double(fpsTime) + double(frameTime));
    if (fpsTime > fpsInterval) {
        framesPerSecond = float(double(frameCount) / double(fpsTime));
        frameCount = 0;
        // Only one interval off: the excess carries into the next window.
        fpsTime = float(double(fpsTime) - double(fpsInterval));
    }

    lastTime = now;

    if (frameTime > kMaxFrameTime) frameTime = kMaxFrameTime;

    // Counted after the window test: the closing step opens the next window.
    ++frameCount;

    elapsedTime = float((double(elapsedTime) * 3.0 + double(frameTime)) * 0.25);
}

float TimeManager::GetElapsedTime() { return elapsedTime; }

float TimeManager::GetFramesPerSecond() { return framesPerSecond; }
