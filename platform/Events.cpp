#include "platform/Events.h"

#include "platform/Input.h"
#include "platform/SdlSession.h"

#include <SDL.h>

#include <csignal>

namespace platform {
namespace {

volatile std::sig_atomic_t pendingCloses = 0;

void onSignal(int)
{
    requestClose();
}

int keyFromScancode(SDL_Scancode code)
{
    switch (code) {
    case SDL_SCANCODE_ESCAPE: return static_cast<int>(Key::Escape);
    case SDL_SCANCODE_SPACE: return static_cast<int>(Key::Space);
    case SDL_SCANCODE_C: return static_cast<int>(Key::C);
    case SDL_SCANCODE_R: return static_cast<int>(Key::R);
    case SDL_SCANCODE_P: return static_cast<int>(Key::P);
    case SDL_SCANCODE_LEFT: return static_cast<int>(Key::Left);
    case SDL_SCANCODE_RIGHT: return static_cast<int>(Key::Right);
    case SDL_SCANCODE_UP: return static_cast<int>(Key::Up);
    case SDL_SCANCODE_DOWN: return static_cast<int>(Key::Down);
    default: return -1;
    }
}

Event translate(const SDL_Event& sdl)
{
    Event event;
    if (sdl.type == appQuitEventType()) {
        event.type = EventType::AppQuit;
        return event;
    }
    switch (sdl.type) {
    case SDL_QUIT:
        event.type = EventType::Quit;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        event.type = sdl.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp;
        event.key = keyFromScancode(sdl.key.keysym.scancode);
        break;
    case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
            event.type = EventType::WindowClose;
        } else if (sdl.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            event.type = EventType::WindowResized;
            event.width = sdl.window.data1;
            event.height = sdl.window.data2;
        }
        break;
    default:
        break;
    }
    return event;
}

}

bool pollEvent(Event& event)
{
    if (pendingCloses > 0) {
        pendingCloses = pendingCloses - 1;
        event = Event {};
        event.type = EventType::WindowClose;
        return true;
    }
    if (!ensureSdlEvents())
        return false;
    SDL_Event sdl;
    if (SDL_PollEvent(&sdl) == 0)
        return false;
    event = translate(sdl);
    return true;
}

void postAppQuit()
{
    Uint32 type = appQuitEventType();
    if (type == 0)
        return;
    SDL_Event sdl {};
    sdl.type = type;
    SDL_PushEvent(&sdl);
}

void requestClose()
{
    pendingCloses = pendingCloses + 1;
}

void installSignalHandlers()
{
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}
