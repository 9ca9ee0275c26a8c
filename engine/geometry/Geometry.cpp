#include "engine/geometry/Geometry.h"

#include "engine/core/FrameClock.h"
#include "engine/geometry/GeometryChunks.h"
#include "engine/math/FileBuffer.h"
#include "engine/render/RenderDevice.h"

#include <cstring>

namespace {

bool keepColourOrder()
{
    return currentDevice && currentDevice->caps.NativeColorOrder;
}

// A layout being read: nothing reaches the Geometry until all of it has been read.
struct Parsed {
    std::vector<GeometryItem> items;
    std::unique_ptr<MorphModifier> morph;
    std::unique_ptr<SkinModifier> skin;
    GeometryLayout layout = GeometryLayout::None;
};

// Each object record is at least a material (name, flags, two bytes, 17 floats, nine
// strings, four floats) plus a MESH and a TRIANGLELIST chunk header.
constexpr std::uint32_t kMinObjectBytes = 1 + 4 + 2 + 17 * 4 + 9 + 16 + (5 + 4 + 5) + (13 + 4);

bool readCount(FileBuffer& file, std::int32_t& count)
{
    count = file.readInt();
    return !file.overrun() && count >= 0 && std::uint64_t(count) * kMinObjectBytes <= file.remaining();
}

// N times MATERIAL + MESH OBJECT (layouts S and G).
bool readObjects(FileBuffer& file, Parsed& out, bool isStatic)
{
    std::int32_t count = 0;
    if (!readCount(file, count))
        return false;
    for (std::int32_t i = 0; i < count; ++i) {
        auto material = std::make_unique<MeshMaterial>();
        auto mesh = std::make_shared<Mesh>(isStatic);
        if (!material->read(file) || !mesh->read(file, keepColourOrder()))
            return false;
        out.items.push_back(GeometryItem { std::move(mesh), std::move(material) });
    }
    return true;
}

// The clock's frames must exist in every track, one track per item.
bool morphFits(const MorphModifier& morph, std::size_t itemCount)
{
    if (morph.tracks.size() < itemCount)
        return false;
    for (const auto& track : morph.tracks) {
        if (track->frames.size() < morph.frameCount)
            return false;
    }
    // With no frames to cycle through the clock still shows frame 0.
    if (morph.frameCount == 0) {
        for (std::size_t i = 0; i < itemCount; ++i) {
            if (morph.tracks[i]->frames.empty())
                return false;
        }
    }
    return true;
}

bool readStatic(FileBuffer& file, Parsed& out)
{
    out.layout = GeometryLayout::Static;
    return readObjects(file, out, true);
}

bool readDynamic(FileBuffer& file, Parsed& out)
{
    out.layout = GeometryLayout::Dynamic;
    for (int i = 0; i < 4; ++i)
        file.readInt();
    std::int32_t count = 0;
    if (!readCount(file, count))
        return false;
    out.morph = std::make_unique<MorphModifier>();
    out.morph->resize(std::uint32_t(count));
    const bool keep = keepColourOrder();
    for (std::int32_t i = 0; i < count; ++i) {
        file.readInt();
        file.readInt();
        auto material = std::make_unique<MeshMaterial>();
        if (!material->read(file) || !readMulvaChunk(file, *out.morph->tracks[std::size_t(i)], keep))
            return false;
        VertexArray base;
        if (!readMeshChunk(file, base, keep))
            return false;
        auto mesh = std::make_shared<Mesh>(false);
        mesh->vertices.allocate(base.vertexCount, vertexformat::PositionNormalTex0);
        mesh->vertices.copyComponents(base, vertexformat::Tex0);
        if (!readTriangleChunk(file, mesh->triangles) || !mesh->indicesValid())
            return false;
        out.items.push_back(GeometryItem { std::move(mesh), std::move(material) });
    }
    if (!out.morph->readParameters(file))
        return false;
    file.readInt();
    file.readInt();
    return !file.overrun() && morphFits(*out.morph, out.items.size());
}

bool readGeneral(FileBuffer& file, Parsed& out)
{
    out.layout = GeometryLayout::General;
    file.readInt();
    if (!readObjects(file, out, false))
        return false;
    std::int32_t modifierFlags = file.readInt();
    if (file.overrun())
        return false;
    if (modifierFlags & 1) {
        out.morph = std::make_unique<MorphModifier>();
        if (!out.morph->read(file, keepColourOrder()) || !morphFits(*out.morph, out.items.size()))
            return false;
    }
    if (modifierFlags & 2) {
        out.skin = std::make_unique<SkinModifier>();
        if (!out.skin->read(file) || out.skin->skinMeshCount() < out.items.size())
            return false;
        for (std::size_t i = 0; i < out.items.size(); ++i) {
            SkinMesh& skinMesh = *out.skin->skinMeshes[i];
            skinMesh.bindPose.copyFrom(out.items[i].mesh->vertices);
            // Every vertex needs its two influences.
            if (skinMesh.weights.size() != skinMesh.bindPose.vertexCount)
                return false;
        }
    }
    if (modifierFlags == 0) {
        for (GeometryItem& item : out.items)
            item.mesh->makeStatic();
    }
    return true;
}

}

