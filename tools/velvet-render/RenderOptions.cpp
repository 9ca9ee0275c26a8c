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
constexpr int MAX_SEGMENTS = 100000;

const char* const VALUE_OPTIONS[] = {"--frames", "--video", "--seconds", "--fps", "--size", "--from", "--to",
    "--stills", "--out", "--format", "--data", "--segment", "--join", "--progress", "--soundtrack", "--audio"};
const char* const FLAG_OPTIONS[] = {"--bench", "--json", "--lossless"};

// The sizes videos are shared at, by the name people give them.
const struct {
    const char* name;
    int width, height;
} NAMED_SIZES[] = {{"720p", 1280, 720}, {"1080p", 1920, 1080}, {"1440p", 2560, 1440}, {"2160p", 3840, 2160}};

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
    for (const auto& named : NAMED_SIZES)
        if (std::strcmp(text, named.name) == 0) {
            width = named.width;
            height = named.height;
            return true;
        }
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

// "K/N" with 1 <= K <= N.
bool parseSegment(const char* text, int& segment, int& segments)
{
    const char* slash = std::strchr(text, '/');
    if (!slash)
        return false;
    const std::string k(text, slash);
    return parseInt(slash + 1, 1, MAX_SEGMENTS, segments) && parseInt(k.c_str(), 1, segments, segment);
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
    o.mode = has("--bench") ? RenderMode::Bench
        : has("--stills")   ? RenderMode::Stills
        : has("--join")     ? RenderMode::Join
        : has("--soundtrack") ? RenderMode::Soundtrack
                            : RenderMode::Export;
    std::string refused;
    if (o.mode == RenderMode::Bench)
        refused = stray(given, {"--stills", "--video", "--out", "--format", "--from", "--to", "--seconds", "--join",
            "--segment", "--lossless", "--progress"});
    else if (o.mode == RenderMode::Stills)
        refused = stray(given, {"--frames", "--video", "--json", "--from", "--to", "--seconds", "--join", "--segment",
            "--lossless", "--progress"});
    else if (o.mode == RenderMode::Join)
        refused = stray(given, {"--frames", "--json", "--out", "--format", "--segment", "--progress", "--soundtrack"});
    else if (o.mode == RenderMode::Soundtrack)
        refused = stray(given, {"--frames", "--video", "--json", "--out", "--format", "--segment", "--progress", "--audio"});
    else
        refused = stray(given, {"--json", "--out", "--audio"});
    if (!refused.empty()) {
        const char* mode = o.mode == RenderMode::Bench ? "--bench"
            : o.mode == RenderMode::Stills             ? "--stills"
            : o.mode == RenderMode::Join               ? "--join"
            : o.mode == RenderMode::Soundtrack         ? "--soundtrack"
                                                       : "--frames or --video";
        error = refused + " does not go with " + mode + " (try --help)";
        return false;
    }
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
        else if (name == "--lossless")
            o.lossless = true;
        else if (name == "--segment")
            ok = parseSegment(value, o.segment, o.segments);
        else if (name == "--join")
            o.joinDir = text;
        else if (name == "--progress")
            o.progressFile = text;
        else if (name == "--soundtrack")
            o.soundtrackFile = text;
        else if (name == "--audio")
            o.audioFile = text;
        if (!ok) {
            error = "bad value '" + text + "' for " + name;
            return false;
        }
    }

    if (o.mode == RenderMode::Stills && o.outDir.empty()) {
        error = "--stills needs --out DIR";
        return false;
    }
    if (o.mode == RenderMode::Join && o.videoFile.empty()) {
        error = "--join needs --video FILE: where the joined video goes";
        return false;
    }
    if (o.lossless && o.videoFile.empty() && o.mode != RenderMode::Soundtrack) {
        error = "--lossless is for a video: give --video FILE";
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
           "                     [--fps F] [--size WxH] [--format ppm|png] [--lossless] [--segment K/N]\n"
           "                     [--progress FILE] [--data DIR]\n"
           "       velvet-render --stills T1,T2,... --out DIR [--format png|ppm] [--fps F] [--size WxH] [--data DIR]\n"
           "       velvet-render --bench [--frames N] [--json] [--fps F] [--size WxH] [--data DIR]\n"
           "       velvet-render --join DIR --video FILE.mp4 [--audio FILE.m4a] [--from MS] [--to MS | --seconds N]\n"
           "                     [--fps F] [--size WxH] [--data DIR]\n"
           "       velvet-render --soundtrack FILE.m4a [--from MS] [--to MS | --seconds N] [--fps F] [--data DIR]\n"
           "Plays the show offline on a fixed-step clock, headless, and writes what it draws.\n"
           "  --frames DIR    one picture per frame (frame_00000.ppm, ... numbered from the show's start)\n"
           "  --video FILE    an H.264 video with the soundtrack, through the ffmpeg command; written\n"
           "                  under a temporary name and renamed when complete\n"
           "  --lossless      the video at constant quantiser 0 in 4:4:4 (masters, checking)\n"
           "  --segment K/N   only the K-th of N equal parts of the span's frames, the video without\n"
           "                  sound: N such segments, rendered anywhere, make the span with --join\n"
           "  --join DIR      join the segments DIR/*.mp4 (in name order, made with --segment K/N and\n"
           "                  the same span, size, rate and --lossless) into --video without re-encoding,\n"
           "                  with the span's soundtrack; every segment's frame count is checked\n"
           "  --audio FILE    with --join: mux FILE (made by --soundtrack for the same span) as it is\n"
           "  --soundtrack FILE\n"
           "                  only the span's soundtrack, encoded as a video's (AAC): made while\n"
           "                  segments render, so the join has nothing left to encode\n"
           "  --progress FILE the frames done and the frames of the whole span, one line rewritten\n"
           "                  as they go (for scripts)\n"
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
           "  --fps F         frames per second of show time (60): the same for frames, video, stills\n"
           "                  and bench, so a still at T is the video's frame at T\n"
           "  --size WxH      picture size (default 1024x768), or 720p, 1080p, 1440p, 2160p; the show\n"
           "                  keeps its 4:3 framing, with black bars on other shapes\n"
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
