#include "tools/datagen/NightMotifs.h"
#include "tools/datagen/Pictures.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double W = PICTURE_WIDTH, H = PICTURE_HEIGHT;

void drawSky(cairo_t* cr)
{
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, H);
    addStop(sky, 0.0, palette::NIGHT);
    addStop(sky, 0.55, palette::INDIGO);
    addStop(sky, 0.82, mix(palette::INDIGO, palette::MAGENTA, 0.18));
    addStop(sky, 1.0, palette::NIGHT);
    cairo_set_source(cr, sky);
    cairo_paint(cr);
    cairo_pattern_destroy(sky);
    // The city's haze on the horizon: a wide warm glow.
    cairo_save(cr);
    cairo_translate(cr, W / 2, 650);
    cairo_scale(cr, 2.6, 1.0);
    cairo_pattern_t* haze = cairo_pattern_create_radial(0, 0, 0, 0, 0, 220);
    addStop(haze, 0.0, mix(palette::MAGENTA, palette::AMBER, 0.4), 0.35);
    addStop(haze, 1.0, palette::MAGENTA, 0.0);
    cairo_set_source(cr, haze);
    cairo_paint(cr);
    cairo_pattern_destroy(haze);
    cairo_restore(cr);
}

// The velvet planet: violet body lit in magenta from the upper left, an amber rim on
// the lower right, soft bands.
void drawPlanet(cairo_t* cr, double x, double y, double r)
{
    cairo_save(cr);
    cairo_arc(cr, x, y, r, 0, 2 * PI);
    cairo_clip(cr);
    cairo_pattern_t* body
        = cairo_pattern_create_radial(x - r * 0.45, y - r * 0.5, r * 0.05, x - r * 0.2, y - r * 0.2, r * 1.35);
    addStop(body, 0.0, mix(palette::MAGENTA, palette::WHITE, 0.35));
    addStop(body, 0.3, palette::MAGENTA);
    addStop(body, 0.62, palette::VIOLET);
    addStop(body, 1.0, palette::NIGHT);
    cairo_set_source(cr, body);
    cairo_paint(cr);
    cairo_pattern_destroy(body);
    // Bands: wide tilted ellipses of light and shade.
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -0.3);
    const double bands[][3] = {{-0.55, 0.10, 0.10}, {-0.2, 0.06, -0.12}, {0.1, 0.12, 0.08}, {0.42, 0.07, -0.1}};
    for (const auto& band : bands) {
        cairo_save(cr);
        cairo_scale(cr, 1.0, band[1] * 4);
        cairo_pattern_t* stripe = cairo_pattern_create_radial(0, band[0] * r / (band[1] * 4), 0, 0,
            band[0] * r / (band[1] * 4), r * 1.2);
        const double a = std::fabs(band[2]);
        const Rgb tone = band[2] > 0 ? palette::AMBER : palette::NIGHT;
        addStop(stripe, 0.0, tone, a);
        addStop(stripe, 1.0, tone, 0.0);
        cairo_set_source(cr, stripe);
        cairo_paint(cr);
        cairo_pattern_destroy(stripe);
        cairo_restore(cr);
    }
    cairo_restore(cr);
    // Amber rim light on the lower right edge.
    cairo_save(cr);
    cairo_set_line_width(cr, 3.0);
    cairo_arc(cr, x, y, r - 1.5, -0.15 * PI, 0.75 * PI);
    cairo_pattern_t* rim = cairo_pattern_create_linear(x + r, y, x - r * 0.5, y + r);
    addStop(rim, 0.0, palette::AMBER, 0.0);
    addStop(rim, 0.4, palette::AMBER, 0.9);
    addStop(rim, 1.0, palette::AMBER, 0.0);
    cairo_set_source(cr, rim);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
    cairo_restore(cr);
}

struct Orbit {
    double rx, ry, tilt, width;
    Rgb colour;
    double near, far;
    double moonAngle; // where its small moon sits, radians
};

