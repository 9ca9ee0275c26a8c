#include "engine/render/RenderDevice.h"

#include "engine/geometry/Camera.h"
#include "engine/material/Material.h"
#include "engine/material/Texture.h"
#include "engine/material/VertexProgram.h"
#include "engine/render/Window.h"

#include <cmath>

RenderDevice* currentDevice = nullptr;

namespace {

// Built-in material scripts: texture times diffuse colour; and diffuse texture times
// light map.
const char* const DefaultMaterialScript = "\ttex 0\trgb modulate t0 d0\talpha modulate t0 d0";
const char* const LightmapMaterialScript =
    "\ttex diffuse\trgb leftarg t0 d0\talpha leftarg t0 d0"
    "\ttex lightmap\trgb modulate r0 t0\talpha modulate r0 t0";

void setColour(float out[4], const Color& c)
{
    out[0] = c.r / 255.0f;
    out[1] = c.g / 255.0f;
    out[2] = c.b / 255.0f;
    out[3] = 1.0f;
}

void copy4(float out[4], float r, float g, float b, float a)
{
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}

}

RenderDevice::RenderDevice()
    : buffers(BufferCount)
{
    for (int& slot : textureSlots)
        slot = -1;
    currentDevice = this;
}

RenderDevice::~RenderDevice()
{
    if (currentDevice == this)
        currentDevice = nullptr;
}

void RenderDevice::attachWindow(Window* newWindow)
{
    if (window)
        detachWindow();
    window = newWindow;
    if (window) {
        window->device = this;
        // Detaching the previous window may have taken its context with it.
        window->makeCurrent();
    }
    initialise(caps);
    resetState();
}

void RenderDevice::detachWindow()
{
    currentMaterial = nullptr;
    currentProgram = nullptr;
    textures.clear();
    programs.clear();
    materials.clear();
    defaultMaterial = -1;
    lightmapMaterial = -1;
    onDetach();
    if (window) {
        window->device = nullptr;
        delete window;
        window = nullptr;
    }
}

void RenderDevice::resetMaterialColours()
{
    setColour(materialAmbient, black);
    setColour(materialDiffuse, white);
    setColour(materialSpecular, black);
    setColour(materialEmissive, black);
    materialShininess = 20.0f;
    applyMaterial();
}

void RenderDevice::resetState()
{
    projection.top = 0;
    view.top = 0;
    world.top = 0;
    setPerspective(65.0f, 0.1f, 5000.0f);

    const Mat4 identity;
    setWorld(identity);
    setView(identity);
    setProjection(identity);
    setCamera(nullptr);

    setFogColor(0.0f, 0.0f, 0.0f);
    setFogMode(FogMode::Linear);
    disableFog();

    resetMaterialColours();

    for (int stage = 0; stage < caps.stageCount(); ++stage)
        setTextureFilter(stage, TextureFilter::Trilinear);

    float blackLight[4];
    setColour(blackLight, black);
    setAmbientLight(blackLight);
    disableAllLights();

    setLighting(false);
    setShadeMode(ShadeMode::Smooth);
    setFillMode(FillMode::Filled);
    setCullMode(CullMode::Back);
    setDepthFunc(CompareFunc::LessEqual);
    setDepthTest(true);
    setDepthWrite(true);
    setAlphaRef(0.5f);
    setAlphaFunc(CompareFunc::Greater);
    setAlphaTest(true);
    setBlending(false);
    setBlendFunc(BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha);
    setDither(false);
    setColorWrite(true);
    setStencilTest(false);
    setStencilFunc(CompareFunc::Always, 0, 0xFFFFFFFFu);
    setStencilOp(StencilOp::Keep, StencilOp::Keep, StencilOp::Keep);

    defaultMaterial = createMaterial(DefaultMaterialScript, nullptr, nullptr, true);
    lightmapMaterial = createMaterial(LightmapMaterialScript, nullptr, nullptr, true);
    setMaterial(defaultMaterial);

    stencilClearValue = 0;
    clearAll();
}

void RenderDevice::resize(float width, float height)
{
    if (height == 0.0f)
        height = 1.0f;
    if (window) {
        window->width = std::trunc(width);
        window->height = std::trunc(height);
    }
    onResize(width, height);
    setPerspective(fieldOfView, nearPlane, farPlane);
    setViewport(0, 0, static_cast<int>(width), static_cast<int>(height));
}

