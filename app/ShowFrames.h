// The show's frames one after another on the virtual clock at a fixed rate, from the
// show's start: each frame either drawn (through the show's device, which may read it
// back) or only simulated. The same frames at the same rate give the same pictures on
// every run. The virtual clock must be running from before the show loaded. It owns
// nothing; the show is the caller's.
#pragma once

#include <cstdint>
#include <functional>

class Show;

class ShowFrames {
public:
    ShowFrames(Show& show, int fps) : show_(show), fps_(fps) {}

    // The number of the next frame to run (0 at the show's start).
    std::int64_t next() const { return next_; }
    // Runs the next frame: drawn (update, render) or simulated (advance); then the
    // virtual clock moves to the frame after.
    void draw();
    void simulate();
    // Simulates frames up to (not including) frame; after each, progress (when given)
    // is told the next frame's number. False when a stop was asked for on the way.
    bool simulateTo(std::int64_t frame, const std::function<void(std::int64_t)>& progress = {});
    // Draws the frame on screen at show time ms, simulating the frames before it. Times
    // before the next frame draw the next frame. False when a stop was asked for.
    bool drawAt(std::int64_t ms);

private:
    void step();

    Show& show_;
    int fps_;
    std::int64_t next_ = 0;
};

// Whether Ctrl+C, SIGTERM or a window close asked the run to stop.
bool stopRequested();
