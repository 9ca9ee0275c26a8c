#include "platform/TimeSource.h"

#include <chrono>

namespace platform {
namespace {

std::int64_t realNow()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr std::int64_t NS_PER_MS = 1000000;

// Captured at static initialisation: the process clock counts from here.
const std::int64_t processStart = realNow();
// The tick counter turns over on the same nanosecond as the process clock, so virtual
// time that starts on a millisecond of one starts on a millisecond of both.
const std::int64_t tickPhase = processStart % NS_PER_MS;

bool virtualActive = false;
std::int64_t virtualNow = 0;
std::int64_t virtualStep = 0;
// How far real time reads ahead of the real counter since resumeRealClock.
std::int64_t realOffset = 0;

std::int64_t shiftedRealNow()
{
    return realNow() + realOffset;
}

}

std::int64_t counterNow()
{
    return virtualActive ? virtualNow : shiftedRealNow();
}

std::int64_t counterFrequency()
{
    return 1000000000;
}

std::int32_t processClockMs()
{
    return static_cast<std::int32_t>((counterNow() - processStart) / NS_PER_MS);
}

std::uint32_t tickCountMs()
{
    return static_cast<std::uint32_t>((counterNow() - tickPhase) / NS_PER_MS);
}

void useVirtualClock(std::int64_t stepNs)
{
    // Start on the next whole millisecond of the process clock: every millisecond clock
    // then reads the same values at the same virtual steps on every run, and on every
    // show a process renders one after another.
    const std::int64_t elapsed = (virtualActive ? virtualNow : shiftedRealNow()) - processStart;
    virtualNow = processStart + (elapsed + NS_PER_MS - 1) / NS_PER_MS * NS_PER_MS;
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
    realOffset = 0;
}

void resumeRealClock()
{
    if (virtualActive)
        realOffset = virtualNow - realNow();
    virtualActive = false;
}

bool virtualClockActive()
{
    return virtualActive;
}

}
