#include "engine/geometry/ClosedSurface.h"

#include "engine/geometry/TriangleList.h"
#include "engine/geometry/VertexArray.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A unit cube as a modeller exports it: four vertices of its own per face (the faces'
// seams of normals and texture coordinates split the corners), two triangles per face
// wound counter-clockwise seen from outside. normalSign -1 turns the normals inwards,
// reversed winds every triangle the other way, format drops components.
struct Cube {
    VertexArray vertices;
    TriangleList triangles;
};

Cube cube(float normalSign, bool reversed, std::uint32_t format = vertexformat::Position | vertexformat::Normal)
{
    // Each face: its normal axis and sign, and its corners counter-clockwise from outside.
    const float faces[6][4][3] = {
        {{1, 0, 0}, {1, 1, 0}, {1, 1, 1}, {1, 0, 1}}, {{0, 0, 0}, {0, 0, 1}, {0, 1, 1}, {0, 1, 0}},
        {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}, {1, 1, 0}}, {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}},
        {{0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}}, {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}},
    };
    Cube c;
    c.vertices.allocate(24, format);
    c.triangles.resize(12);
    for (int f = 0; f < 6; ++f) {
        const int axis = f / 2;
        const float outward = f % 2 == 0 ? 1.0f : -1.0f;
        for (int k = 0; k < 4; ++k) {
            float* v = c.vertices.vertex(std::uint32_t(f * 4 + k));
            std::copy(faces[f][k], faces[f][k] + 3, v + c.vertices.positionOffset);
            if (c.vertices.has(vertexformat::Normal))
                for (int i = 0; i < 3; ++i)
                    v[c.vertices.normalOffset + i] = i == axis ? outward * normalSign : 0.0f;
        }
        const int order[6] = {0, 1, 2, 0, 2, 3};
        for (int i = 0; i < 6; ++i)
            c.triangles.indices[std::size_t(f * 6 + i)] = std::uint16_t(f * 4 + order[reversed ? 5 - i : i]);
    }
    return c;
}

TEST(ClosedSurface, OnlyAClosedSurfaceWoundTowardsItsNormalsMayLoseItsBackFaces)
{
    const struct {
        const char* what;
        Cube surface;
        bool closed;
    } cases[] = {
        {"seen from outside", cube(1, false), true},
        {"seen from inside, as the cave", cube(-1, true), true},
        {"normals against the winding", cube(-1, false), false},
        {"no normals to tell the side", cube(1, false, vertexformat::Position), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isClosedFacingItsNormals(c.surface.vertices, c.surface.triangles), c.closed) << c.what;

    Cube open = cube(1, false);
    open.triangles.resize(11);
    std::copy_n(cube(1, false).triangles.indices.begin(), 33, open.triangles.indices.begin());
    EXPECT_FALSE(isClosedFacingItsNormals(open.vertices, open.triangles)) << "a face missing half";
    Cube doubled = cube(1, false);
    std::copy_n(doubled.triangles.indices.begin(), 3, doubled.triangles.indices.begin() + 3);
    EXPECT_FALSE(isClosedFacingItsNormals(doubled.vertices, doubled.triangles)) << "a triangle twice";

    // Two cubes touching along an edge, which four faces then share, two each way: a
    // pinched surface, as the cave's rock has, still closes.
    const Cube one = cube(1, false);
    Cube pinched;
    pinched.vertices.allocate(48, one.vertices.format);
    pinched.triangles.resize(24);
    for (std::uint32_t i = 0; i < 48; ++i) // the second cube one along x and y: positions lead
        for (std::uint32_t k = 0; k < 6; ++k)
            pinched.vertices.vertex(i)[k] = one.vertices.vertex(i % 24)[k] + (k < 2 && i >= 24 ? 1.0f : 0.0f);
    for (std::size_t i = 0; i < 72; ++i)
        pinched.triangles.indices[i] = std::uint16_t(one.triangles.indices[i % 36] + (i < 36 ? 0 : 24));
    EXPECT_TRUE(isClosedFacingItsNormals(pinched.vertices, pinched.triangles)) << "pinched along an edge";
}

}
