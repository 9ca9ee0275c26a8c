#include "engine/material/GLMaterial.h"

bool GLMaterial::compile(int)
{
    MaterialScript script;
    for (int i = 0; i < kMaxStages; ++i) {
        script.stages[i] = stages_[i];
        script.stageSlot[i] = stageSlot_[i];
    }
    script.constant = constantColour_;
    script.stageCount = stageCount_;

    compileError_.clear();
    bool ok = compileMaterialScript(scriptText_.data(), scriptText_.size(), script,
        &compileError_);

    for (int i = 0; i < kMaxStages; ++i) {
        stages_[i] = script.stages[i];
        stageSlot_[i] = script.stageSlot[i];
    }
    constantColour_ = script.constant;
    stageCount_ = script.stageCount;
    return ok;
}

int GLMaterial::setMatrixParameter(int index, const Mat4&)
{
    return index;
}

int GLMaterial::setVectorParameter(int index, const Vec3&)
{
    return index;
}

bool GLMaterial::apply()
{
    for (int i = 0; i < stageCount_; ++i)
        if (!applyStage(i, stages_[i], constantColour_))
            return false;
    return true;
}

const MaterialStage& GLMaterial::stage(int index) const
{
    if (index < 0 || index >= kMaxStages)
        return stages_[0];
    return stages_[index];
}
