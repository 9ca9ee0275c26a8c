#include "engine/geometry/SkinModifier.h"

#include "engine/core/FrameClock.h"
#include "engine/math/FileBuffer.h"

#include <cstring>

bool SkinModifier::read(FileBuffer& file)
{
    if (std::strcmp(file.readString(), "QZSKINMODIFIER") != 0)
        return false;
    file.readInt();
    if (!skeleton.read(file))
        return false;
    std::int32_t count = file.readInt();
    // Each skin mesh takes at least its tag, reserved int and count.
    constexpr std::uint32_t kMinSkinMeshBytes = 11 + 8;
    if (file.overrun() || count < 0 || std::uint64_t(count) * kMinSkinMeshBytes > file.remaining())
        return false;
    skinMeshes.clear();
    for (std::int32_t i = 0; i < count; ++i) {
        auto mesh = std::make_unique<SkinMesh>();
        bool ok = mesh->read(file) && mesh->weightsValid(skeleton.boneCount());
        skinMeshes.push_back(std::move(mesh));
        if (!ok)
            return false;
    }
    return true;
}

void SkinModifier::update(std::uint32_t item, VertexArray& target)
{
    update(item, target, frameDelta());
}

void SkinModifier::update(std::uint32_t item, VertexArray& target, float delta)
{
    if (item == 0)
        skeleton.update(delta);
    if (item < skinMeshes.size())
        skinMeshes[item]->deform(skeleton, target);
}
