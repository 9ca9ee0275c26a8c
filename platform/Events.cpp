#include "platform/Events.h"

#include "platform/Input.h"
#include "platform/KeyMap.h"
#include "platform/SdlSession.h"

#include <SDL.h>

#include <csignal>

namespace platform {
namespace {

volatile std::sig_atomic_t pendingCloses = 0;
volatile std::sig_atomic_t signalsSeen = 0;

// The first signal asks the show to close as its window's close button does; one more,
// in whatever state the program is, ends the process at once the signal's usual way.
void onSignal(int number)
{
    if (signalsSeen != 0) {
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    signalsSeen = 1;
    requestClose();
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
    case SDL_MOUSEMOTION:
        event.type = EventType::MouseMotion;
        break;
    case SDL_WINDOWEVENT:
        if (sdl.window.event == SDL_WINDOWEVENT_CLOSE) {
            event.type = EventType::WindowClose;
        } else if (sdl.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            event.type = EventType::FocusGained;
        } else if (sdl.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            event.type = EventType::FocusLost;
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
    // Mouse look reads the cursor when it runs; these say whether that reading is live.
    if (event.type == EventType::MouseMotion)
        noteMouseMotion();
    else if (event.type == EventType::FocusGained || event.type == EventType::FocusLost)
        noteWindowFocus(event.type == EventType::FocusGained);
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

void postEvent(const Event& event)
{
    if (event.type == EventType::AppQuit) {
        postAppQuit();
        return;
    }
    if (event.type == EventType::WindowClose) {
        requestClose();
        return;
    }
    if (!ensureSdlEvents())
        return;
    SDL_Event sdl {};
    switch (event.type) {
    case EventType::Quit:
        sdl.type = SDL_QUIT;
        break;
    case EventType::KeyDown:
    case EventType::KeyUp:
        sdl.type = event.type == EventType::KeyDown ? SDL_KEYDOWN : SDL_KEYUP;
        sdl.key.keysym.scancode = event.key >= 0 ? scancodeOf(static_cast<Key>(event.key)) : SDL_SCANCODE_F12;
        break;
    case EventType::WindowResized:
        sdl.type = SDL_WINDOWEVENT;
        sdl.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
        sdl.window.data1 = event.width;
        sdl.window.data2 = event.height;
        break;
    case EventType::MouseMotion:
        sdl.type = SDL_MOUSEMOTION;
        break;
    case EventType::FocusGained:
    case EventType::FocusLost:
        sdl.type = SDL_WINDOWEVENT;
        sdl.window.event = event.type == EventType::FocusGained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
        break;
    default:
        sdl.type = SDL_USEREVENT;
        break;
    }
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
