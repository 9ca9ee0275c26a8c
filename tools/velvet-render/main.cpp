// velvet-render: plays the show through the same director as velvet-orbit, headless, on
// a fixed-step virtual clock, and writes every frame as a PPM picture or into a video
// with the soundtrack. The same command renders the same frames on every run.
#include "app/DataFolder.h"
#include "app/Demo.h"
#include "app/Director.h"
#include "engine/core/Console.h"
#include "engine/core/FrameClock.h"
#include "engine/render/AppWindow.h"
#include "tools/velvet-render/CaptureDevice.h"
#include "tools/velvet-render/FrameSinks.h"
#include "tools/velvet-render/RenderOptions.h"
#include "platform/Events.h"
#include "platform/TimeSource.h"

#include <GL/gl.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr double TAIL_SECONDS = 10.0;
const char* const SOUNDTRACK = "rap2.mp3";

int fail(const std::string& message)
{
    std::fprintf(stderr, "velvet-render: %s\n", message.c_str());
    return 1;
}

// The frames of the show to render: what was asked, or the last scene change plus a tail.
long frameCount(const RenderOptions& options)
{
    double seconds = options.seconds;
    if (seconds < 0.0) {
        const auto& times = showDirector().syncTimes();
        seconds = (times.empty() ? 0.0 : times.back() / 1000.0) + TAIL_SECONDS;
    }
    return std::max(1L, std::lround(seconds * options.fps));
}

// Ctrl+C and SIGTERM arrive as a close request: the render stops early and still
// finishes its files.
bool closeRequested()
{
    platform::Event event;
    while (platform::pollEvent(event))
        if (event.type == platform::EventType::WindowClose || event.type == platform::EventType::Quit
            || event.type == platform::EventType::AppQuit)
            return true;
    return false;
}

class Progress {
public:
    Progress(long total, int fps) : total_(total), fps_(fps), tty_(::isatty(2) != 0) {}
    void frame(long done)
    {
        if (tty_) {
            if (done == total_ || done % 5 == 0)
                std::fprintf(stderr, "\rvelvet-render: frame %ld / %ld", done, total_);
            if (done == total_)
                std::fprintf(stderr, "\n");
        } else if (done == total_ || done % (long(fps_) * 10) == 0) {
            std::fprintf(stderr, "velvet-render: frame %ld / %ld\n", done, total_);
        }
    }

private:
    long total_;
    int fps_;
    bool tty_;
};

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
    if (!options.videoFile.empty() && (options.width % 2 || options.height % 2))
        return fail("a video needs an even width and height");

    // The show changes the working directory to its data folder: fix the outputs first.
    if (!options.framesDir.empty())
        options.framesDir = fs::absolute(options.framesDir).lexically_normal().string();
    if (!options.videoFile.empty())
        options.videoFile = fs::absolute(options.videoFile).lexically_normal().string();

    // Without its data the show has nothing to play: say so before any window opens.
    DataFolderSearch data = findDataFolder();
    if (data.found.empty()) {
        std::string text = describeMissingDataFolder(data);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        return fail(text);
    }
    const std::string soundtrack = (fs::path(data.found) / SOUNDTRACK).string();
    if (!options.videoFile.empty() && !fs::is_regular_file(soundtrack))
        return fail("the soundtrack " + soundtrack + " is missing; a video needs it");
    if (!options.videoFile.empty() && findOnPath("ffmpeg").empty())
        return fail("the ffmpeg command was not found on PATH; a video needs it (Debian: apt-get install ffmpeg)");

    // Headless unless told otherwise; the sound goes into the video, not to the speakers.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::signal(SIGPIPE, SIG_IGN);

    PpmFrameWriter pictures;
    if (!options.framesDir.empty() && !pictures.open(options.framesDir, error))
        return fail(error);

    // One frame of show time per step; nothing moves while the show loads.
    platform::useVirtualClock(std::int64_t(std::llround(1e9 / options.fps)));
    platform::installSignalHandlers();
    engineStart();
    auto* device = new CaptureDevice;
    auto* window = new AppWindow(options.width, options.height, 32, false, false);
    device->attachWindow(window);
    if (!window->created()) {
        device->detachWindow();
        delete device;
        engineStop();
        return fail("no OpenGL window could be made (is Mesa installed? try SDL_VIDEODRIVER=offscreen)");
    }
    openConsole();
    demoInit();

    VideoEncoder video;
    if (!options.videoFile.empty()
        && !video.open(options.videoFile, soundtrack, options.width, options.height, options.fps, error)) {
        device->detachWindow();
        delete device;
        engineStop();
        return fail(error);
    }

    const long total = frameCount(options);
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    std::fprintf(stderr, "velvet-render: %ld frames (%.2f s at %d fps, %dx%d) on %s\n", total,
        double(total) / options.fps, options.fps, options.width, options.height, renderer ? renderer : "?");

    Progress progress(total, options.fps);
    const auto started = std::chrono::steady_clock::now();
    long done = 0;
    bool ok = true;
    for (; done < total && ok; ++done) {
        if (closeRequested()) {
            std::fprintf(stderr, "\nvelvet-render: stopped at frame %ld\n", done);
            break;
        }
        device->presentedFrames = 0;
        demoUpdate();
        demoRender();
        if (device->presentedFrames == 0) {
            error = "the show presented no frame";
            ok = false;
            break;
        }
        const std::uint8_t* rgb = device->lastFrame.data();
        if (!options.framesDir.empty())
            ok = pictures.write(rgb, device->frameWidth, device->frameHeight, error);
        if (ok && !options.videoFile.empty())
            ok = video.write(rgb, device->frameWidth, device->frameHeight, error);
        platform::advanceVirtualClock();
        if (ok)
            progress.frame(done + 1);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::string closeError;
    if (!options.videoFile.empty() && !video.close(closeError) && ok) {
        ok = false;
        error = closeError;
    }
    device->detachWindow();
    delete device;
    engineStop();

    if (!ok)
        return fail(error);
    std::fprintf(stderr, "velvet-render: %ld frames in %.1f s (%.1f frames per second)\n", done, wall,
        wall > 0.0 ? done / wall : 0.0);
    if (!options.framesDir.empty())
        std::fprintf(stderr, "velvet-render: frames written to %s\n", options.framesDir.c_str());
    if (!options.videoFile.empty())
        std::fprintf(stderr, "velvet-render: video written to %s\n", options.videoFile.c_str());
    return 0;
}
