// A millisecond stopwatch on the process clock (wall-clock milliseconds since process
// start, from the program's time source). Show, path and lyrics time are read with it.
#pragma once

#include <cstdint>

class Stopwatch {
public:
    // Starts idle (start -1).
    Stopwatch() = default;
    void restart();
    // restart only if idle: a running stopwatch keeps its earlier start.
    void startIfIdle();
    // Milliseconds since the last restart; on an idle stopwatch, the process clock + 1.
    std::int32_t elapsedMs() const;
    bool idle() const { return start_ == -1; }

private:
    std::int32_t start_ = -1;
};
