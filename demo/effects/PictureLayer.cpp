#include "demo/effects/PictureLayer.h"

#include "demo/effects/ScreenOverlay.h"
#include "engine/core/Console.h"
#include "engine/material/Image.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"

bool PictureLayer::init(RenderDevice& device, const char* pictureFileName, const ParticleSprite& sprite)
{
    release();
    bool ready = false;
    Image image;
    if (pictureFileName && image.load(pictureFileName)) {
        texture_ = device.addTexture(image, "BUMP");
        device_ = &device;
        ready = texture_ >= 0;
    }
    image.release();

    if (particles_.init(6, sprite, 1000, Vec3(0.0f, 0.0f, 0.0f), Vec3(10.0f, 10.0f, 10.0f)) == -1) {
        consolePrintf("erreur chargement moteur de particule");
        ready = false;
    }
    return ready;
}

void PictureLayer::release()
{
    if (device_ && texture_ >= 0)
        device_->releaseTexture(texture_);
    device_ = nullptr;
    texture_ = -1;
}

void PictureLayer::draw(RenderDevice& device, float frameDelta, const Vec3& camera)
{
    const Window* window = device.getWindow();
    particles_.drawAndUpdate(device, frameDelta, camera);
    if (!window || texture_ < 0)
        return;

    // The picture covers the viewport: the show's frame, whatever the window's shape.
    const float w = static_cast<float>(device.viewportWidth);
    const float h = static_cast<float>(device.viewportHeight);
    beginScreenOverlay(device, w, h);

    device.setCullModeCached(CullMode::None);
    device.setLightingCached(false);
    device.setBlendingCached(true);
    device.setBlendFuncCached(BlendFactor::One, BlendFactor::One);
    device.setTextureSlot(0, texture_);
    device.drawQuad(0.0f, 0.0f, w, h);
    device.setLightingCached(true);
    device.setBlendingCached(false);

    device.popProjection();
}

void PictureLayer::simulate(float frameDelta, const Vec3& camera)
{
    particles_.simulate(frameDelta, camera);
}
