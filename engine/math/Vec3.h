// A three-float vector used by value everywhere (positions, normals, directions). It owns
// nothing and has no invariant; conventions are in engine/math/Conventions.h.
#pragma once

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    void set(float x_, float y_, float z_) { x = x_; y = y_; z = z_; }

    // Component-wise; returns this.
    Vec3& operator+=(const Vec3& v);
    Vec3& operator-=(const Vec3& v);
    Vec3& operator*=(float s);
    // Divides each component by s; a zero s leaves the vector unchanged.
    Vec3& operator/=(float s);

    // Euclidean length, sqrt(x*x + y*y + z*z).
    float length() const;
    // Scales to unit length; a zero vector is left unchanged.
    void normalize();
};

Vec3 operator+(Vec3 a, const Vec3& b);
Vec3 operator-(Vec3 a, const Vec3& b);
Vec3 operator*(Vec3 v, float s);
Vec3 operator*(float s, Vec3 v);
float dot(const Vec3& a, const Vec3& b);
Vec3 cross(const Vec3& a, const Vec3& b);

static_assert(sizeof(Vec3) == 12, "Vec3 is read and written as three packed floats");
