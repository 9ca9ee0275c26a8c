#include "tools/datagen/NightMotifs.h"
#include "tools/datagen/Pictures.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double W = PICTURE_WIDTH, H = PICTURE_HEIGHT;
constexpr double GROUND = 600;            // where the wall meets the pavement
constexpr double BRICK_W = 62, BRICK_H = 22, MORTAR = 3;
constexpr double LAMP_X = 205, LAMP_Y = 196;
// The sign's neon planet rings the layer's particle sphere; its word hangs below.
constexpr double SIGN_X = SPHERE_X, SIGN_Y = SPHERE_Y + 10;
constexpr double CONE_SPREAD = 170; // half the cone's width on the ground

constexpr double WINDOW_Y = 372, WINDOW_W = 118, WINDOW_H = 150;

// A lit window: where it is, its room's light (middle and edge) and how far down its
// blinds come.
struct LitWindow {
    double x;
    Rgb middle, edge;
    double blinds;
};

// Under the lamp a warm room; across the wall a room lit by a screen.
const LitWindow WINDOWS[] = {
    {95, mix(palette::AMBER, palette::WHITE, 0.25), mix(palette::AMBER, palette::MAGENTA, 0.35), 0.62},
    {812, mix(palette::CYAN, palette::WHITE, 0.2), mix(palette::VIOLET, palette::CYAN, 0.3), 0.35},
};

void drawBricks(cairo_t* cr, SeededRandom& random)
{
    cairo_set_source_rgb(cr, 0.20, 0.17, 0.19); // mortar
    cairo_paint(cr);
    int row = 0;
    for (double y = 0; y < GROUND; y += BRICK_H + MORTAR, ++row) {
        const double shift = (row % 2) ? -(BRICK_W + MORTAR) / 2 : 0.0;
        for (double x = shift; x < W; x += BRICK_W + MORTAR) {
            // Fired clay varies: red-brown, some darker, some with a violet cast.
            const double kind = random.unit();
            Rgb clay = kind < 0.7 ? Rgb{0.62, 0.33, 0.26} : kind < 0.9 ? Rgb{0.50, 0.28, 0.30} : Rgb{0.40, 0.22, 0.20};
            clay = mix(clay, palette::WHITE, random.range(-0.12, 0.10));
            const double h = std::min(BRICK_H, GROUND - y);
            cairo_pattern_t* face = cairo_pattern_create_linear(0, y, 0, y + h);
            addStop(face, 0.0, mix(clay, palette::WHITE, 0.12));
            addStop(face, 0.25, clay);
            addStop(face, 1.0, mix(clay, palette::NIGHT, 0.35));
            cairo_set_source(cr, face);
            const double jx = random.range(-0.8, 0.8), jy = random.range(-0.6, 0.6);
            const double r = 2.5;
            cairo_new_sub_path(cr);
            cairo_arc(cr, x + jx + BRICK_W - r, y + jy + r, r, -PI / 2, 0);
            cairo_arc(cr, x + jx + BRICK_W - r, y + jy + h - r, r, 0, PI / 2);
            cairo_arc(cr, x + jx + r, y + jy + h - r, r, PI / 2, PI);
            cairo_arc(cr, x + jx + r, y + jy + r, r, PI, 1.5 * PI);
            cairo_close_path(cr);
            cairo_fill(cr);
            cairo_pattern_destroy(face);
            // Pits and grit.
            for (int i = 0; i < 7; ++i) {
                const double light = random.chance(0.5) ? 1.0 : 0.0;
                cairo_set_source_rgba(cr, light, light * 0.9, light * 0.85, random.range(0.05, 0.14));
                const double px = x + random.range(3, BRICK_W - 3), py = y + random.range(3, h - 2);
                cairo_arc(cr, px, py, random.range(0.6, 1.8), 0, 2 * PI);
                cairo_fill(cr);
            }
        }
    }
}

