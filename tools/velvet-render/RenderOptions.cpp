#include "tools/velvet-render/RenderOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int MAX_FPS = 240;
constexpr int MAX_SIDE = 8192;
constexpr double MAX_SECONDS = 3600.0;

bool parseInt(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return false;
    value = int(v);
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    const char* x = std::strchr(text, 'x');
    if (!x)
        return false;
    std::string w(text, x);
    return parseInt(w.c_str(), 16, MAX_SIDE, width) && parseInt(x + 1, 16, MAX_SIDE, height);
}

bool parseSeconds(const char* text, double& seconds)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(v) || v <= 0.0 || v > MAX_SECONDS)
        return false;
    seconds = v;
    return true;
}

}

const char* renderUsage()
{
    return "usage: velvet-render (--frames DIR | --video FILE.mp4) [--seconds N] [--fps F] [--size WxH]\n"
           "Plays the show offline on a fixed-step clock, headless, and writes what it draws.\n"
           "  --frames DIR    one PPM picture per frame (frame_00000.ppm, ...), DIR is created\n"
           "  --video FILE    an H.264 video with the soundtrack, through the ffmpeg command\n"
           "  --seconds N     how much of the show (default: the last scene change + 10 s)\n"
           "  --fps F         frames per second of show time (default 30)\n"
           "  --size WxH      picture size (default 1024x768)\n"
           "The show's Data folder is looked for in the working directory, then beside the program.\n";
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
            return true;
        }
        const bool takesValue = std::strcmp(arg, "--frames") == 0 || std::strcmp(arg, "--video") == 0
            || std::strcmp(arg, "--seconds") == 0 || std::strcmp(arg, "--fps") == 0
            || std::strcmp(arg, "--size") == 0;
        if (!takesValue) {
            error = std::string("unknown option '") + arg + "' (try --help)";
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            error = std::string(arg) + " needs a value";
            return false;
        }
        const char* value = argv[++i];
        bool ok = true;
        if (std::strcmp(arg, "--frames") == 0)
            options.framesDir = value;
        else if (std::strcmp(arg, "--video") == 0)
            options.videoFile = value;
        else if (std::strcmp(arg, "--seconds") == 0)
            ok = parseSeconds(value, options.seconds);
        else if (std::strcmp(arg, "--fps") == 0)
            ok = parseInt(value, 1, MAX_FPS, options.fps);
        else
            ok = parseSize(value, options.width, options.height);
        if (!ok) {
            error = std::string("bad value '") + value + "' for " + arg;
            return false;
        }
    }
    if (options.framesDir.empty() && options.videoFile.empty()) {
        error = "say where to write: --frames DIR or --video FILE (try --help)";
        return false;
    }
    return true;
}
