// A skinned model drawn headless through the OpenGL device: the pixels show the
// deformed pose, not the bind pose.
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"
#include "tests/geometry/TestModels.h"
#include "tests/support/GLTestContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vertexformat;

namespace {

// Two quads in one mesh: the left one (red) on bone 0, the right one (green) on bone 1.
void twoQuads(Geometry& g)
{
    auto mesh = std::make_shared<Mesh>(false);
    VertexArray& v = mesh->vertices;
    v.allocate(8, Position | Colour);
    const float corners[2][4] = { { -0.8f, -0.2f, -0.4f, 0.2f }, { 0.2f, -0.2f, 0.8f, 0.2f } };
    const std::uint8_t colours[2][4] = { { 255, 0, 0, 255 }, { 0, 255, 0, 255 } };
    for (int q = 0; q < 2; ++q) {
        const float* c = corners[q];
        const float xy[4][2] = { { c[0], c[1] }, { c[2], c[1] }, { c[2], c[3] }, { c[0], c[3] } };
        for (int k = 0; k < 4; ++k) {
            float* p = v.vertex(std::uint32_t(q * 4 + k));
            p[0] = xy[k][0];
            p[1] = xy[k][1];
            p[2] = 0.0f;
            std::memcpy(p + 3, colours[q], 4);
        }
    }
    mesh->triangles.resize(4);
    mesh->triangles.indices = { 0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7 };
    g.addItem(std::make_unique<MeshMaterial>(), mesh);

    g.skin = std::make_unique<SkinModifier>();
    Skeleton& s = g.skin->skeleton;
    s.resize(2);
    s.bones[0].name = "body";
    s.bones[0].firstChild = 1;
    s.bones[1].name = "arm";
    s.bones[1].parent = 0;
    auto skin = std::make_unique<SkinMesh>();
    for (std::int32_t vertex = 0; vertex < 8; ++vertex)
        skin->weights.push_back(SkinWeight { vertex < 4 ? 0 : 1, -1, 1.0f, 0.0f });
    g.skin->skinMeshes.push_back(std::move(skin));
}

TEST(SkinnedPixels, DrawnPoseIsTheDeformedOne)
{
    GLTestContext gl(64, 64);
    if (!gl.ok())
        GTEST_SKIP() << "no offscreen GL context";
    GLRenderDevice& device = gl.device();

    Geometry source;
    twoQuads(source);
    BinaryWriter out;
    GeometryWriter::writeGeneral(out, source);
    FileBuffer file;
    ASSERT_TRUE(file.loadFromMemory(out.bytes().data(), std::uint32_t(out.bytes().size())));
    Geometry g;
    ASSERT_TRUE(g.load(file, "arm.qzg"));

    // Bone 1: frame 0 at rest, frame 1 turned 90 degrees about Z, which in the engine's
    // convention takes +X to -Y: the green quad swings from the right to below.
    KeyframedAnimation anim;
    anim.boneCount = 2;
    anim.frameCount = 2;
    anim.duration = 2.0f;
    const float h = std::sqrt(0.5f);
    anim.keys = { {}, {}, {}, { Vec3(), Quat(0.0f, 0.0f, h, h) } };
    AnimationTable::clear();
    std::int32_t index = AnimationTable::add(&anim);
    g.skin->skeleton.assignAnimation(index, 1, false, EndLoop);
    g.update(1.0f);  // exactly frame 1

    Mat4 identity;
    device.setProjection(identity);
    device.setView(identity);
    device.setWorld(identity);
    device.setClearColor(0.0f, 0.0f, 0.5f);
    device.clearAll();
    g.draw(device);

    auto at = [&](float x, float y) {
        return gl.pixel(int((x + 1.0f) * 32.0f), int((1.0f - y) * 32.0f));
    };
    struct Probe {
        float x, y;
        std::uint8_t r, g, b;
        const char* what;
    };
    const Probe probes[] = {
        { -0.6f, 0.0f, 255, 0, 0, "bone 0 quad stays in place" },
        { 0.0f, -0.5f, 0, 255, 0, "bone 1 quad in its turned pose" },
        { 0.5f, 0.0f, 0, 0, 128, "bind pose of bone 1 quad is empty" },
        { 0.0f, 0.5f, 0, 0, 128, "the other turning direction is empty" },
    };
    for (const Probe& p : probes) {
        Rgba8 c = at(p.x, p.y);
        EXPECT_NEAR(c.r, p.r, 2) << p.what;
        EXPECT_NEAR(c.g, p.g, 2) << p.what;
        EXPECT_NEAR(c.b, p.b, 2) << p.what;
    }
    AnimationTable::clear();
}

}
