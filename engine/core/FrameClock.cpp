#include "engine/core/FrameClock.h"

#include "engine/core/EngineHooks.h"
#include "engine/core/PerfTimer.h"

namespace {

struct FrameClockState {
    bool running = false;
    float frameDelta = 0.0f;
    PerfTimer frameTimer;
};

FrameClockState& clockState()
{
    static FrameClockState state;
    return state;
}

}

void engineStart()
{
    startEngineServices();
    clockState().running = true;
    clockState().frameDelta = 0.0f;
    clockState().frameTimer.reset();
}

void engineStop()
{
    FrameClockState& state = clockState();
    if (!state.running)
        return;
    stopEngineServices();
    state.running = false;
}

void tick()
{
    FrameClockState& state = clockState();
    if (!state.running)
        return;
    state.frameDelta = static_cast<float>(state.frameTimer.elapsedSeconds());
    state.frameTimer.reset();
}

void restartFrameClock()
{
    FrameClockState& state = clockState();
    state.frameDelta = 0.0f;
    state.frameTimer.reset();
}

float frameDelta()
{
    return clockState().frameDelta;
}

bool engineRunning()
{
    return clockState().running;
}
