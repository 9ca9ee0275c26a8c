// The show as the frame loop sees it: load once, then update and render once per frame.
// Frames can also be simulated rather than drawn, and the show can seek: replay itself
// from its start without drawing, then carry on from there with the music.
// The show draws through the render device made last (currentDevice) and its window.
#pragma once

#include <cstdint>

class Camera;
class Director;

// The rate of frames that are simulated (seeking) or rendered offline unless told
// otherwise.
constexpr int FIXED_FPS = 60;
// When frame number frame of a run at fps frames per second begins, in nanoseconds from
// the run's start (exact, so millisecond clocks read the same at every rate).
constexpr std::int64_t frameTimeNs(std::int64_t frame, int fps)
{
    return frame * 1000000000 / fps;
}
// The frame of such a run on screen at ms milliseconds.
constexpr std::int64_t frameAtMs(std::int64_t ms, int fps)
{
    return ms * fps / 1000;
}

// Loads the whole show (data folder, timeline, paths, content, music, camera) and
// starts its timeline right after the music.
void demoInit();
// Advances the show by one frame (ticks the frame clock first).
void demoUpdate();
// Draws one frame and presents it. Does nothing without a device.
void demoRender();
// One frame without drawing: demoUpdate, then what drawing the scene would have changed
// (particles, animation, lyrics). No OpenGL call.
void demoAdvance();

struct SeekReport {
    std::int64_t frames = 0; // frames simulated
    double milliseconds = 0; // real time the seek took
};
// Replays the show from its start to showMs (timeline milliseconds, negative is 0)
// without drawing: frames of 1/60 s of virtual time, no keyboard or mouse, the music
// paused. Then the clocks go on from showMs (in real time unless a virtual clock was
// running already) and the music plays from the same position. Says on the console how
// long it took.
SeekReport demoSeek(std::int32_t showMs);

// The show's objects, alive for the whole process.
Director& showDirector();
Camera& sceneCamera();
