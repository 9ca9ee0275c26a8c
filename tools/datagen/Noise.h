// Deterministic value noise for sculpting and painting the show's models: the same
// numbers on every run and machine (integer hashing, no library random generator).
// Pure functions; nothing is owned.
#pragma once

#include "engine/math/Vec3.h"

#include <cstdint>

// 0..1, a hash of the lattice point and seed.
float latticeValue(int x, int y, int z, std::uint32_t seed);
// -1..1, smooth between lattice points one unit apart.
float valueNoise(const Vec3& p, std::uint32_t seed);
// Octaves of valueNoise, each twice the frequency and half the amplitude; about -1..1.
float fractalNoise(const Vec3& p, int octaves, std::uint32_t seed);
// -1..1 over the plane, repeating every `period` units in x and y (textures that tile).
float tileNoise(float x, float y, int period, std::uint32_t seed);
