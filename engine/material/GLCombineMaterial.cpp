#include "engine/material/GLCombineMaterial.h"

#include "engine/render/GLTranslate.h"

namespace {

// By operation index, in the order of the script keywords.
constexpr GLCombineOperation kOperations[kOperationCount] = {
    { 0, 1.0f, GL_PRIMARY_COLOR_ARB },                  // disable
    { GL_REPLACE, 1.0f, GL_PRIMARY_COLOR_ARB },         // leftarg
    { GL_MODULATE, 1.0f, GL_PRIMARY_COLOR_ARB },        // modulate
    { GL_MODULATE, 2.0f, GL_PRIMARY_COLOR_ARB },        // modulate2x
    { GL_MODULATE, 4.0f, GL_PRIMARY_COLOR_ARB },        // modulate4x
    { GL_ADD, 1.0f, GL_PRIMARY_COLOR_ARB },             // add
    { GL_ADD_SIGNED_ARB, 1.0f, GL_PRIMARY_COLOR_ARB },  // addsigned
    { GL_SUBTRACT_ARB, 1.0f, GL_PRIMARY_COLOR_ARB },    // subtract
    { GL_INTERPOLATE_ARB, 1.0f, GL_PRIMARY_COLOR_ARB }, // diffusealpha
    { GL_INTERPOLATE_ARB, 1.0f, GL_TEXTURE },           // texturealpha
    { GL_INTERPOLATE_ARB, 1.0f, GL_PREVIOUS_ARB },      // currentalpha
    { GL_DOT3_RGB_ARB, 1.0f, GL_PRIMARY_COLOR_ARB },    // dot3
};

// By argument index: d0, t0, r0, c0.
constexpr GLenum kSources[kArgumentCount] = {
    GL_PRIMARY_COLOR_ARB, GL_TEXTURE, GL_PREVIOUS_ARB, GL_CONSTANT_ARB,
};

bool validStage(const MaterialStage& s)
{
    return glCombineOperation(s.rgbOperation) && glCombineOperation(s.alphaOperation)
        && glCombineSource(s.rgbArgument1) && glCombineSource(s.rgbArgument2)
        && glCombineSource(s.alphaArgument1) && glCombineSource(s.alphaArgument2);
}

// A "disable" channel beside an active one would ask for combine function 0, which
// OpenGL refuses with GL_INVALID_ENUM and leaves the function it had. Skipping the call
// keeps that same function without leaving an error behind for the next glGetError
// (a vertex program compile reads it).
void setCombineFunction(GLenum target, GLenum function)
{
    if (function != 0)
        glTexEnvi(GL_TEXTURE_ENV, target, static_cast<GLint>(function));
}

void applyColour(const MaterialStage& s)
{
    const GLCombineOperation& op = *glCombineOperation(s.rgbOperation);
    setCombineFunction(GL_COMBINE_RGB_ARB, op.function);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, static_cast<GLint>(glCombineSource(s.rgbArgument1)));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, static_cast<GLint>(glCombineSource(s.rgbArgument2)));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, static_cast<GLint>(op.source2));
    glTexEnvf(GL_TEXTURE_ENV, GL_RGB_SCALE_ARB, op.scale);
}

// The alpha scale follows the colour operation (a "modulate2x" colour doubles alpha too).
void applyAlpha(const MaterialStage& s)
{
    const GLCombineOperation& op = *glCombineOperation(s.alphaOperation);
    setCombineFunction(GL_COMBINE_ALPHA_ARB, op.function);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_ALPHA_ARB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_ALPHA_ARB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_ALPHA_ARB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA_ARB, static_cast<GLint>(glCombineSource(s.alphaArgument1)));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_ALPHA_ARB, static_cast<GLint>(glCombineSource(s.alphaArgument2)));
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_ALPHA_ARB, static_cast<GLint>(op.source2));
    glTexEnvf(GL_TEXTURE_ENV, GL_ALPHA_SCALE, glCombineOperation(s.rgbOperation)->scale);
}

}

const GLCombineOperation* glCombineOperation(int operation)
{
    if (operation < 0 || operation >= kOperationCount)
        return nullptr;
    return &kOperations[operation];
}

GLenum glCombineSource(int argument)
{
    if (argument < 0 || argument >= kArgumentCount)
        return 0;
    return kSources[argument];
}

GLCombineMaterial::GLCombineMaterial(PFNGLACTIVETEXTUREARBPROC activeTexture)
    : activeTexture_(activeTexture)
{
}

bool GLCombineMaterial::applyStage(int stage, const MaterialStage& record,
    const MaterialColour& constant)
{
    glColor4f(constant.red / 255.0f, constant.green / 255.0f, constant.blue / 255.0f,
        constant.alpha / 255.0f);
    if (activeTexture_ != nullptr)
        activeTexture_(gltr::textureUnit(stage));
    if (record.rgbOperation == kOpDisable && record.alphaOperation == kOpDisable) {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_CUBE_MAP_ARB);
        return false;
    }
    if (!validStage(record))
        return false;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    applyColour(record);
    applyAlpha(record);
    return true;
}
