#include "demo/effects/CelShadedModel.h"

#include "demo/ShowFiles.h"
#include "engine/core/Console.h"
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/Bone.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryChunks.h"
#include "engine/material/VertexProgram.h"
#include "engine/math/FileBuffer.h"
#include "engine/render/RenderDevice.h"

namespace {

// Device texture slots the mesh materials put the ramps in ("lightmap" and "detail" in
// material scripts).
constexpr int TONES_SLOT = 1;
constexpr int OUTLINE_SLOT = 3;

// Position, normal and texture set 0: what the program reads.
constexpr std::int32_t CEL_VERTEX_FORMAT = 11;

// Combined matrix in parameters 0-3, world in 4-7, light 0 in 8, constant 0 in 9.
const int PROGRAM_CODES[] = {kParamWorldViewProjection, kParamWorld, kParamLight0, kParamConstant0, 0};

}

CelShadedModel::CelShadedModel() = default;

CelShadedModel::~CelShadedModel()
{
    AnimationTable::remove(animationIndex_, animation_.get());
}

bool CelShadedModel::load(const char* geometryFile, const char* animationFile, RenderDevice* device)
{
    release();
    device_ = device;
    if (!device_)
        return false;
    tones_ = device_->loadTexture(showfiles::TONES);
    outline_ = device_->loadTexture(showfiles::OUTLINE_TONES);
    if (outline_ == -1)
        consolePrintf("hTexOutLine");

    vertexFormatOverride = CEL_VERTEX_FORMAT;
    geometry_ = std::make_unique<Geometry>();
    const bool loaded = geometry_->load(geometryFile);
    vertexFormatOverride = 0;

    geometry_->setStageTexture(TONES_SLOT, tones_);
    geometry_->setStageTexture(OUTLINE_SLOT, outline_);

    material_ = device_->loadMaterial(showfiles::CEL_MATERIAL, nullptr, nullptr, true);
    // The compile argument is only a hint the OpenGL program ignores.
    const int compileArgument = geometry_->itemCount() > 0 ? int(geometry_->mesh(0).vertices.format) : 0;
    program_ = device_->loadVertexProgram(showfiles::CEL_PROGRAM, compileArgument, PROGRAM_CODES);

    animation_ = std::make_unique<KeyframedAnimation>();
    FileBuffer file;
    animationRead_ = animationFile && file.load(animationFile) && animation_->read(file);
    // A skeleton is needed to play it; unreadable keys leave the model unanimated.
    SkinModifier* skin = loaded ? geometry_->skinModifier() : nullptr;
    if (animationRead_ && skin) {
        animation_->setName(animationFile);
        animationIndex_ = AnimationTable::add(animation_.get());
        skin->skeleton.assignAnimation(animationIndex_, 0, false, EndLoop);
    }
    return loaded;
}

void CelShadedModel::release()
{
    // The meshes give their buffers and texture references back as they go.
    geometry_.reset();
    AnimationTable::remove(animationIndex_, animation_.get());
    animationIndex_ = -1;
    animationRead_ = false;
    animation_.reset();
    if (device_) {
        for (const int texture : {tones_, outline_})
            if (texture >= 0)
                device_->releaseTexture(texture);
        if (material_ >= 0)
            device_->releaseMaterial(material_);
        if (program_ >= 0)
            device_->releaseVertexProgram(program_);
    }
    tones_ = outline_ = program_ = material_ = -1;
}

void CelShadedModel::draw(bool celPass)
{
    // A geometry exists only after a load with a device.
    if (!geometry_)
        return;
    device_->setWorld(world);
    if (celPass) {
        device_->setVertexProgram(program_);
        device_->setMaterial(material_);
    }
    geometry_->draw(*device_);
    geometry_->update();
}

void CelShadedModel::simulate()
{
    if (geometry_)
        geometry_->update();
}

void CelShadedModel::rewind()
{
    SkinModifier* skin = geometry_ ? geometry_->skinModifier() : nullptr;
    if (skin && animationIndex_ >= 0)
        skin->skeleton.assignAnimation(animationIndex_, 0, false, EndLoop);
}
