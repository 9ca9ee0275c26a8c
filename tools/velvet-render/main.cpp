// velvet-render: plays the show through the same director and the same start-up as
// velvet-orbit, headless, on a fixed-step virtual clock, and writes what it draws:
// frames of a span of the show as pictures and/or a video with the soundtrack, stills at
// chosen times, or the benchmark's figures. The same command writes the same bytes on
// every run.
#include "app/NoInput.h"
#include "app/ShowFrames.h"
#include "app/ShowSession.h"
#include "demo/ShowFiles.h"
#include "engine/render/CaptureDevice.h"
#include "platform/TimeSource.h"
#include "tools/velvet-render/Bench.h"
#include "tools/velvet-render/ExportProgress.h"
#include "tools/velvet-render/FrameSinks.h"
#include "tools/velvet-render/PictureFile.h"
#include "tools/velvet-render/RenderOptions.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr std::int64_t TAIL_MS = 10000;
const char* const CAPABILITY_LOG = "Init.log";

int fail(const std::string& message)
{
    std::fprintf(stderr, "velvet-render: %s\n", message.c_str());
    return 1;
}

RenderDevice* makeCaptureDevice()
{
    return new CaptureDevice;
}

// The frames [first, end) of the export: --from, then --to, --seconds or the last scene
// change plus a tail.
struct Span {
    std::int64_t first = 0;
    std::int64_t end = 0;
};

Span exportSpan(const RenderOptions& options, const Show& show)
{
    std::int64_t toMs = options.toMs;
    if (toMs < 0 && options.seconds > 0.0)
        toMs = options.fromMs + std::llround(options.seconds * 1000.0);
    if (toMs < 0) {
        const auto& times = show.director().syncTimes();
        toMs = (times.empty() ? 0 : times.back()) + TAIL_MS;
    }
    Span span;
    span.first = frameAtMs(options.fromMs, options.fps);
    span.end = std::max(span.first + 1, (toMs * options.fps + 999) / 1000);
    return span;
}

const std::uint8_t* drawnFrame(CaptureDevice& device, std::string& error)
{
    if (device.presentedFrames == 0) {
        error = "the show presented no frame";
        return nullptr;
    }
    device.presentedFrames = 0;
    return device.lastFrame.data();
}

void announce(const char* what, long frames, const RenderOptions& options)
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::fprintf(stderr, "velvet-render: %s, %ld frames at %d fps, %dx%d, on %s\n", what, frames, options.fps,
        options.width, options.height, renderer ? renderer : "?");
}

// The progress bar told how far the frames run without drawing have come.
std::function<void(std::int64_t)> counting(ExportProgress& progress)
{
    return [&progress](std::int64_t next) { progress.frame(long(next)); };
}

int exportFrames(const RenderOptions& options, Show& show, CaptureDevice& device, const std::string& soundtrack)
{
    std::string error;
    FrameFolderWriter pictures;
    if (!options.framesDir.empty() && !pictures.open(options.framesDir, options.format, error))
        return fail(error);
    const Span span = exportSpan(options, show);
    VideoEncoder video;
    if (!options.videoFile.empty()) {
        SoundSpan sound;
        sound.startSeconds = double(frameTimeNs(span.first, options.fps)) / 1e9;
        sound.seconds = double(span.end - span.first) / options.fps;
        if (!video.open(options.videoFile, soundtrack, sound, options.width, options.height, options.fps, error))
            return fail(error);
    }
    announce("export", long(span.end - span.first), options);

    const auto started = std::chrono::steady_clock::now();
    ShowFrames frames(show, options.fps);
    // The frames before the span take no drawing and little time: only drawn ones count.
    bool ok = frames.simulateTo(span.first);
    ExportProgress progress(long(span.end - span.first), ::isatty(2) != 0);
    while (ok && frames.next() < span.end && !stopRequested()) {
        const std::int64_t frame = frames.next();
        frames.draw();
        const std::uint8_t* rgb = drawnFrame(device, error);
        ok = rgb != nullptr;
        if (ok && !options.framesDir.empty())
            ok = pictures.write(long(frame), rgb, device.frameWidth, device.frameHeight, error);
        if (ok && !options.videoFile.empty())
            ok = video.write(rgb, device.frameWidth, device.frameHeight, error);
        if (ok)
            progress.frame(long(frames.next() - span.first));
    }
    progress.finish();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long drawn = long(std::max<std::int64_t>(frames.next() - span.first, 0));
    if (frames.next() < span.end && ok)
        std::fprintf(stderr, "velvet-render: stopped at frame %lld\n", static_cast<long long>(frames.next()));

    std::string closeError;
    if (!options.videoFile.empty() && !video.close(closeError) && ok) {
        ok = false;
        error = closeError;
    }
    if (!ok)
        return fail(error);
    std::fprintf(stderr, "velvet-render: %ld frames in %.1f s (%.1f frames per second)\n", drawn, wall,
        wall > 0.0 ? drawn / wall : 0.0);
    if (!options.framesDir.empty())
        std::fprintf(stderr, "velvet-render: frames written to %s\n", options.framesDir.c_str());
    if (!options.videoFile.empty())
        std::fprintf(stderr, "velvet-render: video written to %s\n", options.videoFile.c_str());
    return 0;
}