void RenderDevice::beginFrame()
{
    stats = RenderStats{};
    if (window)
        window->makeCurrent();
    setCamera(camera);
    setWorld(Mat4());
    resetMaterialColours();
    disableAllLights();
    resetColor();
}

void RenderDevice::endFrame()
{
    onPresent();
    if (window)
        window->swapBuffers();
    ++frameCount;
}

void RenderDevice::setViewport(int x, int y, int width, int height)
{
    viewportX = x;
    viewportY = y;
    viewportWidth = width;
    viewportHeight = height;
    applyViewport(x, y, width, height);
}

void RenderDevice::setScissor(int x, int y, int width, int height)
{
    width = width > 0 ? width : 0;
    height = height > 0 ? height : 0;
    applyScissor(viewportX + x, viewportY + viewportHeight - y - height, width, height);
}

void RenderDevice::setPerspective(float fov, float nearZ, float farZ)
{
    fieldOfView = fov;
    nearPlane = nearZ;
    farPlane = farZ;
    aspect = 1.0f;
    if (window) {
        const int w = static_cast<int>(window->width);
        const int h = static_cast<int>(window->height);
        // A zero height cannot reach here through resize; a window made with one could.
        aspect = h != 0 ? static_cast<float>(w) / static_cast<float>(h) : static_cast<float>(w);
    }
    projection.current().setPerspective(fov, nearZ, farZ, aspect);
    applyProjection();
    updateFrustum();
}

void RenderDevice::setProjection(const Mat4& m)
{
    projection.current() = m;
    applyProjection();
    updateFrustum();
}

void RenderDevice::pushProjection(const Mat4& m)
{
    if (projection.top < MatrixStack::Depth - 1)
        ++projection.top;
    setProjection(m);
}

void RenderDevice::popProjection()
{
    if (projection.top > 0) {
        --projection.top;
        applyProjection();
        updateFrustum();
    }
}

void RenderDevice::setView(const Mat4& m)
{
    view.current() = m;
    applyView();
    updateFrustum();
}

void RenderDevice::setWorld(const Mat4& m)
{
    world.current() = m;
    applyWorld();
}

void RenderDevice::setCamera(Camera* newCamera)
{
    camera = newCamera;
    if (camera)
        view.current() = camera->viewMatrix();
    else
        view.current() = Mat4();
    applyView();
}

