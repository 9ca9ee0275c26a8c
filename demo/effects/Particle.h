// One particle of a particle system and the rules of its life: where and how it is
// emitted, where its closed-form path puts it at a given system time, and when it is
// dead. Pure CPU work drawing from the show's random generator (ShowRandom); no GL and
// no drawing (ParticleBillboard shapes the quads, ParticleSystem draws them).
//
// Motion types: 0 fountain, 1 rain falling in a box, 2 inert, 3 climbing spiral,
// 4 swirl, 5 streak, 6 breathing sphere. Times are seconds, angles radians.
#pragma once

#include "engine/math/Vec3.h"

#include <cstdint>

struct Particle {
    Vec3 origin;             // start point of the path
    float red = 0.0f;        // drawing colour; alpha is 1
    float green = 0.0f;
    float blue = 0.0f;
    float birthTime = 0.0f;  // system time at emission
    float speed = 0.0f;      // rate or count, by type
    float angle1 = 0.0f;
    float angle2 = 0.0f;
    float life = 0.0f;       // fades by random steps; types 0, 4, 5 die below 0.5
    float radius = 0.0f;     // path radius (types 3, 4, 5); current radius (type 6)
    float baseRadius = 0.0f; // type 6
    float age = 0.0f;        // system time minus birthTime at the last update
    Vec3 position;
    std::int32_t type = 0;
};

// (Re)starts p as a particle of type at system time birthTime. emitter is the emission
// point; for type 1 emitter and extent are opposite corners of the box it starts in
// (integer steps from emitter; on an axis where the box is less than one unit deep it
// starts on the emitter's coordinate). Draws the type's random numbers in a fixed order.
void emitParticle(Particle& p, int type, float birthTime, const Vec3& emitter, const Vec3& extent);

// Moves p along its path to system time: sets age, lowers life by a random step and,
// by type, position, angles, radius and colour. Draws one random number (two for type 5).
void updateParticle(Particle& p, float time);

// True when p is due to be emitted again: types 0, 4, 5 when life < 0.5, type 1 below
// y = 0, type 3 beyond z = 100; types 2 and 6 never die.
bool particleIsDead(const Particle& p);
