#include "engine/core/FrameClock.h"
#include "engine/core/Stopwatch.h"
#include "platform/TimeSource.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t MS = 1000000;

TEST(FrameClock, DeltaIsZeroBeforeTheFirstTickAndTicksNeedARunningEngine)
{
    platform::useVirtualClock(16 * MS);
    EXPECT_EQ(frameDelta(), 0.0f);
    platform::advanceVirtualClock();
    tick();
    EXPECT_EQ(frameDelta(), 0.0f) << "tick before engineStart must not measure";

    engineStart();
    EXPECT_TRUE(engineRunning());
    platform::advanceVirtualClockBy(2500 * MS); // loading the show
    tick();
    EXPECT_FLOAT_EQ(frameDelta(), 2.5f) << "the first delta includes the loading, unclamped";
    platform::advanceVirtualClock();
    tick();
    EXPECT_FLOAT_EQ(frameDelta(), 0.016f);

    engineStop();
    EXPECT_FALSE(engineRunning());
    platform::advanceVirtualClockBy(1000 * MS);
    tick();
    EXPECT_FLOAT_EQ(frameDelta(), 0.016f) << "tick after engineStop must not measure";
    platform::useRealClock();
}

TEST(Stopwatch, IdleReadsProcessClockPlusOneAndStartIfIdleKeepsTheFirstStart)
{
    platform::useVirtualClock(0);
    platform::advanceVirtualClockBy(1234 * MS);
    Stopwatch watch;
    EXPECT_TRUE(watch.idle());
    EXPECT_EQ(watch.elapsedMs(), platform::processClockMs() + 1);

    watch.startIfIdle();
    platform::advanceVirtualClockBy(300 * MS);
    watch.startIfIdle();
    EXPECT_EQ(watch.elapsedMs(), 300);
    watch.restart();
    EXPECT_EQ(watch.elapsedMs(), 0);
    platform::advanceVirtualClockBy(1000 * MS);
    EXPECT_EQ(watch.elapsedMs(), 1000);
    platform::useRealClock();
}

}
