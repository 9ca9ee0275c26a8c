#include "platform/TimeSource.h"

#include <gtest/gtest.h>

namespace {

TEST(TimeSource, RealClockIsMonotonicInNanoseconds)
{
    EXPECT_EQ(platform::counterFrequency(), 1000000000);
    std::int64_t previous = platform::counterNow();
    for (int i = 0; i < 1000; ++i) {
        std::int64_t now = platform::counterNow();
        ASSERT_GE(now, previous);
        previous = now;
    }
    EXPECT_GE(platform::processClockMs(), 0);
}

TEST(TimeSource, VirtualClockStandsStillUntilAdvancedAndMovesEveryClockTogether)
{
    std::int32_t processBefore = platform::processClockMs();
    platform::useVirtualClock(40000000); // 40 ms frames
    ASSERT_TRUE(platform::virtualClockActive());
    std::int64_t start = platform::counterNow();
    std::uint32_t ticksStart = platform::tickCountMs();
    std::int32_t processStart = platform::processClockMs();
    EXPECT_GE(processStart, processBefore) << "virtual time starts where real time stood";

    EXPECT_EQ(platform::counterNow(), start);
    platform::advanceVirtualClock();
    platform::advanceVirtualClock();
    EXPECT_EQ(platform::counterNow() - start, 80000000);
    EXPECT_EQ(platform::processClockMs() - processStart, 80);
    EXPECT_EQ(platform::tickCountMs() - ticksStart, 80u);
    platform::advanceVirtualClockBy(5000000);
    EXPECT_EQ(platform::processClockMs() - processStart, 85);

    platform::useRealClock();
    EXPECT_FALSE(platform::virtualClockActive());
}

// An offline render reads the same milliseconds at the same steps on every run only if
// virtual time starts on a millisecond boundary of both millisecond clocks.
TEST(TimeSource, VirtualClockStartsOnAMillisecondOfEveryMillisecondClock)
{
    platform::useRealClock();
    platform::useVirtualClock(0);
    const std::int32_t process = platform::processClockMs();
    const std::uint32_t ticks = platform::tickCountMs();
    platform::advanceVirtualClockBy(999999);
    EXPECT_EQ(platform::processClockMs(), process);
    EXPECT_EQ(platform::tickCountMs(), ticks);
    platform::advanceVirtualClockBy(1);
    EXPECT_EQ(platform::processClockMs(), process + 1);
    EXPECT_EQ(platform::tickCountMs(), ticks + 1);
    platform::useRealClock();
}

// A show that sought in virtual time carries on live from where the seek left it: no
// clock jumps back, and real time then moves them all on.
TEST(TimeSource, ResumingRealTimeGoesOnFromTheVirtualTime)
{
    platform::useRealClock();
    platform::useVirtualClock(0);
    platform::advanceVirtualClockBy(90000000000LL); // 90 s ahead of real time
    const std::int64_t counter = platform::counterNow();
    const std::int32_t process = platform::processClockMs();
    platform::resumeRealClock();
    EXPECT_FALSE(platform::virtualClockActive());
    const std::int64_t later = platform::counterNow();
    EXPECT_GE(later, counter);
    EXPECT_LT(later - counter, 1000000000LL);
    EXPECT_GE(platform::processClockMs(), process);
    EXPECT_LT(platform::processClockMs() - process, 1000);
    platform::useRealClock();
    EXPECT_LT(platform::counterNow(), counter) << "real time without the seek's lead";
}

}
