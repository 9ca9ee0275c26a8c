#include "tools/velvet-render/ShowFrames.h"

#include "app/Demo.h"
#include "platform/Events.h"
#include "platform/TimeSource.h"
#include "tools/velvet-render/ExportProgress.h"

void ShowFrames::step()
{
    ++next_;
    platform::advanceVirtualClockBy(frameTimeNs(next_, fps_) - frameTimeNs(next_ - 1, fps_));
}

void ShowFrames::draw()
{
    demoUpdate();
    demoRender();
    step();
}

void ShowFrames::simulate()
{
    demoAdvance();
    step();
}

bool ShowFrames::simulateTo(std::int64_t frame, ExportProgress* progress)
{
    // Frames without drawing are quick: look for a stop request now and then.
    constexpr std::int64_t LOOK_EVERY = 64;
    while (next_ < frame) {
        if (next_ % LOOK_EVERY == 0 && stopRequested())
            return false;
        simulate();
        if (progress)
            progress->frame(long(next_));
    }
    return true;
}

bool stopRequested()
{
    platform::Event event;
    while (platform::pollEvent(event))
        if (event.type == platform::EventType::WindowClose || event.type == platform::EventType::Quit
            || event.type == platform::EventType::AppQuit)
            return true;
    return false;
}
