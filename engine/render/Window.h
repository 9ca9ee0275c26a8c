// The engine's view of a window: cursor services, full-screen toggle, buffer swap and
// the GL context. It never draws; the render device it is attached to does. AppWindow
// is the one implementation, on the platform layer.
#pragma once

class RenderDevice;

class Window {
public:
    Window(int width, int height, int bitsPerPixel, bool fullscreen, bool stencil);
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Moves the cursor to a client position; nonzero on success.
    virtual int setCursorPos(int x, int y) = 0;
    // Cursor position in client pixels.
    virtual void getCursorPos(int* x, int* y) = 0;
    virtual int getCursorX() = 0;
    virtual int getCursorY() = 0;
    // Show/hide the cursor; return the display count (shown while >= 0).
    virtual int showCursor() = 0;
    virtual int hideCursor() = 0;
    // Switches between full screen and a bordered window; always true.
    virtual bool toggleFullscreen() = 0;
    virtual bool makeCurrent() = 0;
    // Flushes GL and presents the back buffer.
    virtual bool swapBuffers() = 0;
    // Opaque native window id, 0 when there is none.
    virtual unsigned long getHandle() = 0;
    // Releases context and window and restores the desktop mode.
    virtual bool destroy() = 0;

    // Records a new client size (0 or NaN becomes 1) and tells the attached device.
    void resize(float width, float height);

    RenderDevice* device = nullptr; // not owned; set by attachWindow
    float width;
    float height;
    int bitsPerPixel;
    bool fullscreen;
    bool stencil;
};