void RenderDevice::updateFrustum()
{
    Mat4 m;
    Mat4::product(m, projection.current(), view.current());
    auto row = [&m](int i, float out[4]) {
        out[0] = m.m[i];
        out[1] = m.m[4 + i];
        out[2] = m.m[8 + i];
        out[3] = m.m[12 + i];
    };
    float r[4][4];
    for (int i = 0; i < 4; ++i)
        row(i, r[i]);
    // right, left, bottom, top, far, near
    const int axis[6] = {0, 0, 1, 1, 2, 2};
    const float sign[6] = {-1, 1, 1, -1, -1, 1};
    for (int p = 0; p < 6; ++p) {
        for (int k = 0; k < 4; ++k)
            frustum[p][k] = r[3][k] + sign[p] * r[axis[p]][k];
        const float len = std::sqrt(frustum[p][0] * frustum[p][0] + frustum[p][1] * frustum[p][1] +
                                    frustum[p][2] * frustum[p][2]);
        if (len != 0.0f)
            for (float& v : frustum[p])
                v /= len;
    }

    Mat4 inverse = m;
    inverse.invert();
    for (int i = 0; i < 8; ++i) {
        const Vec3 corner((i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : 0.0f);
        Vec3 out;
        const float w = inverse.transformPointW(corner, out);
        if (w != 0.0f)
            out /= w;
        frustumCorners[i] = out;
    }
}

void RenderDevice::setClearColor(float r, float g, float b)
{
    clearR = r;
    clearG = g;
    clearB = b;
}

void RenderDevice::setAmbientLight(const float rgba[4])
{
    copy4(ambientLight, rgba[0], rgba[1], rgba[2], rgba[3]);
    applyAmbientLight();
}

void RenderDevice::setLight(int index, const Light& light)
{
    if (index < 0 || index >= LightCount)
        return;
    lights[index] = light;
    applyLight(index, lights[index]);
}

const Light* RenderDevice::getLight(int index) const
{
    if (index < 0 || index >= LightCount)
        return nullptr;
    return &lights[index];
}

void RenderDevice::enableLight(int index)
{
    if (index < 0 || index >= LightCount)
        return;
    lightEnabled[index] = true;
    enableLightApi(index);
}

void RenderDevice::disableLight(int index)
{
    if (index < 0 || index >= LightCount)
        return;
    lightEnabled[index] = false;
    disableLightApi(index);
}

void RenderDevice::disableAllLights()
{
    for (int i = 0; i < LightCount; ++i)
        disableLight(i);
}

void RenderDevice::setMaterialAmbient(float r, float g, float b, float a) { copy4(materialAmbient, r, g, b, a); }
void RenderDevice::setMaterialDiffuse(float r, float g, float b, float a) { copy4(materialDiffuse, r, g, b, a); }
void RenderDevice::setMaterialSpecular(float r, float g, float b, float a) { copy4(materialSpecular, r, g, b, a); }
void RenderDevice::setMaterialEmissive(float r, float g, float b, float a) { copy4(materialEmissive, r, g, b, a); }
void RenderDevice::setMaterialShininess(float shininess) { materialShininess = shininess; }

void RenderDevice::setShadeMode(int mode)
{
    shadeMode = mode;
    applyShadeMode(mode);
}

void RenderDevice::setFillMode(int mode)
{
    fillMode = mode;
    applyFillMode(mode);
}

void RenderDevice::setDepthFunc(int func)
{
    depthFunc = func;
    applyDepthFunc(func);
}

void RenderDevice::setDepthTest(bool on)
{
    depthTest = on;
    applyDepthTest(on);
}

void RenderDevice::setDepthWrite(bool on)
{
    depthWrite = on;
    applyDepthWrite(on);
}

void RenderDevice::setAlphaRef(float ref)
{
    alphaRef = ref;
    applyAlphaRef(ref);
}

void RenderDevice::setAlphaFunc(int func)
{
    alphaFunc = func;
    applyAlphaFunc(func);
}

void RenderDevice::setAlphaTest(bool on)
{
    alphaTest = on;
    applyAlphaTest(on);
}

void RenderDevice::setBlending(bool on)
{
    blending = on;
    applyBlending(on);
}

void RenderDevice::setBlendFunc(int src, int dst)
{
    blendSrc = src;
    blendDst = dst;
    applyBlendFunc(src, dst);
}

void RenderDevice::setDither(bool on)
{
    dither = on;
    applyDither(on);
}

void RenderDevice::setLighting(bool on)
{
    lighting = on;
    applyLighting(on);
}

void RenderDevice::setCullMode(int mode)
{
    cullMode = mode;
    applyCullMode(mode);
}

void RenderDevice::setColorWrite(bool on)
{
    colorWrite = on;
    applyColorWrite(on);
}

void RenderDevice::setStencilTest(bool on)
{
    stencilTest = on;
    applyStencilTest(on);
}

void RenderDevice::setStencilFunc(int func, int ref, std::uint32_t mask)
{
    stencilFunc = func;
    stencilRef = ref;
    stencilMask = mask;
    applyStencilFunc(func, ref, mask);
}

void RenderDevice::setStencilOp(int fail, int depthFail, int pass)
{
    stencilFail = fail;
    stencilDepthFail = depthFail;
    stencilPass = pass;
    applyStencilOp(fail, depthFail, pass);
}

void RenderDevice::setLightingCached(bool on)
{
    if (on != lighting)
        setLighting(on);
}

void RenderDevice::setCullModeCached(int mode)
{
    if (mode != cullMode)
        setCullMode(mode);
}

void RenderDevice::setDepthWriteCached(bool on)
{
    if (on != depthWrite)
        setDepthWrite(on);
}

void RenderDevice::setAlphaRefCached(float ref)
{
    if (ref != alphaRef)
        setAlphaRef(ref);
}

void RenderDevice::setAlphaTestCached(bool on)
{
    if (on != alphaTest)
        setAlphaTest(on);
}

void RenderDevice::setBlendingCached(bool on)
{
    if (on != blending)
        setBlending(on);
}

void RenderDevice::setBlendFuncCached(int src, int dst)
{
    if (src != blendSrc || dst != blendDst)
        setBlendFunc(src, dst);
}
