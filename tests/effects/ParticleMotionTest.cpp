// Where each motion type puts a particle at a chosen age, and when it is dead: one
// table over every type, with the two paths that would divide by zero (a type 1 box
// less than a unit deep, a type 4 particle without speed).
#include "demo/effects/Particle.h"
#include "demo/effects/ShowRandom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

constexpr float kPi = 3.14159265f;

struct Setup {
    Vec3 origin, position;
    float speed = 0, angle1 = 0, angle2 = 0, radius = 0, baseRadius = 0, life = 0.6f, birth = 0;
};

struct Case {
    const char* what;
    int type;
    Setup start;
    std::optional<Vec3> emitBox[2];  // when set: emitted into this box first (emitter, extent)
    float time;
    Vec3 position;
    std::optional<Vec3> colour;
    bool dead;
};

TEST(ParticleMotion, PositionsAtChosenAges)
{
    const Case cases[] = {
        {"fountain rises, spreads by the cosines", 0, {{1, 2, 3}, {}, 2, 0, kPi}, {}, 2, {5, 6, -1}, {}, false},
        {"fountain past its life", 0, {{1, 2, 3}, {}, 2, 0, 0, 0, 0, 0.45f}, {}, 0, {1, 2, 3}, {}, true},
        {"rain falls, keeps x", 1, {{5, 20, 7}, {9, 0, 0}, 10}, {}, 0.5f, {9, 15, 7}, {}, false},
        {"rain below the ground", 1, {{5, 20, 7}, {5, 0, 0}, 10}, {}, 3, {5, -10, 7}, {}, true},
        {"rain box thin on x and inside out on z starts on the emitter", 1, {}, {Vec3(3, 4, 5), Vec3(3.5f, 4, 4)},
         0, {3, 4, 5}, {}, false},
        {"inert particle stays", 2, {{}, {9, 9, 9}}, {}, 50, {9, 9, 9}, {}, false},
        {"spiral climbs in z, colour by height", 3, {{0, 20, -30}, {}, 40, kPi / 2, 0, 10}, {}, 0.5f, {5, 20, -20},
         Vec3(1.7f, 0.3f, 1.2f), false},
        {"spiral dies above z = 100", 3, {{0, 20, 90}, {}, 100, 0, 0, 10}, {}, 1.5f, {0, 35, 315},
         Vec3(-1.65f, 3.65f, -2.15f), true},
        {"swirl turns a tenth, widens with age over speed", 4, {{1, 2, 3}, {}, 2, kPi / 2 - 0.1f, 0, 5}, {}, 2,
         {6, 1.9167706f, 3}, {}, false},
        {"swirl without speed keeps to its origin", 4, {{1, 2, 3}, {}, 0, 1, 0, 5}, {}, 2, {1, 2, 3}, {}, false},
        {"streak arcs down", 5, {{0, 10, 0}, {}, 4, 0, 0, 10}, {}, 2, {8, 6, 8}, {}, false},
        {"sphere at birth: base radius + 0.5", 6, {{0, 10, 0}, {}, 1, 0, kPi / 2, 0, 10}, {}, 0, {10.5f, 10, 0},
         Vec3(1.5f, 1, 1), false},
        {"sphere at its smallest: base radius - 9.5", 6, {{0, 10, 0}, {}, 1, 0, kPi / 2, 0, 10}, {}, kPi,
         {0.5f, 10, 0}, {}, false},
    };
    seedShowRandom(11);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Particle p;
        if (c.emitBox[0]) {
            emitParticle(p, c.type, c.start.birth, *c.emitBox[0], *c.emitBox[1]);
        } else {
            p.type = c.type;
            p.origin = c.start.origin;
            p.position = c.start.position;
            p.speed = c.start.speed;
            p.angle1 = c.start.angle1;
            p.angle2 = c.start.angle2;
            p.radius = c.start.radius;
            p.baseRadius = c.start.baseRadius;
            p.life = c.start.life;
            p.birthTime = c.start.birth;
        }
        updateParticle(p, c.time);
        EXPECT_NEAR(p.position.x, c.position.x, 1e-3f);
        EXPECT_NEAR(p.position.y, c.position.y, 1e-3f);
        EXPECT_NEAR(p.position.z, c.position.z, 1e-3f);
        EXPECT_FLOAT_EQ(p.age, c.time - p.birthTime);
        if (c.colour) {
            EXPECT_NEAR(p.red, c.colour->x, 1e-4f);
            EXPECT_NEAR(p.green, c.colour->y, 1e-4f);
            EXPECT_NEAR(p.blue, c.colour->z, 1e-4f);
        }
        EXPECT_EQ(particleIsDead(p), c.dead);
    }
}

}
