#include "TimeManager.h"

#include "core/Report.h"
#include "system.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
      elapsedTime(0.001f),
      lastNanoseconds(0),
      frameNanoseconds(0),
      totalNanoseconds(0) {}

void TimeManager::Step() {
    const std::uint32_t now = qmsys::Milliseconds();
    const std::uint64_t fineNow = qmsys::Nanoseconds();
    currentTime = now;

    // The first frame is measured from here, not from construction or load.
    if (!started) {
        started = true;
        lastTime = now;
        lastNanoseconds = fineNow;
    }

    // The measured durations come from the fine clock; everything designed
    // below keeps the millisecond one. Monotonic, so never negative; a clock
    // that went back anyway counts as no time rather than centuries.
    frameNanoseconds = fineNow >= lastNanoseconds ? std::int64_t(fineNow - lastNanoseconds) : 0;
    totalNanoseconds += frameNanoseconds;
    lastNanoseconds = fineNow;

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

float TimeManager::GetElapsedTime() const { return elapsedTime; }

float TimeManager::GetFramesPerSecond() const { return framesPerSecond; }

double TimeManager::GetFrameDuration() const { return double(frameNanoseconds) / 1e9; }

double TimeManager::GetTimeSinceStart() const { return double(totalNanoseconds) / 1e9; }

// [SECTION] FixedStep

namespace {
constexpr double kDefaultStep = 1.0 / 60.0;
constexpr int kDefaultMaxSteps = 8;
constexpr int kMostSteps = 1000;
}  // namespace

FixedStep::FixedStep(double stepSeconds, int most)
    : step(stepSeconds), maxSteps(most), pending(0.0), dropped(0.0) {
    if (!(std::isfinite(step) && step > 0.0)) {
        qmdiag::Report(Diagnostic::FixedStepChanged, step, kDefaultStep, "step (seconds)");
        step = kDefaultStep;
    }
    if (maxSteps < 1 || maxSteps > kMostSteps) {
        qmdiag::Report(Diagnostic::FixedStepChanged, maxSteps, kDefaultMaxSteps, "maxSteps");
        maxSteps = kDefaultMaxSteps;
    }
}

int FixedStep::Advance(double frameSeconds) {
    if (!(std::isfinite(frameSeconds) && frameSeconds >= 0.0)) {
        qmdiag::Report(Diagnostic::FrameDurationIgnored, frameSeconds);
        frameSeconds = 0.0;
    }
    // The frame splits into whole steps and a part of one (fmod is exact), so
    // that pending + frameSeconds, which may overflow, is never formed, and
    // the step count may be any size before the cap: arithmetic, not a loop,
    // so a stall of hours costs no more than a frame.
    const double part = std::fmod(frameSeconds, step);
    double whole = std::round((frameSeconds - part) / step);  // may be infinite, never NaN
    double carried = 0.0;  // the part and the pending time together make a step
    const double toStep = step - part;
    if (pending >= toStep) {
        pending -= toStep;
        carried = 1.0;
    } else {
        pending += part;
        if (pending >= step) {  // the sum rounded up to a whole step
            pending = 0.0;
            carried = 1.0;
        }
    }
    whole += carried;
    if (whole > double(maxSteps)) {
        // The frame's whole steps less the ones run (the carried one among
        // them), each finite; the sum stops at the largest double.
        const double lost = (frameSeconds - part) - (double(maxSteps) - carried) * step;
        if (lost > 0.0) dropped = std::min(dropped + lost, std::numeric_limits<double>::max());
        whole = double(maxSteps);
    }
    return int(whole);
}

double FixedStep::GetAlpha() const {
    const double alpha = pending / step;
    return alpha < 1.0 ? alpha : std::nextafter(1.0, 0.0);
}

double FixedStep::GetStep() const { return step; }

int FixedStep::GetMaxSteps() const { return maxSteps; }

double FixedStep::GetDroppedTime() const { return dropped; }

void FixedStep::Reset() {
    pending = 0.0;
    dropped = 0.0;
}
