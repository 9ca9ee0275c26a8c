// Motifs the show's pictures share, drawn with cairo in the velvet palette: a city
// skyline with lit windows, the moon, orbit rings, neon tubes. Plans are made from the
// caller's SeededRandom and drawn in separate layers (silhouettes, lights), so a picture
// can glow the lights alone or mirror the whole city in water. It owns no surfaces.
#pragma once

#include "tools/datagen/Painter.h"

#include <vector>

struct Building {
    double left, width, top; // top is the roof line; the body runs down to the base
    int roof;                // 0 flat, 1 stepped, 2 spire with a beacon, 3 slanted
};

struct WindowLight {
    double x, y, w, h;
    Rgb colour;
    double level;
};

struct City {
    double base;
    std::vector<Building> buildings;
    std::vector<WindowLight> windows;
    std::vector<WindowLight> beacons; // the lamps on spires
};

// Buildings side by side from left to right, roofs between lowest and highest (y,
// smaller is higher), with a share lit of their windows.
City planCity(SeededRandom& random, double left, double right, double base, double lowest, double highest,
    double litShare);
// The dark shapes, filled with colour.
void drawCitySilhouette(cairo_t* cr, const City& city, const Rgb& colour);
// Windows and beacons, scaled by intensity.
void drawCityLights(cairo_t* cr, const City& city, double intensity);

// A full moon of radius r at (x, y): a warm disc with darker seas and a few craters.
void drawMoon(cairo_t* cr, SeededRandom& random, double x, double y, double r);

// The half of an elliptical orbit (radii rx, ry, turned by tilt radians about its
// centre) that lies in front (the lower half when tilt is 0) or behind, its stroke
// fading from alphaNear at the front to alphaFar at the back.
void drawOrbitHalf(cairo_t* cr, double cx, double cy, double rx, double ry, double tilt, bool front,
    const Rgb& colour, double width, double alphaNear, double alphaFar);
// The point at angle a (radians) of that ellipse; its front is near a = pi / 2.
void orbitPoint(double cx, double cy, double rx, double ry, double tilt, double a, double& x, double& y);

// A glowing dot: a bright core and a soft halo of radius r.
void drawSpark(cairo_t* cr, double x, double y, double r, const Rgb& colour, double level);

// The current path drawn as a neon tube: the coloured glass and a white-hot core. The
// glow around it is the caller's (drawWithGlow). The path is kept.
void strokeNeon(cairo_t* cr, const Rgb& colour, double width);
