// A scripted keyboard and mouse, and a window that only keeps a size and a cursor, so
// camera tests drive the show without a display.
#pragma once

#include "platform/Input.h"
#include "tests/support/NullWindow.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

class ScriptedInput : public platform::InputOverride {
public:
    ScriptedInput() { platform::setInputOverride(this); }
    ~ScriptedInput() override { platform::setInputOverride(nullptr); }
    ScriptedInput(const ScriptedInput&) = delete;
    ScriptedInput& operator=(const ScriptedInput&) = delete;

    std::set<platform::Key> held;
    unsigned buttons = 0;
    bool mouseMoved = true; // motion over the focused window before each frame

    bool keyDown(platform::Key key) override { return held.count(key) != 0; }
    unsigned mouseButtons() override { return buttons; }
    void cursorPosition(int* x, int* y) override { *x = *y = 0; }
    void warpCursor(int, int) override {}
    int showCursor(bool) override { return 0; }
    bool takeMouseMotion() override { return mouseMoved; }
};

// Keeps its cursor and records where it was pinned.
class ScriptedWindow : public NullWindow {
public:
    using NullWindow::NullWindow;

    int cursorX = 0;
    int cursorY = 0;
    std::vector<std::pair<int, int>> warps;
    // When set, makeCurrent and swapBuffers are logged here too ("window.makeCurrent").
    std::vector<std::string>* log = nullptr;

    int setCursorPos(int x, int y) override { return warps.emplace_back(cursorX = x, cursorY = y), 1; }
    void getCursorPos(int* x, int* y) override { *x = cursorX, *y = cursorY; }
    int getCursorX() override { return cursorX; }
    int getCursorY() override { return cursorY; }
    bool makeCurrent() override { return note("window.makeCurrent") && NullWindow::makeCurrent(); }
    bool swapBuffers() override { return note("window.swapBuffers") && NullWindow::swapBuffers(); }

private:
    bool note(const char* call)
    {
        if (log)
            log->push_back(call);
        return true;
    }
};
