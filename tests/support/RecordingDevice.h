// A render device that records its virtual calls instead of talking to a graphics API,
// for tests of what the device (or a scene, material or mesh) asks of the API and in
// which order. Each call becomes one text line "name(arg, arg, ...)" in calls; floats
// are printed with %g. Its textures, materials and programs are fakes that also record
// into the same list. initialise fills Caps from the public fields below.
#pragma once

#include "engine/render/RenderDevice.h"

#include <string>
#include <vector>

// "name(a, b, c)" with each argument printed by %g.
std::string callLine(const char* name, std::initializer_list<double> args);

// An override that records its call as name(args).
#define RECORD_CALL(signature, name, ...) \
    void signature override { record(callLine(name, { __VA_ARGS__ })); }

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
    void record(const std::string& line) { calls.push_back(line); }

    // The view matrix at every applyView, in order.
    std::vector<Mat4> viewsApplied;

    // Texture units initialise reports (vertex programs and anisotropy always).
    int textureUnits = 4;
    // When set, newTexture's textures refuse create2D.
    bool failTextureCreation = false;

    Texture* newTexture() override;
    VertexProgram* newVertexProgram(std::uint8_t requiredVersion, int ignored) override;
    Material* newMaterial(int ignored1, int ignored2, bool enable) override;
    void initialise(Caps& caps) override;
    void applyView() override { record("applyView()"), viewsApplied.push_back(view.current()); }
    int createList() override { return record(callLine("createList", { double(nextList_) })), nextList_++; }
    int deleteList(const BufferRecord& r) override { return record(callLine("deleteList", { double(r.list) })), 0; }
    int reserved() override { return record("reserved()"), 0; }
    bool endOcclusionTest() override { return record("endOcclusionTest()"), false; }
    RECORD_CALL(disableVertexProgram(), "disableVertexProgram")
    RECORD_CALL(onDetach(), "onDetach")
    RECORD_CALL(resetColor(), "resetColor")
    RECORD_CALL(onBeginScene(), "onBeginScene")
    RECORD_CALL(onPresent(), "onPresent")
    RECORD_CALL(applyAmbientLight(), "applyAmbientLight")
    RECORD_CALL(applyWorld(), "applyWorld")
    RECORD_CALL(pushModelView(), "pushModelView")
    RECORD_CALL(popModelView(), "popModelView")
    RECORD_CALL(applyProjection(), "applyProjection")
    RECORD_CALL(beginOcclusionTest(), "beginOcclusionTest")
    RECORD_CALL(enableFog(), "enableFog")
    RECORD_CALL(disableFog(), "disableFog")
    RECORD_CALL(clearColor(), "clearColor")
    RECORD_CALL(clearStencil(), "clearStencil")
    RECORD_CALL(clearDepth(), "clearDepth")
    RECORD_CALL(clearAll(), "clearAll")
    RECORD_CALL(applyMaterial(), "applyMaterial")
    RECORD_CALL(disableLightApi(int i), "disableLightApi", double(i))
    RECORD_CALL(enableLightApi(int i), "enableLightApi", double(i))
    RECORD_CALL(applyLight(int i, const Light& l),
           "applyLight", double(i), double(l.type), l.position.x, l.position.y, l.position.z)
    RECORD_CALL(applyScissor(int x, int y, int w, int h), "applyScissor", double(x), double(y), double(w), double(h))
    RECORD_CALL(applyViewport(int x, int y, int w, int h), "applyViewport", double(x), double(y), double(w), double(h))
    RECORD_CALL(onResize(float w, float h), "onResize", w, h)
    RECORD_CALL(translateModelView(float x, float y, float z), "translateModelView", x, y, z)
    RECORD_CALL(compileList(const BufferRecord& r, const float*, const std::uint16_t*),
           "compileList", double(r.list), double(r.vertexCount), double(r.indexCount))
    RECORD_CALL(callList(const BufferRecord& r), "callList", double(r.list))
    RECORD_CALL(drawArrays(int p, const float*, int vc, int f, const std::uint16_t* idx, int ic),
           "drawArrays", double(p), double(vc), double(f), double(idx != nullptr), double(ic))
    RECORD_CALL(setTextureFilter(int s, int f), "setTextureFilter", double(s), double(f))
    RECORD_CALL(setTexture(int s, int i), "setTexture", double(s), double(i))
    RECORD_CALL(setFogStart(float v), "setFogStart", v)
    RECORD_CALL(setFogEnd(float v), "setFogEnd", v)
    RECORD_CALL(setFogColor(float r, float g, float b), "setFogColor", r, g, b)
    RECORD_CALL(setFogMode(int m), "setFogMode", double(m))
    RECORD_CALL(setFogDensity(float d), "setFogDensity", d)
    RECORD_CALL(drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g, float b),
           "drawWireEllipsoid", cx, cy, cz, rx, ry, rz, r, g, b)
    RECORD_CALL(drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b),
           "drawWireBox", x1, y1, z1, x2, y2, z2, r, g, b)
    RECORD_CALL(drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n),
           "drawRect2D", x1, y1, x2, y2, r, g, b, a, double(n))
    RECORD_CALL(drawTexturedRect2D(int t, float x1, float y1, float x2, float y2, bool n),
           "drawTexturedRect2D", double(t), x1, y1, x2, y2, double(n))
    RECORD_CALL(drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n),
           "drawLine2D", x1, y1, x2, y2, r, g, b, a, double(n))
    RECORD_CALL(drawPoint(float x, float y, float z, float r, float g, float b), "drawPoint", x, y, z, r, g, b)
    RECORD_CALL(setTextureAddress(int u, int v), "setTextureAddress", double(u), double(v))

protected:
    // Recorded under the name of the state setter that sent them.
    RECORD_CALL(applyShadeMode(int m), "setShadeMode", double(m))
    RECORD_CALL(applyFillMode(int m), "setFillMode", double(m))
    RECORD_CALL(applyDepthFunc(int f), "setDepthFunc", double(f))
    RECORD_CALL(applyDepthTest(bool on), "setDepthTest", double(on))
    RECORD_CALL(applyDepthWrite(bool on), "setDepthWrite", double(on))
    RECORD_CALL(applyAlphaRef(float r), "setAlphaRef", r)
    RECORD_CALL(applyAlphaFunc(int f), "setAlphaFunc", double(f))
    RECORD_CALL(applyAlphaTest(bool on), "setAlphaTest", double(on))
    RECORD_CALL(applyBlending(bool on), "setBlending", double(on))
    RECORD_CALL(applyBlendFunc(int s, int d), "setBlendFunc", double(s), double(d))
    RECORD_CALL(applyDither(bool on), "setDither", double(on))
    RECORD_CALL(applyLighting(bool on), "setLighting", double(on))
    RECORD_CALL(applyCullMode(int m), "setCullMode", double(m))
    RECORD_CALL(applyColorWrite(bool on), "setColorWrite", double(on))
    RECORD_CALL(applyStencilTest(bool on), "setStencilTest", double(on))
    RECORD_CALL(applyStencilFunc(int f, int r, std::uint32_t m), "setStencilFunc", double(f), double(r), double(m))
    RECORD_CALL(applyStencilOp(int a, int b, int c), "setStencilOp", double(a), double(b), double(c))

private:
    int nextList_ = 1;
};

#undef RECORD_CALL
