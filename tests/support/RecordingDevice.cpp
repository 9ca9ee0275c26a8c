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
