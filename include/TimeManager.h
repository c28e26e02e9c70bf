// Frame timing from a millisecond clock: a smoothed frame time, clamped to
// 0.05 s, and frames per second measured over one-second windows. Beside
// them, for exact simulation: the raw frame duration, the time since the
// first Step, and FixedStep to run game logic at a fixed rate.
#ifndef QUILLMAR_TIMEMANAGER_H
#define QUILLMAR_TIMEMANAGER_H

#include "QuillmarExport.h"

#include <cstdint>

class QM_API TimeManager {
public:
    TimeManager();  // reads the clock once
    void Step();    // once per frame
    float GetElapsedTime();      // seconds, smoothed; 0.001 before the first Step
    float GetFramesPerSecond();  // 60 until the first one-second window closes
    // The same queries on a const manager.
    float GetElapsedTime() const;
    float GetFramesPerSecond() const;

    // Seconds of the latest frame as measured: neither smoothed nor clamped,
    // read from the system's monotonic high-resolution clock (nanoseconds;
    // GetElapsedTime and the frame rate keep the millisecond clock).
    // 0 before and at the first Step.
    double GetFrameDuration() const;
    // Seconds from the first Step to the latest, on the same clock: the sum
    // of every GetFrameDuration so far. 0 before the second Step.
    double GetTimeSinceStart() const;

private:
    float fpsInterval;
    std::uint32_t lastTime;
    std::uint32_t currentTime;
    std::int32_t frameCount;
    float fpsTime;
    bool started;
    float framesPerSecond;
    float frameTime;
    float elapsedTime;
    std::uint64_t lastNanoseconds;     // the fine clock at the latest Step
    std::int64_t frameNanoseconds;     // the latest frame, unclamped
    std::int64_t totalNanoseconds;     // since the first Step

    friend struct TimeManagerProbe;
};

// Game logic at a fixed rate whatever the frame rate: each frame, Advance by
// the frame's duration and run the updates it asks for, then draw between the
// latest two updates with GetAlpha. A stall (a loading pause, a debugger
// break) asks for at most maxSteps updates; the time beyond is dropped, so
// the game does not spend the next frames catching up and fall further behind.
class QM_API FixedStep {
public:
    // step: seconds per update, finite and above 0 (else 1/60 is used).
    // maxSteps: the most updates one Advance asks for, 1..1000 (else 8).
    explicit FixedStep(double step = 1.0 / 60.0, int maxSteps = 8);

    // Adds frameSeconds (finite, 0 or more; anything else counts as 0) and
    // returns how many updates to run now, 0..maxSteps.
    int Advance(double frameSeconds);
    // How far the present lies past the latest update, in steps: 0 <= alpha < 1.
    // Draw at previous + (current - previous) * alpha.
    double GetAlpha() const;
    double GetStep() const;            // seconds per update
    int GetMaxSteps() const;
    double GetDroppedTime() const;     // seconds dropped by the cap so far
    void Reset();                      // forgets the time not yet stepped and the drops

private:
    double step;
    int maxSteps;
    double pending;  // seconds not yet stepped, below one step after Advance
    double dropped;
};

#endif
