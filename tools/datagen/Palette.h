// The show's one palette and colour type: velvet night (indigo and violet grounds),
// warm highlights (amber, magenta), cold accents (cyan), and the small colour arithmetic
// the painters use. The full-screen pictures are added straight over the frame; the
// models' textures reach the screen through the scene lights and the tone ramps, which
// darken them, so their dark tones are lifted (palette::surface). Channels are 0..1;
// nothing is owned.
#pragma once

#include <algorithm>
#include <cstdint>

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0;
};

namespace palette {

constexpr Rgb NIGHT{0.016, 0.008, 0.055};
constexpr Rgb INDIGO{0.075, 0.040, 0.220};
constexpr Rgb VIOLET{0.360, 0.160, 0.640};
constexpr Rgb MAGENTA{1.000, 0.230, 0.620};
constexpr Rgb AMBER{1.000, 0.650, 0.250};
constexpr Rgb CYAN{0.250, 0.870, 1.000};
constexpr Rgb MOON{1.000, 0.950, 0.860};
constexpr Rgb WHITE{1.0, 1.0, 1.0};

// The same hues on the models' textures. Painted in single precision (mixf, scale).
namespace surface {
constexpr Rgb NIGHT{0.02f, 0.01f, 0.12f};
constexpr Rgb INDIGO{0.12f, 0.08f, 0.42f};
constexpr Rgb VIOLET{0.42f, 0.16f, 0.62f};
constexpr Rgb MAGENTA{0.93f, 0.18f, 0.62f};
constexpr Rgb AMBER{1.00f, 0.66f, 0.18f};
constexpr Rgb CYAN{0.22f, 0.88f, 0.96f};
constexpr Rgb WARM{0.80f, 0.52f, 0.38f};
using palette::WHITE;
}

}

// a to b by u (0 gives a, 1 gives b).
inline Rgb mix(const Rgb& a, const Rgb& b, double u)
{
    return {a.r + (b.r - a.r) * u, a.g + (b.g - a.g) * u, a.b + (b.b - a.b) * u};
}

// mix in single precision, as the texture painters work.
inline Rgb mixf(const Rgb& a, const Rgb& b, float t)
{
    auto channel = [t](double from, double to) {
        return double(float(from) + (float(to) - float(from)) * t);
    };
    return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// c times s, in single precision.
inline Rgb scale(const Rgb& c, float s)
{
    return {double(float(c.r) * s), double(float(c.g) * s), double(float(c.b) * s)};
}

// Stores c (clamped) into a pixel of 3 or 4 bytes (alpha 255).
inline void putRgb(std::uint8_t* pixel, int channels, const Rgb& c)
{
    auto byte = [](double v) { return std::uint8_t(std::clamp(float(v), 0.0f, 1.0f) * 255.0f + 0.5f); };
    pixel[0] = byte(c.r);
    pixel[1] = byte(c.g);
    pixel[2] = byte(c.b);
    if (channels == 4)
        pixel[3] = 255;
}