void drawPavement(cairo_t* cr)
{
    cairo_pattern_t* wet = cairo_pattern_create_linear(0, GROUND, 0, H);
    addStop(wet, 0.0, Rgb{0.10, 0.08, 0.16});
    addStop(wet, 1.0, Rgb{0.03, 0.02, 0.07});
    cairo_set_source(cr, wet);
    cairo_rectangle(cr, 0, GROUND, W, H - GROUND);
    cairo_fill(cr);
    // The kerb where wall and ground meet.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_rectangle(cr, 0, GROUND, W, 5);
    cairo_fill(cr);
}

// Light falling on the wall: dim violet night, the lamp's warm pool, the sign's spill,
// the window's glow. Multiplied over the bricks.
void drawLightMap(cairo_t* cr)
{
    cairo_set_source_rgb(cr, 0.09, 0.07, 0.19);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    struct Pool {
        double x, y, sx, sy, radius;
        Rgb colour;
        double level;
    };
    const Pool pools[] = {
        {LAMP_X, LAMP_Y + 110, 1.0, 1.25, 330, palette::AMBER, 0.9},
        {LAMP_X, LAMP_Y + 20, 1.0, 1.0, 140, mix(palette::AMBER, palette::WHITE, 0.5), 0.6},
        {SIGN_X, SIGN_Y + 30, 1.3, 1.0, 250, palette::MAGENTA, 0.45},
        {SIGN_X, SIGN_Y + 200, 1.4, 0.8, 200, palette::CYAN, 0.30},
        {WINDOWS[0].x + WINDOW_W / 2, 470, 1.0, 1.0, 190, palette::AMBER, 0.25},
        {WINDOWS[1].x + WINDOW_W / 2, 470, 1.0, 1.0, 170, palette::CYAN, 0.18},
    };
    for (const Pool& p : pools) {
        cairo_save(cr);
        cairo_translate(cr, p.x, p.y);
        cairo_scale(cr, p.sx, p.sy);
        cairo_pattern_t* light = cairo_pattern_create_radial(0, 0, 0, 0, 0, p.radius);
        addStop(light, 0.0, p.colour, p.level);
        addStop(light, 0.5, p.colour, p.level * 0.35);
        addStop(light, 1.0, p.colour, 0.0);
        cairo_set_source(cr, light);
        cairo_paint(cr);
        cairo_pattern_destroy(light);
        cairo_restore(cr);
    }
}

void drawWindowFrames(cairo_t* cr)
{
    for (const LitWindow& window : WINDOWS) {
        cairo_set_source_rgb(cr, 0.03, 0.02, 0.05);
        cairo_rectangle(cr, window.x - 8, WINDOW_Y - 8, WINDOW_W + 16, WINDOW_H + 16);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.30, 0.26, 0.30);
        cairo_rectangle(cr, window.x - 14, WINDOW_Y + WINDOW_H + 8, WINDOW_W + 28, 8);
        cairo_fill(cr);
    }
}

// The lit room behind half-open blinds: its own light, drawn over the lit wall.
void drawWindowLight(cairo_t* cr, const LitWindow& window)
{
    const double x = window.x, y = WINDOW_Y, w = WINDOW_W, h = WINDOW_H;
    cairo_pattern_t* room = cairo_pattern_create_radial(x + w * 0.6, y + h * 0.3, 5, x + w / 2, y + h / 2, h);
    addStop(room, 0.0, window.middle);
    addStop(room, 1.0, window.edge, 0.75);
    cairo_set_source(cr, room);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(room);
    cairo_set_source_rgba(cr, 0.06, 0.03, 0.05, 0.85);
    for (double s = y + 4; s < y + h * window.blinds; s += 9) {
        cairo_rectangle(cr, x, s, w, 5.5);
        cairo_fill(cr);
    }
    // Frame bars and sill.
    cairo_set_source_rgb(cr, 0.05, 0.03, 0.06);
    cairo_rectangle(cr, x + w / 2 - 3, y, 6, h);
    cairo_rectangle(cr, x, y + h / 2 - 3, w, 6);
    cairo_fill(cr);
}

