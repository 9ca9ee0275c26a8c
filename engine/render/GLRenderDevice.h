// GLRenderDevice: the render device on OpenGL 1.x with ARB extensions and GLU. It adds
// per-stage texture filters, the texture address modes and the extension flags; every
// OpenGL enumeration it sends comes from GLTranslate. It needs the attached window's
// context to be current for every call after attachWindow.
#pragma once

#include "engine/render/RenderDevice.h"

class GLRenderDevice : public RenderDevice {
public:
    GLRenderDevice() = default;
    ~GLRenderDevice() override = default;

    Texture* newTexture() override;
    VertexProgram* newVertexProgram(std::uint8_t requiredVersion, int ignored) override;
    Material* newMaterial(int ignored1, int ignored2, bool enable) override;
    void disableVertexProgram() override;
    void initialise(Caps& caps) override;
    void onDetach() override {}
    void resetColor() override;
    void onBeginScene() override {}
    void onPresent() override {}
    void applyAmbientLight() override;
    void disableLightApi(int index) override;
    void enableLightApi(int index) override;
    void applyLight(int index, const Light& light) override;
    void applyViewport(int x, int y, int width, int height) override;
    void applyScissor(int x, int y, int width, int height) override;
    void onResize(float, float) override {}
    void pushModelView() override;
    void popModelView() override;
    void translateModelView(float x, float y, float z) override;
    void applyView() override;
    void applyWorld() override;
    void applyProjection() override;
    int createList() override;
    int deleteList(const BufferRecord& record) override;
    void compileList(const BufferRecord& record, const float* vertices, const std::uint16_t* indices) override;
    void callList(const BufferRecord& record) override;
    void drawArrays(int primitive, const float* vertices, int vertexCount, int format,
                    const std::uint16_t* indices, int indexCount) override;
    int reserved() override { return 0; }
    void beginOcclusionTest() override;
    bool endOcclusionTest() override;
    // Filters above trilinear are kept only with anisotropic filtering; sent at the next
    // setTexture on that stage.
    void setTextureFilter(int stage, int filter) override;
    void setTexture(int stage, int index) override;
    void setFogStart(float start) override;
    void setFogEnd(float end) override;
    void setFogColor(float r, float g, float b) override;
    void setFogMode(int mode) override;
    void setFogDensity(float density) override;
    void enableFog() override;
    void disableFog() override;
    void drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g, float b) override;
    void drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b) override;
    void drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool normalised) override;
    void drawTexturedRect2D(int texture, float x1, float y1, float x2, float y2, bool normalised) override;
    void drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool normalised) override;
    void drawPoint(float x, float y, float z, float r, float g, float b) override;
    void clearColor() override;
    void clearStencil() override;
    void clearDepth() override;
    void clearAll() override;
    void applyMaterial() override;
    void setTextureAddress(int u, int v) override;

    // When set before attachWindow, initialise reads this string instead of the
    // driver's GL_EXTENSIONS (to see how the device behaves on an older driver). Not
    // owned; must outlive the call.
    const char* extensionsOverride = nullptr;

    int textureFilter[MaxStages] = {2, 2, 2, 2, 2, 2, 2, 2};
    int addressU = 1;
    int addressV = 1;
    bool hasMultitexture = false;
    bool hasEnvAdd = false;
    bool hasEnvCombine = false;
    bool hasNVOcclusionQuery = false;
    bool hasHPOcclusionTest = false;
    bool hasVertexProgram = false;

protected:
    void applyShadeMode(int mode) override;
    void applyFillMode(int mode) override;
    void applyDepthFunc(int func) override;
    void applyDepthTest(bool on) override;
    void applyDepthWrite(bool on) override;
    void applyAlphaRef(float ref) override;
    void applyAlphaFunc(int func) override;
    void applyAlphaTest(bool on) override;
    void applyBlending(bool on) override;
    void applyBlendFunc(int src, int dst) override;
    void applyDither(bool on) override;
    void applyLighting(bool on) override;
    void applyCullMode(int mode) override;
    void applyColorWrite(bool on) override;
    void applyStencilTest(bool on) override;
    void applyStencilFunc(int func, int ref, std::uint32_t mask) override;
    void applyStencilOp(int fail, int depthFail, int pass) override;

private:
    void begin2D(bool normalised, float& sx, float& sy);
    void end2D();
    void loadModelview();
};
