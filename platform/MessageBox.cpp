#include "platform/MessageBox.h"

#include "platform/Events.h"
#include "platform/SdlSession.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

Uint32 sdlFlags(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return SDL_MESSAGEBOX_INFORMATION;
    case MessageIcon::Warning: return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::Error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::None: break;
    }
    return 0;
}

void printHeadless(const char* caption, const char* text)
{
    std::fprintf(stderr, "[%s] %s\n", caption, text);
}

}

bool messageBoxesVisible()
{
    if (endRequestedBySignal())
        return false;
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland))
        return false;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0))
        return false;
    return true;
}

void showMessageBox(const char* caption, const char* text, MessageIcon icon)
{
    if (messageBoxesVisible() && ensureSdlVideo()
        && SDL_ShowSimpleMessageBox(sdlFlags(icon), caption, text, nullptr) == 0)
        return;
    printHeadless(caption, text);
}

bool askYesNo(const char* caption, const char* text, MessageIcon icon, bool headlessAnswer)
{
    if (messageBoxesVisible() && ensureSdlVideo()) {
        const SDL_MessageBoxButtonData buttons[] = {
            { SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes" },
            { SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No" },
        };
        SDL_MessageBoxData box {};
        box.flags = sdlFlags(icon);
        box.title = caption;
        box.message = text;
        box.numbuttons = 2;
        box.buttons = buttons;
        int chosen = -1;
        if (SDL_ShowMessageBox(&box, &chosen) == 0)
            return chosen == 1;
    }
    printHeadless(caption, text);
    std::fprintf(stderr, "[%s] no display to ask on: answering %s\n", caption, headlessAnswer ? "Yes" : "No");
    return headlessAnswer;
}

}
