#include "demo/effects/ParticleBillboard.h"

#include "demo/effects/ShowRandom.h"

#include <cmath>

namespace {

constexpr float kHalfPi = 1.570796325f;

}

void billboardCorners(const Vec3& position, const Vec3& camera, Vec3 corners[4], const SpriteRect& rect)
{
    Vec3 v = position + camera;

    // Yaw = atan(v.x / v.z), turned by half a circle when v.z > 0: whichever side the
    // particle is on, its cosine and sine are -v.z and -v.x over the length of (v.x, v.z).
    // Only v.z = 0 keeps the bare quarter turn of atan(+-infinity).
    float cosYaw, sinYaw;
    if (v.z != 0.0f) {
        const float inverse = 1.0f / std::sqrt(v.x * v.x + v.z * v.z);
        cosYaw = -v.z * inverse;
        sinYaw = -v.x * inverse;
    } else {
        cosYaw = 0.0f;
        sinYaw = (v.x / v.z > 0.0f) ? 1.0f : -1.0f;
    }

    // Pitch: the two tilts towards the eye, mixed by the yaw, from below the particle.
    const bool flipped = v.y > 0.0f;
    if (flipped)
        v.y = -v.y;
    const float pitchZ = std::atan(v.z / v.y);
    const float pitchX = std::atan(v.x / v.y);
    const float pitch = flipped ? -(sinYaw * pitchX) - cosYaw * pitchZ + kHalfPi
                                : cosYaw * pitchZ + sinYaw * pitchX - kHalfPi;

    // Translate to the centre, rotate by the yaw about Y and the pitch about X, translate
    // back: a corner at position + d lands at position + Ry Rx d. For d = (dx, dy, 0)
    // that is position + dx * across + dy * up, with the columns below (halved: the
    // corners are half a unit out).
    const float cosPitch = std::cos(pitch), sinPitch = std::sin(pitch);
    const Vec3 across(0.5f * cosYaw, 0.0f, -0.5f * sinYaw);
    const Vec3 up(0.5f * sinYaw * sinPitch, 0.5f * cosPitch, 0.5f * cosYaw * sinPitch);
    // A texture coordinate t lies at (2t - 1) half-widths from the centre; the whole
    // sprite gives exactly +-1.
    for (int i = 0; i < 4; ++i)
        corners[i] = position + across * (2.0f * rect.u(i) - 1.0f) + up * (2.0f * rect.v(i) - 1.0f);
}

void streakCorners(const Vec3& position, Vec3 corners[4])
{
    const float x = position.x, y = position.y, z = position.z;
    const float jitterX0 = static_cast<float>(showRand() % 100) / 1000.0f;
    const float jitterZ0 = static_cast<float>(showRand() % 100) / 1000.0f;
    const float jitterZ1 = static_cast<float>(showRand() % 100) / 10.0f;
    const float jitterX3 = static_cast<float>(showRand() % 100) / 100.0f;
    corners[0] = Vec3(x + 0.05f + jitterX0, y + 0.05f, z + jitterZ0);
    corners[1] = Vec3(x - 0.05f, y + 0.05f, z + jitterZ1);
    corners[2] = Vec3(x + 0.05f, y - 0.05f, z);
    corners[3] = Vec3(x - 0.05f + jitterX3, y - 0.05f, z);
}
