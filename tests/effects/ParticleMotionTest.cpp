// Particle paths: where each type is at a chosen age and when it is dead (with the two
// paths that would divide by zero: a type 1 box less than a unit deep, a type 4 particle
// without speed), and the range of every emitted value.
#include "demo/effects/Particle.h"
#include "demo/effects/ShowRandom.h"

#include <gtest/gtest.h>
#include <numbers>

#include <cmath>
#include <optional>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Each row sets only the fields its path reads; the rest keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

TEST(ParticleMotion, PositionsAtChosenAges)
{
    const struct {
        const char* what;
        Particle start;
        std::optional<std::pair<Vec3, Vec3>> box; // emitted into this box (emitter, extent) first
        float time;
        Vec3 position;
        std::optional<Vec3> colour;
        bool dead;
    } cases[] = {
        {"fountain rises, spreads by the cosines", {.origin = {1, 2, 3}, .speed = 2, .angle2 = kPi, .life = 0.6f},
         {}, 2, {5, 6, -1}, {}, false},
        {"fountain past its life", {.origin = {1, 2, 3}, .life = 0.45f}, {}, 0, {1, 2, 3}, {}, true},
        {"rain falls, keeps x", {.origin = {5, 20, 7}, .speed = 10, .position = {9, 0, 0}, .type = 1}, {}, 0.5f,
         {9, 15, 7}, {}, false},
        {"rain below the ground", {.origin = {5, 20, 7}, .speed = 10, .position = {5, 0, 0}, .type = 1}, {}, 3,
         {5, -10, 7}, {}, true},
        {"rain box thin on x and inside out on z starts on the emitter", {.type = 1},
         std::pair(Vec3(3, 4, 5), Vec3(3.5f, 4, 4)), 0, {3, 4, 5}, {}, false},
        {"spiral climbs in z, colour by height",
         {.origin = {0, 20, -30}, .speed = 40, .angle1 = kPi / 2, .radius = 10, .type = 3}, {}, 0.5f, {5, 20, -20},
         Vec3(1.7f, 0.3f, 1.2f), false},
        {"spiral dies above z = 100", {.origin = {0, 20, 90}, .speed = 100, .radius = 10, .type = 3}, {}, 1.5f,
         {0, 35, 315}, Vec3(-1.65f, 3.65f, -2.15f), true},
        {"swirl turns a tenth, widens with age over speed",
         {.origin = {1, 2, 3}, .speed = 2, .angle1 = kPi / 4 - 0.1f, .life = 1, .radius = 5, .type = 4}, {}, 2,
         {4.5355339f, 1.9167706f, 6.5355339f}, {}, false},
        {"swirl without speed keeps to its origin",
         {.origin = {1, 2, 3}, .angle1 = 1, .life = 1, .radius = 5, .type = 4}, {}, 2, {1, 2, 3}, {}, false},
        {"streak arcs down", {.origin = {0, 10, 0}, .speed = 4, .life = 1, .type = 5}, {}, 2, {8, 6, 8}, {}, false},
        {"streak thrown up arcs back (z at random)", {.origin = {0, 10, 0}, .speed = 4, .angle1 = kPi / 2, .life = 1,
         .type = 5}, {}, 2, {0, 14, NAN}, {}, false},
        {"sphere at birth: base radius + 0.5",
         {.origin = {0, 10, 0}, .speed = 1, .angle1 = kPi / 2, .angle2 = kPi / 2, .baseRadius = 10, .type = 6}, {}, 0,
         {0, 20.5f, 0}, Vec3(0.5f, 1, 1), false},
        {"sphere at its smallest: base radius - 9.5",
         {.origin = {0, 10, 0}, .speed = 1, .angle2 = kPi / 2, .baseRadius = 10, .type = 6}, {}, kPi,
         {0.5f, 10, 0}, {}, false},
    };
    seedShowRandom(11);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Particle p = c.start;
        if (c.box)
            emitParticle(p, p.type, 0, c.box->first, c.box->second);
        updateParticle(p, c.time);
        EXPECT_TRUE(std::abs(p.position.x - c.position.x) < 1e-3f && std::abs(p.position.y - c.position.y) < 1e-3f
            && (std::isnan(c.position.z) || std::abs(p.position.z - c.position.z) < 1e-3f))
            << p.position.x << " " << p.position.y << " " << p.position.z;
        EXPECT_FLOAT_EQ(p.age, c.time);
        const Vec3 colour = c.colour.value_or(Vec3(p.red, p.green, p.blue));
        EXPECT_TRUE(std::abs(p.red - colour.x) + std::abs(p.green - colour.y) + std::abs(p.blue - colour.z) < 1e-4f)
            << p.red << " " << p.green << " " << p.blue;
        EXPECT_EQ(particleIsDead(p), c.dead);
    }
}

TEST(ParticleMotion, EmissionCoversEachRangeExactly)
{
    using P = Particle;
    const struct {
        int type;
        float P::*field; // null: the origin's x
        float low, high; // smallest and largest value over many emissions
    } ranges[] = {
        {0, &P::speed, 0, 2.45f}, {0, &P::angle2, 0, 9}, {0, &P::green, 0, 0.49f}, {0, &P::blue, 0, 0.049f},
        {1, nullptr, -200, 200}, {1, &P::speed, 10, 19}, {3, &P::speed, 20, 369}, {3, &P::angle1, 0, 359},
        {3, &P::blue, 0, 0.89f}, {4, &P::speed, 0, 29}, {4, &P::life, 1, 1}, {5, &P::speed, 0, 9},
        {5, &P::angle1, 1, 2.99f}, {6, &P::speed, 20, 39}, {6, &P::angle2, -kPi / 2, 89 * kPi / 180}, {6, &P::blue, 0, 0.89f},
    };
    seedShowRandom(3);
    for (const auto& r : ranges) {
        float low = INFINITY, high = -INFINITY;
        for (int i = 0; i < 5000; ++i) {
            Particle p;
            emitParticle(p, r.type, 0, {-200, 20, -200}, {200, 180, 200});
            low = std::min(low, r.field ? p.*r.field : p.origin.x), high = std::max(high, r.field ? p.*r.field : p.origin.x);
        }
        EXPECT_TRUE(std::abs(low - r.low) < 1e-5f && std::abs(high - r.high) < 1e-5f) << "type " << r.type << ": " << low << " " << high;
    }
}

}