int exportStills(const RenderOptions& options, Show& show, CaptureDevice& device)
{
    std::string error;
    if (!prepareFolder(options.outDir, error))
        return fail(error);
    std::vector<std::int64_t> times = options.stills;
    std::sort(times.begin(), times.end());
    const std::int64_t last = frameAtMs(times.back(), options.fps);
    announce("stills", long(times.size()), options);

    ShowFrames frames(show, options.fps);
    ExportProgress progress(long(last + 1), ::isatty(2) != 0);
    bool ok = true;
    for (std::size_t i = 0; ok && i < times.size();) {
        const std::int64_t frame = frameAtMs(times[i], options.fps);
        ok = frames.simulateTo(frame, counting(progress));
        if (!ok)
            break;
        frames.draw();
        progress.frame(long(frames.next()));
        const std::uint8_t* rgb = drawnFrame(device, error);
        ok = rgb != nullptr;
        // Every time on screen during this frame gets its own file.
        for (; ok && i < times.size() && frameAtMs(times[i], options.fps) == frame; ++i) {
            const std::string name = "frame-" + std::to_string(times[i]) + "." + pictureExtension(options.format);
            ok = writePicture((fs::path(options.outDir) / name).string(), options.format, rgb, device.frameWidth,
                device.frameHeight, error);
        }
    }
    progress.finish();
    if (!ok)
        return fail(error.empty() ? "stopped before the last still" : error);
    std::fprintf(stderr, "velvet-render: %zu stills written to %s\n", times.size(), options.outDir.c_str());
    return 0;
}

// Why the show's pictures cannot be made from what loaded; empty when they can.
std::string incompleteData(const ShowLoadReport& loaded)
{
    const std::vector<std::string> missing = loaded.missingForPictures();
    if (missing.empty())
        return {};
    return "the show's data in " + loaded.dataFolder + " is incomplete; missing or unreadable: " + joinNames(missing);
}

// reportOut: where standard output went before the show's console was sent to standard
// error; the report goes there alone.
int bench(const RenderOptions& options, ShowSession& session, const std::string& data, int reportOut)
{
    ShowLoadReport loaded;
    const BenchReport figures = runBench(session, data, options.benchFrames, options.fps, loaded);
    const std::string incomplete = incompleteData(loaded);
    if (!incomplete.empty())
        return fail(incomplete);
    const std::string text = options.json ? benchJson(figures) : benchTable(figures);
    std::fflush(stdout);
    if (::write(reportOut, text.data(), text.size()) != ssize_t(text.size()))
        return fail("cannot write the report");
    return figures.scenes.empty() ? fail("no scene was measured") : 0;
}

// Everything the run needs from the machine, checked before any window opens; nothing
// is created yet.
bool checkOutputs(RenderOptions& options, std::string& data, std::string& soundtrack, std::string& error)
{
    // The show changes the working directory to its data folder: fix the outputs first.
    for (std::string* path : {&options.framesDir, &options.videoFile, &options.outDir})
        if (!path->empty())
            *path = fs::absolute(*path).lexically_normal().string();

    data = ShowSession::findData(options.dataFolder, error);
    if (data.empty()) {
        if (!error.empty() && error.back() == '\n')
            error.pop_back();
        return false;
    }
    soundtrack = (fs::path(data) / showfiles::MUSIC).string();
    if (!options.videoFile.empty()) {
        if (options.width % 2 || options.height % 2) {
            error = "a video needs an even width and height";
            return false;
        }
        if (!fs::is_regular_file(soundtrack)) {
            error = "the soundtrack " + soundtrack + " is missing; a video needs it";
            return false;
        }
        if (findOnPath("ffmpeg").empty()) {
            error = "the ffmpeg command was not found on PATH; a video needs it (Debian: apt-get install ffmpeg)";
            return false;
        }
        if (!checkWritableFile(options.videoFile, error))
            return false;
    }
    if (!options.framesDir.empty() && !checkFolderPossible(options.framesDir, error))
        return false;
    return options.outDir.empty() || checkFolderPossible(options.outDir, error);
}

}

int main(int argc, char** argv)
{
    RenderOptions options;
    std::string error;
    if (!parseRenderOptions(argc, argv, options, error)) {
        fail(error);
        return 2;
    }
    if (options.help) {
        std::printf("%s", renderUsage());
        return 0;
    }
    std::string data, soundtrack;
    if (!checkOutputs(options, data, soundtrack, error))
        return fail(error);

    // Headless unless told otherwise; the sound goes into the video, not to the speakers.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::signal(SIGPIPE, SIG_IGN);

    // The benchmark's report alone goes to standard output; the show's console goes to
    // standard error.
    const int reportOut = options.mode == RenderMode::Bench ? ::dup(1) : -1;
    if (reportOut >= 0)
        ::dup2(2, 1);

    // Show time moves one frame per frame; nothing moves while the show loads.
    platform::useVirtualClock(0);
    ShowSession session;
    ShowWindowRequest window;
    window.width = options.width;
    window.height = options.height;
    window.askFullscreen = false;
    // The report on the driver goes with the show's data, not into the caller's folder.
    window.capabilityLog = (fs::path(data) / CAPABILITY_LOG).string();
    if (!session.open(options.mode == RenderMode::Bench ? ShowSession::makeGLDevice : makeCaptureDevice, window))
        return fail("no OpenGL window could be made (is Mesa installed? try SDL_VIDEODRIVER=offscreen)");
    // Nobody watches: a held key or the cursor must not steer the camera.
    NoInput untouched(options.width / 2, options.height / 2);

    if (options.mode == RenderMode::Bench)
        return bench(options, session, data, reportOut);
    const std::string incomplete = incompleteData(session.load(data));
    if (!incomplete.empty())
        return fail(incomplete);
    auto& device = static_cast<CaptureDevice&>(*session.device());
    return options.mode == RenderMode::Stills ? exportStills(options, session.show(), device)
                                              : exportFrames(options, session.show(), device, soundtrack);
}
