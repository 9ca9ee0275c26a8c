#include "platform/Input.h"

#include "platform/KeyMap.h"
#include "platform/SdlSession.h"

#include <SDL.h>

namespace platform {
namespace {

InputOverride* scripted = nullptr;
int cursorCount = 0; // the desktop's display count: shown while >= 0
bool windowFocused = false;
bool mouseMoved = false;

}

void setInputOverride(InputOverride* input)
{
    scripted = input;
}

InputOverride* inputOverride()
{
    return scripted;
}

bool keyDown(Key key)
{
    if (scripted)
        return scripted->keyDown(key);
    if (!ensureSdlEvents())
        return false;
    SDL_PumpEvents();
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    SDL_Scancode code = scancodeOf(key);
    return state && code > 0 && code < count && state[code] != 0;
}

unsigned mouseButtons()
{
    if (scripted)
        return scripted->mouseButtons();
    if (!ensureSdlEvents())
        return 0;
    SDL_PumpEvents();
    Uint32 sdl = SDL_GetMouseState(nullptr, nullptr);
    unsigned bits = 0;
    if (sdl & SDL_BUTTON(SDL_BUTTON_LEFT))
        bits |= MOUSE_LEFT;
    if (sdl & SDL_BUTTON(SDL_BUTTON_RIGHT))
        bits |= MOUSE_RIGHT;
    if (sdl & SDL_BUTTON(SDL_BUTTON_MIDDLE))
        bits |= MOUSE_MIDDLE;
    return bits;
}

void cursorPosition(int* x, int* y)
{
    int cx = 0;
    int cy = 0;
    if (scripted) {
        scripted->cursorPosition(&cx, &cy);
    } else if (ensureSdlEvents()) {
        SDL_PumpEvents();
        SDL_GetMouseState(&cx, &cy);
    }
    if (x)
        *x = cx;
    if (y)
        *y = cy;
}

bool warpCursor(int x, int y)
{
    if (scripted) {
        scripted->warpCursor(x, y);
        return true;
    }
    SDL_Window* focus = SDL_GetMouseFocus();
    if (!focus)
        focus = SDL_GetKeyboardFocus();
    if (!focus)
        return false;
    SDL_WarpMouseInWindow(focus, x, y);
    return true;
}

int showCursor(bool show)
{
    if (scripted)
        return scripted->showCursor(show);
    cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return cursorCount;
}

bool takeMouseMotion()
{
    if (scripted)
        return scripted->takeMouseMotion();
    bool moved = mouseMoved;
    mouseMoved = false;
    return moved && windowFocused;
}

void noteMouseMotion()
{
    mouseMoved = true;
}

void noteWindowFocus(bool focused)
{
    // Motion from before the change says nothing about where the cursor is now.
    windowFocused = focused;
    mouseMoved = false;
}

}
