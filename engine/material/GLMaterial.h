// GLMaterial: the OpenGL side of a material that is common to every combiner back end:
// the compiled stages, the stage count and the constant colour, and `apply`, which hands
// the stages one by one to `applyStage`. It does not know how a stage becomes GL state;
// GLCombineMaterial does.
#pragma once

#include "engine/material/Material.h"
#include "engine/material/MaterialScript.h"

#include <string>

class GLMaterial : public Material {
public:
    // Compiles scriptText over the current stages, slots and colour; the argument is
    // ignored. False on a script error (what was parsed before it stays).
    bool compile(int argument) override;
    int setMatrixParameter(int index, const Mat4& matrix) override;
    int setVectorParameter(int index, const Vec3& vector) override;
    // applyStage for stages 0 .. stageCount - 1, stopping at the first that returns
    // false; true only when every stage returned true. Later stages are not touched.
    bool apply() override;
    int stageCount() const override { return stageCount_; }

    // Installs one stage on texture unit `stage`. False when the stage switches its unit
    // off (both operations "disable") or cannot be installed.
    virtual bool applyStage(int stage, const MaterialStage& record,
        const MaterialColour& constant) = 0;

    // Stage record by number; stage 0's record for a number outside 0..7.
    const MaterialStage& stage(int index) const;
    const MaterialColour& constantColour() const { return constantColour_; }
    // Why the last compile failed; empty after a successful one.
    const std::string& compileError() const { return compileError_; }

protected:
    MaterialColour constantColour_;
    MaterialStage stages_[kMaxStages];
    int stageCount_ = 0;
    std::string compileError_;
};
