// CelShadedModel: one model of the show, drawn plainly or with the cel-shading look:
// banded light and a dark outline read from two small ramps ("tones.jpg" in texture
// slot 1, "tonesOutline.jpg" in slot 3) by the vertex program "CellShading_OutLine.vsh"
// and the material script "CellShading_OutLine_FFP.psh". The look lives in those data
// files; this class only wires them: which slots hold the ramps, which parameters the
// program receives (codes 4, 1, 6, 14: projection x view x world, world, light 0 and
// program constant 0, which the director sets to the eye position), and the order of a
// draw.
//
// It owns its geometry and its animation (registered in AnimationTable while the model
// lives), and holds one reference each on the ramps, the program and the material,
// shared with the other models through the device's name caches, until release or the
// next load. It does not own the device. Release before the device is detached: the
// destructor gives the animation's slot back but makes no device call.
#pragma once

#include "engine/math/Mat4.h"

#include <cstdint>
#include <memory>

class Geometry;
class KeyframedAnimation;
class RenderDevice;

class CelShadedModel {
public:
    CelShadedModel();
    // Gives the animation's table slot back before destroying it.
    ~CelShadedModel();
    CelShadedModel(const CelShadedModel&) = delete;
    CelShadedModel& operator=(const CelShadedModel&) = delete;

    // Loads the ramps, then geometryFile with every mesh as position, normal and texture
    // set 0, puts the ramps into entries 1 and 3 of every mesh material, loads the cel
    // material and program, and starts animationFile (may be null) looping on the whole
    // skeleton. Prints "hTexOutLine" when the outline ramp cannot be loaded. A missing
    // ramp, program, material or animation is not a failure: the model then draws with
    // what loaded. False when device is null or the geometry cannot be loaded (the model
    // then draws nothing). What an earlier load took is given back first.
    bool load(const char* geometryFile, const char* animationFile, RenderDevice* device);
    // Gives back the references on the ramps, program and material and drops the
    // geometry (its meshes give their buffers and textures back to the device) and the
    // animation.
    void release();
    // Sets the world matrix; with celPass, selects the cel program and material (without
    // it, whatever program and material are current stay); draws every mesh with its
    // material; then advances the skinning for the next frame by the frame clock.
    void draw(bool celPass);
    // What draw does after drawing, without any device call: the skinning advances and
    // the bounds follow. Seeking and stills call it instead of draw.
    void simulate();
    // The animation back to its start, as load left it.
    void rewind();

    // Table indices (-1: none), for the director's and tools' inspection.
    int program() const { return program_; }
    int material() const { return material_; }
    int tonesTexture() const { return tones_; }
    int outlineTexture() const { return outline_; }
    std::int32_t animationIndex() const { return animationIndex_; }
    // Whether the last load read its animation file (false when none was asked for).
    bool animationRead() const { return animationRead_; }
    // The loaded model; null before load.
    Geometry* geometry() const { return geometry_.get(); }

    // The model's world matrix; the director may set its translation.
    Mat4 world;

private:
    std::unique_ptr<KeyframedAnimation> animation_;
    std::int32_t animationIndex_ = -1;
    bool animationRead_ = false;
    std::unique_ptr<Geometry> geometry_;
    int tones_ = -1;
    int outline_ = -1;
    int program_ = -1;
    int material_ = -1;
    RenderDevice* device_ = nullptr;
};
