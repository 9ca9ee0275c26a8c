#include "engine/core/Stopwatch.h"

#include "platform/TimeSource.h"

void Stopwatch::restart()
{
    start_ = platform::processClockMs();
}

void Stopwatch::startIfIdle()
{
    if (start_ == -1)
        restart();
}

std::int32_t Stopwatch::elapsedMs() const
{
    return platform::processClockMs() - start_;
}
