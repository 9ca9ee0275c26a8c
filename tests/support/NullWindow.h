// A window that does nothing but count: enough for a render device to attach to without
// a display or GL. Owns nothing; the device that attaches it deletes it.
#pragma once

#include "engine/render/Window.h"

class NullWindow : public Window {
public:
    explicit NullWindow(int width = 64, int height = 64) : Window(width, height, 32, false, false) {}
    int setCursorPos(int, int) override { return 1; }
    void getCursorPos(int* x, int* y) override { *x = *y = 0; }
    int getCursorX() override { return 0; }
    int getCursorY() override { return 0; }
    int showCursor() override { return 0; }
    int hideCursor() override { return -1; }
    bool toggleFullscreen() override { return true; }
    bool makeCurrent() override { return ++makeCurrentCalls, true; }
    bool swapBuffers() override { return ++swaps, true; }
    unsigned long getHandle() override { return 1; }
    bool destroy() override { return true; }

    int makeCurrentCalls = 0;
    int swaps = 0;
};
