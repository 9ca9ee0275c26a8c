// The command line of velvet-render: what to make (frames and/or a video of a span of the
// show or of one segment of it, stills at chosen times, the benchmark, the join of a
// span's segments, or the span's soundtrack alone), how fast and how large. Parsing and checking only; it opens nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RenderMode { Export, Stills, Bench, Join, Soundtrack };
enum class PictureFormat { Ppm, Png };

// One rate for frames, video, stills and the benchmark, so that a still at a show time
// is the video's frame at that time; also the rate at which the show seeks.
constexpr int DEFAULT_FPS = 60;

struct RenderOptions {
    RenderMode mode = RenderMode::Export;
    std::string framesDir;  // --frames DIR: one picture per frame
    std::string videoFile;  // --video FILE: H.264 + the soundtrack through ffmpeg
    bool lossless = false;  // --lossless: H.264 at quantiser 0, 4:4:4
    int segment = 0;        // --segment K/N: the K-th (1..N) of N equal parts of the span,
    int segments = 0;       //   as a video without sound; 0/0: the whole span
    std::string joinDir;    // --join DIR: the segments DIR/*.mp4 joined into --video
    std::string soundtrackFile; // --soundtrack FILE: the span's soundtrack alone, encoded
    std::string audioFile;  // --join's --audio FILE: that soundtrack, muxed as it is
    std::string progressFile; // --progress FILE: frames done so far, rewritten as they go
    double seconds = -1.0;  // --seconds N; < 0: to --to, or the last scene change + 10 s
    std::int64_t fromMs = 0; // --from: first show millisecond exported
    std::int64_t toMs = -1;  // --to: end of the span (exclusive); < 0: see seconds
    std::vector<std::int64_t> stills; // --stills T1,T2,...: show milliseconds, as given
    std::string outDir;     // --out DIR for the stills
    PictureFormat format = PictureFormat::Ppm; // --format; stills default to PNG
    int benchFrames = 120;  // --bench --frames N: frames drawn per scene
    bool json = false;      // --json: the benchmark as one JSON object
    int fps = DEFAULT_FPS;  // --fps F
    int width = 1024;       // --size WxH
    int height = 768;
    std::string dataFolder; // --data DIR; empty: look for the Data folder
    bool help = false;
};

// Fills options from argv. False with error set on a bad or missing value, an unknown
// option, options that do not go together, or when nothing is asked for (unless --help).
bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error);
// The --help text.
const char* renderUsage();
