#include "tests/geometry/TestModels.h"

#include "engine/math/FileBuffer.h"

#include <cmath>
#include <cstring>

using namespace vertexformat;

namespace testmodels {

VertexArray makeArray(std::uint32_t count, std::uint32_t format, float seed)
{
    VertexArray v;
    v.allocate(count, format);
    for (std::size_t i = 0; i < v.floatCount(); ++i)
        v.data()[i] = seed + 0.25f * float(i);
    if (v.has(Colour)) {
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint8_t bytes[4] = { std::uint8_t(i * 7 + 1), std::uint8_t(i * 5 + 2),
                                            std::uint8_t(i * 3 + 3), std::uint8_t(200 + i) };
            std::memcpy(v.vertex(i) + v.colourOffset, bytes, 4);
        }
    }
    return v;
}

TriangleList makeTriangles(std::uint32_t triangleCount, std::uint32_t vertexCount)
{
    TriangleList t;
    t.resize(triangleCount);
    for (std::uint32_t i = 0; i < t.indexCount(); ++i)
        t.indices[i] = std::uint16_t((i * 5 + 1) % vertexCount);
    return t;
}

std::unique_ptr<MeshMaterial> makeMaterial(int seed)
{
    auto m = std::make_unique<MeshMaterial>();
    m->name = "material" + std::to_string(seed);
    m->flags = 4 | (seed & 3);
    m->alphaRef = 0.125f * float(seed + 1);
    for (int c = 0; c < 4; ++c) {
        m->ambient[c] = 0.1f * float(c + seed);
        m->diffuse[c] = 0.2f + 0.05f * float(c);
        m->specular[c] = 0.3f * float(c) + float(seed);
        m->emission[c] = -0.5f * float(c);
    }
    m->shininess = 7.5f + float(seed);
    m->textureNames[0] = "diffuse" + std::to_string(seed) + ".jpg";
    m->textureNames[3] = "detail.tga";
    return m;
}

void addItems(Geometry& g, std::uint32_t itemCount, bool isStatic, std::uint32_t vertices)
{
    static constexpr std::uint32_t formats[] = { 0x01F, 0x00B, 0x003, 0x001 | 0x004 | 0x010 };
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        auto mesh = std::make_shared<Mesh>(isStatic);
        mesh->vertices = makeArray(vertices, formats[i % 4], float(i) * 100.0f);
        mesh->triangles = makeTriangles(2 + i, vertices);
        mesh->prepare(nullptr);
        g.addItem(makeMaterial(int(i)), mesh);
    }
}

void addMorph(Geometry& g, std::uint32_t frames, std::uint32_t frameCount, float duration)
{
    g.morph = std::make_unique<MorphModifier>();
    g.morph->resize(g.itemCount());
    g.morph->frameCount = frameCount;
    g.morph->duration = duration;
    for (std::uint32_t i = 0; i < g.itemCount(); ++i) {
        for (std::uint32_t f = 0; f < frames; ++f)
            g.morph->tracks[i]->frames.push_back(
                makeArray(g.mesh(i).vertices.vertexCount, PositionNormalTex0, float(f) * 10.0f + float(i)));
    }
}

void addSkin(Geometry& g)
{
    g.skin = std::make_unique<SkinModifier>();
    Skeleton& s = g.skin->skeleton;
    s.name = "rig";
    s.resize(3);
    const char* names[] = { "hips", "spine", "head" };
    for (std::int32_t b = 0; b < 3; ++b) {
        s.bones[std::size_t(b)].name = names[b];
        s.bones[std::size_t(b)].parent = b - 1;
        s.bones[std::size_t(b)].firstChild = b < 2 ? b + 1 : -1;
        s.bones[std::size_t(b)].offset.setTranslation(0.0f, -float(b), 0.0f);
    }
    for (std::uint32_t i = 0; i < g.itemCount(); ++i) {
        auto skinMesh = std::make_unique<SkinMesh>();
        skinMesh->bindPose.copyFrom(g.mesh(i).vertices);
        for (std::uint32_t v = 0; v < skinMesh->bindPose.vertexCount; ++v) {
            SkinWeight w;
            w.bone0 = std::int32_t(v % 3);
            w.weight0 = 0.75f;
            w.bone1 = v % 2 ? -1 : std::int32_t((v + 1) % 3);
            w.weight1 = v % 2 ? 0.0f : 0.25f;
            skinMesh->weights.push_back(w);
        }
        g.skin->skinMeshes.push_back(std::move(skinMesh));
    }
}

bool roundTrip(const std::vector<std::uint8_t>& bytes, Geometry& out, const char* name)
{
    FileBuffer file;
    if (!file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size())))
        return false;
    return out.load(file, name);
}

void fillAnimation(KeyframedAnimation& a, std::uint32_t bones, std::uint32_t frames, float duration)
{
    a.boneCount = bones;
    a.frameCount = frames;
    a.duration = duration;
    a.keys.assign(std::size_t(bones) * frames, AnimationKey());
    for (std::uint32_t f = 0; f < frames; ++f) {
        for (std::uint32_t b = 0; b < bones; ++b) {
            AnimationKey& k = a.keys[b + std::size_t(f) * bones];
            k.translation = Vec3(float(f), float(b), float(f * 10 + b));
            float angle = 0.3f * float(f + 1) + 0.1f * float(b);
            k.rotation = Quat(0.0f, 0.0f, std::sin(angle / 2), std::cos(angle / 2));
        }
    }
}

}
