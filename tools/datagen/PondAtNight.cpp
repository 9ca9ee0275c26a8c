#include "tools/datagen/NightMotifs.h"
#include "tools/datagen/Pictures.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double W = PICTURE_WIDTH, H = PICTURE_HEIGHT;
constexpr double HORIZON = 420;
// The moon holds the layer's particle sphere, so it is painted at part of its light: the
// sphere's sparks bring it up, and at their densest they stay short of a white blot.
constexpr double MOON_X = SPHERE_X, MOON_Y = SPHERE_Y, MOON_R = 48;
constexpr double MOON_LIGHT = 0.5;
// The city leaves a gap under the moon, so the moon hangs over the water, not the towers.
constexpr double GAP_LEFT = MOON_X - 110, GAP_RIGHT = MOON_X + 110;

// Everything above the water: sky, stars, moon, far hills and the city on the shore.
void drawAbove(Canvas& canvas, SeededRandom& random)
{
    cairo_t* cr = canvas.cr();
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, HORIZON);
    addStop(sky, 0.0, palette::NIGHT);
    addStop(sky, 0.6, palette::INDIGO);
    addStop(sky, 1.0, mix(palette::INDIGO, palette::MAGENTA, 0.3));
    cairo_set_source(cr, sky);
    cairo_rectangle(cr, 0, 0, W, HORIZON);
    cairo_fill(cr);
    starField(cr, random, 300, 0, 0, W, HORIZON - 40, 0.8);

    drawWithGlow(canvas, [](cairo_t* c) {
        drawSpark(c, MOON_X, MOON_Y, MOON_R * 5, palette::MOON, 0.3);
    }, 20, 1.0, false);
    drawWithGlow(canvas, [&](cairo_t* c) {
        setColour(c, palette::MOON, MOON_LIGHT);
        cairo_arc(c, MOON_X, MOON_Y, MOON_R, 0, 2 * PI);
        cairo_fill(c);
    }, 10, 0.9, false);
    cairo_push_group(cr);
    drawMoon(cr, random, MOON_X, MOON_Y, MOON_R);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, MOON_LIGHT);

    // Far hills, then the city along the shore.
    cairo_move_to(cr, 0, HORIZON);
    cairo_curve_to(cr, 150, HORIZON - 70, 330, HORIZON - 40, 470, HORIZON - 55);
    cairo_curve_to(cr, 640, HORIZON - 75, 860, HORIZON - 30, W, HORIZON - 60);
    cairo_line_to(cr, W, HORIZON);
    cairo_close_path(cr);
    setColour(cr, mix(palette::NIGHT, palette::VIOLET, 0.18));
    cairo_fill(cr);
    for (const auto& [from, to] : {std::pair{100.0, GAP_LEFT}, std::pair{GAP_RIGHT, 920.0}}) {
        City city = planCity(random, from, to, HORIZON, HORIZON - 45, HORIZON - 125, 0.32);
        drawCitySilhouette(cr, city, mix(palette::NIGHT, palette::INDIGO, 0.25));
        drawWithGlow(canvas, [&](cairo_t* c) { drawCityLights(c, city, 0.9); }, 3, 1.3);
    }
    // The shore: a thin line of street lamps.
    drawWithGlow(canvas, [&](cairo_t* c) {
        for (double x = 100; x < 930; x += random.range(14, 30))
            drawSpark(c, x, HORIZON - 3, 4, random.chance(0.7) ? palette::AMBER : palette::CYAN, 0.9);
    }, 3, 1.0);
}