bool Geometry::load(const char* fileName)
{
    FileBuffer file;
    if (!fileName || !file.load(fileName))
        return false;
    return load(file, fileName);
}

bool Geometry::load(FileBuffer& file, const char* fileName)
{
    name = fileName ? fileName : "";
    std::string tag = file.readString();
    Parsed parsed;
    bool ok = false;
    if (tag == "GEOMETRY_STATIC")
        ok = readStatic(file, parsed);
    else if (tag == "GEOMETRY_DYNAMIC")
        ok = readDynamic(file, parsed);
    else if (tag == "QZGEOMETRY2")
        ok = readGeneral(file, parsed);
    // "QZSKINNEDGEO" and anything else: not a model this engine draws.
    if (!ok || file.overrun())
        return false;

    skin = std::move(parsed.skin);
    morph = std::move(parsed.morph);
    items = std::move(parsed.items);
    layout = parsed.layout;
    computeBounds();
    return true;
}

void Geometry::addItem(std::unique_ptr<MeshMaterial> material, std::shared_ptr<Mesh> mesh)
{
    items.push_back(GeometryItem { std::move(mesh), std::move(material) });
    computeBounds();
}

void Geometry::setStageTexture(int stage, std::int32_t index)
{
    for (GeometryItem& item : items)
        item.material->setTexture(stage, index);
}

void Geometry::update()
{
    update(frameDelta());
}

void Geometry::update(float skeletonStep)
{
    if (!morph && !skin)
        return;
    for (std::uint32_t i = 0; i < items.size(); ++i) {
        VertexArray& target = items[i].mesh->vertices;
        if (morph)
            morph->update(i, target);
        if (skin)
            skin->update(i, target, skeletonStep);
        computeBounds();
    }
}

void Geometry::draw(RenderDevice& device)
{
    for (GeometryItem& item : items) {
        item.material->apply(device);
        // An alpha test that rejects nothing still makes the rasteriser shade every
        // fragment before its depth test; without it hidden pixels are dropped first.
        const bool opaque = item.material->alphaAlwaysPasses(device, item.mesh->vertices.format);
        if (opaque)
            device.setAlphaTestCached(false);
        item.mesh->draw(device);
        if (opaque)
            device.setAlphaTestCached(true);
    }
}

void Geometry::draw()
{
    if (currentDevice)
        draw(*currentDevice);
}

void Geometry::computeBounds()
{
    bounds.clear();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (skin)
            bounds.add(i < skin->skinMeshes.size() ? skin->skinMeshes[i]->bounds : Bounds());
        else if (morph)
            bounds.add(i < morph->itemBounds.size() ? morph->itemBounds[i] : Bounds());
        else
            bounds.add(items[i].mesh->bounds);
    }
}

void Geometry::clear()
{
    skin.reset();
    morph.reset();
    items.clear();
    name.clear();
    bounds.clear();
    layout = GeometryLayout::None;
}
