// A small headless OpenGL window (AppWindow on the offscreen driver) with a
// GLRenderDevice attached, for pixel tests. The "Init.log" that attaching writes goes to
// a scratch directory, not the build directory. Pixels read back with y from the top.
// Only for tests that need GL; tests without GL must not make one.
#pragma once

#include "engine/render/GLRenderDevice.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Rgba8 {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
};

class GLTestContext {
public:
    // extensionsOverride: when not null, the device sees this extension string instead
    // of the driver's (see GLRenderDevice::extensionsOverride).
    explicit GLTestContext(int width = 64, int height = 64, const char* extensionsOverride = nullptr);
    // Detaches (deleting textures, materials, programs and the window), then the device.
    ~GLTestContext();
    GLTestContext(const GLTestContext&) = delete;
    GLTestContext& operator=(const GLTestContext&) = delete;

    // False when no window or context could be made (the tests then skip).
    bool ok() const { return ok_; }
    GLRenderDevice& device() { return *device_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Directory where "Init.log" was written.
    const ScratchDir& scratch() const { return scratch_; }

    // Pixel (x, y) of the back buffer, y counted from the top row. Finishes drawing first.
    Rgba8 pixel(int x, int y) const;
    // The whole back buffer as RGB rows, top row first.
    std::vector<std::uint8_t> readRgb() const;

private:
    ScratchDir scratch_;
    GLRenderDevice* device_ = nullptr;
    int width_;
    int height_;
    bool ok_ = false;
};

// A test with a 64 x 64 GL device, cleared to black with identity transforms (x, y in
// -1..1 cover the window) before each case; skipped when no context can be made.
class GLDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
        for (auto set : { &RenderDevice::setProjection, &RenderDevice::setView, &RenderDevice::setWorld })
            (device().*set)(Mat4());
        device().setClearColor(0.0f, 0.0f, 0.0f);
        device().clearAll();
    }

    GLRenderDevice& device() { return gl.device(); }

    GLTestContext gl{64, 64};
};

// True when every channel of a is within tolerance of (r, g, b).
bool nearColour(const Rgba8& a, int r, int g, int b, int tolerance = 2);
