// The numbers the render device's state and draw operations take (compare functions,
// blend factors, primitives, ...)) and the Light record. Plain values only: the OpenGL meaning of each
// number lives in GLTranslate, nowhere else.
#pragma once

#include "engine/math/Color.h"
#include "engine/math/Vec3.h"

namespace CompareFunc {
enum : int { Never = 0, Less, Equal, LessEqual, Greater, NotEqual, GreaterEqual, Always };
}
namespace BlendFactor {
enum : int { Zero = 0, One, SrcColor, InvSrcColor, SrcAlpha, InvSrcAlpha, DstAlpha, InvDstAlpha,
             DstColor, InvDstColor };
}
namespace CullMode {
enum : int { None = 0, Front, Back };
}
namespace StencilOp {
enum : int { Keep = 0, Zero, Replace, Increment, Decrement, Invert };
}
namespace ShadeMode {
enum : int { Flat = 0, Smooth };
}
namespace FillMode {
enum : int { Points = 0, Lines, Filled };
}
namespace PrimitiveType {
enum : int { TriangleList = 0, TriangleStrip, TriangleFan, LineList, LineStrip, PointList };
}
namespace FogMode {
enum : int { Linear = 0, Exponential, ExponentialSquared };
}
namespace TextureFilter {
enum : int { Point = 0, Bilinear, Trilinear, Anisotropic2, Anisotropic4, Anisotropic8, Anisotropic16 };
}
namespace TextureAddress {
enum : int { Clamp = 0, Repeat };
}

// Vertex format bits: see engine/geometry/VertexFormat.h (shared with VertexArray).

// Eight 32-bit words: type 1 is directional (position holds its direction), any other
// value a point light. Colours ignore their alpha; range sets the quadratic attenuation.
struct Light {
    int type = 0;
    Vec3 position;
    Color ambient;
    Color diffuse;
    Color specular;
    float range = 0.0f;
};
static_assert(sizeof(Light) == 32, "Light is eight 32-bit words");

constexpr int LightDirectional = 1;
