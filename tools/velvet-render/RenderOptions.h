// The command line of velvet-render: what to make (frames and/or a video of a span of the
// show, stills at chosen times, or the benchmark), how fast and how large. Parsing and
// checking only; it opens nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class RenderMode { Export, Stills, Bench };
enum class PictureFormat { Ppm, Png };

struct RenderOptions {
    RenderMode mode = RenderMode::Export;
    std::string framesDir;  // --frames DIR: one picture per frame
    std::string videoFile;  // --video FILE: H.264 + the soundtrack through ffmpeg
    double seconds = -1.0;  // --seconds N; < 0: to --to, or the last scene change + 10 s
    std::int64_t fromMs = 0; // --from: first show millisecond exported
    std::int64_t toMs = -1;  // --to: end of the span (exclusive); < 0: see seconds
    std::vector<std::int64_t> stills; // --stills T1,T2,...: show milliseconds, as given
    std::string outDir;     // --out DIR for the stills
    PictureFormat format = PictureFormat::Ppm; // --format; stills default to PNG
    int benchFrames = 120;  // --bench --frames N: frames drawn per scene
    bool json = false;      // --json: the benchmark as one JSON object
    int fps = 30;           // --fps F; stills and the benchmark default to 60
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
