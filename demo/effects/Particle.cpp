#include "demo/effects/Particle.h"

#include "demo/effects/ShowRandom.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalfPi = kPi / 2.0f;

// rand % n as a float.
float randomBelow(int n)
{
    return static_cast<float>(showRand() % n);
}

// One axis of a type 1 box: an integer step from the emitter's coordinate, below the
// box's depth plus one. A box less than one unit deep on the axis has no room for a
// step, so the particle starts on the emitter's coordinate; the random number is drawn
// either way so the sequence does not depend on the box.
float boxCoordinate(float emitter, float extent)
{
    const int draw = showRand();
    const float room = extent + 1.0f - emitter;
    if (!(room >= 1.0f))
        return emitter;
    const int steps = room < 1.0e9f ? static_cast<int>(room) : 1000000000;
    return emitter + static_cast<float>(draw % steps);
}

}

void emitParticle(Particle& p, int type, float birthTime, const Vec3& emitter, const Vec3& extent)
{
    p.type = type;
    p.birthTime = birthTime;
    p.life = 0.6f;
    switch (type) {
    case 0:
        p.origin = p.position = emitter;
        p.speed = randomBelow(50) / 20.0f;
        p.angle1 = randomBelow(10);
        p.angle2 = randomBelow(10);
        p.red = 1.0f;
        p.green = randomBelow(50) / 100.0f;
        p.blue = randomBelow(50) / 1000.0f;
        break;
    case 1: {
        const float x = boxCoordinate(emitter.x, extent.x);
        const float y = boxCoordinate(emitter.y, extent.y);
        const float z = boxCoordinate(emitter.z, extent.z);
        p.origin = p.position = Vec3(x, y, z);
        p.speed = randomBelow(10) + 10.0f;
        p.angle1 = 0.0f;
        p.red = p.green = p.blue = 1.0f;
        break;
    }
    case 3:
        p.origin = p.position = emitter;
        p.speed = randomBelow(350) + 20.0f;
        p.angle1 = randomBelow(360);
        p.radius = 10.0f;
        p.red = 1.0f;
        p.green = randomBelow(50) / 100.0f;
        p.blue = randomBelow(90) / 100.0f;
        break;
    case 4:
        p.origin = p.position = emitter;
        p.speed = randomBelow(30);
        p.angle1 = randomBelow(360);
        p.radius = 5.0f;
        p.life = 1.0f;
        p.red = 1.0f;
        p.green = randomBelow(50) / 100.0f;
        p.blue = randomBelow(50) / 1000.0f;
        break;
    case 5:
        p.origin = p.position = emitter;
        p.speed = randomBelow(10);
        p.angle1 = randomBelow(200) / 100.0f + 1.0f;
        p.angle2 = randomBelow(360);
        p.radius = 10.0f;
        p.life = 1.0f;
        break;
    case 6:
        p.origin = p.position = emitter;
        p.speed = randomBelow(20) + 20.0f;
        p.angle1 = randomBelow(360) * kPi / 180.0f;
        p.angle2 = randomBelow(180) * kPi / 180.0f - kHalfPi;
        p.baseRadius = 10.0f;
        p.red = 1.0f;
        p.green = randomBelow(50) / 100.0f;
        p.blue = randomBelow(90) / 100.0f;
        break;
    default: // type 2 and unknown types: no path, no colour
        break;
    }
}

void updateParticle(Particle& p, float time)
{
    p.age = time - p.birthTime;
    p.life -= (randomBelow(1000) / 1000.0f) * 0.01f;
    const Vec3& o = p.origin;
    const float s = p.speed;
    const float g = p.age;
    switch (p.type) {
    case 0:
        p.position.x = o.x + std::cos(p.angle1) * s * g;
        p.position.y = o.y + g * s;
        p.position.z = o.z + std::cos(p.angle2) * s * g;
        break;
    case 1:
        p.position.y = o.y - s * g;
        p.position.z = o.z;
        break;
    case 3: {
        const float r = p.radius;
        p.position.x = o.x + std::sin(p.angle1) * r * g;
        p.position.y = o.y + std::cos(p.angle1) * r * g;
        p.position.z = o.z + g * g * s;
        const float depth = p.position.z / 100.0f;
        p.red = 1.0f - depth + 0.5f;
        p.green = depth + 0.5f;
        p.blue = 1.0f - depth;
        break;
    }
    case 4: {
        p.angle1 += 0.1f;
        const float r = p.radius;
        // A particle without speed has no path to widen: it keeps to its origin.
        const float spread = s != 0.0f ? g / s : 0.0f;
        p.position.x = o.x + r * std::sin(p.angle1) * spread;
        p.position.y = o.y + std::cos(g) * g * s / 20.0f;
        p.position.z = o.z + std::cos(p.angle1) * r * spread;
        break;
    }
    case 5: {
        const float a1 = p.angle1;
        p.position.x = o.x + std::cos(a1) * s * g;
        p.position.y = o.y + s * std::sin(a1) * g - g * g;
        p.position.z = o.z + std::cos(randomBelow(3) * a1) * s * g;
        break;
    }
    case 6: {
        p.angle1 += g / 20000.0f;
        p.angle2 += g / 20000.0f;
        const float r = std::sin(-g / 2.0f) * 10.0f + p.baseRadius + 0.5f;
        p.radius = r;
        const float sa1 = s * p.angle1;
        const float sa2 = s * p.angle2;
        p.position.x = o.x + r * std::cos(sa1) * std::sin(sa2);
        p.position.y = o.y + r * std::sin(sa1) * std::sin(sa2);
        p.position.z = o.z + r * std::cos(sa2);
        p.red = std::cos(p.angle1) + 0.5f;
        p.green = 1.0f;
        p.blue = 1.0f;
        break;
    }
    default: // type 2 stays where it is
        break;
    }
}

bool particleIsDead(const Particle& p)
{
    switch (p.type) {
    case 0:
    case 4:
    case 5:
        return p.life < 0.5f;
    case 1:
        return p.position.y < 0.0f;
    case 3:
        return p.position.z > 100.0f;
    default:
        return false;
    }
}
