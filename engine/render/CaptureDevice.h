// The OpenGL render device with one addition: every presented frame is read back from
// the back buffer just before the swap, as RGB rows top first, for programs that write
// the show's frames to files. It owns the copy of the last frame; the window and
// everything else stay the GL device's.
#pragma once

#include "engine/render/GLRenderDevice.h"

#include <cstdint>
#include <vector>

class CaptureDevice : public GLRenderDevice {
public:
    // Reads the back buffer into lastFrame, the window's size: the frame drawn at the
    // corner put in its place (framePlace), black around it.
    void onPresent() override;
    bool placesFrames() const override { return true; }

    // Frames presented since the caller last set it to 0; 0 means nothing was drawn.
    int presentedFrames = 0;
    int frameWidth = 0;
    int frameHeight = 0;
    std::vector<std::uint8_t> lastFrame; // width * height * 3 bytes, top row first

private:
    std::vector<std::uint8_t> readBack_; // the frame as OpenGL gives it, kept between frames
};