// The water mirrors what is above, row by row, each row shifted by the ripples: more
// at the front, where the ripples are nearer.
void drawReflection(cairo_t* cr, cairo_surface_t* above)
{
    cairo_save(cr);
    for (double y = HORIZON; y < H; y += 2) {
        const double depth = (y - HORIZON) / (H - HORIZON);
        const double shift = (1.5 + 9.0 * depth) * std::sin(y * 0.21 + 1.3 * std::sin(y * 0.037));
        cairo_save(cr);
        cairo_rectangle(cr, 0, y, W, 2);
        cairo_clip(cr);
        // Mirror about the horizon: the row at y shows the row at 2 * HORIZON - y.
        cairo_translate(cr, shift, 2 * HORIZON);
        cairo_scale(cr, 1, -1);
        cairo_set_source_surface(cr, above, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    // Water keeps only part of the light, less towards the front.
    cairo_pattern_t* dark = cairo_pattern_create_linear(0, HORIZON, 0, H);
    addStop(dark, 0.0, palette::NIGHT, 0.35);
    addStop(dark, 1.0, palette::NIGHT, 0.75);
    cairo_set_source(cr, dark);
    cairo_rectangle(cr, 0, HORIZON, W, H - HORIZON);
    cairo_fill(cr);
    cairo_restore(cr);
}

// The moon's road on the water: short bright strokes, wider and sparser to the front.
void drawGlitter(cairo_t* cr, SeededRandom& random)
{
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 260; ++i) {
        const double depth = std::pow(random.unit(), 1.6);
        const double y = HORIZON + 6 + depth * (H - HORIZON - 6);
        const double spread = 12 + 70 * depth;
        // A sum of three draws bunches the strokes in the middle of the road; each draw is
        // its own statement so the order is fixed.
        double bunch = random.unit();
        bunch += random.unit();
        bunch += random.unit();
        const double x = MOON_X + spread * (bunch - 1.5);
        const double length = (4 + 26 * depth) * random.range(0.4, 1.0);
        const double level = random.range(0.3, 1.0) * (1.0 - 0.4 * depth);
        cairo_set_line_width(cr, 1.0 + 1.6 * depth);
        setColour(cr, mix(palette::MOON, palette::AMBER, random.unit() * 0.5), level);
        cairo_move_to(cr, x - length / 2, y);
        cairo_line_to(cr, x + length / 2, y);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// Rings spreading where a drop fell.
void drawRipples(cairo_t* cr)
{
    cairo_save(cr);
    const double x = 330, y = 560;
    for (int i = 1; i <= 5; ++i) {
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1.0, 0.22);
        cairo_arc(cr, 0, 0, 22.0 * i, 0, 2 * PI);
        cairo_restore(cr);
        setColour(cr, palette::CYAN, 0.45 / i);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// A lily pad: a dark disc seen flat, a notch cut out, a thin lit rim.
void lilyPad(cairo_t* cr, double x, double y, double r, double turn)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, 1.0, 0.3);
    cairo_rotate(cr, turn);
    cairo_move_to(cr, 0, 0);
    cairo_arc(cr, 0, 0, r, 0.2, 2 * PI - 0.2);
    cairo_close_path(cr);
    cairo_restore(cr);
    setColour(cr, Rgb{0.02, 0.05, 0.06});
    cairo_fill_preserve(cr);
    setColour(cr, palette::CYAN, 0.35);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

// The water lily: magenta petals around an amber heart.
void waterLily(cairo_t* cr, double x, double y)
{
    cairo_save(cr);
    cairo_translate(cr, x, y);
    for (int i = 0; i < 9; ++i) {
        const double a = PI + PI * (i + 0.5) / 9;
        cairo_save(cr);
        cairo_rotate(cr, a + PI / 2);
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, -8, -10, -6, -24, 0, -30);
        cairo_curve_to(cr, 6, -24, 8, -10, 0, 0);
        cairo_restore(cr);
    }
    cairo_pattern_t* petals = cairo_pattern_create_radial(0, 0, 2, 0, -6, 32);
    addStop(petals, 0.0, palette::WHITE);
    addStop(petals, 0.4, mix(palette::MAGENTA, palette::WHITE, 0.3));
    addStop(petals, 1.0, palette::MAGENTA);
    cairo_set_source(cr, petals);
    cairo_fill(cr);
    cairo_pattern_destroy(petals);
    drawSpark(cr, 0, -4, 10, palette::AMBER, 1.0);
    cairo_restore(cr);
}

// Reeds in the corners: curved blades and a few bulrush heads, nearly black.
void drawReeds(cairo_t* cr, SeededRandom& random, double from, double to, double lean)
{
    cairo_save(cr);
    setColour(cr, Rgb{0.01, 0.005, 0.02});
    for (int i = 0; i < 26; ++i) {
        const double x = random.range(from, to);
        const double height = random.range(110, 300);
        const double bend = lean * random.range(10, 60);
        const double w = random.range(2.5, 5.0);
        const double topX = x + bend, topY = H - 40 - height;
        cairo_move_to(cr, x - w, H);
        cairo_curve_to(cr, x - w, H - height * 0.5, topX - 1, topY + height * 0.3, topX, topY);
        cairo_curve_to(cr, topX + 1, topY + height * 0.3, x + w, H - height * 0.5, x + w, H);
        cairo_close_path(cr);
        cairo_fill(cr);
        if (random.chance(0.3)) {
            const double hx = x + bend * 0.75, hy = topY + height * 0.18;
            cairo_save(cr);
            cairo_translate(cr, hx, hy);
            cairo_rotate(cr, lean * 0.12);
            cairo_scale(cr, 1.0, 4.0);
            cairo_arc(cr, 0, 0, 5, 0, 2 * PI);
            cairo_restore(cr);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

}

RgbImage drawPondAtNight()
{
    SeededRandom random(0x5EED0003);
    Canvas above(PICTURE_WIDTH, PICTURE_HEIGHT);
    drawAbove(above, random);

    Canvas canvas(PICTURE_WIDTH, PICTURE_HEIGHT);
    cairo_t* cr = canvas.cr();
    cairo_set_source_surface(cr, above.surface(), 0, 0);
    cairo_rectangle(cr, 0, 0, W, HORIZON);
    cairo_fill(cr);
    drawReflection(cr, above.surface());
    // A low mist where the water meets the shore.
    cairo_pattern_t* mist = cairo_pattern_create_linear(0, HORIZON - 30, 0, HORIZON + 30);
    addStop(mist, 0.0, palette::VIOLET, 0.0);
    addStop(mist, 0.5, mix(palette::VIOLET, palette::MAGENTA, 0.4), 0.28);
    addStop(mist, 1.0, palette::VIOLET, 0.0);
    cairo_set_source(cr, mist);
    cairo_rectangle(cr, 0, HORIZON - 30, W, 60);
    cairo_fill(cr);
    cairo_pattern_destroy(mist);

    drawWithGlow(canvas, [&](cairo_t* c) { drawGlitter(c, random); }, 3, 1.2);
    drawWithGlow(canvas, drawRipples, 2, 0.8);
    lilyPad(cr, 250, 610, 46, 0.4);
    lilyPad(cr, 330, 640, 34, 2.0);
    lilyPad(cr, 800, 600, 40, 4.0);
    lilyPad(cr, 880, 640, 52, 1.0);
    drawWithGlow(canvas, [](cairo_t* c) { waterLily(c, 262, 606); }, 10, 0.9);
    drawReeds(cr, random, -20, 170, 1.0);
    drawReeds(cr, random, 880, 1040, -1.0);
    // Fireflies over the reeds.
    drawWithGlow(canvas, [&](cairo_t* c) {
        for (int i = 0; i < 18; ++i) {
            const bool left = i % 2 == 0;
            const double x = left ? random.range(20, 260) : random.range(780, 1010);
            const double y = random.range(430, 640);
            const double r = random.range(4, 8);
            drawSpark(c, x, y, r, palette::AMBER, random.range(0.6, 1.0));
        }
    }, 5, 1.2);
    vignette(cr, PICTURE_WIDTH, PICTURE_HEIGHT, 0.6);
    return canvas.toRgb();
}
