// The one time source of the program. Every clock (the performance counter, the process
// clock, the tick counter) reads it. It runs on real time by default; a program that
// renders offline switches it to a fixed-step virtual clock it advances once per frame,
// so the same show renders identically on every run. Needs no display and no SDL.
#pragma once

#include <cstdint>

namespace platform {

// Monotonic counter in ticks of counterFrequency() per second (nanoseconds).
std::int64_t counterNow();
std::int64_t counterFrequency();

// Milliseconds since process start (wall clock, not CPU time).
std::int32_t processClockMs();

// Monotonic milliseconds, wrapping at 2^32 (the morph clock's tick counter).
std::uint32_t tickCountMs();

// Switches every clock to virtual time that moves only when advanced. The virtual time
// starts where real (or virtual) time stood at the call, moved on to the next whole
// millisecond of the millisecond clocks, so the same steps read the same milliseconds on
// every run.
// stepNs is what advanceVirtualClock adds.
void useVirtualClock(std::int64_t stepNs);
void advanceVirtualClock();
void advanceVirtualClockBy(std::int64_t ns);
// Back to real time (virtual time is discarded).
void useRealClock();
// Back to real time going on from where the virtual clock stands: every clock then reads
// real time shifted by how far the virtual clock had run ahead, so stopwatches started
// in virtual time keep counting without a jump. A show that seeks by simulating its
// frames in virtual time carries on live from there.
void resumeRealClock();
bool virtualClockActive();

}
