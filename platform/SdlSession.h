// Internal to platform/: brings up the SDL subsystems on first use, without SDL's own
// signal handlers (the show installs its own so that Ctrl+C behaves like Escape).
#pragma once

#include <cstdint>

namespace platform {

bool ensureSdlVideo();
bool ensureSdlEvents();
// The registered SDL event type of the private quit message.
std::uint32_t appQuitEventType();

}
