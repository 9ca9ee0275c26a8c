#include "app/FrameLoop.h"

#include "engine/render/AppWindow.h"
#include "platform/Events.h"

std::uint32_t runFrameLoop(AppWindow* window, const FrameCallbacks& frame)
{
    std::uint32_t frames = 0;
    for (;;) {
        platform::Event event;
        if (platform::pollEvent(event)) {
            if (event.type == platform::EventType::AppQuit)
                break;
            if (window)
                window->handleEvent(event);
            else if (event.type == platform::EventType::WindowClose)
                break; // no window to close: the request itself ends the loop
            continue;
        }
        if (frame.update)
            frame.update();
        if (frame.render)
            frame.render();
        ++frames;
    }
    return frames;
}
