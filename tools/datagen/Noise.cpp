#include "tools/datagen/Noise.h"

#include <cmath>

namespace {

float smooth(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

int wrap(int i, int period)
{
    return ((i % period) + period) % period;
}

}

float latticeValue(int x, int y, int z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= std::uint32_t(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE35u;
    h = (h << 17) | (h >> 15);
    h ^= std::uint32_t(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return float(h >> 8) / float(1u << 24);
}

float valueNoise(const Vec3& p, std::uint32_t seed)
{
    const float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    const int x = int(fx), y = int(fy), z = int(fz);
    const float tx = smooth(p.x - fx), ty = smooth(p.y - fy), tz = smooth(p.z - fz);
    float layer[2];
    for (int dz = 0; dz < 2; ++dz) {
        const float a = lerp(latticeValue(x, y, z + dz, seed), latticeValue(x + 1, y, z + dz, seed), tx);
        const float b = lerp(latticeValue(x, y + 1, z + dz, seed), latticeValue(x + 1, y + 1, z + dz, seed), tx);
        layer[dz] = lerp(a, b, ty);
    }
    return 2.0f * lerp(layer[0], layer[1], tz) - 1.0f;
}

float fractalNoise(const Vec3& p, int octaves, std::uint32_t seed)
{
    float sum = 0.0f, amplitude = 0.5f, scale = 1.0f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * valueNoise(p * scale, seed + std::uint32_t(o));
        norm += amplitude;
        amplitude *= 0.5f;
        scale *= 2.0f;
    }
    return norm > 0.0f ? sum / norm : 0.0f;
}

float tileNoise(float x, float y, int period, std::uint32_t seed)
{
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const float tx = smooth(x - fx), ty = smooth(y - fy);
    auto at = [&](int i, int j) { return latticeValue(wrap(i, period), wrap(j, period), 0, seed); };
    const float a = lerp(at(ix, iy), at(ix + 1, iy), tx);
    const float b = lerp(at(ix, iy + 1), at(ix + 1, iy + 1), tx);
    return 2.0f * lerp(a, b, ty) - 1.0f;
}
