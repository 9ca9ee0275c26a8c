// velvet-orbit: the show. Brings the engine up, lets the director load the show, runs
// the frame loop until the window is closed (Escape, the close button, Ctrl+C), reports
// the average frame rate and tears everything down.
#include "app/DataFolder.h"
#include "app/Demo.h"
#include "app/FrameLoop.h"
#include "app/FrameRateReport.h"
#include "engine/core/Console.h"
#include "engine/core/FrameClock.h"
#include "engine/core/PerfTimer.h"
#include "engine/render/AppWindow.h"
#include "engine/render/GLRenderDevice.h"
#include "platform/Events.h"

#include <cstdio>
#include <cstring>

namespace {

struct Options {
    bool windowed = false;
};

void printHelp()
{
    std::printf("usage: velvet-orbit [--windowed] [--help] [--version]\n"
                "Plays Velvet Orbit, a real-time 3D show in fourteen scenes, from the Data folder.\n"
                "  --windowed  open a 1024 x 768 window instead of asking for full screen\n"
                "  --help      print this text and exit\n"
                "  --version   print the version and exit\n"
                "Escape, closing the window or Ctrl+C ends the show.\n");
}

// Returns -1 to go on, or the exit status to leave with.
int parseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windowed") == 0) {
            options.windowed = true;
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

}

int main(int argc, char** argv)
{
    Options options;
    int status = parseOptions(argc, argv, options);
    if (status >= 0)
        return status;

    // Without its data the show has nothing to play: say so before any window opens.
    DataFolderSearch data = findDataFolder();
    if (data.found.empty()) {
        std::fprintf(stderr, "%s", describeMissingDataFolder(data).c_str());
        return 1;
    }

    platform::installSignalHandlers();
    engineStart();
    RenderDevice* device = new GLRenderDevice;
    auto* window = new AppWindow(1024, 768, 32, false, !options.windowed);
    if (!window->created()) { // no show without a window; its message box said why
        delete window;
        delete device;
        engineStop();
        return 1;
    }
    device->attachWindow(window);
    openConsole();
    demoInit();

    PerfTimer runTimer;
    FrameCallbacks frame;
    frame.update = demoUpdate;
    frame.render = demoRender;
    std::uint32_t frames = runFrameLoop(window, frame);

    showFrameRate(formatFrameRate(frames, runTimer.elapsedSeconds()));

    // The device owns the window from attachWindow on and deletes it here.
    device->detachWindow();
    delete device;
    engineStop();
    return 0;
}
