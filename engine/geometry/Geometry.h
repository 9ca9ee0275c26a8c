// Geometry: a loaded ".qzg" model: an ordered list of items (mesh + material), an
// optional morph or skin modifier that rewrites the meshes every frame, and the overall
// box. It owns its items, modifiers and name. Loading, updating and computing bounds
// need no render device; drawing uses the device passed (or the current one) and
// uploads static meshes at their first draw.
//
// Loading is all or nothing: a file that is truncated, inconsistent or hostile makes
// load return false and builds nothing (the geometry keeps what it had, name aside).
#pragma once

#include "engine/geometry/Bounds.h"
#include "engine/geometry/GeometryItem.h"
#include "engine/geometry/MorphModifier.h"
#include "engine/geometry/SkinModifier.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FileBuffer;
class RenderDevice;

// Which of the file layouts a geometry was loaded from.
enum class GeometryLayout { None, Static, Dynamic, General };

class Geometry {
public:
    Geometry() = default;
    Geometry(const Geometry&) = delete;
    Geometry& operator=(const Geometry&) = delete;

    // Reads fileName through the current file system. False when it cannot be read or
    // is not a model this engine draws ("QZSKINNEDGEO" included); the name is stored
    // whenever the file could be read. On failure nothing is built.
    bool load(const char* fileName);
    // The same from a buffer already in memory (its cursor at the first tag).
    bool load(FileBuffer& file, const char* fileName);
    // Appends an item holding the pair and recomputes the bounds.
    void addItem(std::unique_ptr<MeshMaterial> material, std::shared_ptr<Mesh> mesh);
    // For every item in order: its material's setTexture(stage, index).
    void setStageTexture(int stage, std::int32_t index);
    // Runs the modifiers on every item (morph then skin) and keeps the bounds current.
    // The skin modifier advances by the frame clock's delta.
    void update();
    // As update, with an explicit skeleton time step in seconds.
    void update(float skeletonStep);
    // Applies each item's material, then draws its mesh. draw() uses the current device
    // and does nothing without one.
    void draw(RenderDevice& device);
    void draw();
    // Item i's mesh; i must be below itemCount().
    Mesh& mesh(std::uint32_t i) { return *items[i].mesh; }
    SkinModifier* skinModifier() { return skin.get(); }
    MorphModifier* morphModifier() { return morph.get(); }
    std::uint32_t itemCount() const { return std::uint32_t(items.size()); }
    // bounds = the merge of the item boxes (skin meshes', else morph items', else the
    // meshes' own).
    void computeBounds();
    // Back to the state after construction (name, items, modifiers and bounds cleared).
    void clear();

    std::string name;
    std::unique_ptr<SkinModifier> skin;
    std::unique_ptr<MorphModifier> morph;
    std::vector<GeometryItem> items;
    Bounds bounds;
    GeometryLayout layout = GeometryLayout::None;
};
