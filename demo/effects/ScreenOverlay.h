// Drawing flat over the window in its own pixels, as the picture layer and the lyrics'
// letterbox do. It sets only the transforms and turns off the vertex program and the
// material; culling, lighting and blending stay with the caller, who knows whether the
// device's cache can be trusted.
#pragma once

class RenderDevice;

// Pushes a projection with (0, 0) at the top left and (width, height) at the bottom right
// of the window (pixels, depth 0 to 1), and sets identity view and world matrices. The
// caller ends the overlay with device.popProjection().
void beginScreenOverlay(RenderDevice& device, float width, float height);
