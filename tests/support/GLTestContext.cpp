#include "tests/support/GLTestContext.h"

#include "engine/render/AppWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

GLTestContext::GLTestContext(int width, int height, const char* extensionsOverride)
    : width_(width)
    , height_(height)
{
    auto* window = new AppWindow(width, height, 32, false, false);
    if (!window->getHandle()) {
        delete window;
        return;
    }
    device_ = new GLRenderDevice();
    device_->extensionsOverride = extensionsOverride;
    char previous[4096];
    const bool haveCwd = getcwd(previous, sizeof previous) != nullptr;
    if (chdir(scratch_.path().c_str()) != 0)
        std::fprintf(stderr, "GLTestContext: cannot enter %s\n", scratch_.path().c_str());
    device_->attachWindow(window);
    if (haveCwd && chdir(previous) != 0)
        std::fprintf(stderr, "GLTestContext: cannot return to %s\n", previous);
    device_->resize(static_cast<float>(width), static_cast<float>(height));
    ok_ = true;
}

GLTestContext::~GLTestContext()
{
    if (device_) {
        device_->detachWindow();
        delete device_;
    }
}

Rgba8 GLTestContext::pixel(int x, int y) const
{
    Rgba8 p;
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(x, height_ - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p);
    return p;
}

std::vector<std::uint8_t> GLTestContext::readRgb() const
{
    std::vector<std::uint8_t> bottomUp(static_cast<size_t>(width_) * height_ * 3);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> rows(bottomUp.size());
    const size_t rowBytes = static_cast<size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y)
        std::copy_n(bottomUp.data() + (height_ - 1 - y) * rowBytes, rowBytes, rows.data() + y * rowBytes);
    return rows;
}

bool nearColour(const Rgba8& a, int r, int g, int b, int tolerance)
{
    return std::abs(a.r - r) <= tolerance && std::abs(a.g - g) <= tolerance && std::abs(a.b - b) <= tolerance;
}
