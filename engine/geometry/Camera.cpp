#include "engine/geometry/Camera.h"

#include <cmath>

namespace {
// The walking moves use this rougher degrees-to-radians factor (in double), so their
// directions differ slightly from the matrices' (pi / 180). Camera paths were recorded
// with it.
constexpr double kWalkDegToRad = 0.01744;
constexpr float kRadToDeg = 57.29578f;
constexpr double kMouseStep = 0.1;   // degrees per pixel at rate 1
}

void Camera::set(float x_, float y_, float z_, float pitch_, float yaw_, float roll_)
{
    x = x_;
    y = y_;
    z = z_;
    pitch = pitch_;
    yaw = yaw_;
    roll = roll_;
}

void Camera::lookAt(float px, float py, float pz)
{
    // x, y, z hold the eye negated, so this is the vector from the eye to the point.
    const double dx = px + x;
    const double dy = py + y;
    const double dz = pz + z;
    yaw = float(180.0 - std::atan2(dx, dz) * kRadToDeg);
    pitch = float(-std::atan2(dy, std::sqrt(dx * dx + dz * dz)) * kRadToDeg);
}

void Camera::strafe(float d)
{
    const double a = (90.0 - yaw) * kWalkDegToRad;
    x += std::sin(a) * d;
    z += std::cos(a) * d;
}

void Camera::advance(float d)
{
    const double a = -yaw * kWalkDegToRad;
    x += std::sin(a) * d;
    z += std::cos(a) * d;
}

void Camera::mouseLook(int cursorX, int cursorY, int width, int height, float yawRate,
                       float pitchRate)
{
    const float cx = float(width >> 1);
    const float cy = float(height >> 1);
    if (float(cursorX) == cx && float(cursorY) == cy)
        return;
    // A cursor coordinate of exactly 0 leaves its angle unchanged.
    if (cursorY != 0)
        pitch -= (cy - cursorY) * kMouseStep * pitchRate;
    if (cursorX != 0)
        yaw -= (cx - cursorX) * kMouseStep * yawRate;
}

Mat4 Camera::viewMatrix() const
{
    Mat4 view;
    view.setRotationZ(roll);
    view.rotateX(pitch);
    view.rotateY(yaw);
    view.translate(x, y, z);
    return view;
}
