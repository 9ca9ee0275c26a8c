// The one Window of the program, on the platform layer: a 1024 x 768 window with an
// OpenGL compatibility context that always asks for full screen first and falls back to
// a bordered window when the user agrees. It owns the native window and its context;
// the render device it is attached to owns the AppWindow itself.
#pragma once

#include "engine/render/Window.h"

namespace platform {
struct NativeWindow;
struct Event;
enum class SwapPacing;
}

// The window title of the show.
constexpr const char* APP_WINDOW_TITLE = "duZer Application";

class AppWindow : public Window {
public:
    // Creates the window at once. askFullscreen false skips the full-screen attempt
    // (the --windowed option). A failed creation leaves getHandle() == 0.
    AppWindow(int width, int height, int bitsPerPixel, bool stencil, bool askFullscreen = true);
    ~AppWindow() override;

    int setCursorPos(int x, int y) override;
    void getCursorPos(int* x, int* y) override;
    int getCursorX() override;
    int getCursorY() override;
    int showCursor() override;
    int hideCursor() override;
    bool toggleFullscreen() override;
    bool makeCurrent() override;
    bool swapBuffers() override;
    unsigned long getHandle() override;
    bool destroy() override;

    // The window procedure: size changes resize; a close request or Escape destroys the
    // native window and posts the private quit message, once per window (also when the
    // native window could not be made, so that Ctrl+C still ends the loop).
    void handleEvent(const platform::Event& event);

    // Full-screen attempt, the Yes/No question, window and context, first cleared frame.
    // False when the user declines windowed mode or the window cannot be made.
    bool createWindow(const char* title, int width, int height, int bitsPerPixel, bool fullscreen);

    bool created() const { return native_ != nullptr; }

    // Paces the buffer swaps to the display, or lets them run free (platform::setSwapPacing);
    // returns what the window does now.
    platform::SwapPacing paceSwaps(bool pace);
    // What the swaps do now (a synced window is capped once its driver turns out not to
    // wait); once the native window is gone, what they did last.
    platform::SwapPacing swapPacing() const;
    // The display's refresh rate in Hz (60 when it does not say).
    int refreshRate() const;

private:
    void closeNative();

    bool ownsWindow_ = true;
    bool registered_ = false; // the desktop knows this window kind until destroy
    bool quitPosted_ = false;
    platform::NativeWindow* native_ = nullptr;
    platform::SwapPacing pacing_ {}; // the native window's, kept when it closes
};
