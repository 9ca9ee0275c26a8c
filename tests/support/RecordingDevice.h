// A render device that records its virtual calls instead of talking to a graphics API,
// for tests of what the device (or a scene, material or mesh) asks of the API and in
// which order. Each call becomes one text line "name(arg, arg, ...)" in calls; floats
// are printed with %g. Its textures, materials and programs are fakes that also record
// into the same list. initialise fills Caps from the public fields below.
#pragma once

#include "engine/render/RenderDevice.h"

#include <string>
#include <vector>

class RecordingDevice : public RenderDevice {
public:
    RecordingDevice();
    ~RecordingDevice() override;

    // Every call, in order.
    std::vector<std::string> calls;
    // Calls whose line starts with prefix ("setBlendFunc(").
    std::vector<std::string> callsStartingWith(const std::string& prefix) const;
    int count(const std::string& prefix) const { return static_cast<int>(callsStartingWith(prefix).size()); }
    void clearCalls() { calls.clear(); }

    // The view matrix at every applyView, in order.
    std::vector<Mat4> viewsApplied;

    // Texture units initialise reports (vertex programs and anisotropy always).
    int textureUnits = 4;
    // When set, newTexture's textures refuse create2D.
    bool failTextureCreation = false;

    Texture* newTexture() override;
    VertexProgram* newVertexProgram(std::uint8_t requiredVersion, int ignored) override;
    Material* newMaterial(int ignored1, int ignored2, bool enable) override;
    void disableVertexProgram() override;
    void initialise(Caps& caps) override;
    void onDetach() override;
    void resetColor() override;
    void onBeginScene() override;
    void onPresent() override;
    void applyAmbientLight() override;
    void disableLightApi(int index) override;
    void enableLightApi(int index) override;
    void applyLight(int index, const Light& light) override;
    void applyViewport(int x, int y, int width, int height) override;
    void applyScissor(int x, int y, int width, int height) override;
    void onResize(float width, float height) override;
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
    int reserved() override;
    void beginOcclusionTest() override;
    bool endOcclusionTest() override;
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

    void record(const std::string& line) { calls.push_back(line); }

protected:
    // Recorded under the name of the state setter that sent them.
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
    int nextList_ = 1;
};

// "name(a, b, c)" with each argument printed by %g.
std::string callLine(const char* name, std::initializer_list<double> args);
