// A keyboard and mouse nobody touches: no key or button held, the cursor resting at one
// point. It installs itself in place of the real devices for its lifetime (and puts back
// what was there), for the frames no viewer watches: a seek, an offline render. Held keys
// or a wandering cursor cannot steer the camera then.
#pragma once

#include "platform/Input.h"

class NoInput : public platform::InputOverride {
public:
    // The cursor rests at (cursorX, cursorY); at the window's centre the mouse look
    // turns nothing.
    NoInput(int cursorX, int cursorY)
        : x_(cursorX)
        , y_(cursorY)
        , previous_(platform::inputOverride())
    {
        platform::setInputOverride(this);
    }
    ~NoInput() override { platform::setInputOverride(previous_); }
    NoInput(const NoInput&) = delete;
    NoInput& operator=(const NoInput&) = delete;

    bool keyDown(platform::Key) override { return false; }
    unsigned mouseButtons() override { return 0; }
    void cursorPosition(int* x, int* y) override
    {
        if (x)
            *x = x_;
        if (y)
            *y = y_;
    }
    void warpCursor(int, int) override {}
    int showCursor(bool show) override { return show ? 0 : -1; }
    bool takeMouseMotion() override { return false; }

private:
    int x_;
    int y_;
    platform::InputOverride* previous_;
};
