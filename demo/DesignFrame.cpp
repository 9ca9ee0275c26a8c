#include "demo/DesignFrame.h"

#include <algorithm>
#include <cstdint>

namespace design {

Rect frameIn(int width, int height)
{
    width = std::max(width, 1);
    height = std::max(height, 1);
    Rect frame;
    // Wider than the design (or exactly its shape): full height, bars at the sides.
    if (std::int64_t(width) * HEIGHT >= std::int64_t(height) * WIDTH) {
        frame.height = height;
        frame.width = std::max(int(std::int64_t(height) * WIDTH / HEIGHT), 1);
    } else {
        frame.width = width;
        frame.height = std::max(int(std::int64_t(width) * HEIGHT / WIDTH), 1);
    }
    frame.x = (width - frame.width) / 2;
    frame.y = (height - frame.height) / 2;
    return frame;
}

float scale(int frameHeight)
{
    return static_cast<float>(frameHeight) / static_cast<float>(HEIGHT);
}

}
