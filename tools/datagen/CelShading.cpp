#include "tools/datagen/CelShading.h"

#include "demo/ShowFiles.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/EmbeddedText.h"
#include "tools/datagen/ImageEncoders.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int RAMP_WIDTH = 128;
constexpr int RAMP_HEIGHT = 16;

// A flat band up to (not including) column end.
struct Band {
    int end;
    std::uint8_t r, g, b;
};

// With u = 0.05 + 0.9 x facing: shadow below a facing of 0.36, full light from 0.78.
const Band TONE_BANDS[] = {
    {48, 112, 98, 160},
    {96, 206, 196, 222},
    {RAMP_WIDTH, 255, 250, 240},
};

// Dark while the surface faces the eye by less than 0.36 (turned more than 69 degrees
// away): on a sphere, the outer 7 per cent of its radius.
const Band OUTLINE_BANDS[] = {
    {48, 18, 10, 30},
    {RAMP_WIDTH, 255, 255, 255},
};

template <std::size_t N>
RgbImage ramp(const Band (&bands)[N])
{
    RgbImage image(RAMP_WIDTH, RAMP_HEIGHT);
    for (int x = 0; x < RAMP_WIDTH; ++x) {
        const Band* band = &bands[0];
        while (x >= band->end)
            ++band;
        for (int y = 0; y < RAMP_HEIGHT; ++y) {
            std::uint8_t* p = image.at(x, y);
            p[0] = band->r;
            p[1] = band->g;
            p[2] = band->b;
        }
    }
    return image;
}

bool copySource(const std::filesystem::path& dir, const char* name)
{
    const EmbeddedText source = embeddedText(name);
    if (!source.found) {
        std::fprintf(stderr, "datagen: %s is missing from the sources\n", name);
        return false;
    }
    return writeDataFile(dir, name, source.text.data(), source.text.size());
}

}

bool writeCelShading(const std::filesystem::path& dir)
{
    return copySource(dir, showfiles::CEL_PROGRAM) && copySource(dir, showfiles::CEL_MATERIAL)
        && writePictureFile(dir, showfiles::TONES, ramp(TONE_BANDS), EXACT_JPEG_QUALITY)
        && writePictureFile(dir, showfiles::OUTLINE_TONES, ramp(OUTLINE_BANDS), EXACT_JPEG_QUALITY);
}
