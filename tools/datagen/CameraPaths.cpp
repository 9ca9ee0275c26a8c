#include "tools/datagen/CameraPaths.h"

#include "engine/geometry/Camera.h"
#include "tools/datagen/ShowTimeline.h"

#include <cmath>
#include <functional>

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double BEAT_MS = 60000.0 / showtime::BEATS_PER_MINUTE;

struct Point {
    double x, y, z;
};

Point mix(const Point& a, const Point& b, double u)
{
    return {a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, a.z + (b.z - a.z) * u};
}

// Progress 0..1 over totalMs that surges at every beat and eases off before the next,
// so the camera moves on the beat without ever stopping.
double beatProgress(double timeMs, double totalMs)
{
    const double beats = timeMs / BEAT_MS;
    const double whole = std::floor(beats);
    const double f = beats - whole;
    const double eased = 1.0 - (1.0 - f) * (1.0 - f); // fast start, soft landing
    return (whole + 0.5 * f + 0.5 * eased) / (totalMs / BEAT_MS);
}

// A placement at eye looking at target. Yaw is unwrapped to the turn nearest the
// previous key so that interpolation between keys never spins the long way round.
DesignedKey aim(std::int32_t timeMs, const Point& eye, const Point& target, const DesignedKey* previous)
{
    Camera camera;
    camera.set(float(-eye.x), float(-eye.y), float(-eye.z), 0.0f, 0.0f, 0.0f);
    camera.lookAt(float(target.x), float(target.y), float(target.z));
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

using Shot = std::function<void(double u, Point& eye, Point& target)>;

// Keys at the given times; u runs 0..1 over [0, lastTime] on the beat.
DesignedPath sample(const char* name, const std::vector<std::int32_t>& times, const Shot& shot)
{
    DesignedPath path;
    path.fileName = name;
    const double total = times.back();
    for (std::int32_t t : times) {
        Point eye{}, target{};
        shot(beatProgress(t, total), eye, target);
        path.keys.push_back(aim(t, eye, target, path.keys.empty() ? nullptr : &path.keys.back()));
    }
    return path;
}

std::vector<std::int32_t> everyMs(std::int32_t step, std::int32_t last)
{
    std::vector<std::int32_t> times;
    for (std::int32_t t = 0; t <= last; t += step)
        times.push_back(t);
    return times;
}

// Stretched paths: the director scales time so the third key from the end comes at
// 10 s; two wide keys after it keep the path going past a scene of a little over 10 s.
std::vector<std::int32_t> stretchedTimes(std::int32_t step, std::int32_t third, std::int32_t gap)
{
    std::vector<std::int32_t> times = everyMs(step, third);
    times.push_back(third + gap);
    times.push_back(third + 2 * gap);
    return times;
}

Point orbit(double angleDeg, double radius, double height, const Point& centre)
{
    const double a = angleDeg * PI / 180.0;
    return {centre.x + radius * std::sin(a), height, centre.z + radius * std::cos(a)};
}

}

std::vector<DesignedPath> designCameraPaths()
{
    std::vector<DesignedPath> paths;
    // Intro, title and pond: a slow push towards the origin with a small drift.
    paths.push_back(sample("Fixe.txt", stretchedTimes(500, 10000, 2000), [](double u, Point& eye, Point& target) {
        eye = mix({-4, 6, 42}, {4, 3, 26}, u);
        target = {0, 2, 0};
    }));
    // Title, wall and the credits (recorded time there): a gentle arc around the origin.
    paths.push_back(sample("Fixe2.txt", stretchedTimes(500, 20000, 2000), [](double u, Point& eye, Point& target) {
        eye = orbit(-25.0 + 50.0 * u, 34.0, 8.0, {0, 0, 0});
        target = {0, 4, 0};
    }));
    const std::vector<std::int32_t> body = everyMs(250, 26000);
    // The cave: from the entrance in to the figure, the fountain on the left.
    paths.push_back(sample("Scene4.txt", body, [](double u, Point& eye, Point& target) {
        eye = mix({0, 10, 60}, {8, 14, 28}, u);
        target = mix({-6, 8, 0}, {0, 9, 0}, u);
    }));
    // The sphere of light: a full circle around the figure.
    paths.push_back(sample("Scene5.txt", body, [](double u, Point& eye, Point& target) {
        eye = orbit(360.0 * 1.2 * u, 32.0, 12.0, {0, 0, 0});
        target = {0, 10, 0};
    }));
    // The climax: pull back and up until the spiral and the far swirl are in view.
    paths.push_back(sample("Scene6.txt", body, [](double u, Point& eye, Point& target) {
        eye = mix({0, 14, 45}, {40, 45, 90}, u);
        target = mix({0, 10, 0}, {-10, 10, -80}, u);
    }));
    // The dancer: a low half turn, bobbing with the groove.
    paths.push_back(sample("Scene7.txt", body, [](double u, Point& eye, Point& target) {
        eye = orbit(200.0 - 180.0 * u, 24.0, 5.0, {0, 0, 0});
        eye.y += 1.5 * std::sin(u * 2.0 * PI * 16.0);
        target = {0, 9, 0};
    }));
    // The reprise: a crane shot down to the figure's height.
    paths.push_back(sample("Scene8.txt", body, [](double u, Point& eye, Point& target) {
        eye = mix({25, 45, 30}, {-18, 7, 26}, u);
        target = {0, 8, 0};
    }));
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
