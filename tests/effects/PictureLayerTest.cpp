// A picture layer adds its picture over the whole viewport, texture (0, 0) at the top
// left, on the first frame as on later ones, and restores the projection.
#include "demo/effects/PictureLayer.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"

#include <gtest/gtest.h>

namespace {

// An 8 x 8 picture in four coloured quarters, given top row first.
std::string quartersBmp()
{
    std::vector<std::vector<std::uint32_t>> rows(8, std::vector<std::uint32_t>(8));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            rows[y][x] = y < 4 ? (x < 4 ? 0xC80000u : 0x00C800u) : (x < 4 ? 0x000096u : 0x646464u);
    BmpLayout layout;
    layout.width = layout.height = 8;
    layout.pixelData = bmpRows24(rows, true);
    return makeBmp(layout);
}

class PictureLayers : public GLDeviceTest {
protected:
    void SetUp() override
    {
        GLDeviceTest::SetUp();
        scratch.write("picture.bmp", quartersBmp());
        scratch.write("Particle.bmp", solidBmp(4, 4, 0, 0, 0)); // particles that add nothing
    }

    ScratchDir scratch;
};

TEST_F(PictureLayers, PictureAddsOverTheViewportTopLeftFirst)
{
    MountedDisk disk(scratch.path());
    ASSERT_TRUE(disk.ok());
    PictureLayer layer;
    ASSERT_TRUE(layer.init("picture.bmp"));
    EXPECT_EQ(layer.particles().count(), 1000);
    const int projectionTop = device().projection.top;

    const struct {
        int x, y;
        int r, g, b; // picture plus the dark blue background
    } probes[] = {{10, 10, 200, 0, 70}, {53, 10, 0, 200, 70}, {10, 53, 0, 0, 220}, {53, 53, 100, 100, 170}};
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(frame);
        device().setClearColor(0, 0, 70 / 255.0f);
        device().clearAll();
        layer.draw(device(), 1.0f / 30.0f, Vec3(0, 0, -40));
        for (const auto& p : probes) {
            const Rgba8 seen = gl.pixel(p.x, p.y);
            EXPECT_TRUE(nearColour(seen, p.r, p.g, p.b))
                << p.x << "," << p.y << ": " << int(seen.r) << " " << int(seen.g) << " " << int(seen.b);
        }
        for (int corner = 0; corner < 4; ++corner) {
            const Rgba8 seen = gl.pixel(corner % 2 * 63, corner / 2 * 63);
            EXPECT_GT(seen.r + seen.g + seen.b, 150) << "corner " << corner << " left uncovered";
        }
        EXPECT_EQ(device().projection.top, projectionTop);
    }
}

TEST_F(PictureLayers, MissingPictureDrawsNothing)
{
    MountedDisk disk(scratch.path());
    PictureLayer layer;
    EXPECT_FALSE(layer.init("absent.jpg"));
    EXPECT_EQ(layer.texture(), -1);
    layer.draw(device(), 1.0f / 30.0f, Vec3(0, 0, -40));
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 0, 0));
}

}
