#include "platform/KeyMap.h"

namespace platform {
namespace {

struct KeyScancode {
    Key key;
    SDL_Scancode code;
};

constexpr KeyScancode keyTable[] = {
    { Key::Escape, SDL_SCANCODE_ESCAPE },
    { Key::Space, SDL_SCANCODE_SPACE },
    { Key::C, SDL_SCANCODE_C },
    { Key::R, SDL_SCANCODE_R },
    { Key::P, SDL_SCANCODE_P },
    { Key::Left, SDL_SCANCODE_LEFT },
    { Key::Right, SDL_SCANCODE_RIGHT },
    { Key::Up, SDL_SCANCODE_UP },
    { Key::Down, SDL_SCANCODE_DOWN },
    { Key::PageUp, SDL_SCANCODE_PAGEUP },
    { Key::PageDown, SDL_SCANCODE_PAGEDOWN },
};

}

SDL_Scancode scancodeOf(Key key)
{
    for (const KeyScancode& entry : keyTable)
        if (entry.key == key)
            return entry.code;
    return SDL_SCANCODE_UNKNOWN;
}

int keyFromScancode(SDL_Scancode code)
{
    for (const KeyScancode& entry : keyTable)
        if (entry.code == code)
            return static_cast<int>(entry.key);
    return -1;
}

}
