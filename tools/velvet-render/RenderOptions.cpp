#include "tools/velvet-render/RenderOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>

namespace {

constexpr int MAX_FPS = 240;
constexpr int MAX_SIDE = 8192;
constexpr double MAX_SECONDS = 3600.0;
constexpr std::int64_t MAX_MS = 3600000;
constexpr int MAX_BENCH_FRAMES = 100000;
constexpr int STILL_FPS = 60;

const char* const VALUE_OPTIONS[] = {"--frames", "--video", "--seconds", "--fps", "--size", "--from", "--to",
    "--stills", "--out", "--format", "--data"};
const char* const FLAG_OPTIONS[] = {"--bench", "--json"};

bool parseInt(const char* text, long low, long high, long& value)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < low || v > high)
        return false;
    value = v;
    return true;
}

bool parseInt(const char* text, int low, int high, int& value)
{
    long v = 0;
    if (!parseInt(text, long(low), long(high), v))
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

bool parseMs(const char* text, std::int64_t& ms)
{
    long v = 0;
    if (!parseInt(text, 0L, long(MAX_MS), v))
        return false;
    ms = v;
    return true;
}

// "T1,T2,...": at least one time, each a whole number of milliseconds.
bool parseStills(const char* text, std::vector<std::int64_t>& times)
{
    std::string list(text);
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        std::int64_t ms = 0;
        if (!parseMs(list.substr(start, comma - start).c_str(), ms))
            return false;
        times.push_back(ms);
        start = comma + 1;
    }
    return !times.empty();
}

bool parseFormat(const char* text, PictureFormat& format)
{
    if (std::strcmp(text, "png") == 0)
        format = PictureFormat::Png;
    else if (std::strcmp(text, "ppm") == 0)
        format = PictureFormat::Ppm;
    else
        return false;
    return true;
}

bool isOneOf(const char* arg, const auto& names)
{
    return std::any_of(std::begin(names), std::end(names), [arg](const char* n) { return std::strcmp(arg, n) == 0; });
}

// Which of the given options the mode does not take; empty when none.
std::string stray(const std::map<std::string, std::string>& given, std::initializer_list<const char*> refused)
{
    for (const char* name : refused)
        if (given.count(name))
            return name;
    return {};
}

bool interpret(const std::map<std::string, std::string>& given, RenderOptions& o, std::string& error)
{
    auto has = [&given](const char* name) { return given.count(name) != 0; };
    o.mode = has("--bench") ? RenderMode::Bench : has("--stills") ? RenderMode::Stills : RenderMode::Export;
    std::string refused;
    if (o.mode == RenderMode::Bench)
        refused = stray(given, {"--stills", "--video", "--out", "--format", "--from", "--to", "--seconds"});
    else if (o.mode == RenderMode::Stills)
        refused = stray(given, {"--frames", "--video", "--json", "--from", "--to", "--seconds"});
    else
        refused = stray(given, {"--json", "--out"});
    if (!refused.empty()) {
        const char* mode = o.mode == RenderMode::Bench ? "--bench" : o.mode == RenderMode::Stills ? "--stills" : "--frames or --video";
        error = refused + " does not go with " + mode + " (try --help)";
        return false;
    }
    if (o.mode == RenderMode::Stills || o.mode == RenderMode::Bench)
        o.fps = STILL_FPS;
    if (o.mode == RenderMode::Stills)
        o.format = PictureFormat::Png;

    for (const auto& [name, text] : given) {
        const char* value = text.c_str();
        bool ok = true;
        if (name == "--frames" && o.mode == RenderMode::Bench)
            ok = parseInt(value, 1, MAX_BENCH_FRAMES, o.benchFrames);
        else if (name == "--frames")
            o.framesDir = text;
        else if (name == "--video")
            o.videoFile = text;
        else if (name == "--out")
            o.outDir = text;
        else if (name == "--seconds")
            ok = parseSeconds(value, o.seconds);
        else if (name == "--fps")
            ok = parseInt(value, 1, MAX_FPS, o.fps);
        else if (name == "--size")
            ok = parseSize(value, o.width, o.height);
        else if (name == "--from")
            ok = parseMs(value, o.fromMs);
        else if (name == "--to")
            ok = parseMs(value, o.toMs);
        else if (name == "--stills")
            ok = parseStills(value, o.stills);
        else if (name == "--format")
            ok = parseFormat(value, o.format);
        else if (name == "--json")
            o.json = true;
        else if (name == "--data")
            o.dataFolder = text;
        if (!ok) {
            error = "bad value '" + text + "' for " + name;
            return false;
        }
    }

    if (o.mode == RenderMode::Stills && o.outDir.empty()) {
        error = "--stills needs --out DIR";
        return false;
    }
    if (o.mode == RenderMode::Export && o.framesDir.empty() && o.videoFile.empty()) {
        error = "say where to write: --frames DIR or --video FILE, or ask for --stills or --bench (try --help)";
        return false;
    }
    if (has("--to") && has("--seconds")) {
        error = "--to and --seconds both say where to stop: give one";
        return false;
    }
    if (o.toMs >= 0 && o.toMs <= o.fromMs) {
        error = "--to must come after --from";
        return false;
    }
    return true;
}

}

const char* renderUsage()
{
    return "usage: velvet-render (--frames DIR | --video FILE.mp4) [--from MS] [--to MS | --seconds N]\n"
           "                     [--fps F] [--size WxH] [--format ppm|png] [--data DIR]\n"
           "       velvet-render --stills T1,T2,... --out DIR [--format png|ppm] [--fps F] [--size WxH] [--data DIR]\n"
           "       velvet-render --bench [--frames N] [--json] [--fps F] [--size WxH] [--data DIR]\n"
           "Plays the show offline on a fixed-step clock, headless, and writes what it draws.\n"
           "  --frames DIR    one picture per frame (frame_00000.ppm, ... numbered from the show's start)\n"
           "  --video FILE    an H.264 video with the soundtrack, through the ffmpeg command\n"
           "  --from MS       begin the frames or video that many milliseconds into the show\n"
           "                  (the frames before are run without drawing; the soundtrack is cut to match)\n"
           "  --to MS         end them there (default: the last scene change + 10 s)\n"
           "  --seconds N     or: how many seconds to export from --from\n"
           "  --stills LIST   the frame on screen at each show time (milliseconds) as DIR/frame-T.png;\n"
           "                  the frames before are run without drawing\n"
           "  --out DIR       where the stills go (created when needed)\n"
           "  --format F      png or ppm (stills: png, frames: ppm unless told)\n"
           "  --bench         load time, then per scene frame times, the program's own processor time,\n"
           "                  triangles and particles (--frames N frames per scene, default 120)\n"
           "  --json          the benchmark as one JSON object on standard output\n"
           "  --fps F         frames per second of show time (frames and video 30, stills and bench 60)\n"
           "  --size WxH      picture size (default 1024x768)\n"
           "  --data DIR      play the show's data in DIR\n"
           "Without --data the show's Data folder is looked for in the working directory, then beside\n"
           "the program, then in the installed data folder. Every file the pictures need must load.\n"
           "The driver's report Init.log is appended in the data folder.\n";
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    std::map<std::string, std::string> given;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            options.help = true;
            return true;
        }
        if (isOneOf(arg, FLAG_OPTIONS)) {
            given[arg] = "";
            continue;
        }
        if (!isOneOf(arg, VALUE_OPTIONS)) {
            error = std::string("unknown option '") + arg + "' (try --help)";
            return false;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            error = std::string(arg) + " needs a value";
            return false;
        }
        given[arg] = argv[++i];
    }
    return interpret(given, options, error);
}
