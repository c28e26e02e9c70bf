// Frame timing from a millisecond clock: a smoothed frame time, clamped to
// 0.05 s, and frames per second measured over one-second windows.
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

    friend struct TimeManagerProbe;
};

#endif