void drawDrainpipe(cairo_t* cr)
{
    const double x = 735, w = 18;
    cairo_pattern_t* pipe = cairo_pattern_create_linear(x, 0, x + w, 0);
    addStop(pipe, 0.0, Rgb{0.05, 0.04, 0.08});
    addStop(pipe, 0.35, Rgb{0.32, 0.28, 0.36});
    addStop(pipe, 0.55, mix(palette::MAGENTA, palette::WHITE, 0.3), 0.9);
    addStop(pipe, 1.0, Rgb{0.04, 0.03, 0.06});
    cairo_set_source(cr, pipe);
    cairo_rectangle(cr, x, 0, w, GROUND);
    cairo_fill(cr);
    for (double y = 60; y < GROUND; y += 150) {
        cairo_set_source(cr, pipe);
        cairo_rectangle(cr, x - 3, y, w + 6, 9);
        cairo_fill(cr);
    }
    cairo_pattern_destroy(pipe);
}

// The lamp: an arm from the wall, a shade, a hot bulb.
void drawLamp(cairo_t* cr)
{
    cairo_set_source_rgb(cr, 0.04, 0.03, 0.06);
    cairo_set_line_width(cr, 7);
    cairo_move_to(cr, LAMP_X - 95, LAMP_Y - 42);
    cairo_curve_to(cr, LAMP_X - 50, LAMP_Y - 70, LAMP_X - 5, LAMP_Y - 60, LAMP_X, LAMP_Y - 30);
    cairo_stroke(cr);
    cairo_rectangle(cr, LAMP_X - 104, LAMP_Y - 60, 14, 40);
    cairo_fill(cr);
    cairo_move_to(cr, LAMP_X - 34, LAMP_Y);
    cairo_line_to(cr, LAMP_X - 12, LAMP_Y - 32);
    cairo_line_to(cr, LAMP_X + 12, LAMP_Y - 32);
    cairo_line_to(cr, LAMP_X + 34, LAMP_Y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawLampLight(cairo_t* cr)
{
    drawSpark(cr, LAMP_X, LAMP_Y + 2, 40, palette::AMBER, 1.0);
    cairo_set_source_rgb(cr, 1.0, 0.95, 0.8);
    cairo_save(cr);
    cairo_translate(cr, LAMP_X, LAMP_Y);
    cairo_scale(cr, 3.0, 1.0);
    cairo_arc(cr, 0, 0, 8, 0, PI);
    cairo_restore(cr);
    cairo_fill(cr);
}

// The cone of light below the lamp, with rain falling through it.
void drawLightCone(cairo_t* cr, SeededRandom& random)
{
    cairo_save(cr);
    cairo_move_to(cr, LAMP_X - 28, LAMP_Y);
    cairo_line_to(cr, LAMP_X + 28, LAMP_Y);
    cairo_line_to(cr, LAMP_X + CONE_SPREAD, GROUND);
    cairo_line_to(cr, LAMP_X - CONE_SPREAD, GROUND);
    cairo_close_path(cr);
    cairo_pattern_t* cone = cairo_pattern_create_linear(0, LAMP_Y, 0, GROUND);
    addStop(cone, 0.0, palette::AMBER, 0.22);
    addStop(cone, 1.0, palette::AMBER, 0.0);
    cairo_set_source(cr, cone);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(cone);
    cairo_clip(cr);
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 140; ++i) {
        const double x = LAMP_X + random.range(-CONE_SPREAD, CONE_SPREAD), y = random.range(LAMP_Y, GROUND);
        const double length = random.range(10, 26);
        const double fade = 1.0 - (y - LAMP_Y) / (GROUND - LAMP_Y);
        setColour(cr, mix(palette::AMBER, palette::WHITE, 0.5), random.range(0.15, 0.5) * (0.3 + 0.7 * fade));
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x - length * 0.18, y + length);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// The sign: the ringed planet in magenta and amber tubes and "NUIT" in cyan.
void drawSign(cairo_t* cr)
{
    cairo_new_path(cr);
    cairo_arc(cr, SIGN_X, SIGN_Y - 10, 62, 0, 2 * PI);
    strokeNeon(cr, palette::MAGENTA, 6);
    // The ring: its front half across the planet, its back half only where the
    // planet does not hide it.
    for (bool front : {true, false}) {
        cairo_save(cr);
        if (!front) {
            cairo_rectangle(cr, 0, 0, W, H);
            cairo_arc(cr, SIGN_X, SIGN_Y - 10, 74, 0, 2 * PI);
            cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(cr);
        }
        cairo_new_path(cr);
        cairo_save(cr);
        cairo_translate(cr, SIGN_X, SIGN_Y - 10);
        cairo_rotate(cr, -0.22);
        cairo_scale(cr, 1.0, 0.28);
        cairo_arc(cr, 0, 0, 118, front ? 0.0 : PI, front ? PI : 2 * PI);
        cairo_restore(cr);
        strokeNeon(cr, palette::AMBER, 5);
        cairo_new_path(cr);
        cairo_restore(cr);
    }
    useFont(cr, Typeface::SANS_BOLD, 92);
    spacedTextPath(cr, "NUIT", SIGN_X, SIGN_Y + 192, 18, 0.5);
    strokeNeon(cr, palette::CYAN, 4.5);
    cairo_new_path(cr);
}

}

RgbImage drawWallAtNight()
{
    SeededRandom random(0x5EED0002);
    Canvas canvas(PICTURE_WIDTH, PICTURE_HEIGHT);
    cairo_t* cr = canvas.cr();
    drawBricks(cr, random);
    drawWindowFrames(cr);
    drawDrainpipe(cr);
    drawPavement(cr);
    {
        Canvas light(PICTURE_WIDTH, PICTURE_HEIGHT);
        drawLightMap(light.cr());
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
        cairo_set_source_surface(cr, light.surface(), 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    // The tubes stand off the wall and cast a soft shadow on it.
    Canvas shadow(PICTURE_WIDTH, PICTURE_HEIGHT);
    cairo_translate(shadow.cr(), 10, 12);
    cairo_push_group(shadow.cr());
    drawSign(shadow.cr());
    cairo_pop_group_to_source(shadow.cr());
    cairo_paint(shadow.cr());
    blurSurface(shadow.surface(), 4);
    cairo_save(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_mask_surface(cr, shadow.surface(), 0, 0);
    cairo_restore(cr);

    for (const LitWindow& window : WINDOWS)
        drawWindowLight(cr, window);
    drawLamp(cr);
    drawWithGlow(canvas, [&](cairo_t* c) { drawLightCone(c, random); }, 2, 0.6);
    drawWithGlow(canvas, drawLampLight, 18, 1.4);
    drawWithGlow(canvas, drawSign, 14, 2.2);

    // The wet pavement mirrors the sign and the lamp, smeared downwards.
    {
        Canvas mirror(PICTURE_WIDTH, PICTURE_HEIGHT);
        cairo_t* m = mirror.cr();
        cairo_translate(m, 0, GROUND + 6);
        cairo_scale(m, 1.0, -0.22);
        cairo_translate(m, 0, -GROUND);
        drawSign(m);
        drawLampLight(m);
        blurSurface(mirror.surface(), 3);
        cairo_save(cr);
        cairo_rectangle(cr, 0, GROUND + 5, W, H - GROUND);
        cairo_clip(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        // Smeared down as water on the ground smears a light.
        constexpr int SMEARS = 16;
        for (int i = 0; i < SMEARS; ++i) {
            cairo_set_source_surface(cr, mirror.surface(), 0, i * 3.0);
            cairo_paint_with_alpha(cr, 0.6 / SMEARS);
        }
        cairo_restore(cr);
    }
    vignette(cr, PICTURE_WIDTH, PICTURE_HEIGHT, 0.75);
    return canvas.toRgb();
}
