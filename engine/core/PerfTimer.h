// A stopwatch on the high-resolution counter of the program's time source, read in
// seconds. Follows the virtual clock when one is set.
#pragma once

#include <cstdint>

class PerfTimer {
public:
    PerfTimer() { reset(); }
    // Takes the counter frequency and the current counter value as the new start.
    void reset();
    // Seconds since the last reset; 0.0 when the counter has no frequency. Never resets.
    long double elapsedSeconds() const;

private:
    std::int64_t frequency_ = 0;
    std::int64_t start_ = 0;
};
