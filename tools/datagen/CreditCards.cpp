#include "tools/datagen/NightMotifs.h"
#include "tools/datagen/Pictures.h"

#include <cmath>
#include <numbers>
#include <string>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double W = PICTURE_WIDTH, H = PICTURE_HEIGHT;
// Each card's motif holds the layer's particle sphere; the words sit below it, clear of
// the sphere's widest swing.
constexpr double MOTIF_X = SPHERE_X, MOTIF_Y = SPHERE_Y;
constexpr int CARDS = 4;
constexpr double ENGINE_HORIZON = SPHERE_Y + 76;
constexpr double NUMBER_Y = SPHERE_Y + SPHERE_REACH + 44; // baseline of "01 / 04"
constexpr double ROLE_Y = NUMBER_Y + 78;                  // baseline of the role

void drawBackdrop(Canvas& canvas, SeededRandom& random, double glowX, double glowY, double starsTo)
{
    cairo_t* cr = canvas.cr();
    setColour(cr, palette::NIGHT);
    cairo_paint(cr);
    cairo_pattern_t* glow = cairo_pattern_create_radial(glowX, glowY, 0, glowX, glowY, 520);
    addStop(glow, 0.0, mix(palette::INDIGO, palette::VIOLET, 0.35));
    addStop(glow, 0.6, palette::INDIGO, 0.5);
    addStop(glow, 1.0, palette::INDIGO, 0.0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    starField(cr, random, 150, 0, 0, W, starsTo, 0.6);
}

// The card's words under the motif: its number, the role, a rule and one line.
void drawRole(Canvas& canvas, int index, const char* role, const char* line)
{
    const double x = W / 2;
    drawWithGlow(canvas, [&](cairo_t* c) {
        useFont(c, Typeface::SANS_BOLD, 18);
        const std::string number = "0" + std::to_string(index + 1) + " / 0" + std::to_string(CARDS);
        spacedTextPath(c, number, x, NUMBER_Y, 6, 0.5);
        setColour(c, palette::AMBER);
        cairo_fill(c);
    }, 4, 0.8);
    auto title = [&](cairo_t* c) {
        useFont(c, Typeface::SANS_BOLD, 72);
        spacedTextPath(c, role, x, ROLE_Y, 8, 0.5);
        cairo_pattern_t* fill = cairo_pattern_create_linear(0, ROLE_Y - 57, 0, ROLE_Y);
        addStop(fill, 0.0, palette::WHITE);
        addStop(fill, 0.5, mix(palette::MAGENTA, palette::WHITE, 0.45));
        addStop(fill, 1.0, palette::MAGENTA);
        cairo_set_source(c, fill);
        cairo_fill(c);
        cairo_pattern_destroy(fill);
    };
    drawWithGlow(canvas, title, 14, 1.3);
    drawWithGlow(canvas, [&](cairo_t* c) {
        cairo_pattern_t* rule = cairo_pattern_create_linear(x - 180, 0, x + 180, 0);
        addStop(rule, 0.0, palette::CYAN, 0.0);
        addStop(rule, 0.5, palette::CYAN);
        addStop(rule, 1.0, palette::CYAN, 0.0);
        cairo_set_source(c, rule);
        cairo_rectangle(c, x - 180, ROLE_Y + 22, 360, 2);
        cairo_fill(c);
        cairo_pattern_destroy(rule);
        useFont(c, Typeface::SANS, 21);
        spacedTextPath(c, line, x, ROLE_Y + 60, 3, 0.5);
        setColour(c, mix(palette::CYAN, palette::WHITE, 0.3));
        cairo_fill(c);
    }, 4, 0.9);
}

// A wire sphere turned towards the viewer, its far side fainter, with dots where the
// lines cross.
void drawWireSphere(cairo_t* cr)
{
    constexpr double R = 100, TILT = 0.45, TURN = 0.3;
    auto project = [&](double lat, double lon, double& x, double& y, double& z) {
        const double px = std::cos(lat) * std::cos(lon + TURN), py = std::sin(lat);
        const double pz = std::cos(lat) * std::sin(lon + TURN);
        // Tip the sphere towards the viewer about the horizontal axis.
        const double ty = py * std::cos(TILT) - pz * std::sin(TILT);
        z = py * std::sin(TILT) + pz * std::cos(TILT);
        x = MOTIF_X + R * px;
        y = MOTIF_Y - R * ty;
    };
    auto segment = [&](double lat0, double lon0, double lat1, double lon1) {
        double x0, y0, z0, x1, y1, z1;
        project(lat0, lon0, x0, y0, z0);
        project(lat1, lon1, x1, y1, z1);
        const double nearness = 0.5 + 0.5 * (z0 + z1) / 2;
        setColour(cr, mix(palette::VIOLET, palette::CYAN, nearness), 0.2 + 0.8 * nearness);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        cairo_stroke(cr);
    };
    constexpr int LATS = 9, LONS = 16, STEPS = 48;
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 1; i < LATS; ++i) {
        const double lat = -PI / 2 + PI * i / LATS;
        for (int s = 0; s < STEPS; ++s)
            segment(lat, 2 * PI * s / STEPS, lat, 2 * PI * (s + 1) / STEPS);
    }
    for (int j = 0; j < LONS; ++j) {
        const double lon = 2 * PI * j / LONS;
        for (int s = 0; s < STEPS / 2; ++s)
            segment(-PI / 2 + PI * s / (STEPS / 2), lon, -PI / 2 + PI * (s + 1) / (STEPS / 2), lon);
    }
    for (int i = 1; i < LATS; ++i)
        for (int j = 0; j < LONS; ++j) {
            double x, y, z;
            project(-PI / 2 + PI * i / LATS, 2 * PI * j / LONS, x, y, z);
            if (z > 0.1)
                drawSpark(cr, x, y, 3 + 4 * z, (i + j) % 5 == 0 ? palette::AMBER : palette::CYAN, z);
        }
}

