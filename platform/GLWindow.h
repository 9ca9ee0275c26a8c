// A native window with an OpenGL compatibility context: the one thing the engine cannot
// make itself. It knows nothing of devices or of the show; AppWindow drives it.
#pragma once

namespace platform {

struct NativeWindow;

struct WindowRequest {
    const char* title = "";
    int width = 1024;
    int height = 768;
    int bitsPerPixel = 32;
    bool fullscreen = false;
    int depthBits = 32;   // tried first, then 24, then 16
    int stencilBits = 0;
};

// Changes the display to width x height for a full-screen window; false when the display
// cannot take that mode. Tests can make it fail with setFullscreenAvailable(false).
bool fullscreenModeAvailable(int width, int height, int bitsPerPixel);
void setFullscreenAvailable(bool available);

// Creates the window and its context (current on return). Null on failure.
NativeWindow* createGLWindow(const WindowRequest& request);
// Destroys the context and window, restoring the desktop mode. Null is ignored.
void destroyGLWindow(NativeWindow* window);

bool makeCurrent(NativeWindow* window);
// Shows the frame drawn; with pacing on, then waits as setSwapPacing says.
bool swapBuffers(NativeWindow* window);

// How a window's buffer swaps keep time with the display.
enum class SwapPacing {
    Free,     // swaps as fast as frames come
    Adaptive, // the driver waits for the display's refresh, and shows a late frame at once
    Synced,   // the driver waits for the display's refresh
    Capped,   // the driver cannot wait: swapBuffers waits out the refresh period itself
};
// pace true: the driver's adaptive sync where it offers it, else its plain sync, else a
// wait in swapBuffers so that frames never come faster than the display refreshes. Even
// a driver that says it syncs is held to nine tenths of a refresh period between swaps,
// and capped once its swaps keep coming back sooner: some (software ones without a
// display) accept the request and ignore it; a driver that does sync never meets that
// wait. pace false lifts both. The waits are in real time, whatever clock the program
// runs on. Returns what the window does now.
SwapPacing setSwapPacing(NativeWindow* window, bool pace);
// What the window does now: a synced window becomes Capped when its driver turns out not
// to wait.
SwapPacing swapPacing(NativeWindow* window);
// The display's refresh rate in Hz, 60 when the display does not say.
int refreshRate(NativeWindow* window);

// A measuring aid: while suspended, no context is current and makeCurrent and
// swapBuffers bind and swap nothing, so every OpenGL call goes to the GL dispatcher's
// do-nothing entry points and costs only the caller's own work (nothing is drawn, and
// queries return nothing). Resuming makes the suspended context current again.
void suspendGLDriver(bool suspended);
// Switches between full screen (desktop mode change) and a bordered window.
bool setFullscreen(NativeWindow* window, bool fullscreen, int bitsPerPixel);
bool isFullscreen(NativeWindow* window);
// Client area size in pixels.
void clientSize(NativeWindow* window, int* width, int* height);
// Depth bits of the context actually made.
int depthBits(NativeWindow* window);
// Opaque id of the native window (nonzero while it exists).
unsigned long nativeId(NativeWindow* window);

// OpenGL entry point by name; null when the driver does not export it.
void* glProcAddress(const char* name);

}
