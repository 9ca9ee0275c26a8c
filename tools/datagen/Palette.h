// The show's colours (velvet night: indigo and violet grounds, amber and magenta
// highlights, cyan accents) and the small colour arithmetic the texture painters use.
// Channels are 0..1; nothing is owned.
#pragma once

#include <algorithm>
#include <cstdint>

struct Rgb {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

namespace palette {

constexpr Rgb NIGHT{0.02f, 0.01f, 0.12f};
constexpr Rgb INDIGO{0.12f, 0.08f, 0.42f};
constexpr Rgb VIOLET{0.42f, 0.16f, 0.62f};
constexpr Rgb MAGENTA{0.93f, 0.18f, 0.62f};
constexpr Rgb AMBER{1.00f, 0.66f, 0.18f};
constexpr Rgb CYAN{0.22f, 0.88f, 0.96f};
constexpr Rgb WARM{0.80f, 0.52f, 0.38f};
constexpr Rgb WHITE{1.0f, 1.0f, 1.0f};

}

inline Rgb mix(const Rgb& a, const Rgb& b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Rgb scale(const Rgb& c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

// Stores c (clamped) into a pixel of 3 or 4 bytes (alpha 255).
inline void putRgb(std::uint8_t* pixel, int channels, const Rgb& c)
{
    auto byte = [](float v) { return std::uint8_t(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    pixel[0] = byte(c.r);
    pixel[1] = byte(c.g);
    pixel[2] = byte(c.b);
    if (channels == 4)
        pixel[3] = 255;
}