// Code's braces, large, either side of the motif: the sphere is what they hold.
void drawBraces(cairo_t* cr)
{
    useFont(cr, Typeface::MONO, 300);
    for (const char* brace : {"{", "}"}) {
        cairo_text_extents_t ink;
        cairo_text_extents(cr, brace, &ink);
        const double side = brace[0] == '{' ? -1.0 : 1.0;
        const double centreX = MOTIF_X + side * (SPHERE_REACH + 62);
        cairo_move_to(cr, centreX - ink.x_bearing - ink.width / 2, MOTIF_Y - ink.y_bearing - ink.height / 2);
        cairo_text_path(cr, brace);
    }
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, MOTIF_Y - 130, 0, MOTIF_Y + 130);
    addStop(fill, 0.0, mix(palette::MAGENTA, palette::WHITE, 0.3));
    addStop(fill, 0.5, palette::MAGENTA);
    addStop(fill, 1.0, palette::VIOLET);
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);
}

// A record with its grooves, ringed by a spectrum of bars on the beat.
void drawRecord(cairo_t* cr, SeededRandom& random)
{
    constexpr double R = 84, LABEL = 30;
    constexpr int BARS = 120;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 4.0);
    for (int i = 0; i < BARS; ++i) {
        const double a = 2 * PI * i / BARS - PI / 2;
        // A spectrum: a few broad swells and some jitter, loudest low on the left.
        const double u = double(i) / BARS;
        const double level = 0.25 + 0.35 * std::pow(std::sin(PI * u * 3.0), 2) + 0.25 * std::pow(std::sin(PI * u), 2)
            + random.range(0.0, 0.25);
        const double length = 10 + 52 * level;
        setColour(cr, mix(palette::MAGENTA, palette::AMBER, u < 0.5 ? u * 2 : 2 - u * 2));
        cairo_move_to(cr, MOTIF_X + (R + 10) * std::cos(a), MOTIF_Y + (R + 10) * std::sin(a));
        cairo_line_to(cr, MOTIF_X + (R + 10 + length) * std::cos(a), MOTIF_Y + (R + 10 + length) * std::sin(a));
        cairo_stroke(cr);
    }
    setColour(cr, Rgb{0.03, 0.02, 0.05});
    cairo_arc(cr, MOTIF_X, MOTIF_Y, R, 0, 2 * PI);
    cairo_fill(cr);
    cairo_set_line_width(cr, 0.8);
    for (double r = LABEL + 6; r < R - 3; r += 4.5) {
        setColour(cr, palette::VIOLET, 0.25 + 0.2 * std::sin(r));
        cairo_arc(cr, MOTIF_X, MOTIF_Y, r, 0, 2 * PI);
        cairo_stroke(cr);
    }
    // Light catching the grooves.
    cairo_set_line_width(cr, 8);
    for (double start : {-0.9, 2.25}) {
        cairo_arc(cr, MOTIF_X, MOTIF_Y, R * 0.72, start, start + 0.5);
        setColour(cr, palette::CYAN, 0.18);
        cairo_stroke(cr);
    }
    // The label, which the layer's sphere lights from inside: painted deep so its sparks
    // show on it.
    cairo_pattern_t* label = cairo_pattern_create_radial(MOTIF_X - 8, MOTIF_Y - 8, 2, MOTIF_X, MOTIF_Y, LABEL);
    addStop(label, 0.0, palette::MAGENTA);
    addStop(label, 1.0, mix(palette::MAGENTA, palette::VIOLET, 0.6));
    cairo_set_source(cr, label);
    cairo_arc(cr, MOTIF_X, MOTIF_Y, LABEL, 0, 2 * PI);
    cairo_fill(cr);
    cairo_pattern_destroy(label);
    setColour(cr, palette::NIGHT);
    cairo_arc(cr, MOTIF_X, MOTIF_Y, 4, 0, 2 * PI);
    cairo_fill(cr);
}

