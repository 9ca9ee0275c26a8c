#include "engine/render/CaptureDevice.h"

#include "engine/render/Window.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>

void CaptureDevice::onPresent()
{
    Window* window = getWindow();
    if (!window || window->width <= 0 || window->height <= 0)
        return;
    frameWidth = int(window->width);
    frameHeight = int(window->height);
    const std::size_t row = std::size_t(frameWidth) * 3;
    lastFrame.resize(row * std::size_t(frameHeight));

    // Pack state is not part of the device's cache: set it for the read and put it back.
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, frameWidth, frameHeight, GL_RGB, GL_UNSIGNED_BYTE, lastFrame.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);

    // OpenGL's rows run bottom up; pictures and video run top down.
    std::vector<std::uint8_t> swap(row);
    for (int top = 0, bottom = frameHeight - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = lastFrame.data() + std::size_t(top) * row;
        std::uint8_t* b = lastFrame.data() + std::size_t(bottom) * row;
        std::memcpy(swap.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, swap.data(), row);
    }
    ++presentedFrames;
}
