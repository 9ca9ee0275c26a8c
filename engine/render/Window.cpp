#include "engine/render/Window.h"

#include "engine/render/RenderDevice.h"

#include <cmath>

Window::Window(int width, int height, int bitsPerPixel, bool fullscreen, bool stencil)
    : width(static_cast<float>(width))
    , height(static_cast<float>(height))
    , bitsPerPixel(bitsPerPixel)
    , fullscreen(fullscreen)
    , stencil(stencil)
{
}

void Window::resize(float newWidth, float newHeight)
{
    // A minimised window reports 0; the projection must never divide by it.
    width = (newWidth == 0.0f || std::isnan(newWidth)) ? 1.0f : newWidth;
    height = (newHeight == 0.0f || std::isnan(newHeight)) ? 1.0f : newHeight;
    if (device)
        device->resize(width, height);
}
