#include "demo/effects/ScreenOverlay.h"

#include "engine/math/Mat4.h"
#include "engine/render/RenderDevice.h"

void beginScreenOverlay(RenderDevice& device, float width, float height)
{
    Mat4 ortho;
    ortho.setOrtho(0.0f, width, height, 0.0f, 0.0f, 1.0f);
    device.pushProjection(ortho);
    device.setVertexProgram(-1);
    device.setMaterial(-1);
    const Mat4 identity;
    device.setView(identity);
    device.setWorld(identity);
}
