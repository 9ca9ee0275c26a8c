#include "engine/core/PerfTimer.h"

#include "platform/TimeSource.h"

void PerfTimer::reset()
{
    frequency_ = platform::counterFrequency();
    start_ = platform::counterNow();
}

long double PerfTimer::elapsedSeconds() const
{
    if (frequency_ == 0)
        return 0.0L;
    std::int64_t now = platform::counterNow();
    return static_cast<long double>(now - start_) / static_cast<long double>(frequency_);
}
