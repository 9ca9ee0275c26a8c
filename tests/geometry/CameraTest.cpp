#include "engine/geometry/Camera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(CameraMove, WalksInTheHorizontalPlaneWithTheRoughDegreeFactor)
{
    // 0.01744 instead of pi / 180 leaves a small sideways drift on quarter turns:
    // cos(90 x 0.01744) = 0.0012, where pi / 180 would give 0.
    const struct { float yaw; bool strafe; float dx, dz; } cases[] = {
        { 0, false, 0, 1 },
        { 0, true, 0.9999993f, 0.0011963f },
        { 90, false, -0.9999993f, 0.0011963f },
        { 90, true, 0, 1 },
        { 180, false, -0.0023926f, -0.9999971f },
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(10, 5, -3, 12, c.yaw, 7);
        c.strafe ? cam.strafe(2) : cam.advance(2);
        EXPECT_NEAR(cam.x - 10, 2 * c.dx, 2e-6f) << c.yaw << c.strafe;
        EXPECT_NEAR(cam.z + 3, 2 * c.dz, 2e-6f) << c.yaw << c.strafe;
        EXPECT_EQ(std::vector<float>({ cam.y, cam.pitch, cam.yaw, cam.roll }), std::vector<float>({ 5, 12, c.yaw, 7 }));
    }
}

TEST(CameraLookAt, TurnsTheViewOntoThePointAndKeepsTheRoll)
{
    const struct { Vec3 eye, target; float yaw, pitch; } cases[] = {
        { { 0, 0, 0 }, { 0, 0, -10 }, 0, 0 },
        { { 0, 0, 0 }, { 10, 0, 0 }, 90, 0 },
        { { 0, 0, 0 }, { 0, 10, -10 }, 0, -45 },
        { { 1, 2, 3 }, { -4, -1, 8 }, NAN, NAN },
        { { -50, 20, 100 }, { 0, 0, 0 }, NAN, NAN },
        { { 5, 5, 5 }, { 5, 20, 4 }, NAN, NAN },  // nearly straight up
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(-c.eye.x, -c.eye.y, -c.eye.z, 99, 99, 15);
        cam.lookAt(c.target.x, c.target.y, c.target.z);
        Vec3 seen;
        cam.viewMatrix().transformPoint(c.target, seen);
        const float distance = (c.target - c.eye).length();
        EXPECT_NEAR(seen.x, 0, 1e-4f * distance);
        EXPECT_NEAR(seen.y, 0, 1e-4f * distance);
        EXPECT_NEAR(seen.z, -distance, 1e-4f * distance);
        EXPECT_EQ(cam.roll, 15);
        if (!std::isnan(c.yaw)) {
            EXPECT_NEAR(cam.yaw, c.yaw, 1e-4f);
            EXPECT_NEAR(cam.pitch, c.pitch, 1e-4f);
        }
    }
}

TEST(CameraMouseLook, TurnsByTheOffsetFromTheCentre)
{
    const struct { int cursorX, cursorY, width, height; float yawRate, pitchRate, yaw, pitch; } cases[] = {
        { 512, 384, 1024, 768, 1, 1, 0, 0 },
        { 522, 384, 1024, 768, 1, 1, 1, 0 },
        { 512, 394, 1024, 768, 1, 1, 0, 1 },
        { 492, 364, 1024, 768, 2, 0.5f, -4, -1 },
        { 512, 383, 1025, 767, 1, 1, 0, 0 },   // odd sizes round the centre down
        { 0, 374, 1024, 768, 1, 1, 0, -1 },    // x exactly 0 keeps the yaw
        { 502, 0, 1024, 768, 1, 1, -1, 0 },    // y exactly 0 keeps the pitch
    };
    for (const auto& c : cases) {
        Camera cam;
        cam.set(1, 2, 3, 10, 20, 30);
        cam.mouseLook(c.cursorX, c.cursorY, c.width, c.height, c.yawRate, c.pitchRate);
        EXPECT_NEAR(cam.yaw - 20, c.yaw, 1e-5f) << c.cursorX << "," << c.cursorY;
        EXPECT_NEAR(cam.pitch - 10, c.pitch, 1e-5f) << c.cursorX << "," << c.cursorY;
        EXPECT_EQ(cam.roll, 30);
        EXPECT_EQ(cam.x, 1);
    }
}

}
