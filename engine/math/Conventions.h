// The conventions every engine/math type follows, stated once:
//
// - Storage is single precision (32-bit float). Intermediate results may be computed in
//   double and are rounded to float when stored.
// - Mat4 is column-major, the order glLoadMatrixf takes: the element in row r, column k
//   (both 0..3) is m[4k + r]; the translation of an affine matrix is m[12], m[13], m[14].
// - Vectors are columns multiplied on the right (p' = M p). Composition post-multiplies
//   (M = M X), so of several operations applied to one matrix in code order, the last
//   acts first on the vertex, as with the OpenGL matrix stack.
// - Angles are in degrees at every interface; they become radians through kDegToRad.
// - Rotations are right-handed about the named axis.
#pragma once

// Degrees to radians (pi / 180) in single precision, used by every matrix operation.
inline constexpr float kDegToRad = 0.017453292f;