void drawModeling(Canvas& canvas, SeededRandom&)
{
    drawWithGlow(canvas, drawWireSphere, 6, 1.2);
    drawWithGlow(canvas, [](cairo_t* c) {
        drawOrbitHalf(c, MOTIF_X, MOTIF_Y, 175, 42, -0.2, false, palette::AMBER, 2, 0.9, 0.3);
        drawOrbitHalf(c, MOTIF_X, MOTIF_Y, 175, 42, -0.2, true, palette::AMBER, 2, 0.9, 0.3);
    }, 5, 1.2);
    drawRole(canvas, 0, "MODELING", "figures, cave and ground");
}

void drawCode(Canvas& canvas, SeededRandom&)
{
    drawWithGlow(canvas, drawBraces, 12, 1.4);
    drawRole(canvas, 1, "CODE", "engine, effects and tools");
}

void drawMusic(Canvas& canvas, SeededRandom& random)
{
    drawWithGlow(canvas, [&](cairo_t* c) { drawRecord(c, random); }, 8, 1.1);
    drawRole(canvas, 2, "MUSIC", "beats, bass and keys");
}

// A low sun on the engine's horizon, cut by bands towards its foot, the layer's
// sphere at its heart; painted deep so that the sphere's sparks show on it.
void drawSun(cairo_t* cr)
{
    constexpr double R = 86;
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, W, ENGINE_HORIZON);
    cairo_clip(cr);
    cairo_new_path(cr);
    cairo_arc(cr, MOTIF_X, MOTIF_Y, R, 0, 2 * PI);
    for (int band = 0; band < 5; ++band) {
        const double y = MOTIF_Y + 10 + band * 15, h = 2 + band * 1.6;
        cairo_rectangle(cr, MOTIF_X + R, y, -2 * R, h);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_pattern_t* body = cairo_pattern_create_linear(0, MOTIF_Y - R, 0, MOTIF_Y + R);
    addStop(body, 0.0, mix(palette::AMBER, palette::MAGENTA, 0.35), 0.85);
    addStop(body, 0.55, palette::MAGENTA, 0.75);
    addStop(body, 1.0, palette::VIOLET, 0.6);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    cairo_restore(cr);
}

