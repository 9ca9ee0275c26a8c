#include "platform/GLWindow.h"

#include "platform/SdlSession.h"

#include <SDL.h>

#include <chrono>
#include <thread>

namespace platform {

using PacingClock = std::chrono::steady_clock;

struct NativeWindow {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool fullscreen = false;
    int depthBits = 0;
    SwapPacing pacing = SwapPacing::Free;
    PacingClock::duration leastBetweenSwaps {}; // what swapBuffers waits out, from the last swap
    PacingClock::time_point lastSwap {};
    int earlySwaps = 0; // synced swaps in a row that came back before their time
};

namespace {

constexpr int UNKNOWN_REFRESH_HZ = 60;
// Below this share of a refresh period between swaps a driver that says it syncs does not.
constexpr double SYNCED_LEAST_SHARE = 0.9;
// So many early swaps in a row and a synced window is capped instead (a driver with a
// queue of frames may return early once or twice as it fills).
constexpr int EARLY_SWAPS_TO_CAP = 3;

PacingClock::duration refreshShare(NativeWindow& native, double share)
{
    return std::chrono::duration_cast<PacingClock::duration>(
        std::chrono::duration<double>(share / refreshRate(&native)));
}

// Holds the caller until the least time between swaps has passed since the last one.
// After a wait the next one counts from when this one was due, so the rate holds; after
// a late frame it counts from now, so no burst follows to catch up.
void holdSwap(NativeWindow& native)
{
    const PacingClock::time_point now = PacingClock::now();
    const PacingClock::time_point due = native.lastSwap + native.leastBetweenSwaps;
    const bool early = native.lastSwap != PacingClock::time_point {} && now < due;
    native.earlySwaps = early ? native.earlySwaps + 1 : 0;
    if (native.pacing != SwapPacing::Capped && native.earlySwaps >= EARLY_SWAPS_TO_CAP) {
        native.pacing = SwapPacing::Capped;
        native.leastBetweenSwaps = refreshShare(native, 1.0);
    }
    if (early) {
        std::this_thread::sleep_until(due);
        native.lastSwap = due;
    } else {
        native.lastSwap = now;
    }
}

bool fullscreenAllowed = true;

// suspendGLDriver: the window and context that were current when it was suspended.
bool driverSuspended = false;
SDL_Window* suspendedWindow = nullptr;
SDL_GLContext suspendedContext = nullptr;

void setAttributes(int depthBits, int stencilBits)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits);
}

bool applyDisplayMode(SDL_Window* window, int width, int height)
{
    SDL_DisplayMode wanted {};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest {};
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest) == nullptr)
        return false;
    return SDL_SetWindowDisplayMode(window, &closest) == 0;
}

// One attempt at a window and context with the given depth buffer.
bool tryCreate(NativeWindow& native, const WindowRequest& request, int depthBits)
{
    setAttributes(depthBits, request.stencilBits);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!request.fullscreen)
        flags |= SDL_WINDOW_RESIZABLE;
    native.window = SDL_CreateWindow(request.title, 0, 0, request.width, request.height, flags);
    if (!native.window)
        return false;
    if (request.fullscreen) {
        applyDisplayMode(native.window, request.width, request.height);
        SDL_SetWindowFullscreen(native.window, SDL_WINDOW_FULLSCREEN);
    }
    native.context = SDL_GL_CreateContext(native.window);
    if (!native.context) {
        SDL_DestroyWindow(native.window);
        native.window = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(native.window, native.context);
    int got = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &got);
    native.depthBits = got;
    native.fullscreen = request.fullscreen;
    SDL_ShowWindow(native.window);
    return true;
}

}

bool fullscreenModeAvailable(int width, int height, int bitsPerPixel)
{
    if (!fullscreenAllowed || !ensureSdlVideo())
        return false;
    SDL_DisplayMode desktop {};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w == width && desktop.h == height)
        return true;
    int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode mode {};
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        int bits = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
        // 24-bit colour modes serve a 32-bit request: the extra byte is padding.
        bool depthOk = bits >= 24 || bits >= bitsPerPixel;
        if (mode.w == width && mode.h == height && depthOk)
            return true;
    }
    return false;
}

void setFullscreenAvailable(bool available)
{
    fullscreenAllowed = available;
}

