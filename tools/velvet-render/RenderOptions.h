// The command line of velvet-render: what to write (frames, a video, or both), how long,
// how fast and how large. Parsing only; it opens nothing.
#pragma once

#include <string>

struct RenderOptions {
    std::string framesDir;  // --frames DIR: one PPM per frame
    std::string videoFile;  // --video FILE: H.264 + the soundtrack through ffmpeg
    double seconds = -1.0;  // --seconds N; < 0: the last scene change + 10 s
    int fps = 30;           // --fps F
    int width = 1024;       // --size WxH
    int height = 768;
    bool help = false;
};

// Fills options from argv. False with error set on a bad or missing value, an unknown
// option, or when neither --frames nor --video is given (unless --help).
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);
// The --help text.
const char* renderUsage();
