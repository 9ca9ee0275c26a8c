#include "tools/datagen/NightMotifs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;

void addWindows(SeededRandom& random, const Building& b, double base, double litShare, City& city)
{
    const double cellW = b.width < 50 ? 7.0 : 9.0;
    const double cellH = 11.0;
    const int columns = std::max(1, int((b.width - 8) / cellW));
    const double margin = (b.width - columns * cellW) / 2;
    // Each building has its own light: mostly amber homes, some cold offices.
    const double kind = random.unit();
    const Rgb tone = kind < 0.6 ? palette::AMBER : kind < 0.85 ? mix(palette::CYAN, palette::WHITE, 0.3)
                                                               : mix(palette::MAGENTA, palette::AMBER, 0.5);
    const double share = litShare * random.range(0.5, 1.4);
    for (double y = b.top + 10; y + cellH < base; y += cellH) {
        // Whole floors go dark or light together now and then.
        const bool floorLit = random.chance(0.85);
        for (int c = 0; c < columns; ++c) {
            if (!floorLit || !random.chance(share))
                continue;
            const double level = random.range(0.35, 1.0);
            city.windows.push_back({b.left + margin + c * cellW + 1.5, y + 2, cellW - 3.5, cellH - 5.5,
                mix(tone, palette::WHITE, random.range(0.0, 0.35)), level});
        }
    }
}

}

City planCity(SeededRandom& random, double left, double right, double base, double lowest, double highest,
    double litShare)
{
    City city;
    city.base = base;
    double x = left - random.range(0, 40);
    while (x < right) {
        Building b;
        b.left = x;
        b.width = random.range(26, 80);
        // A skyline reads best with a few towers well above the rest.
        const double u = random.unit();
        const double lift = random.chance(0.15) ? random.range(0.75, 1.0) : u * u * 0.7;
        b.top = lowest + (highest - lowest) * lift;
        b.roof = b.top < lowest + (highest - lowest) * 0.6 ? random.below(4) : random.below(2) * 3;
        city.buildings.push_back(b);
        addWindows(random, b, base, litShare, city);
        if (b.roof == 2)
            city.beacons.push_back({b.left + b.width / 2, b.top - 34, 0, 0,
                random.chance(0.5) ? palette::MAGENTA : palette::AMBER, 1.0});
        x += b.width + (random.chance(0.3) ? random.range(2, 12) : 0.0);
    }
    return city;
}

