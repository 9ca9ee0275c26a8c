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
    const bool placed = framePlace.width > 0 && framePlace.height > 0 && framePlace.x >= 0 && framePlace.y >= 0
        && framePlace.x + framePlace.width <= frameWidth && framePlace.y + framePlace.height <= frameHeight;
    const int readWidth = placed ? framePlace.width : frameWidth;
    const int readHeight = placed ? framePlace.height : frameHeight;
    const std::size_t readRow = std::size_t(readWidth) * 3;
    readBack_.resize(readRow * std::size_t(readHeight));

    // Pack state is not part of the device's cache: set it for the read and put it back.
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, readWidth, readHeight, GL_RGB, GL_UNSIGNED_BYTE, readBack_.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);

    // OpenGL's rows run bottom up; pictures and video run top down. The frame's rows go
    // to its place, the rest is black; a frame read whole overwrites every byte.
    const std::size_t row = std::size_t(frameWidth) * 3;
    if (placed)
        lastFrame.assign(row * std::size_t(frameHeight), 0);
    else
        lastFrame.resize(row * std::size_t(frameHeight));
    const int left = placed ? framePlace.x : 0;
    const int top = placed ? frameHeight - framePlace.y - framePlace.height : 0;
    for (int y = 0; y < readHeight; ++y)
        std::memcpy(lastFrame.data() + std::size_t(top + y) * row + std::size_t(left) * 3,
            readBack_.data() + std::size_t(readHeight - 1 - y) * readRow, readRow);
    ++presentedFrames;
}
