// GLCombineMaterial: the material the OpenGL device makes. Each stage becomes
// GL_ARB_texture_env_combine state on the texture unit of the same number, with the
// constant colour sent as the current colour. It binds no textures (the device does)
// and never sets GL_TEXTURE_ENV_COLOR, so "c0" reads OpenGL's default constant colour.
#pragma once

#include "engine/material/GLMaterial.h"

#include <GL/gl.h>
#include <GL/glext.h>

class GLCombineMaterial : public GLMaterial {
public:
    // activeTexture: glActiveTextureARB, or null without multitexturing (every stage then
    // lands on the one unit there is). Not owned.
    explicit GLCombineMaterial(PFNGLACTIVETEXTUREARBPROC activeTexture);

    // Sets the current colour to the constant, selects unit `stage` and installs the
    // stage's combiner state. A stage whose colour and alpha operations are both
    // "disable" switches 2D and cube-map texturing off on its unit and returns false, as
    // does a record holding an operation or argument outside the tables.
    bool applyStage(int stage, const MaterialStage& record,
        const MaterialColour& constant) override;

private:
    PFNGLACTIVETEXTUREARBPROC activeTexture_;
};

// The combiner translation of one operation: function (0 for "disable"), the scale the
// stage uses and the third source.
struct GLCombineOperation {
    GLenum function;
    GLfloat scale;
    GLenum source2;
};

// Table rows by index; null outside the tables.
const GLCombineOperation* glCombineOperation(int operation);
// GL source of an argument; 0 outside the table.
GLenum glCombineSource(int argument);
