// Stills of the show drawn by the show itself: a headless session (offscreen window,
// capture device, virtual clock at 60 frames per second, no keyboard or mouse) loads a
// data folder, then draws the frame on screen at each time asked for, simulating the
// frames between, exactly as velvet-render's stills. The show's console chatter is kept
// off standard output while it runs. It owns the session and the copies of the frames it
// returns.
#pragma once

#include "app/ShowSession.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class NoInput;
class ShowFrames;

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // width * height * 3, top row first
};

class ShowStills {
public:
    static constexpr int WIDTH = 1024;
    static constexpr int HEIGHT = 768;

    ShowStills();
    // Closes the session, back on the real clock.
    ~ShowStills();
    ShowStills(const ShowStills&) = delete;
    ShowStills& operator=(const ShowStills&) = delete;

    // Opens the session and loads the show from dataFolder (absolute; it becomes the
    // working directory). False with error set when no window could be made; a load that
    // misses files still succeeds and says which in report.
    bool open(const std::string& dataFolder, ShowLoadReport& report, std::string& error);
    // The loaded show; needs open.
    Show& show() { return session_.show(); }
    // The frame on screen at show time ms (milliseconds, not before the last still's).
    // False with error set when nothing was drawn or a stop was asked for.
    bool still(std::int64_t ms, RgbPicture& picture, std::string& error);
    void close();

private:
    ShowSession session_;
    std::unique_ptr<NoInput> input_;
    std::unique_ptr<ShowFrames> frames_;
    int savedStdout_ = -1;
};
