// A rotation quaternion (x, y, z, w), stored as four packed floats as the animation files
// hold them. A unit quaternion is expected; nothing here normalises. How a quaternion
// becomes a matrix is Mat4::setRotation; interpolation belongs to the animation code.
#pragma once

struct Quat {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;   // a default Quat is the identity rotation

    constexpr Quat() = default;
    constexpr Quat(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    void set(float x_, float y_, float z_, float w_) { x = x_; y = y_; z = z_; w = w_; }
};

// Four-component dot product.
float dot(const Quat& a, const Quat& b);

static_assert(sizeof(Quat) == 16, "Quat is read as four packed floats");