void drawCitySilhouette(cairo_t* cr, const City& city, const Rgb& colour)
{
    cairo_save(cr);
    setColour(cr, colour);
    for (const Building& b : city.buildings) {
        const double r = b.left + b.width, t = b.top;
        cairo_move_to(cr, b.left, city.base);
        switch (b.roof) {
        case 1: // stepped
            cairo_line_to(cr, b.left, t + 14);
            cairo_line_to(cr, b.left + b.width * 0.2, t + 14);
            cairo_line_to(cr, b.left + b.width * 0.2, t);
            cairo_line_to(cr, r - b.width * 0.2, t);
            cairo_line_to(cr, r - b.width * 0.2, t + 14);
            cairo_line_to(cr, r, t + 14);
            break;
        case 2: { // spire
            const double mid = b.left + b.width / 2;
            cairo_line_to(cr, b.left, t);
            cairo_line_to(cr, mid - 3, t - 10);
            cairo_line_to(cr, mid - 1, t - 34);
            cairo_line_to(cr, mid + 1, t - 34);
            cairo_line_to(cr, mid + 3, t - 10);
            cairo_line_to(cr, r, t);
            break;
        }
        case 3: // slanted
            cairo_line_to(cr, b.left, t + b.width * 0.3);
            cairo_line_to(cr, r, t);
            break;
        default:
            cairo_line_to(cr, b.left, t);
            cairo_line_to(cr, r, t);
            break;
        }
        cairo_line_to(cr, r, city.base);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
    cairo_restore(cr);
}

void drawCityLights(cairo_t* cr, const City& city, double intensity)
{
    cairo_save(cr);
    for (const WindowLight& w : city.windows) {
        setColour(cr, w.colour, std::min(1.0, w.level * intensity));
        cairo_rectangle(cr, w.x, w.y, w.w, w.h);
        cairo_fill(cr);
    }
    for (const WindowLight& b : city.beacons)
        drawSpark(cr, b.x, b.y, 5.0, b.colour, intensity);
    cairo_restore(cr);
}

void drawMoon(cairo_t* cr, SeededRandom& random, double x, double y, double r)
{
    cairo_save(cr);
    cairo_arc(cr, x, y, r, 0, 2 * PI);
    cairo_clip(cr);
    // Lit a little from the upper left: the limb darkens towards the lower right.
    cairo_pattern_t* disc = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, r * 0.1, x, y, r * 1.05);
    addStop(disc, 0.0, palette::WHITE);
    addStop(disc, 0.6, palette::MOON);
    addStop(disc, 1.0, mix(palette::MOON, palette::AMBER, 0.55));
    cairo_set_source(cr, disc);
    cairo_paint(cr);
    cairo_pattern_destroy(disc);
    // Seas: soft grey-violet blots.
    for (int i = 0; i < 7; ++i) {
        const double sx = x + random.range(-0.6, 0.5) * r, sy = y + random.range(-0.55, 0.5) * r;
        const double sr = r * random.range(0.15, 0.38);
        cairo_pattern_t* sea = cairo_pattern_create_radial(sx, sy, 0, sx, sy, sr);
        cairo_pattern_add_color_stop_rgba(sea, 0.0, 0.45, 0.40, 0.50, 0.45);
        cairo_pattern_add_color_stop_rgba(sea, 1.0, 0.45, 0.40, 0.50, 0.0);
        cairo_set_source(cr, sea);
        cairo_paint(cr);
        cairo_pattern_destroy(sea);
    }
    // Craters: faint rims with a lit edge.
    cairo_set_line_width(cr, std::max(0.8, r * 0.02));
    for (int i = 0; i < 12; ++i) {
        const double cx = x + random.range(-0.8, 0.8) * r, cy = y + random.range(-0.8, 0.8) * r;
        const double cr2 = r * random.range(0.03, 0.09);
        cairo_arc(cr, cx, cy, cr2, 0, 2 * PI);
        cairo_set_source_rgba(cr, 0.5, 0.45, 0.5, 0.22);
        cairo_stroke(cr);
        cairo_arc(cr, cx + cr2 * 0.2, cy + cr2 * 0.2, cr2, PI * 0.1, PI * 0.9);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void orbitPoint(double cx, double cy, double rx, double ry, double tilt, double a, double& x, double& y)
{
    const double ex = rx * std::cos(a), ey = ry * std::sin(a);
    x = cx + ex * std::cos(tilt) - ey * std::sin(tilt);
    y = cy + ex * std::sin(tilt) + ey * std::cos(tilt);
}

void drawOrbitHalf(cairo_t* cr, double cx, double cy, double rx, double ry, double tilt, bool front,
    const Rgb& colour, double width, double alphaNear, double alphaFar)
{
    constexpr int SEGMENTS = 96;
    const double start = front ? 0.0 : PI;
    cairo_save(cr);
    double x, y;
    orbitPoint(cx, cy, rx, ry, tilt, start, x, y);
    cairo_move_to(cr, x, y);
    for (int i = 1; i <= SEGMENTS; ++i) {
        orbitPoint(cx, cy, rx, ry, tilt, start + PI * i / SEGMENTS, x, y);
        cairo_line_to(cr, x, y);
    }
    // Nearness runs straight along the ellipse's minor axis, from the back point to the
    // front point, so a linear gradient between them fades the ring exactly.
    double backX, backY, frontX, frontY;
    orbitPoint(cx, cy, rx, ry, tilt, 1.5 * PI, backX, backY);
    orbitPoint(cx, cy, rx, ry, tilt, 0.5 * PI, frontX, frontY);
    cairo_pattern_t* fade = cairo_pattern_create_linear(backX, backY, frontX, frontY);
    addStop(fade, 0.0, colour, alphaFar);
    addStop(fade, 1.0, colour, alphaNear);
    cairo_set_source(cr, fade);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_pattern_destroy(fade);
    cairo_restore(cr);
}

void drawSpark(cairo_t* cr, double x, double y, double r, const Rgb& colour, double level)
{
    cairo_save(cr);
    cairo_pattern_t* halo = cairo_pattern_create_radial(x, y, 0, x, y, r);
    addStop(halo, 0.0, palette::WHITE, level);
    addStop(halo, 0.15, colour, level);
    addStop(halo, 0.4, colour, level * 0.35);
    addStop(halo, 1.0, colour, 0.0);
    cairo_set_source(cr, halo);
    cairo_arc(cr, x, y, r, 0, 2 * PI);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_restore(cr);
}

void strokeNeon(cairo_t* cr, const Rgb& colour, double width)
{
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColour(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke_preserve(cr);
    setColour(cr, mix(colour, palette::WHITE, 0.75));
    cairo_set_line_width(cr, width * 0.4);
    cairo_stroke_preserve(cr);
    cairo_restore(cr);
}
