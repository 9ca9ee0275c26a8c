// The frame loop: one pending event or one frame per pass, never both. Events go to the
// window; the private quit message ends the loop. Frames only run while the queue is
// empty, so a flood of events skips frames rather than delaying the quit.
#pragma once

#include <cstdint>
#include <functional>

class AppWindow;

struct FrameCallbacks {
    std::function<void()> update;
    std::function<void()> render;
};

// Runs until the quit message; returns the number of frames rendered. window may be
// null: a close request (Ctrl+C) then ends the loop and other events are dropped.
std::uint32_t runFrameLoop(AppWindow* window, const FrameCallbacks& frame);
