// A packed 32-bit colour: bytes blue, green, red, alpha in memory, that is the
// little-endian value 0xAARRGGBB, as geometry files and vertex arrays store it. It does
// no colour management; components read back as byte / 255.
#pragma once

#include <cstdint>

struct Color {
    std::uint8_t b = 0;
    std::uint8_t g = 0;
    std::uint8_t r = 0;
    std::uint8_t a = 0;

    constexpr Color() = default;
    // Arguments in reading order (red, green, blue, alpha), each 0..255.
    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
        : b(blue), g(green), r(red), a(alpha) {}

    // Component / 255, 0..1.
    float getRed() const;
    float getGreen() const;
    float getBlue() const;
    float getAlpha() const;

    // Writes (red, green, blue, alpha) / 255 into one array shared by every Color and
    // returns it; the next call overwrites it. Not owned by the caller.
    const float* asFloatArray() const;

    // The packed value 0xAARRGGBB (the memory bytes read as a little-endian word).
    constexpr std::uint32_t packed() const {
        return std::uint32_t(a) << 24 | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | b;
    }
    static constexpr Color fromPacked(std::uint32_t v) {
        return Color(std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), std::uint8_t(v >> 24));
    }

    constexpr bool operator==(const Color&) const = default;
};

static_assert(sizeof(Color) == 4, "Color is one packed 32-bit value");

// The engine's colour constants, all opaque, given as (red, green, blue).
inline constexpr Color black{0, 0, 0, 255};
inline constexpr Color white{255, 255, 255, 255};
inline constexpr Color red{255, 0, 0, 255};
inline constexpr Color green{0, 255, 0, 255};
inline constexpr Color blue{0, 0, 255, 255};
inline constexpr Color yellow{255, 255, 0, 255};
inline constexpr Color cyan{0, 255, 255, 255};
inline constexpr Color magenta{255, 0, 255, 255};
inline constexpr Color purple{128, 0, 128, 255};
inline constexpr Color maroon{128, 0, 0, 255};
inline constexpr Color navy{0, 0, 128, 255};
inline constexpr Color darkGreen{0, 128, 0, 255};
inline constexpr Color darkGrey{64, 64, 64, 255};
inline constexpr Color grey{128, 128, 128, 255};
inline constexpr Color lightGrey{192, 192, 192, 255};
inline constexpr Color steelBlue{41, 94, 131, 255};
