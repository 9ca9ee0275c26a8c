// The show's frames one after another on the virtual clock at a fixed rate, from the
// show's start: each frame either drawn (and read back) or only simulated. The same
// frames at the same rate give the same pictures on every run. It owns nothing; the
// show runs through demoUpdate, demoRender and demoAdvance on the session's device.
#pragma once

#include <cstdint>

class ExportProgress;

class ShowFrames {
public:
    explicit ShowFrames(int fps) : fps_(fps) {}

    // The number of the next frame to run (0 at the show's start).
    std::int64_t next() const { return next_; }
    // Runs the next frame: drawn (demoUpdate, demoRender) or simulated (demoAdvance);
    // then the virtual clock moves to the frame after.
    void draw();
    void simulate();
    // Simulates frames up to (not including) frame, counting them on progress when
    // given. False when a stop was asked for on the way.
    bool simulateTo(std::int64_t frame, ExportProgress* progress = nullptr);

private:
    void step();

    int fps_;
    std::int64_t next_ = 0;
};

// Whether Ctrl+C, SIGTERM or a window close asked the run to stop.
bool stopRequested();
