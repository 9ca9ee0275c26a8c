#include "demo/effects/PictureLayer.h"

#include "demo/effects/ScreenOverlay.h"
#include "engine/material/Image.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"

#include <cstdio>

bool PictureLayer::init(const char* pictureFileName)
{
    bool ready = false;
    Image image;
    if (currentDevice && pictureFileName && image.load(pictureFileName)) {
        texture_ = currentDevice->addTexture(image, "BUMP");
        ready = texture_ >= 0;
    }
    image.release();

    if (particles_.init(6, "Particle.bmp", 1000, Vec3(0.0f, 0.0f, 0.0f), Vec3(10.0f, 10.0f, 10.0f)) == -1) {
        std::printf("erreur chargement moteur de particule");
        ready = false;
    }
    return ready;
}

void PictureLayer::draw(RenderDevice& device, float frameDelta, const Vec3& camera)
{
    const Window* window = device.getWindow();
    particles_.drawAndUpdate(frameDelta, camera);
    // The particles changed GL behind the cache; without this, the cached setters below
    // could skip a change GL still needs (the first frame would draw the picture lit).
    recordParticleGLState(device);
    if (!window || texture_ < 0)
        return;

    const float w = window->width;
    const float h = window->height;
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
