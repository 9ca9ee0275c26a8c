#include "app/ShowFrames.h"

#include "app/Show.h"
#include "platform/Events.h"
#include "platform/TimeSource.h"

void ShowFrames::step()
{
    ++next_;
    platform::advanceVirtualClockBy(frameTimeNs(next_, fps_) - frameTimeNs(next_ - 1, fps_));
}

void ShowFrames::draw()
{
    show_.update();
    show_.render();
    step();
}

void ShowFrames::simulate()
{
    show_.advance();
    step();
}

bool ShowFrames::simulateTo(std::int64_t frame, const std::function<void(std::int64_t)>& progress)
{
    // Frames without drawing are quick: look for a stop request now and then.
    constexpr std::int64_t LOOK_EVERY = 64;
    while (next_ < frame) {
        if (next_ % LOOK_EVERY == 0 && stopRequested())
            return false;
        simulate();
        if (progress)
            progress(next_);
    }
    return true;
}

bool ShowFrames::drawAt(std::int64_t ms)
{
    if (!simulateTo(frameAtMs(ms, fps_)))
        return false;
    draw();
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
