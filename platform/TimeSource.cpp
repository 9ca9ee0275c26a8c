#include "platform/TimeSource.h"

#include <chrono>

namespace platform {
namespace {

std::int64_t realNow()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Captured at static initialisation: the process clock counts from here.
const std::int64_t processStart = realNow();

bool virtualActive = false;
std::int64_t virtualNow = 0;
std::int64_t virtualStep = 0;

}

std::int64_t counterNow()
{
    return virtualActive ? virtualNow : realNow();
}

std::int64_t counterFrequency()
{
    return 1000000000;
}

std::int32_t processClockMs()
{
    return static_cast<std::int32_t>((counterNow() - processStart) / 1000000);
}

std::uint32_t tickCountMs()
{
    return static_cast<std::uint32_t>(counterNow() / 1000000);
}

void useVirtualClock(std::int64_t stepNs)
{
    if (!virtualActive)
        virtualNow = realNow();
    virtualActive = true;
    virtualStep = stepNs;
}

void advanceVirtualClock()
{
    virtualNow += virtualStep;
}

void advanceVirtualClockBy(std::int64_t ns)
{
    virtualNow += ns;
}

void useRealClock()
{
    virtualActive = false;
}

bool virtualClockActive()
{
    return virtualActive;
}

}