// The engine's card: a floor of light running to the horizon under a low sun, the
// engine's name large over the floor with a ring around it.
void drawEngine(Canvas& canvas, SeededRandom&)
{
    constexpr double HORIZON = ENGINE_HORIZON, VANISH_X = W / 2, NAME_Y = ROLE_Y + 44;
    drawWithGlow(canvas, drawSun, 16, 1.2);
    drawWithGlow(canvas, [](cairo_t* c) {
        cairo_set_line_width(c, 1.2);
        for (int i = -14; i <= 14; ++i) {
            setColour(c, palette::CYAN, 0.55);
            cairo_move_to(c, VANISH_X + i * 8, HORIZON);
            cairo_line_to(c, VANISH_X + i * 160, H);
            cairo_stroke(c);
        }
        // Cross lines closer together towards the horizon.
        for (int k = 1; k < 14; ++k) {
            const double y = HORIZON + (H - HORIZON) * std::pow(k / 14.0, 2.2);
            setColour(c, palette::MAGENTA, 0.2 + 0.5 * k / 14.0);
            cairo_move_to(c, 0, y);
            cairo_line_to(c, W, y);
            cairo_stroke(c);
        }
        cairo_pattern_t* fade = cairo_pattern_create_linear(0, HORIZON, 0, HORIZON + 80);
        addStop(fade, 0.0, palette::NIGHT, 1.0);
        addStop(fade, 1.0, palette::NIGHT, 0.0);
        cairo_set_source(c, fade);
        cairo_rectangle(c, 0, HORIZON - 1, W, 81);
        cairo_fill(c);
        cairo_pattern_destroy(fade);
    }, 3, 0.8);
    auto ring = [](cairo_t* c, bool front) {
        drawOrbitHalf(c, W / 2, NAME_Y - 44, 300, 64, -0.06, front, palette::AMBER, 3, 1.0, 0.35);
    };
    drawWithGlow(canvas, [&](cairo_t* c) { ring(c, false); }, 6, 1.3);
    auto name = [](cairo_t* c) {
        useFont(c, Typeface::SANS_BOLD, 120);
        spacedTextPath(c, "duZER", W / 2, NAME_Y, 6, 0.5);
        cairo_pattern_t* chrome = cairo_pattern_create_linear(0, NAME_Y - 90, 0, NAME_Y);
        addStop(chrome, 0.0, palette::WHITE);
        addStop(chrome, 0.45, mix(palette::CYAN, palette::WHITE, 0.5));
        addStop(chrome, 0.52, palette::VIOLET);
        addStop(chrome, 1.0, palette::MAGENTA);
        cairo_set_source(c, chrome);
        cairo_fill(c);
        cairo_pattern_destroy(chrome);
    };
    drawWithGlow(canvas, name, 18, 1.5);
    drawWithGlow(canvas, [&](cairo_t* c) { ring(c, true); }, 6, 1.3);
    drawWithGlow(canvas, [](cairo_t* c) {
        useFont(c, Typeface::SANS_BOLD, 18);
        spacedTextPath(c, "04 / 04", W / 2, NUMBER_Y, 6, 0.5);
        setColour(c, palette::AMBER);
        cairo_fill(c);
        useFont(c, Typeface::SANS, 20);
        spacedTextPath(c, "THE ENGINE UNDER THE SHOW", W / 2, NAME_Y + 46, 5, 0.5);
        setColour(c, mix(palette::CYAN, palette::WHITE, 0.3));
        cairo_fill(c);
    }, 4, 0.9);
}

}

RgbImage drawCreditCard(int index)
{
    SeededRandom random(0x5EED0010 + std::uint64_t(index));
    Canvas canvas(PICTURE_WIDTH, PICTURE_HEIGHT);
    drawBackdrop(canvas, random, MOTIF_X, MOTIF_Y, index == 3 ? ENGINE_HORIZON : H);
    switch (index) {
    case 0: drawModeling(canvas, random); break;
    case 1: drawCode(canvas, random); break;
    case 2: drawMusic(canvas, random); break;
    default: drawEngine(canvas, random); break;
    }
    vignette(canvas.cr(), PICTURE_WIDTH, PICTURE_HEIGHT, 0.6);
    return canvas.toRgb();
}
