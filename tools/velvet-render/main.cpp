// velvet-render: plays the show through the same director and the same start-up as
// velvet-orbit, headless, on a fixed-step virtual clock, and writes what it draws:
// frames of a span of the show (or of one segment of it) as pictures and/or a video with
// the soundtrack, stills at chosen times, or the benchmark's figures; or joins segments
// rendered apart into the span's video. The same command writes the same bytes on every
// run.
#include "app/NoInput.h"
#include "app/ShowFrames.h"
#include "app/ShowSession.h"
#include "app/TextTokens.h"
#include "demo/ShowFiles.h"
#include "engine/render/CaptureDevice.h"
#include "platform/Events.h"
#include "platform/TimeSource.h"
#include "tools/velvet-render/Bench.h"
#include "tools/velvet-render/ExportProgress.h"
#include "tools/velvet-render/ExportSpan.h"
#include "tools/velvet-render/FrameSinks.h"
#include "tools/velvet-render/PictureFile.h"
#include "tools/velvet-render/ProgressFile.h"
#include "tools/velvet-render/RenderOptions.h"
#include "tools/velvet-render/SegmentJoin.h"
#include "tools/velvet-render/VideoEncoder.h"

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

static_assert(DEFAULT_FPS == FIXED_FPS, "stills, videos and seeking run at one rate");

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

// The frames this run writes: the span, or the options' segment of it.
FrameSpan framesToWrite(const RenderOptions& options, const std::vector<std::int32_t>& sceneChanges)
{
    const FrameSpan span = exportSpan(options, sceneChanges);
    return options.segments > 0 ? segmentOf(span, options.segment, options.segments) : span;
}

