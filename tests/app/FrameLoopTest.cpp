#include "app/FrameLoop.h"
#include "app/FrameRateReport.h"
#include "platform/Events.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

int updates = 0;
int renders = 0;

// Counts frames and posts the quit message after five.
FrameCallbacks countingFrame()
{
    platform::Event event;
    while (platform::pollEvent(event)) {
    }
    updates = renders = 0;
    FrameCallbacks frame;
    frame.update = [] { ++updates; };
    frame.render = [] {
        EXPECT_EQ(++renders, updates) << "render follows its update in the same pass";
        if (renders == 5)
            platform::postAppQuit();
    };
    return frame;
}

TEST(FrameLoop, CountsFramesUntilTheQuitMessageAndPendingMessagesComeFirst)
{
    EXPECT_EQ(runFrameLoop(nullptr, countingFrame()), 5u);
    FrameCallbacks frame = countingFrame();
    platform::Event event;
    event.type = platform::EventType::Other;
    for (int i = 0; i < 50; ++i)
        platform::postEvent(event);
    event.type = platform::EventType::Quit; // the desktop's plain quit does not end it
    platform::postEvent(event);
    platform::postAppQuit();
    EXPECT_EQ(runFrameLoop(nullptr, frame), 0u) << "every pass found a message waiting";
}

TEST(FrameLoop, WithoutAWindowACloseRequestEndsTheLoop)
{
    FrameCallbacks frame = countingFrame();
    platform::requestClose();
    EXPECT_EQ(runFrameLoop(nullptr, frame), 0u);
}

TEST(FrameRateReport, FormatsTwoDecimalsAndGivesZeroWhenNoTimeWasMeasured)
{
    const struct {
        std::uint32_t frames;
        long double seconds;
        const char* text;
    } cases[] = {
        {300, 5.0L, "FPS=60.00"}, {2, 3.0L, "FPS=0.67"}, {4000000000u, 1.0L, "FPS=4000000000.00"},
        {100, 0.0L, "FPS=0.00"}, {0, 0.0L, "FPS=0.00"}, {10, -1.0L, "FPS=0.00"},
        {10, std::numeric_limits<long double>::denorm_min(), "FPS=0.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFrameRate(c.frames, c.seconds), c.text) << c.frames << " frames in " << double(c.seconds);
}

}
