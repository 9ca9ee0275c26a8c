// Internal to platform/: the show's keys and SDL's scancodes, both ways.
#pragma once

#include "platform/Input.h"

#include <SDL_scancode.h>

namespace platform {

SDL_Scancode scancodeOf(Key key);
// The Key as int, or -1 for a key the show does not use.
int keyFromScancode(SDL_Scancode code);

}
