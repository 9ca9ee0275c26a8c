// The event queue of the frame loop. One poll takes at most one event and never waits.
// AppQuit is the program's private quit message; SIGINT and SIGTERM arrive as a
// WindowClose so that Ctrl+C ends the show exactly as closing the window does. Signals
// that come together (as `timeout` sends them, to the show and to its process group)
// are one request; a later one ends the process whatever it is doing.
#pragma once

namespace platform {

enum class EventType {
    AppQuit,       // the private quit message: the frame loop ends
    Quit,          // the desktop asked the application to quit (not an AppQuit)
    WindowClose,   // the user closed the window, or the process got SIGINT/SIGTERM
    WindowResized, // width, height: new client size
    KeyDown,       // key: platform::Key as int, or -1 for other keys
    KeyUp,
    MouseMotion,   // the pointer moved over the window
    FocusGained,   // the window got the keyboard focus
    FocusLost,     // the window lost it
    Other,
};

struct Event {
    EventType type = EventType::Other;
    int key = -1;
    int width = 0;
    int height = 0;
};

// Takes one pending event, if any. Returns false when the queue is empty.
bool pollEvent(Event& event);

// Posts the private quit message (one event per call).
void postAppQuit();

// Queues an event as if the desktop had sent it (AppQuit, Quit, KeyDown/KeyUp with
// event.key, WindowResized, MouseMotion, FocusGained/FocusLost, Other). For tools and
// tests that drive the frame loop.
void postEvent(const Event& event);

// Posts a WindowClose event (what a signal does); safe to call from a signal handler.
void requestClose();

// Routes the first SIGINT or SIGTERM to requestClose. Further ones within 250 ms of it
// are the same request; after that, one ends the process at once (by the signal's
// default action) when the frame loop has taken the request, or when it has not within
// a second (the program is stuck before its loop).
void installSignalHandlers();

// True once a SIGINT or SIGTERM has asked the program to end: nobody is waiting at the
// display for a box to click.
bool endRequestedBySignal();

}
