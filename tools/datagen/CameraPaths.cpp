#include "tools/datagen/CameraPaths.h"

#include "demo/ShowFiles.h"
#include "engine/geometry/Camera.h"
#include "tools/datagen/Pictures.h"
#include "tools/datagen/ShowTimeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double PI = std::numbers::pi;
constexpr double BEAT_MS = 60000.0 / showtime::BEATS_PER_MINUTE;
constexpr double BAR_MS = BEAT_MS * showtime::BEATS_PER_BAR;
constexpr std::int32_t KEY_MS = 20;        // one key per frame of a 50 Hz recording
constexpr std::int32_t STRETCHED_MS = 10000; // where the stretched scenes put the third key from the end

struct Point {
    double x, y, z;
};

Point operator+(const Point& a, const Point& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Point operator-(const Point& a, const Point& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Point operator*(const Point& a, double s) { return {a.x * s, a.y * s, a.z * s}; }

// A shot passes through these placements at the given bar (from the path's start).
struct Waypoint {
    double bar;
    Point eye;
    Point target;
};

// Bars from the start to a time, bent so that the camera surges at every beat and eases
// off before the next: it moves with the music without ever stopping.
double barsOnTheBeat(double timeMs)
{
    const double beats = timeMs / BEAT_MS;
    const double whole = std::floor(beats);
    const double f = beats - whole;
    const double eased = 1.0 - (1.0 - f) * (1.0 - f);
    return (whole + 0.5 * f + 0.5 * eased) / showtime::BEATS_PER_BAR;
}

// Cubic Hermite through the waypoints (tangents from the neighbours, Catmull-Rom
// style over uneven spacing); held at either end beyond them.
Point through(const std::vector<Waypoint>& w, double bar, Point Waypoint::*field)
{
    if (bar <= w.front().bar)
        return w.front().*field;
    if (bar >= w.back().bar)
        return w.back().*field;
    std::size_t i = 0;
    while (w[i + 1].bar < bar)
        ++i;
    auto tangent = [&](std::size_t k) {
        const std::size_t a = k > 0 ? k - 1 : k, b = k + 1 < w.size() ? k + 1 : k;
        return (w[b].*field - w[a].*field) * (1.0 / (w[b].bar - w[a].bar));
    };
    const double span = w[i + 1].bar - w[i].bar;
    const double s = (bar - w[i].bar) / span, s2 = s * s, s3 = s2 * s;
    return w[i].*field * (2 * s3 - 3 * s2 + 1) + tangent(i) * ((s3 - 2 * s2 + s) * span)
        + w[i + 1].*field * (-2 * s3 + 3 * s2) + tangent(i + 1) * ((s3 - s2) * span);
}

// A placement at eye looking at target, then tipped down by tilt degrees so that the
// target sits that far above the middle of the frame. Yaw is unwrapped to the turn
// nearest the previous key so that interpolation between keys never spins the long way
// round.
DesignedKey aim(std::int32_t timeMs, const Point& eye, const Point& target, const DesignedKey* previous, double tilt)
{
    Camera camera;
    camera.set(float(-eye.x), float(-eye.y), float(-eye.z), 0.0f, 0.0f, 0.0f);
    camera.lookAt(float(target.x), float(target.y), float(target.z));
    camera.pitch += float(tilt);
    double yaw = camera.yaw;
    if (previous) {
        while (yaw - previous->angles[1] > 180.0)
            yaw -= 360.0;
        while (yaw - previous->angles[1] < -180.0)
            yaw += 360.0;
    }
    DesignedKey key;
    key.timeMs = timeMs;
    key.translation[0] = camera.x;
    key.translation[1] = camera.y;
    key.translation[2] = camera.z;
    key.angles[0] = camera.pitch;
    key.angles[1] = float(yaw);
    key.angles[2] = 0.0f;
    return key;
}

// Keys every KEY_MS up to denseMs, then `tail` further keys `gapMs` apart, each aimed
// with tilt (see aim). The engine's smoothing drops the last key of the file, so one
// more is written than is meant to be played.
DesignedPath shoot(const char* name, const std::vector<Waypoint>& shot, std::int32_t denseMs,
    std::int32_t gapMs = 0, int tail = 0, double tilt = 0.0)
{
    std::vector<std::int32_t> times;
    for (std::int32_t t = 0; t <= denseMs; t += KEY_MS)
        times.push_back(t);
    for (int k = 1; k <= tail; ++k)
        times.push_back(denseMs + k * gapMs);
    DesignedPath path;
    path.fileName = name;
    for (std::int32_t t : times) {
        const double bar = barsOnTheBeat(std::min<double>(t, denseMs + gapMs));
        path.keys.push_back(aim(t, through(shot, bar, &Waypoint::eye), through(shot, bar, &Waypoint::target),
            path.keys.empty() ? nullptr : &path.keys.back(), tilt));
    }
    return path;
}

Point orbit(double degrees, double radius, double height)
{
    const double a = degrees * PI / 180.0;
    return {radius * std::sin(a), height, radius * std::cos(a)};
}

// A circle of waypoints around the origin, one every `step` bars.
std::vector<Waypoint> circle(double fromDegrees, double toDegrees, double bars, double radius,
    double (*height)(double u), const Point& target)
{
    std::vector<Waypoint> w;
    constexpr int STEPS = 16;
    for (int i = 0; i <= STEPS; ++i) {
        const double u = double(i) / STEPS;
        w.push_back({bars * u, orbit(fromDegrees + (toDegrees - fromDegrees) * u, radius, height(u)), target});
    }
    return w;
}

// The model scenes run 8 bars in recorded time; their paths go half a bar further.
const std::int32_t BODY_MS = std::int32_t(8.5 * BAR_MS);

// The picture scenes frame the layers' particle sphere (around the origin, radius 0.5 to
// 20.5) where every picture leaves it room: at SPHERE_X, SPHERE_Y, no wider than
// SPHERE_REACH pixels at its widest, at the show's 1024 x 768 and 67.5 degrees of view.
constexpr double SPHERE_WIDEST = 20.5;
constexpr double HALF_VIEW_DEGREES = 33.75;

// Pixels from the middle of the frame per unit across, one unit in front of the eye.
double pixelsPerUnit()
{
    return PICTURE_HEIGHT / 2.0 / std::tan(HALF_VIEW_DEGREES * PI / 180.0);
}

// Degrees to tip the view down so that the origin sits on the sphere's row.
double sphereTilt()
{
    return std::atan((PICTURE_HEIGHT / 2.0 - SPHERE_Y) / pixelsPerUnit()) * 180.0 / PI;
}

// The nearest a camera may come for the widest sphere to stay within SPHERE_REACH.
double sphereDistance()
{
    const double tangent = SPHERE_REACH / pixelsPerUnit();
    return SPHERE_WIDEST * std::sqrt(1.0 + 1.0 / (tangent * tangent));
}

// An eye `distance` from the origin, `elevation` degrees above its level, turned
// `degrees` round it from +z.
Point around(double degrees, double elevation, double distance)
{
    const double e = elevation * PI / 180.0;
    return orbit(degrees, distance * std::cos(e), distance * std::sin(e));
}

}

std::vector<DesignedPath> designCameraPaths()
{
    using showfiles::PATHS;
    std::vector<DesignedPath> paths;
    // The picture scenes hold the sphere still on its place in the pictures; only its
    // size breathes with the camera's distance. Intro, title and pond: a slow push in
    // from the front over four bars; the last key carries the shot past the end of the
    // stretched scene.
    const Point ORIGIN{0, 0, 0};
    const double near = sphereDistance(), tilt = sphereTilt();
    paths.push_back(shoot(PATHS[0],
        {{0, around(-12, 9, near * 1.14), ORIGIN}, {2, around(-3, 7, near * 1.07), ORIGIN},
            {4, around(6, 5, near), ORIGIN}, {4.6, around(8, 5, near), ORIGIN}},
        STRETCHED_MS, 1500, 3, tilt));
    // Title, wall and credits: from high above, turning slowly, so that in the wall scene
    // the orbit rings (around (0, 9, 0)) circle the sphere and turn round it. The credits
    // play it in recorded time and the last one never ends, so the path then holds its
    // last shot.
    paths.push_back(shoot(PATHS[1],
        {{0, around(0, 70, near), ORIGIN}, {2, around(20, 70, near), ORIGIN}, {4, around(40, 70, near), ORIGIN},
            {5, around(45, 70, near), ORIGIN}},
        STRETCHED_MS, 3600000, 3, tilt));
    // Scene 5, the cave: in through the tunnel, past the orbit rings, then round the figure
    // to find the fountain on its right.
    paths.push_back(shoot(PATHS[2],
        {{0, {0, 15, 96}, {0, 11, 0}}, {2, {0, 13, 58}, {0, 11, 0}}, {3.5, {6, 12, 38}, {0, 11, 0}},
            {5, {24, 13, 24}, {0, 11, 0}}, {6.5, {16, 12, 31}, {-7, 11, 0}}, {8, {-6, 12, 35}, {-14, 11, 0}},
            {8.5, {-10, 12, 34}, {-16, 11, 0}}},
        BODY_MS));
    // Scene 6: a whole turn round the figure while the sphere of light turns round it,
    // rising over the middle bars.
    paths.push_back(shoot(PATHS[3],
        circle(20, 380 + 22, 8.5, 34, [](double u) { return 11.0 + 6.0 * std::sin(u * PI); }, {0, 11, 0}),
        BODY_MS));
    // Scene 7, the climax in the void: round the figure at a distance that keeps it
    // large, from its right side up over its back to its left, the spiral streaming past
    // it, the sphere around it. The eye stays wide of the spiral's cone (it runs from
    // (0, 20, -30) towards +z, widening), so its sparks cross the frame instead of
    // flying into the lens.
    paths.push_back(shoot(PATHS[4],
        {{0, {30, 12, 18}, {0, 11, 0}}, {2, {36, 19, -2}, {0, 11, 0}}, {4, {25, 27, -28}, {0, 10, -6}},
            {6, {-20, 24, -33}, {0, 10, -4}}, {8, {-36, 16, 4}, {0, 11, 0}}, {8.5, {-36, 15, 10}, {0, 11, 0}}},
        BODY_MS));
    // Scene 8, the dancer: low and close (outside the rings), half a turn round, then up
    // to see the swells.
    paths.push_back(shoot(PATHS[5],
        {{0, {0, 7, 24}, {0, 8.5, 0}}, {2, {16, 6, 20}, {0, 8.5, 0}}, {4, {25, 7, 5}, {0, 8.5, 0}},
            {6, {16, 10, -20}, {0, 8, 0}}, {8, {-20, 24, -30}, {0, 6, 0}}, {8.5, {-26, 27, -30}, {0, 6, 0}}},
        BODY_MS));
    // Scene 9, the reprise: down from under the dome, round behind the figure past the
    // fountain, and up its right side to end on the figure and its raised moon whole,
    // keeping outside the rings.
    paths.push_back(shoot(PATHS[6],
        {{0, {18, 30, 30}, {0, 10, 0}}, {3, {28, 14, 12}, {0, 10, 0}}, {5, {14, 9, -20}, {0, 11, 0}},
            {7, {-19, 17, -15}, {-1, 13.5, 0}}, {8.5, {-25, 18, 3}, {-1, 14.5, 0}}},
        BODY_MS));
    return paths;
}

std::string pathFileText(const DesignedPath& path)
{
    std::string text;
    auto line = [&text](std::int64_t value) {
        text += std::to_string(value);
        text += '\n';
    };
    for (const DesignedKey& key : path.keys) {
        line(key.timeMs);
        for (float v : key.translation)
            line(static_cast<std::int32_t>(double(v) * 10000.0));
        for (float v : key.angles)
            line(static_cast<std::int32_t>(double(v) * 10000.0));
    }
    return text;
}
