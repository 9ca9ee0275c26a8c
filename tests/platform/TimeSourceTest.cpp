#include "platform/TimeSource.h"

#include <gtest/gtest.h>

// An offline render reads the same milliseconds at the same steps on every run only if
// virtual time stands still until advanced, moves every clock together and starts on a
// millisecond boundary of both millisecond clocks.
TEST(TimeSource, VirtualClockStandsStillUntilAdvancedAndMovesEveryClockTogether)
{
    platform::useVirtualClock(40000000);  // 40 ms frames
    ASSERT_TRUE(platform::virtualClockActive());
    const std::int64_t start = platform::counterNow();
    const std::uint32_t ticks = platform::tickCountMs();
    const std::int32_t process = platform::processClockMs();
    EXPECT_EQ(platform::counterNow(), start);
    platform::advanceVirtualClock();
    platform::advanceVirtualClock();
    platform::advanceVirtualClockBy(999999);
    EXPECT_EQ(platform::counterNow() - start, 80999999);
    EXPECT_EQ(platform::processClockMs() - process, 80);
    EXPECT_EQ(platform::tickCountMs() - ticks, 80u);
    platform::advanceVirtualClockBy(1);
    EXPECT_EQ(platform::processClockMs() - process, 81);
    EXPECT_EQ(platform::tickCountMs() - ticks, 81u);
    platform::useRealClock();
    EXPECT_FALSE(platform::virtualClockActive());
}

// A show that sought in virtual time carries on live from where the seek left it: no
// clock jumps back, and real time (in nanoseconds) then moves them all on.
TEST(TimeSource, ResumingRealTimeGoesOnFromTheVirtualTime)
{
    EXPECT_EQ(platform::counterFrequency(), 1000000000);
    platform::useVirtualClock(0);
    platform::advanceVirtualClockBy(90000000000LL);  // 90 s ahead of real time
    const std::int64_t counter = platform::counterNow();
    const std::int32_t process = platform::processClockMs();
    platform::resumeRealClock();
    EXPECT_FALSE(platform::virtualClockActive());
    EXPECT_LT(std::uint64_t(platform::counterNow() - counter), 1000000000u);
    EXPECT_LT(std::uint32_t(platform::processClockMs() - process), 1000u);
    platform::useRealClock();
    EXPECT_LT(platform::counterNow(), counter) << "real time without the seek's lead";
}