NativeWindow* createGLWindow(const WindowRequest& request)
{
    if (!ensureSdlVideo())
        return nullptr;
    auto* native = new NativeWindow;
    // Like choosing the closest pixel format: the deepest depth buffer the driver gives.
    const int depths[] = { request.depthBits, 24, 16 };
    for (int depth : depths) {
        if (depth > request.depthBits)
            continue;
        if (tryCreate(*native, request, depth))
            return native;
    }
    delete native;
    return nullptr;
}

void destroyGLWindow(NativeWindow* window)
{
    if (!window)
        return;
    if (window->window == suspendedWindow) {
        driverSuspended = false;
        suspendedWindow = nullptr;
    }
    if (window->context) {
        SDL_GL_MakeCurrent(window->window, nullptr);
        SDL_GL_DeleteContext(window->context);
    }
    if (window->window) {
        // Leaving full screen gives the desktop its own mode back.
        if (window->fullscreen)
            SDL_SetWindowFullscreen(window->window, 0);
        SDL_DestroyWindow(window->window);
    }
    delete window;
}

bool makeCurrent(NativeWindow* window)
{
    if (window && driverSuspended)
        return true;
    return window && SDL_GL_MakeCurrent(window->window, window->context) == 0;
}

bool swapBuffers(NativeWindow* window)
{
    if (!window)
        return false;
    if (driverSuspended)
        return true;
    SDL_GL_SwapWindow(window->window);
    if (window->pacing != SwapPacing::Free)
        holdSwap(*window);
    return true;
}

SwapPacing setSwapPacing(NativeWindow* window, bool pace)
{
    if (!window)
        return SwapPacing::Free;
    SDL_GL_MakeCurrent(window->window, window->context);
    if (!pace) {
        SDL_GL_SetSwapInterval(0);
        window->pacing = SwapPacing::Free;
        return window->pacing;
    }
    if (SDL_GL_SetSwapInterval(-1) == 0)
        window->pacing = SwapPacing::Adaptive;
    else if (SDL_GL_SetSwapInterval(1) == 0)
        window->pacing = SwapPacing::Synced;
    else
        window->pacing = SwapPacing::Capped;
    window->leastBetweenSwaps = refreshShare(*window, window->pacing == SwapPacing::Capped ? 1.0 : SYNCED_LEAST_SHARE);
    window->lastSwap = {};
    window->earlySwaps = 0;
    return window->pacing;
}

SwapPacing swapPacing(NativeWindow* window)
{
    return window ? window->pacing : SwapPacing::Free;
}

int refreshRate(NativeWindow* window)
{
    if (!window)
        return UNKNOWN_REFRESH_HZ;
    SDL_DisplayMode mode {};
    const int display = SDL_GetWindowDisplayIndex(window->window);
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0 || mode.refresh_rate <= 0)
        return UNKNOWN_REFRESH_HZ;
    return mode.refresh_rate;
}

void suspendGLDriver(bool suspended)
{
    if (suspended == driverSuspended)
        return;
    if (suspended) {
        suspendedWindow = SDL_GL_GetCurrentWindow();
        suspendedContext = SDL_GL_GetCurrentContext();
        SDL_GL_MakeCurrent(suspendedWindow, nullptr);
    } else if (suspendedWindow) {
        SDL_GL_MakeCurrent(suspendedWindow, suspendedContext);
    }
    driverSuspended = suspended;
}

bool setFullscreen(NativeWindow* window, bool fullscreen, int)
{
    if (!window)
        return false;
    if (fullscreen) {
        int w = 0;
        int h = 0;
        SDL_GetWindowSize(window->window, &w, &h);
        applyDisplayMode(window->window, w, h);
    }
    if (SDL_SetWindowFullscreen(window->window, fullscreen ? SDL_WINDOW_FULLSCREEN : 0) != 0)
        return false;
    window->fullscreen = fullscreen;
    SDL_ShowWindow(window->window);
    return true;
}

bool isFullscreen(NativeWindow* window)
{
    return window && window->fullscreen;
}

void clientSize(NativeWindow* window, int* width, int* height)
{
    int w = 0;
    int h = 0;
    if (window)
        SDL_GL_GetDrawableSize(window->window, &w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
}

int depthBits(NativeWindow* window)
{
    return window ? window->depthBits : 0;
}

unsigned long nativeId(NativeWindow* window)
{
    return window ? SDL_GetWindowID(window->window) : 0;
}

void* glProcAddress(const char* name)
{
    if (!ensureSdlVideo())
        return nullptr;
    return SDL_GL_GetProcAddress(name);
}

}
