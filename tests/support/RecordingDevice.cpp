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
        device_.record(callLine("update2D", {double(image.width()), double(image.height())}));
        return true;
    }
    bool updateCube(const Image&) override
    {
        device_.record("updateCube()");
        return true;
    }
    bool bind(int stage) override
    {
        device_.record(callLine("bind", {double(stage)}));
        return true;
    }

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
    bool bind() override
    {
        device_.record("bindProgram()");
        return true;
    }

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
    if (!enable || refuseMaterials)
        return nullptr;
    return new RecordingMaterial(*this);
}

void RecordingDevice::initialise(Caps& c)
{
    record("initialise()");
    c.DeviceName = "RECORDING";
    c.MaxSimultaneousTextures = textureUnits;
    c.MaxTextureWidth = c.MaxTextureHeight = 2048;
    c.VertexShaderVersion = {static_cast<std::uint8_t>(vertexPrograms ? 1 : 0), 0};
    c.AnisotropicFiltering = anisotropic;
    c.MaxAnisotropy = anisotropic ? 16 : 0;
}

#define RECORD0(fn) \
    void RecordingDevice::fn() { record(#fn "()"); }

RECORD0(disableVertexProgram)
RECORD0(onDetach)
RECORD0(resetColor)
RECORD0(onBeginScene)
RECORD0(onPresent)
RECORD0(applyAmbientLight)
void RecordingDevice::applyView()
{
    record("applyView()");
    viewsApplied.push_back(view.current());
}
RECORD0(applyWorld)
RECORD0(applyProjection)
RECORD0(beginOcclusionTest)
RECORD0(enableFog)
RECORD0(disableFog)
RECORD0(clearColor)
RECORD0(clearStencil)
RECORD0(clearAll)
RECORD0(applyMaterial)

#undef RECORD0

void RecordingDevice::clearDepth() { record("clearDepth()"); }
void RecordingDevice::disableLightApi(int i) { record(callLine("disableLightApi", {double(i)})); }
void RecordingDevice::enableLightApi(int i) { record(callLine("enableLightApi", {double(i)})); }
void RecordingDevice::applyLight(int i, const Light& l)
{
    record(callLine("applyLight", {double(i), double(l.type), l.position.x, l.position.y, l.position.z}));
}
void RecordingDevice::applyShadeMode(int m) { record(callLine("setShadeMode", {double(m)})); }
void RecordingDevice::applyFillMode(int m) { record(callLine("setFillMode", {double(m)})); }
void RecordingDevice::applyDepthFunc(int f) { record(callLine("setDepthFunc", {double(f)})); }
void RecordingDevice::applyDepthTest(bool on) { record(callLine("setDepthTest", {double(on)})); }
void RecordingDevice::applyDepthWrite(bool on) { record(callLine("setDepthWrite", {double(on)})); }
void RecordingDevice::applyAlphaRef(float r) { record(callLine("setAlphaRef", {r})); }
void RecordingDevice::applyAlphaFunc(int f) { record(callLine("setAlphaFunc", {double(f)})); }
void RecordingDevice::applyAlphaTest(bool on) { record(callLine("setAlphaTest", {double(on)})); }
void RecordingDevice::applyBlending(bool on) { record(callLine("setBlending", {double(on)})); }
void RecordingDevice::applyBlendFunc(int s, int d) { record(callLine("setBlendFunc", {double(s), double(d)})); }
void RecordingDevice::applyDither(bool on) { record(callLine("setDither", {double(on)})); }
void RecordingDevice::applyLighting(bool on) { record(callLine("setLighting", {double(on)})); }
void RecordingDevice::applyCullMode(int m) { record(callLine("setCullMode", {double(m)})); }
void RecordingDevice::applyColorWrite(bool on) { record(callLine("setColorWrite", {double(on)})); }
void RecordingDevice::applyStencilTest(bool on) { record(callLine("setStencilTest", {double(on)})); }
void RecordingDevice::applyStencilFunc(int f, int r, std::uint32_t m)
{
    record(callLine("setStencilFunc", {double(f), double(r), double(m)}));
}
void RecordingDevice::applyStencilOp(int a, int b, int c)
{
    record(callLine("setStencilOp", {double(a), double(b), double(c)}));
}
void RecordingDevice::applyScissor(int x, int y, int w, int h)
{
    record(callLine("applyScissor", {double(x), double(y), double(w), double(h)}));
}

void RecordingDevice::applyViewport(int x, int y, int w, int h)
{
    record(callLine("applyViewport", {double(x), double(y), double(w), double(h)}));
}
void RecordingDevice::onResize(float w, float h) { record(callLine("onResize", {w, h})); }
int RecordingDevice::createList()
{
    record(callLine("createList", {double(nextList)}));
    return nextList++;
}
int RecordingDevice::deleteList(const BufferRecord& r)
{
    record(callLine("deleteList", {double(r.list)}));
    return 0;
}
void RecordingDevice::compileList(const BufferRecord& r, const float*, const std::uint16_t*)
{
    record(callLine("compileList", {double(r.list), double(r.vertexCount), double(r.indexCount)}));
}
void RecordingDevice::callList(const BufferRecord& r) { record(callLine("callList", {double(r.list)})); }
void RecordingDevice::drawArrays(int p, const float*, int vc, int f, const std::uint16_t* idx, int ic)
{
    record(callLine("drawArrays", {double(p), double(vc), double(f), double(idx != nullptr), double(ic)}));
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
void RecordingDevice::setTextureFilter(int s, int f) { record(callLine("setTextureFilter", {double(s), double(f)})); }
void RecordingDevice::setTexture(int s, int i) { record(callLine("setTexture", {double(s), double(i)})); }
void RecordingDevice::setFogStart(float v) { record(callLine("setFogStart", {v})); }
void RecordingDevice::setFogEnd(float v) { record(callLine("setFogEnd", {v})); }
void RecordingDevice::setFogColor(float r, float g, float b) { record(callLine("setFogColor", {r, g, b})); }
void RecordingDevice::setFogMode(int m) { record(callLine("setFogMode", {double(m)})); }
void RecordingDevice::setFogDensity(float d) { record(callLine("setFogDensity", {d})); }
void RecordingDevice::drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g,
                                        float b)
{
    record(callLine("drawWireEllipsoid", {cx, cy, cz, rx, ry, rz, r, g, b}));
}
void RecordingDevice::drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b)
{
    record(callLine("drawWireBox", {x1, y1, z1, x2, y2, z2, r, g, b}));
}
void RecordingDevice::drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n)
{
    record(callLine("drawRect2D", {x1, y1, x2, y2, r, g, b, a, double(n)}));
}
void RecordingDevice::drawTexturedRect2D(int t, float x1, float y1, float x2, float y2, bool n)
{
    record(callLine("drawTexturedRect2D", {double(t), x1, y1, x2, y2, double(n)}));
}
void RecordingDevice::drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a, bool n)
{
    record(callLine("drawLine2D", {x1, y1, x2, y2, r, g, b, a, double(n)}));
}
void RecordingDevice::drawPoint(float x, float y, float z, float r, float g, float b)
{
    record(callLine("drawPoint", {x, y, z, r, g, b}));
}
void RecordingDevice::setTextureAddress(int u, int v) { record(callLine("setTextureAddress", {double(u), double(v)})); }
