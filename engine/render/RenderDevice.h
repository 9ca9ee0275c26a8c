// Placeholder until the render device lands: only what a window needs of it.
#pragma once

class RenderDevice {
public:
    virtual ~RenderDevice() = default;
    virtual void resize(float width, float height) = 0;
};
