#include "platform/SdlSession.h"

#include <SDL.h>

namespace platform {
namespace {

void setHintsOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
}

bool initSubsystem(Uint32 flags)
{
    setHintsOnce();
    if (SDL_WasInit(flags) == flags)
        return true;
    return SDL_InitSubSystem(flags) == 0;
}

}

bool ensureSdlVideo()
{
    return initSubsystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool ensureSdlEvents()
{
    return initSubsystem(SDL_INIT_EVENTS);
}

std::uint32_t appQuitEventType()
{
    static Uint32 type = 0;
    if (type == 0 && ensureSdlEvents()) {
        Uint32 registered = SDL_RegisterEvents(1);
        if (registered != static_cast<Uint32>(-1))
            type = registered;
    }
    return type;
}

}
