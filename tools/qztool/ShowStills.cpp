#include "tools/qztool/ShowStills.h"

#include "app/NoInput.h"
#include "app/ShowFrames.h"
#include "engine/render/CaptureDevice.h"
#include "platform/TimeSource.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

const char* const CAPABILITY_LOG = "Init.log";

RenderDevice* makeCaptureDevice()
{
    return new CaptureDevice;
}

}

ShowStills::ShowStills() = default;

ShowStills::~ShowStills()
{
    close();
}

bool ShowStills::open(const std::string& dataFolder, ShowLoadReport& report, std::string& error)
{
    // Headless unless told otherwise; nobody listens to the music.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // The show's console (banner, scene and lyric lines) is not this command's output.
    std::fflush(stdout);
    savedStdout_ = ::dup(1);
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) {
        ::dup2(quiet, 1);
        ::close(quiet);
    }

    platform::useVirtualClock(0);
    ShowWindowRequest window;
    window.width = WIDTH;
    window.height = HEIGHT;
    window.askFullscreen = false;
    window.capabilityLog = (std::filesystem::path(dataFolder) / CAPABILITY_LOG).string();
    if (!session_.open(makeCaptureDevice, window)) {
        error = "no OpenGL window could be made for the stills (is Mesa installed? try SDL_VIDEODRIVER=offscreen)";
        close();
        return false;
    }
    input_ = std::make_unique<NoInput>(WIDTH / 2, HEIGHT / 2);
    report = session_.load(dataFolder);
    frames_ = std::make_unique<ShowFrames>(session_.show(), FIXED_FPS);
    return true;
}

bool ShowStills::still(std::int64_t ms, RgbPicture& picture, std::string& error)
{
    auto& device = static_cast<CaptureDevice&>(*session_.device());
    device.presentedFrames = 0;
    if (!frames_->drawAt(ms)) {
        error = "stopped before the last still";
        return false;
    }
    if (device.presentedFrames == 0) {
        error = "the show presented no frame";
        return false;
    }
    picture.width = device.frameWidth;
    picture.height = device.frameHeight;
    picture.rgb = device.lastFrame;
    return true;
}

void ShowStills::close()
{
    frames_.reset();
    input_.reset();
    session_.close();
    platform::useRealClock();
    if (savedStdout_ >= 0) {
        std::fflush(stdout);
        ::dup2(savedStdout_, 1);
        ::close(savedStdout_);
        savedStdout_ = -1;
    }
}
