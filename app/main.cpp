// velvet-orbit: the show. Brings the engine up, lets the director load the show, runs
// the frame loop until the window is closed (Escape, the close button, Ctrl+C), reports
// the average frame rate and tears everything down.
#include "app/FrameLoop.h"
#include "app/FrameRateReport.h"
#include "app/SceneKeys.h"
#include "app/ShowSession.h"
#include "engine/core/Console.h"
#include "engine/core/PerfTimer.h"
#include "engine/render/AppWindow.h"
#include "platform/GLWindow.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    bool windowed = false;
    bool vsync = true;        // false: --no-vsync
    std::int32_t startMs = 0; // --start, in show milliseconds
    std::string dataFolder;   // --data; empty: look for it
};

// The show is a few minutes long; an hour is far past its end.
constexpr double MAX_START_SECONDS = 3600.0;

void printHelp()
{
    std::printf("usage: velvet-orbit [--windowed] [--start SECONDS] [--data DIR] [--no-vsync] [--help] [--version]\n"
                "Plays Velvet Orbit, a real-time 3D show in fourteen scenes, from the Data folder.\n"
                "  --windowed       open a 1024 x 768 window instead of asking for full screen\n"
                "  --start SECONDS  begin that far into the show, picture and music together\n"
                "  --data DIR       play the show's data in DIR (default: the Data folder in the\n"
                "                   working directory, else beside the program, else the installed one)\n"
                "  --no-vsync       draw frames as fast as they come: no sync with the display and no\n"
                "                   cap at its refresh rate (for measuring)\n"
                "  --help           print this text and exit\n"
                "  --version        print the version and exit\n"
                "Page Down and Page Up jump to the next and the previous scene.\n"
                "Escape, closing the window or Ctrl+C ends the show.\n");
}

bool parseStart(const char* text, std::int32_t& ms)
{
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text, &end);
    if (errno != 0 || end == text || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0
        || seconds > MAX_START_SECONDS)
        return false;
    ms = static_cast<std::int32_t>(std::lround(seconds * 1000.0));
    return true;
}

// Returns -1 to go on, or the exit status to leave with.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windowed") == 0) {
            options.windowed = true;
        } else if (std::strcmp(argv[i], "--start") == 0) {
            if (i + 1 >= argc || !parseStart(argv[i + 1], options.startMs)) {
                std::fprintf(stderr, "velvet-orbit: --start needs a number of seconds from 0 to %.0f\n",
                    MAX_START_SECONDS);
                return 2;
            }
            ++i;
        } else if (std::strcmp(argv[i], "--data") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "velvet-orbit: --data needs a folder\n");
                return 2;
            }
            options.dataFolder = argv[++i];
        } else if (std::strcmp(argv[i], "--no-vsync") == 0) {
            options.vsync = false;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp();
            return 0;
        } else if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("velvet-orbit %s (duZER engine)\n", VELVET_VERSION);
            return 0;
        } else {
            std::fprintf(stderr, "velvet-orbit: unknown option '%s' (try --help)\n", argv[i]);
            return 2;
        }
    }
    return -1;
}

// One console line on how the frames keep time with the display.
void reportPacing(const AppWindow& window, platform::SwapPacing pacing)
{
    switch (pacing) {
    case platform::SwapPacing::Free:
        consolePrintf("display sync : off, frames as fast as they come\n");
        break;
    case platform::SwapPacing::Adaptive:
        consolePrintf("display sync : adaptive (a late frame is shown at once)\n");
        break;
    case platform::SwapPacing::Synced:
        consolePrintf("display sync : on\n");
        break;
    case platform::SwapPacing::Capped:
        consolePrintf("display sync : not done by the driver; frames capped at %d per second\n",
            window.refreshRate());
        break;
    }
}

}

int main(int argc, char** argv)
{
    Options options;
    int status = parseOptions(argc, argv, options);
    if (status >= 0)
        return status;

    // Without its data the show has nothing to play: say so before any window opens.
    std::string missing;
    const std::string data = ShowSession::findData(options.dataFolder, missing);
    if (data.empty()) {
        std::fprintf(stderr, "%s", missing.c_str());
        return 1;
    }

    ShowSession session;
    ShowWindowRequest window;
    window.askFullscreen = !options.windowed;
    if (!session.open(ShowSession::makeGLDevice, window))
        return 1;
    // A file missing here and there leaves its scene drawing what loaded; a folder from
    // which no scene can draw anything is not the show.
    const ShowLoadReport report = session.load(data, options.startMs);
    if (report.drawsNothing()) {
        std::fprintf(stderr, "velvet-orbit: %s holds none of the show's pictures, models or particle sprite; missing: %s\n",
            data.c_str(), joinNames(report.missing).c_str());
        return 1;
    }
    if (!report.complete())
        std::fprintf(stderr, "velvet-orbit: missing from %s (their scenes draw what loaded): %s\n", data.c_str(),
            joinNames(report.missing).c_str());
    const platform::SwapPacing pacing = session.window()->paceSwaps(options.vsync);
    reportPacing(*session.window(), pacing);
    Show& show = session.show();

    PerfTimer runTimer;
    FrameCallbacks frame;
    frame.update = [&show] {
        handleSceneKeys(show);
        show.update();
    };
    frame.render = [&show] { show.render(); };
    std::uint32_t frames = runFrameLoop(session.window(), frame);
    if (session.window() && session.window()->swapPacing() != pacing)
        reportPacing(*session.window(), session.window()->swapPacing());

    showFrameRate(formatFrameRate(frames, runTimer.elapsedSeconds()));
    session.close();
    return 0;
}
