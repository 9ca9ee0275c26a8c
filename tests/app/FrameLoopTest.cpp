#include "app/FrameLoop.h"
#include "app/FrameRateReport.h"
#include "platform/Events.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

int updates = 0;
int renders = 0;
int quitAfterFrames = 0;

void countUpdate()
{
    ++updates;
}

void countRenderAndQuit()
{
    ++renders;
    EXPECT_EQ(renders, updates) << "render follows its update in the same pass";
    if (renders == quitAfterFrames)
        platform::postAppQuit();
}

void drain()
{
    platform::Event event;
    while (platform::pollEvent(event)) {
    }
}

FrameCallbacks countingFrame(int quitAfter)
{
    updates = 0;
    renders = 0;
    quitAfterFrames = quitAfter;
    FrameCallbacks frame;
    frame.update = countUpdate;
    frame.render = countRenderAndQuit;
    return frame;
}

TEST(FrameLoop, CountsFramesUntilTheQuitMessage)
{
    drain();
    EXPECT_EQ(runFrameLoop(nullptr, countingFrame(5)), 5u);
    EXPECT_EQ(updates, 5);
}

TEST(FrameLoop, PendingMessagesComeBeforeFramesAndOnlyTheQuitMessageEnds)
{
    drain();
    platform::Event quit;
    quit.type = platform::EventType::Quit; // the desktop's plain quit
    platform::Event other;
    other.type = platform::EventType::Other;
    for (int i = 0; i < 50; ++i)
        platform::postEvent(other);
    platform::postEvent(quit);
    platform::postAppQuit();
    // Every pass found a message waiting, so not one frame ran.
    EXPECT_EQ(runFrameLoop(nullptr, countingFrame(1000)), 0u);
    EXPECT_EQ(updates, 0);
}

TEST(FrameLoop, WithoutAWindowACloseRequestEndsTheLoop)
{
    drain();
    platform::requestClose();
    EXPECT_EQ(runFrameLoop(nullptr, countingFrame(1000)), 0u);
}

TEST(FrameRateReport, FormatsTwoDecimalsAndGivesZeroWhenNoTimeWasMeasured)
{
    struct Case {
        std::uint32_t frames;
        long double seconds;
        const char* text;
    };
    const Case cases[] = {
        { 300, 5.0L, "FPS=60.00" },
        { 1, 3.0L, "FPS=0.33" },
        { 2, 3.0L, "FPS=0.67" },
        { 4000000000u, 1.0L, "FPS=4000000000.00" },
        { 100, 0.0L, "FPS=0.00" },   // no counter: no rate, not "inf"
        { 0, 0.0L, "FPS=0.00" },     // not "nan"
        { 10, -1.0L, "FPS=0.00" },
        { 10, std::numeric_limits<long double>::denorm_min(), "FPS=0.00" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFrameRate(c.frames, c.seconds), c.text) << c.frames << " frames in " << static_cast<double>(c.seconds);
}

}
