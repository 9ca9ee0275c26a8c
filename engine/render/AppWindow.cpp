#include "engine/render/AppWindow.h"

#include "platform/Events.h"
#include "platform/GLWindow.h"
#include "platform/Input.h"
#include "platform/MessageBox.h"

#include <GL/gl.h>

AppWindow::AppWindow(int width, int height, int bitsPerPixel, bool stencil, bool askFullscreen)
    : Window(width, height, bitsPerPixel, true, stencil)
{
    createWindow(APP_WINDOW_TITLE, width, height, bitsPerPixel, askFullscreen);
}

AppWindow::~AppWindow()
{
    if (ownsWindow_)
        destroy();
}

bool AppWindow::createWindow(const char* title, int w, int h, int bpp, bool wantFullscreen)
{
    native_ = nullptr;
    fullscreen = wantFullscreen;
    registered_ = true;
    if (fullscreen && !platform::fullscreenModeAvailable(w, h, bpp)) {
        bool windowed = platform::askYesNo("qz API",
            "The Requested Fullscreen Mode is not supported By\nyour Video Card. Use Windowed Mode Instead?",
            platform::MessageIcon::Warning, true);
        if (!windowed) {
            platform::showMessageBox("ERROR", "Program Will Now Close.", platform::MessageIcon::Error);
            return false;
        }
        fullscreen = false;
    }
    platform::WindowRequest request;
    request.title = title;
    request.width = w;
    request.height = h;
    request.bitsPerPixel = bpp;
    request.fullscreen = fullscreen;
    request.depthBits = stencil ? 16 : 32;
    request.stencilBits = stencil ? 16 : 0;
    native_ = platform::createGLWindow(request);
    if (!native_) {
        platform::showMessageBox("ERROR", "Window Creation Error.", platform::MessageIcon::Warning);
        return false;
    }
    resize(static_cast<float>(w), static_cast<float>(h));
    // The first visible frame is a cleared one.
    glClear(GL_COLOR_BUFFER_BIT);
    swapBuffers();
    return true;
}

int AppWindow::setCursorPos(int x, int y)
{
    return platform::warpCursor(x, y) ? 1 : 0;
}

void AppWindow::getCursorPos(int* x, int* y)
{
    platform::cursorPosition(x, y);
}

int AppWindow::getCursorX()
{
    int x = 0;
    platform::cursorPosition(&x, nullptr);
    return x;
}

int AppWindow::getCursorY()
{
    int y = 0;
    platform::cursorPosition(nullptr, &y);
    return y;
}

int AppWindow::showCursor()
{
    return platform::showCursor(true);
}

int AppWindow::hideCursor()
{
    return platform::showCursor(false);
}

bool AppWindow::toggleFullscreen()
{
    bool toFullscreen = !fullscreen;
    bool changed = platform::setFullscreen(native_, toFullscreen, bitsPerPixel);
    if (!toFullscreen)
        platform::showCursor(true);
    if (changed)
        fullscreen = toFullscreen;
    return true;
}

bool AppWindow::makeCurrent()
{
    return platform::makeCurrent(native_);
}

platform::SwapPacing AppWindow::paceSwaps(bool pace)
{
    return platform::setSwapPacing(native_, pace);
}

platform::SwapPacing AppWindow::swapPacing() const
{
    return native_ ? platform::swapPacing(native_) : pacing_;
}

int AppWindow::refreshRate() const
{
    return platform::refreshRate(native_);
}

bool AppWindow::swapBuffers()
{
    if (!native_)
        return false;
    glFlush();
    return platform::swapBuffers(native_);
}

unsigned long AppWindow::getHandle()
{
    return platform::nativeId(native_);
}

void AppWindow::closeNative()
{
    if (native_)
        pacing_ = platform::swapPacing(native_);
    platform::destroyGLWindow(native_);
    native_ = nullptr;
}

bool AppWindow::destroy()
{
    closeNative();
    platform::showCursor(true);
    bool wasRegistered = registered_;
    registered_ = false;
    return wasRegistered;
}

void AppWindow::handleEvent(const platform::Event& event)
{
    switch (event.type) {
    case platform::EventType::WindowResized:
        resize(static_cast<float>(event.width), static_cast<float>(event.height));
        break;
    case platform::EventType::KeyDown:
        if (event.key != static_cast<int>(platform::Key::Escape))
            break;
        [[fallthrough]];
    case platform::EventType::WindowClose:
        // A close of a window already closed must not end the loop a second time.
        if (!quitPosted_) {
            quitPosted_ = true;
            closeNative();
            platform::postAppQuit();
        }
        break;
    default:
        break;
    }
}
