// The engine's single global frame clock and its start-up/shutdown calls. frameDelta is
// the duration of the last frame in seconds, by which animation, particles and the
// loading picture scale their motion. It is measured between consecutive ticks, so the
// first delta after engineStart includes all the loading; consumers get it unclamped.
#pragma once

// Starts the file systems and the frame clock. The program's first call.
void engineStart();
// Stops the file systems and the clock; a second call does nothing. The program's last call.
void engineStop();
// Measures the frame that just ended (does nothing unless started). Once per frame.
void tick();
// The frames start over: frameDelta reads 0.0 and the next tick measures from now. For a
// show that replays itself from its start (seeking).
void restartFrameClock();
// Seconds the last frame took; 0.0 before the first tick.
float frameDelta();
// True between engineStart and engineStop.
bool engineRunning();
