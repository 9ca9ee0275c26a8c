#include "tools/datagen/Pictures.h"

#include "demo/ShowFiles.h"
#include "tools/datagen/Painter.h"

#include <cmath>
#include <numbers>

const std::vector<PictureFile>& showPictures()
{
    using showfiles::PICTURES;
    static const std::vector<PictureFile> files = {
        {PICTURES[0], drawTitleCard},
        {PICTURES[1], drawWallAtNight},
        {PICTURES[2], drawPondAtNight},
        {PICTURES[3], [] { return drawCreditCard(0); }},
        {PICTURES[4], [] { return drawCreditCard(1); }},
        {PICTURES[5], [] { return drawCreditCard(2); }},
        {PICTURES[6], [] { return drawCreditCard(3); }},
    };
    return files;
}

RgbImage drawParticleSprite(int size)
{
    Canvas canvas(size, size);
    const double c = size / 2.0;
    // A hot core in a narrow halo, reaching black exactly at the rim so the square quad
    // never shows; sampled from a smooth curve so no ring appears when magnified. The
    // halo is kept tight because a thousand sprites pile up where the picture layers'
    // sphere shrinks to a point: a wide one adds up to a white disc there.
    cairo_pattern_t* glow = cairo_pattern_create_radial(c, c, 0, c, c, c);
    constexpr int STOPS = 24;
    for (int i = 0; i <= STOPS; ++i) {
        const double r = double(i) / STOPS;
        const double fade = (1.0 - r * r) * (1.0 - r * r);
        const double level = fade * (0.8 * std::exp(-r * r * 50.0) + 0.2 * std::exp(-r * r * 15.0));
        cairo_pattern_add_color_stop_rgb(glow, r, level, level, level);
    }
    cairo_set_source(canvas.cr(), glow);
    cairo_arc(canvas.cr(), c, c, c, 0, 2 * std::numbers::pi);
    cairo_fill(canvas.cr());
    cairo_pattern_destroy(glow);
    return canvas.toRgb();
}