const Orbit ORBITS[] = {
    {330, 62, -0.16, 2.6, palette::AMBER, 0.95, 0.25, 0.62 * PI},
    {250, 96, 0.30, 1.6, palette::CYAN, 0.9, 0.2, 1.85 * PI},
    {410, 120, -0.05, 1.0, palette::MAGENTA, 0.55, 0.1, 0.2 * PI},
};

}

RgbImage drawTitleCard()
{
    SeededRandom random(0x5EED0001);
    Canvas canvas(PICTURE_WIDTH, PICTURE_HEIGHT);
    cairo_t* cr = canvas.cr();
    drawSky(cr);
    starField(cr, random, 360, 0, 0, W, 600, 0.85);

    // The planet carries the layer's particle sphere: at its widest the sphere's sparks
    // spill past the disc like an atmosphere, at its smallest it is a glint in the middle.
    const double px = SPHERE_X, py = SPHERE_Y, pr = 92;
    // Atmosphere: the planet's disc, blurred wide.
    drawWithGlow(canvas, [&](cairo_t* c) {
        setColour(c, mix(palette::VIOLET, palette::MAGENTA, 0.4));
        cairo_arc(c, px, py, pr + 6, 0, 2 * PI);
        cairo_fill(c);
    }, 28, 1.0, false);
    auto orbits = [&](cairo_t* c, bool front) {
        for (const Orbit& o : ORBITS)
            drawOrbitHalf(c, px, py, o.rx, o.ry, o.tilt, front, o.colour, o.width, o.near, o.far);
    };
    drawWithGlow(canvas, [&](cairo_t* c) { orbits(c, false); }, 5, 1.5);
    drawPlanet(cr, px, py, pr);
    drawWithGlow(canvas, [&](cairo_t* c) {
        orbits(c, true);
        for (const Orbit& o : ORBITS) {
            double x, y;
            orbitPoint(px, py, o.rx, o.ry, o.tilt, o.moonAngle, x, y);
            drawSpark(c, x, y, 14, o.colour, 1.0);
        }
    }, 6, 1.6);

    City city = planCity(random, 0, W, 700, 640, 540, 0.35);
    drawCitySilhouette(cr, city, mix(palette::NIGHT, palette::INDIGO, 0.3));
    drawWithGlow(canvas, [&](cairo_t* c) { drawCityLights(c, city, 0.95); }, 4, 1.2);

    // The title: wide-set capitals, amber to magenta, on a violet glow.
    auto title = [&](cairo_t* c) {
        useFont(c, Typeface::SANS_BOLD, 84);
        spacedTextPath(c, "VELVET ORBIT", W / 2, 498, 14, 0.5);
        cairo_pattern_t* fill = cairo_pattern_create_linear(0, 430, 0, 500);
        addStop(fill, 0.0, mix(palette::AMBER, palette::WHITE, 0.45));
        addStop(fill, 0.55, palette::AMBER);
        addStop(fill, 1.0, palette::MAGENTA);
        cairo_set_source(c, fill);
        cairo_fill(c);
        cairo_pattern_destroy(fill);
    };
    drawWithGlow(canvas, title, 16, 1.6);
    auto subtitle = [&](cairo_t* c) {
        const char* line = "A NIGHT THAT TURNS AROUND THE CITY";
        useFont(c, Typeface::SANS, 17);
        const double half = spacedTextWidth(c, line, 7) / 2;
        spacedTextPath(c, line, W / 2, 536, 7, 0.5);
        setColour(c, palette::CYAN);
        cairo_fill(c);
        // Two short rules either side of the line.
        setColour(c, palette::CYAN, 0.8);
        cairo_set_line_width(c, 1.0);
        for (double side : {-1.0, 1.0}) {
            cairo_move_to(c, W / 2 + side * (half + 22), 530.5);
            cairo_line_to(c, W / 2 + side * (half + 90), 530.5);
        }
        cairo_stroke(c);
    };
    drawWithGlow(canvas, subtitle, 4, 1.0);
    vignette(cr, PICTURE_WIDTH, PICTURE_HEIGHT, 0.55);
    return canvas.toRgb();
}
