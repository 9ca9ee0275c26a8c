#include "engine/geometry/Camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Vec3 eyeOf(const Camera& c)
{
    return Vec3(-c.x, -c.y, -c.z);
}

TEST(CameraMove, WalksInTheHorizontalPlaneWithTheRoughDegreeFactor)
{
    // 0.01744 instead of pi / 180 leaves a small sideways drift on quarter turns:
    // cos(90 x 0.01744) = cos(1.5696) = 0.0012, where pi / 180 would give 0.
    const struct {
        const char* name;
        float yaw;
        bool strafe;
        float dx, dz;
    } cases[] = {
        {"advance, yaw 0", 0, false, 0, 1},
        {"strafe, yaw 0", 0, true, 0.9999993f, 0.0011963f},
        {"advance, yaw 90", 90, false, -0.9999993f, 0.0011963f},
        {"strafe, yaw 90", 90, true, 0, 1},
        {"advance, yaw 180", 180, false, -0.0023926f, -0.9999971f},
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(10, 5, -3, 12, c.yaw, 7);
        if (c.strafe)
            cam.strafe(2);
        else
            cam.advance(2);
        EXPECT_NEAR(cam.x - 10, 2 * c.dx, 2e-6f) << c.name;
        EXPECT_NEAR(cam.z + 3, 2 * c.dz, 2e-6f) << c.name;
        EXPECT_EQ(cam.y, 5) << c.name;
        EXPECT_EQ(cam.pitch, 12) << c.name;
        EXPECT_EQ(cam.yaw, c.yaw) << c.name;
        EXPECT_EQ(cam.roll, 7) << c.name;
    }
}

TEST(CameraLookAt, TurnsTheViewOntoThePoint)
{
    const struct {
        Vec3 eye, target;
    } cases[] = {
        {{0, 0, 0}, {0, 0, -10}},
        {{0, 0, 0}, {10, 0, 0}},
        {{0, 0, 0}, {0, 10, -10}},
        {{1, 2, 3}, {-4, -1, 8}},
        {{-50, 20, 100}, {0, 0, 0}},
        {{5, 5, 5}, {5, 20, 4}},   // nearly straight up
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(-c.eye.x, -c.eye.y, -c.eye.z, 99, 99, 0);
        cam.lookAt(c.target.x, c.target.y, c.target.z);
        Vec3 seen;
        cam.viewMatrix().transformPoint(c.target, seen);
        const float distance = (c.target - c.eye).length();
        EXPECT_NEAR(seen.x, 0, 1e-4f * distance);
        EXPECT_NEAR(seen.y, 0, 1e-4f * distance);
        EXPECT_NEAR(seen.z, -distance, 1e-4f * distance);
    }
}

TEST(CameraLookAt, AnglesForKnownDirectionsAndRollIsKept)
{
    Camera cam;
    cam.set(0, 0, 0, 30, 30, 15);
    cam.lookAt(0, 0, -10);   // atan2(0, -10) is 180 degrees
    EXPECT_NEAR(cam.yaw, 0, 1e-4f);
    EXPECT_NEAR(cam.pitch, 0, 1e-4f);
    EXPECT_EQ(cam.roll, 15);

    cam.lookAt(10, 0, 0);
    EXPECT_NEAR(cam.yaw, 90, 1e-4f);
    cam.lookAt(0, 10, -10);
    EXPECT_NEAR(cam.pitch, -45, 1e-4f);
}

TEST(CameraMove, AdvanceGoesTowardsWhatLookAtFaces)
{
    const Vec3 targets[] = {{0, 0, -10}, {10, 0, 0}, {-7, 3, 7}, {3, -2, 9}};
    for (const Vec3& target : targets) {
        Camera cam;
        cam.lookAt(target.x, target.y, target.z);
        const Vec3 before = eyeOf(cam);
        cam.advance(1);
        const Vec3 step = eyeOf(cam) - before;
        const Vec3 flat(target.x, 0, target.z);
        // one unit forward, horizontally, within the drift of the rough factor
        EXPECT_NEAR(dot(step, flat) / flat.length(), 1.0f, 1e-2f);
        EXPECT_EQ(step.y, 0);

        // strafe(1) goes left: the horizontal cross of forward and left is up
        const Vec3 beforeStrafe = eyeOf(cam);
        cam.strafe(1);
        const Vec3 left = eyeOf(cam) - beforeStrafe;
        EXPECT_GT(cross(flat, left).y, 0.99f * flat.length());
    }
}

TEST(CameraMouseLook, TurnsByTheOffsetFromTheCentre)
{
    const struct {
        const char* name;
        int cursorX, cursorY, width, height;
        float yawRate, pitchRate;
        float yaw, pitch;   // changes
    } cases[] = {
        {"at the centre", 512, 384, 1024, 768, 1, 1, 0, 0},
        {"10 right", 522, 384, 1024, 768, 1, 1, 1, 0},
        {"10 below", 512, 394, 1024, 768, 1, 1, 0, 1},
        {"up and left, rates", 492, 364, 1024, 768, 2, 0.5f, -4, -1},
        {"odd size rounds the centre down", 512, 383, 1025, 767, 1, 1, 0, 0},
        {"x exactly 0 keeps yaw", 0, 374, 1024, 768, 1, 1, 0, -1},
        {"y exactly 0 keeps pitch", 502, 0, 1024, 768, 1, 1, -1, 0},
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(1, 2, 3, 10, 20, 30);
        cam.mouseLook(c.cursorX, c.cursorY, c.width, c.height, c.yawRate, c.pitchRate);
        EXPECT_NEAR(cam.yaw - 20, c.yaw, 1e-5f) << c.name;
        EXPECT_NEAR(cam.pitch - 10, c.pitch, 1e-5f) << c.name;
        EXPECT_EQ(cam.roll, 30) << c.name;
        EXPECT_EQ(cam.x, 1) << c.name;
    }
}

TEST(CameraView, MovesTheSceneThenTurnsIt)
{
    Camera cam;
    const Mat4 rest = cam.viewMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(rest.m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;

    // The eye itself always lands on the origin, whatever the angles.
    cam.set(-1, -2, -3, 25, -70, 40);
    Vec3 eye;
    cam.viewMatrix().transformPoint(Vec3(1, 2, 3), eye);
    EXPECT_NEAR(eye.length(), 0, 1e-5f);

    // Roll turns about the view axis, after yaw and pitch: with yaw 90 a point on +X is
    // straight ahead, and roll 90 leaves it there while turning +Y to -X.
    cam.set(0, 0, 0, 0, 90, 90);
    Vec3 ahead, up;
    const Mat4 view = cam.viewMatrix();
    view.transformPoint(Vec3(5, 0, 0), ahead);
    view.transformPoint(Vec3(0, 1, 0), up);
    EXPECT_NEAR(ahead.x, 0, 1e-5f);
    EXPECT_NEAR(ahead.y, 0, 1e-5f);
    EXPECT_NEAR(ahead.z, -5, 1e-5f);
    EXPECT_NEAR(up.x, -1, 1e-5f);
    EXPECT_NEAR(up.y, 0, 1e-5f);
}

} // namespace
