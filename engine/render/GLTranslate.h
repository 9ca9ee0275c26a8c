// The one place that turns the render device's numbers (RenderTypes.h) into OpenGL
// enumerations. Each function covers its whole table; a value outside the table gives
// the fallback named in its line (never an out-of-range read).
#pragma once

#include <GL/gl.h>

namespace gltr {

// Compare function 0..7; GL_ALWAYS outside.
GLenum compareFunc(int func);
// Blend factor 0..9; GL_ONE outside.
GLenum blendFactor(int factor);
// Cull mode 1, 2 -> GL_FRONT, GL_BACK; 0 (and anything else) -> 0, meaning culling off.
GLenum cullFace(int mode);
// Stencil operation 0..5; GL_KEEP outside.
GLenum stencilOp(int op);
// Shade mode 0, 1; GL_SMOOTH outside.
GLenum shadeModel(int mode);
// Fill mode 0..2; GL_FILL outside.
GLenum polygonMode(int mode);
// Primitive type 0..5; GL_POINTS outside.
GLenum primitive(int primitive);
// Fog mode 0..2; 0 outside (the device then ignores the call).
GLenum fogMode(int mode);
// Address mode 0, 1 -> GL_CLAMP, GL_REPEAT; GL_REPEAT outside.
GLenum addressMode(int mode);
// Light index 0..7 -> GL_LIGHT0 + index.
GLenum light(int index);
// Stage 0..7 -> GL_TEXTURE0_ARB + stage.
GLenum textureUnit(int stage);
// Texture filter 0..6 as sampled: Point -> GL_NEAREST, Bilinear -> GL_LINEAR, Trilinear and
// the anisotropic ones -> GL_LINEAR_MIPMAP_LINEAR when minifying, GL_LINEAR when magnifying;
// outside the table as Trilinear. A texture without mipmaps must be given Bilinear at most.
GLenum minFilter(int filter);
GLenum magFilter(int filter);
// Texture filter 0..6 -> anisotropy 1, 1, 1, 2, 4, 8, 16; 1 outside.
float filterAnisotropy(int filter);

}
