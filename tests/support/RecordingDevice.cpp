#include "tests/support/RecordingDevice.h"

#include "engine/material/GLMaterial.h"
#include "engine/material/Image.h"
#include "engine/material/Texture.h"
#include "engine/material/VertexProgram.h"
#include "engine/math/Mat4.h"

#include <cstdio>
#include <cstring>

std::string callLine(const char* name, std::initializer_list<double> args)
{
    std::string line = name;
    line += '(';
    bool first = true;
    for (double a : args) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", a);
        if (!first)
            line += ", ";
        line += buf;
        first = false;
    }
    line += ')';
    return line;
}

namespace {

class RecordingTexture : public Texture {
public:
    RecordingTexture(RecordingDevice& d, bool fail) : device_(d), fail_(fail) {}
    ~RecordingTexture() override { device_.record("~Texture"); }
    bool create2D(Image& image, bool mipmaps, bool updatable) override
    {
        device_.record(callLine("create2D", {double(image.width()), double(image.height()),
                                             double(image.bitsPerPixel()), double(mipmaps), double(updatable)}));
        return !fail_;
    }
    bool createCube(Image*, bool mipmaps) override
    {
        device_.record(callLine("createCube", {double(mipmaps)}));
        if (!fail_)
            flags |= CubeMap;
        return !fail_;
    }
    bool update2D(const Image& image) override
    {
        return device_.record(callLine("update2D", {double(image.width()), double(image.height())})), true;
    }
    bool updateCube(const Image&) override { return device_.record("updateCube()"), true; }
    bool bind(int stage) override { return device_.record(callLine("bind", {double(stage)})), true; }

private:
    RecordingDevice& device_;
    bool fail_;
};

class RecordingMaterial : public GLMaterial {
public:
    explicit RecordingMaterial(RecordingDevice& d) : device_(d) {}
    ~RecordingMaterial() override { device_.record("~Material"); }
    bool applyStage(int stage, const MaterialStage& s, const MaterialColour&) override
    {
        device_.record(callLine("applyStage", {double(stage), double(s.rgbOperation), double(s.alphaOperation)}));
        return !(s.rgbOperation == kOpDisable && s.alphaOperation == kOpDisable);
    }

private:
    RecordingDevice& device_;
};

// A program text containing "refuse" fails to compile, as a driver would refuse it.
class RecordingProgram : public VertexProgram {
public:
    explicit RecordingProgram(RecordingDevice& d) : device_(d) {}
    ~RecordingProgram() override { device_.record("~VertexProgram"); }
    bool compile(int argument) override
    {
        device_.record(callLine("compile", {double(argument)}));
        return std::strstr(programText(), "refuse") == nullptr;
    }
    int setMatrixParameter(int index, const Mat4& m) override
    {
        device_.record(callLine("setMatrixParameter", {double(index), m.m[0], m.m[5], m.m[10], m.m[12], m.m[13],
                                                       m.m[14]}));
        return index + 4;
    }
    int setVectorParameter(int index, const Vec3& v) override
    {
        device_.record(callLine("setVectorParameter", {double(index), v.x, v.y, v.z}));
        return index + 1;
    }
    bool bind() override { return device_.record("bindProgram()"), true; }

private:
    RecordingDevice& device_;
};

}

RecordingDevice::RecordingDevice() = default;

RecordingDevice::~RecordingDevice()
{
    // The fakes hold no API objects: the tables can be emptied without a context.
    textures.clear();
    programs.clear();
    materials.clear();
}

std::vector<std::string> RecordingDevice::callsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const std::string& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            out.push_back(c);
    return out;
}

Texture* RecordingDevice::newTexture()
{
    record("newTexture()");
    return new RecordingTexture(*this, failTextureCreation);
}

VertexProgram* RecordingDevice::newVertexProgram(std::uint8_t requiredVersion, int)
{
    record(callLine("newVertexProgram", {double(requiredVersion)}));
    if (requiredVersion > caps.VertexShaderVersion.major)
        return nullptr;
    return new RecordingProgram(*this);
}

Material* RecordingDevice::newMaterial(int, int, bool enable)
{
    record(callLine("newMaterial", {double(enable)}));
    if (!enable)
        return nullptr;
    return new RecordingMaterial(*this);
}

void RecordingDevice::initialise(Caps& c)
{
    record("initialise()");
    c.DeviceName = "RECORDING";
    c.MaxSimultaneousTextures = textureUnits;
    c.MaxTextureWidth = c.MaxTextureHeight = 2048;
    c.VertexShaderVersion = {1, 0};
    c.AnisotropicFiltering = true;
    c.MaxAnisotropy = 16;
}

#define RECORD(signature, name, ...) \
    void RecordingDevice::signature { record(callLine(name, { __VA_ARGS__ })); }