VideoFormat videoFormat(const RenderOptions& options)
{
    VideoFormat format;
    format.width = options.width;
    format.height = options.height;
    format.fps = options.fps;
    format.lossless = options.lossless;
    return format;
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

// sceneChanges: the show's sync times; soundtrack: empty for a video without sound.
int exportFrames(const RenderOptions& options, Show& show, CaptureDevice& device,
    const std::vector<std::int32_t>& sceneChanges, const std::string& soundtrack)
{
    std::string error;
    FrameFolderWriter pictures;
    if (!options.framesDir.empty() && !pictures.open(options.framesDir, options.format, error))
        return fail(error);
    const FrameSpan span = framesToWrite(options, sceneChanges);
    // A segment has no sound: the join adds the span's soundtrack once.
    const std::string sound = options.segments > 0 ? std::string() : soundtrack;
    VideoEncoder video;
    if (!options.videoFile.empty() && !video.open(options.videoFile, videoFormat(options), sound, soundOf(span, options.fps), error))
        return fail(error);
    announce(options.segments > 0 ? "segment" : "export", long(span.frames()), options);

    const auto started = std::chrono::steady_clock::now();
    ShowFrames frames(show, options.fps);
    // The frames before the span take no drawing and little time: only drawn ones count.
    bool ok = frames.simulateTo(span.first);
    ExportProgress progress(long(span.frames()), ::isatty(2) != 0);
    ProgressFile progressFile(options.progressFile, long(exportSpan(options, sceneChanges).frames()));
    while (ok && frames.next() < span.end && !stopRequested()) {
        const std::int64_t frame = frames.next();
        frames.draw();
        const std::uint8_t* rgb = drawnFrame(device, error);
        ok = rgb != nullptr;
        if (ok && !options.framesDir.empty())
            ok = pictures.write(long(frame), rgb, device.frameWidth, device.frameHeight, error);
        if (ok && !options.videoFile.empty())
            ok = video.write(rgb, error);
        if (ok) {
            progress.frame(long(frames.next() - span.first));
            progressFile.update(long(frames.next() - span.first));
        }
    }
    progress.finish();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long drawn = long(std::max<std::int64_t>(frames.next() - span.first, 0));
    // An export that did not reach its end is a failure, and leaves no video behind.
    if (ok && frames.next() < span.end)
        return fail("stopped at frame " + std::to_string(frames.next()) + " of " + std::to_string(span.end)
            + (options.videoFile.empty() ? std::string() : "; no video written"));
    if (ok && !options.videoFile.empty())
        ok = video.close(error);
    if (!ok)
        return fail(error);
    progressFile.update(drawn, true);
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
    for (std::string* path : {&options.framesDir, &options.videoFile, &options.outDir, &options.joinDir,
             &options.progressFile, &options.soundtrackFile, &options.audioFile})
        if (!path->empty())
            *path = fs::absolute(*path).lexically_normal().string();

    data = ShowSession::findData(options.dataFolder, error);
    if (data.empty()) {
        if (!error.empty() && error.back() == '\n')
            error.pop_back();
        return false;
    }
    soundtrack = (fs::path(data) / showfiles::MUSIC).string();
    const std::string& encoded = options.videoFile.empty() ? options.soundtrackFile : options.videoFile;
    if (!encoded.empty()) {
        if (options.width % 2 || options.height % 2) {
            error = "a video needs an even width and height";
            return false;
        }
        // A segment is joined to the soundtrack later, by --join; an --audio file has it.
        if (options.segments == 0 && options.audioFile.empty() && !fs::is_regular_file(soundtrack)) {
            error = "the soundtrack " + soundtrack + " is missing; a video needs it";
            return false;
        }
        if (findOnPath("ffmpeg").empty()) {
            error = "the ffmpeg command was not found on PATH; a video needs it (Debian: apt-get install ffmpeg)";
            return false;
        }
        if (!checkWritableFile(encoded, error))
            return false;
    }
    if (!options.audioFile.empty() && !fs::is_regular_file(options.audioFile)) {
        error = "no soundtrack file at " + options.audioFile;
        return false;
    }
    if (!options.joinDir.empty() && !fs::is_directory(options.joinDir)) {
        error = "no folder of segments at " + options.joinDir;
        return false;
    }
    if (!options.framesDir.empty() && !checkFolderPossible(options.framesDir, error))
        return false;
    return options.outDir.empty() || checkFolderPossible(options.outDir, error);
}

// The span asked for cannot be cut into the options' segments: why; empty when it can.
std::string tooManySegments(const RenderOptions& options, const std::vector<std::int32_t>& sceneChanges)
{
    const FrameSpan span = exportSpan(options, sceneChanges);
    if (options.segments <= span.frames())
        return {};
    return "a span of " + std::to_string(span.frames()) + " frame(s) cannot be cut into "
        + std::to_string(options.segments) + " segments";
}

int join(const RenderOptions& options, const std::vector<std::int32_t>& sceneChanges, const std::string& soundtrack)
{
    platform::installSignalHandlers();
    JoinRequest request;
    request.segmentDir = options.joinDir;
    request.output = options.videoFile;
    request.soundtrack = soundtrack;
    request.encodedSoundtrack = options.audioFile;
    request.span = exportSpan(options, sceneChanges);
    request.format = videoFormat(options);
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    if (!joinSegments(request, stopRequested, error))
        return fail(error + "; no video written");
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "velvet-render: %lld frames joined in %.1f s; video written to %s\n",
        static_cast<long long>(request.span.frames()), wall, options.videoFile.c_str());
    return 0;
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
    // The span's end comes from the show's scene changes, read as the show reads them.
    std::vector<std::int32_t> sceneChanges;
    readValues((fs::path(data) / showfiles::SYNC).c_str(), sceneChanges);
    const std::string refused = tooManySegments(options, sceneChanges);
    if (!refused.empty())
        return fail(refused);
    if (options.mode == RenderMode::Join)
        return join(options, sceneChanges, soundtrack);
    if (options.mode == RenderMode::Soundtrack) {
        platform::installSignalHandlers();
        if (!encodeSoundtrack(options.soundtrackFile, soundtrack, soundOf(exportSpan(options, sceneChanges), options.fps),
                stopRequested, error))
            return fail(error + "; no soundtrack written");
        std::fprintf(stderr, "velvet-render: soundtrack written to %s\n", options.soundtrackFile.c_str());
        return 0;
    }

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
                                              : exportFrames(options, session.show(), device, sceneChanges, soundtrack);
}
