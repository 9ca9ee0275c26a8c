// Keyboard and mouse state as the show reads it: polled, not event driven. Tests and
// tools replace the real devices with an InputOverride to drive the show by script.
#pragma once

namespace platform {

enum class Key { Escape, Space, C, R, P, Left, Right, Up, Down, PageUp, PageDown, Count };

constexpr unsigned MOUSE_LEFT = 1;
constexpr unsigned MOUSE_RIGHT = 2;
constexpr unsigned MOUSE_MIDDLE = 4;

// A scripted keyboard and mouse. Coordinates are client pixels.
class InputOverride {
public:
    virtual ~InputOverride() = default;
    virtual bool keyDown(Key key) = 0;
    virtual unsigned mouseButtons() = 0;
    virtual void cursorPosition(int* x, int* y) = 0;
    virtual void warpCursor(int x, int y) = 0;
    virtual int showCursor(bool show) = 0;
    // As platform::takeMouseMotion.
    virtual bool takeMouseMotion() = 0;
};

// Installs (or, with null, removes) the scripted devices. Not owned.
void setInputOverride(InputOverride* input);
// The scripted devices installed now; null when the real ones are read.
InputOverride* inputOverride();

// Whether key is held now.
bool keyDown(Key key);
// MOUSE_* bits of the buttons held now.
unsigned mouseButtons();
// Cursor position relative to the focused window's client area.
void cursorPosition(int* x, int* y);
// Moves the cursor to a client position of the focused window; true on success.
bool warpCursor(int x, int y);
// Shows or hides the cursor; returns a display count (>= 0 shown) like the desktop's.
int showCursor(bool show);
// Whether mouse look may turn the camera now: the mouse really moved (a motion event
// reached the frame loop) since the last call while the window had the keyboard focus.
// Takes the motion it reports; a stale cursor position alone never counts.
bool takeMouseMotion();

// What the event queue tells the mouse-look gate (platform::pollEvent calls these).
void noteMouseMotion();
void noteWindowFocus(bool focused);

}
