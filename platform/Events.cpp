#include "platform/Events.h"

#include "platform/Input.h"
#include "platform/KeyMap.h"
#include "platform/SdlSession.h"

#include <SDL.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <ctime>

namespace platform {
namespace {

// Lock-free atomics: the handler may run on any thread (SDL's and the GL driver's
// included) and touches nothing else.
std::atomic<int> pendingCloses { 0 };
// Monotonic time of the first SIGINT or SIGTERM; 0 while none has come.
std::atomic<std::int64_t> firstSignalNs { 0 };
// Whether the frame loop has taken the close that signal asked for.
std::atomic<bool> signalCloseTaken { false };
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<std::int64_t>::is_always_lock_free
              && std::atomic<bool>::is_always_lock_free);

// Signals this close to the first are the same request: `timeout` sends its signal to
// the show and then to the show's whole process group, so two arrive together.
constexpr std::int64_t SAME_REQUEST_NS = 250'000'000;
// A program that has not taken the request by then is stuck (loading, seeking): a
// further signal ends it.
constexpr std::int64_t UNTAKEN_GRACE_NS = 1'000'000'000;

std::int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now); // async-signal-safe, unlike the C++ clocks
    return std::int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The first signal asks the show to close as its window's close button does. A later
// one, once the frame loop has taken that request (or when it has not after a grace),
// ends the process at once the signal's usual way; one that comes together with the
// first is part of the same request.
void onSignal(int number)
{
    std::int64_t now = monotonicNs();
    std::int64_t first = 0;
    if (firstSignalNs.compare_exchange_strong(first, now)) {
        requestClose();
        return;
    }
    std::int64_t waited = signalCloseTaken.load() ? SAME_REQUEST_NS : UNTAKEN_GRACE_NS;
    if (now - first < waited)
        return;
    std::signal(number, SIG_DFL);
    std::raise(number);
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
    // Only this thread takes closes away, so one seen here stays until it is taken.
    if (pendingCloses.load() > 0) {
        --pendingCloses;
        if (firstSignalNs.load() != 0)
            signalCloseTaken = true;
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
    ++pendingCloses;
}

bool endRequestedBySignal()
{
    return firstSignalNs.load() != 0;
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