RECORD(disableVertexProgram(), "disableVertexProgram")
RECORD(onDetach(), "onDetach")
RECORD(resetColor(), "resetColor")
RECORD(onBeginScene(), "onBeginScene")
RECORD(onPresent(), "onPresent")
RECORD(applyAmbientLight(), "applyAmbientLight")
RECORD(applyWorld(), "applyWorld")
RECORD(pushModelView(), "pushModelView")
RECORD(popModelView(), "popModelView")
RECORD(applyProjection(), "applyProjection")
RECORD(beginOcclusionTest(), "beginOcclusionTest")
RECORD(enableFog(), "enableFog")
RECORD(disableFog(), "disableFog")
RECORD(clearColor(), "clearColor")
RECORD(clearStencil(), "clearStencil")
RECORD(clearDepth(), "clearDepth")
RECORD(clearAll(), "clearAll")
RECORD(applyMaterial(), "applyMaterial")
RECORD(disableLightApi(int i), "disableLightApi", double(i))
RECORD(enableLightApi(int i), "enableLightApi", double(i))
RECORD(applyLight(int i, const Light& l), "applyLight", double(i), double(l.type), l.position.x, l.position.y, l.position.z)
// The state appliers are recorded under the name of the setter that sent them.
RECORD(applyShadeMode(int m), "setShadeMode", double(m))
RECORD(applyFillMode(int m), "setFillMode", double(m))
RECORD(applyDepthFunc(int f), "setDepthFunc", double(f))
RECORD(applyDepthTest(bool on), "setDepthTest", double(on))
RECORD(applyDepthWrite(bool on), "setDepthWrite", double(on))
RECORD(applyAlphaRef(float r), "setAlphaRef", r)
RECORD(applyAlphaFunc(int f), "setAlphaFunc", double(f))
RECORD(applyAlphaTest(bool on), "setAlphaTest", double(on))
RECORD(applyBlending(bool on), "setBlending", double(on))
RECORD(applyBlendFunc(int s, int d), "setBlendFunc", double(s), double(d))
RECORD(applyDither(bool on), "setDither", double(on))
RECORD(applyLighting(bool on), "setLighting", double(on))
RECORD(applyCullMode(int m), "setCullMode", double(m))
RECORD(applyColorWrite(bool on), "setColorWrite", double(on))
RECORD(applyStencilTest(bool on), "setStencilTest", double(on))
RECORD(applyStencilFunc(int f, int r, std::uint32_t m), "setStencilFunc", double(f), double(r), double(m))
RECORD(applyStencilOp(int a, int b, int c), "setStencilOp", double(a), double(b), double(c))
RECORD(applyScissor(int x, int y, int w, int h), "applyScissor", double(x), double(y), double(w), double(h))
RECORD(applyViewport(int x, int y, int w, int h), "applyViewport", double(x), double(y), double(w), double(h))
RECORD(onResize(float w, float h), "onResize", w, h)
RECORD(translateModelView(float x, float y, float z), "translateModelView", x, y, z)
RECORD(compileList(const BufferRecord& r, const float*, const std::uint16_t*), "compileList", double(r.list),
       double(r.vertexCount), double(r.indexCount))
RECORD(callList(const BufferRecord& r), "callList", double(r.list))
RECORD(drawArrays(int p, const float*, int vc, int f, const std::uint16_t* idx, int ic), "drawArrays", double(p),
       double(vc), double(f), double(idx != nullptr), double(ic))
RECORD(setTextureFilter(int s, int f), "setTextureFilter", double(s), double(f))
RECORD(setTexture(int s, int i), "setTexture", double(s), double(i))
RECORD(setFogStart(float v), "setFogStart", v)
RECORD(setFogEnd(float v), "setFogEnd", v)
RECORD(setFogColor(float r, float g, float b), "setFogColor", r, g, b)
RECORD(setFogMode(int m), "setFogMode", double(m))
RECORD(setFogDensity(float d), "setFogDensity", d)
RECORD(drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g, float b),
       "drawWireEllipsoid", cx, cy, cz, rx, ry, rz, r, g, b)
RECORD(drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b),
       "drawWireBox", x1, y1, z1, x2, y2, z2, r, g, b)
RECORD(drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n), "drawRect2D",
       x1, y1, x2, y2, r, g, b, a, double(n))
RECORD(drawTexturedRect2D(int t, float x1, float y1, float x2, float y2, bool n), "drawTexturedRect2D", double(t),
       x1, y1, x2, y2, double(n))
RECORD(drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n), "drawLine2D",
       x1, y1, x2, y2, r, g, b, a, double(n))
RECORD(drawPoint(float x, float y, float z, float r, float g, float b), "drawPoint", x, y, z, r, g, b)
RECORD(setTextureAddress(int u, int v), "setTextureAddress", double(u), double(v))

#undef RECORD

void RecordingDevice::applyView()
{
    record("applyView()");
    viewsApplied.push_back(view.current());
}

int RecordingDevice::createList()
{
    record(callLine("createList", { double(nextList_) }));
    return nextList_++;
}

int RecordingDevice::deleteList(const BufferRecord& r)
{
    record(callLine("deleteList", { double(r.list) }));
    return 0;
}

int RecordingDevice::reserved()
{
    record("reserved()");
    return 0;
}

bool RecordingDevice::endOcclusionTest()
{
    record("endOcclusionTest()");
    return false;
}
