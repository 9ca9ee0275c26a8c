#include "tests/geometry/TestModels.h"

#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"

using namespace vertexformat;

namespace testmodels {

VertexArray makeArray(std::uint32_t count, std::uint32_t format, float seed)
{
    VertexArray v;
    v.allocate(count, format);
    for (std::size_t i = 0; i < v.floatCount(); ++i)
        v.data()[i] = seed + 0.25f * float(i);
    for (std::uint32_t i = 0; v.has(Colour) && i < count; ++i) {
        auto* bytes = reinterpret_cast<std::uint8_t*>(v.vertex(i) + v.colourOffset);
        for (std::uint32_t k = 0; k < 4; ++k)
            bytes[k] = std::uint8_t(i * (7 - 2 * k) + k + 1);
    }
    return v;
}

void addItems(Geometry& g, std::uint32_t itemCount, bool isStatic, std::uint32_t vertices)
{
    static constexpr std::uint32_t formats[] = { 0x01F, 0x00B, 0x003, 0x001 | 0x004 | 0x010 };
    for (std::uint32_t i = 0; i < itemCount; ++i) {
        auto mesh = std::make_shared<Mesh>(isStatic);
        mesh->vertices = makeArray(vertices, formats[i % 4], float(i) * 100.0f);
        mesh->triangles.resize(2 + i);
        for (std::uint32_t k = 0; k < mesh->triangles.indexCount(); ++k)
            mesh->triangles.indices[k] = std::uint16_t((k * 5 + 1) % vertices);
        mesh->prepare(nullptr);
        auto m = std::make_unique<MeshMaterial>();
        const float seed = float(i);
        m->name = "material" + std::to_string(i);
        m->flags = 4 | (i & 3);
        m->alphaRef = 0.125f * (seed + 1);
        for (int c = 0; c < 4; ++c) {
            m->ambient[c] = 0.1f * (float(c) + seed);
            m->diffuse[c] = 0.2f + 0.05f * float(c);
            m->specular[c] = 0.3f * float(c) + seed;
            m->emission[c] = -0.5f * float(c) - seed;
        }
        m->shininess = 7.5f + seed;
        m->textureNames[0] = "diffuse" + std::to_string(i) + ".jpg";
        m->textureNames[3] = "detail.tga";
        g.addItem(std::move(m), mesh);
    }
}

void addMorph(Geometry& g, std::uint32_t frames, std::uint32_t frameCount, float duration)
{
    g.morph = std::make_unique<MorphModifier>();
    g.morph->resize(g.itemCount());
    g.morph->frameCount = frameCount;
    g.morph->duration = duration;
    for (std::uint32_t i = 0; i < g.itemCount(); ++i)
        for (std::uint32_t f = 0; f < frames; ++f)
            g.morph->tracks[i]->frames.push_back(
                makeArray(g.mesh(i).vertices.vertexCount, PositionNormalTex0, float(f) * 10.0f + float(i)));
}

void addSkin(Geometry& g)
{
    g.skin = std::make_unique<SkinModifier>();
    Skeleton& s = g.skin->skeleton;
    s.name = "rig";
    s.resize(3);
    const char* names[] = { "hips", "spine", "head" };
    for (std::int32_t b = 0; b < 3; ++b) {
        Bone& bone = s.bones[std::size_t(b)];
        bone.name = names[b];
        bone.parent = b - 1;
        bone.firstChild = b < 2 ? b + 1 : -1;
        bone.offset.setTranslation(0.0f, -float(b), 0.0f);
    }
    for (std::uint32_t i = 0; i < g.itemCount(); ++i) {
        auto skinMesh = std::make_unique<SkinMesh>();
        skinMesh->bindPose.copyFrom(g.mesh(i).vertices);
        for (std::uint32_t v = 0; v < skinMesh->bindPose.vertexCount; ++v) {
            const bool odd = v % 2;
            skinMesh->weights.push_back({ std::int32_t(v % 3), odd ? -1 : std::int32_t((v + 1) % 3), 0.75f, odd ? 0.0f : 0.25f });
        }
        g.skin->skinMeshes.push_back(std::move(skinMesh));
    }
}

std::vector<std::uint8_t> written(const Geometry& g, GeometryLayout layout)
{
    BinaryWriter out;
    if (layout == GeometryLayout::Static)
        GeometryWriter::writeStatic(out, g);
    else if (layout == GeometryLayout::General)
        GeometryWriter::writeGeneral(out, g);
    else if (!GeometryWriter::writeDynamic(out, g))
        return {};
    return out.take();
}

bool roundTrip(const std::vector<std::uint8_t>& bytes, Geometry& out, const char* name)
{
    FileBuffer file;
    return file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size())) && out.load(file, name);
}

}
