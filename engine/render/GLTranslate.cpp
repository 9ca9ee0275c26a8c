#include "engine/render/GLTranslate.h"

#include <GL/glext.h>

namespace gltr {

namespace {

template <typename T, int N>
T lookup(const T (&table)[N], int index, T fallback)
{
    return (index >= 0 && index < N) ? table[index] : fallback;
}

}

GLenum compareFunc(int func)
{
    static const GLenum table[] = {GL_NEVER, GL_LESS, GL_EQUAL, GL_LEQUAL, GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
    return lookup(table, func, static_cast<GLenum>(GL_ALWAYS));
}

GLenum blendFactor(int factor)
{
    static const GLenum table[] = {GL_ZERO, GL_ONE, GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA,
                                   GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR,
                                   GL_ONE_MINUS_DST_COLOR};
    return lookup(table, factor, static_cast<GLenum>(GL_ONE));
}

GLenum cullFace(int mode)
{
    static const GLenum table[] = {0, GL_FRONT, GL_BACK};
    return lookup(table, mode, static_cast<GLenum>(0));
}

GLenum stencilOp(int op)
{
    static const GLenum table[] = {GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT};
    return lookup(table, op, static_cast<GLenum>(GL_KEEP));
}

GLenum shadeModel(int mode)
{
    static const GLenum table[] = {GL_FLAT, GL_SMOOTH};
    return lookup(table, mode, static_cast<GLenum>(GL_SMOOTH));
}

GLenum polygonMode(int mode)
{
    static const GLenum table[] = {GL_POINT, GL_LINE, GL_FILL};
    return lookup(table, mode, static_cast<GLenum>(GL_FILL));
}

GLenum primitive(int primitive)
{
    static const GLenum table[] = {GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_LINES, GL_LINE_STRIP, GL_POINTS};
    return lookup(table, primitive, static_cast<GLenum>(GL_POINTS));
}

GLenum fogMode(int mode)
{
    static const GLenum table[] = {GL_LINEAR, GL_EXP, GL_EXP2};
    return lookup(table, mode, static_cast<GLenum>(0));
}

GLenum addressMode(int mode)
{
    static const GLenum table[] = {GL_CLAMP, GL_REPEAT};
    return lookup(table, mode, static_cast<GLenum>(GL_REPEAT));
}

GLenum light(int index)
{
    return GL_LIGHT0 + static_cast<GLenum>(index);
}

GLenum textureUnit(int stage)
{
    return GL_TEXTURE0_ARB + static_cast<GLenum>(stage);
}

GLenum minFilter(int filter)
{
    static const GLenum table[] = {GL_NEAREST, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR};
    return lookup(table, filter, static_cast<GLenum>(GL_LINEAR_MIPMAP_LINEAR));
}

GLenum magFilter(int filter)
{
    static const GLenum table[] = {GL_NEAREST, GL_LINEAR};
    return lookup(table, filter, static_cast<GLenum>(GL_LINEAR));
}

float filterAnisotropy(int filter)
{
    static const float table[] = {1.0f, 1.0f, 1.0f, 2.0f, 4.0f, 8.0f, 16.0f};
    return lookup(table, filter, 1.0f);
}

}
