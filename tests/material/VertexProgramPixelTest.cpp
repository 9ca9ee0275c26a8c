// ARB vertex programs on a real GL (Mesa llvmpipe offscreen): the outline program's codes
// 4, 1, 6, 14 put a vertex where projection x view x world says and deliver the world
// matrix, light 0 and constant 0 to the parameters the program reads; refused text and
// stale errors; binding without a program.
#include "engine/material/GLVertexProgram.h"

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"
#include "tests/material/PixelFixture.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

// Position from the combined matrix (parameters 0-3, one row each); colour red = world x
// of the vertex (rows 4-7), green = light 0's x (8), blue = constant 0's x (9), alpha =
// the w the device adds to vectors.
const char* const kProgram = R"(!!ARBvp1.0
PARAM mvp[4] = { program.local[0..3] };
PARAM world[4] = { program.local[4..7] };
PARAM light = program.local[8];
PARAM k = program.local[9];
TEMP w;
DP4 result.position.x, mvp[0], vertex.position;
DP4 result.position.y, mvp[1], vertex.position;
DP4 result.position.z, mvp[2], vertex.position;
DP4 result.position.w, mvp[3], vertex.position;
DP4 w.x, world[0], vertex.position;
MOV result.color.x, w.x;
MOV result.color.y, light.x;
MOV result.color.z, k.x;
MOV result.color.w, k.w;
END
)";

class ProgramPixels : public PixelFixture {
protected:
    void SetUp() override
    {
        PixelFixture::SetUp();
        if (HasFatalFailure())
            return;
        api_ = loadGLVertexProgramApi(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
        ASSERT_TRUE(api_.complete()) << "the driver offers no GL_ARB_vertex_program";
    }
    void TearDown() override
    {
        glDisable(GL_VERTEX_PROGRAM_ARB);
        PixelFixture::TearDown();
    }

    GLVertexProgramApi api_;
};

TEST_F(ProgramPixels, OutlineCodesPlaceTheVertexWhereTheMatricesSay)
{
    const int codes[] = { 4, 1, 6, 14, 0 };
    GLVertexProgram program(api_);
    ASSERT_TRUE(program.loadFromText(kProgram, std::strlen(kProgram), 0, codes));
    ASSERT_NE(program.programId(), -1);
    ASSERT_TRUE(program.bind());

    // Matrices with translations and rotations, so a wrong transposition or a wrong
    // order of the product moves the point elsewhere.
    Mat4 world;
    world.rotateY(20.0f);
    world.translate(0.3f, 0.1f, 0.0f);
    Mat4 view;
    view.setTranslation(-0.2f, 0.15f, -3.0f);
    view.rotateX(10.0f);
    Mat4 projection;
    projection.setPerspective(60.0f, 0.5f, 10.0f, 1.0f);
    Vec3 lights[8];
    lights[0] = Vec3(0.5f, 9.0f, 9.0f);
    Vec3 constants[1] = { Vec3(0.75f, 9.0f, 9.0f) };

    ProgramInputs inputs;
    inputs.world = &world;
    inputs.view = &view;
    inputs.projection = &projection;
    inputs.lightPositions = lights;
    inputs.constants = constants;
    inputs.constantCount = 1;
    EXPECT_EQ(uploadProgramParameters(program, inputs), 10);

    const Vec3 vertex(0.2f, -0.3f, 0.1f);
    Vec3 inWorld;
    world.transformPoint(vertex, inWorld);
    Mat4 combined;
    Mat4::product(combined, projection, view);
    Mat4::product(combined, combined, world);
    Vec3 clip;
    float w = combined.transformPointW(vertex, clip);
    ASSERT_GT(w, 0.0f);
    int px = static_cast<int>(std::floor((clip.x / w + 1.0f) * 0.5f * kSize));
    int py = static_cast<int>(std::floor((clip.y / w + 1.0f) * 0.5f * kSize));
    ASSERT_TRUE(px >= 2 && px < kSize - 2 && py >= 2 && py < kSize - 2)
        << "the chosen vertex falls outside the window: " << px << "," << py;
    ASSERT_TRUE(inWorld.x > 0.0f && inWorld.x < 1.0f) << inWorld.x;

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glPointSize(3.0f);
    glBegin(GL_POINTS);
    glVertex3f(vertex.x, vertex.y, vertex.z);
    glEnd();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    Rgba hit = readPixel(px, py);
    EXPECT_NEAR(hit[0], std::lround(inWorld.x * 255.0f), 2);
    EXPECT_NEAR(hit[1], 128, 2);
    EXPECT_NEAR(hit[2], 191, 2);
    // Nothing drawn away from the point.
    Rgba away = readPixel((px + kSize / 2) % kSize, (py + kSize / 2) % kSize);
    EXPECT_EQ(away, (Rgba { 0, 0, 0, away[3] }));
}

TEST_F(ProgramPixels, RefusedTextFailsAndLeavesNoError)
{
    GLVertexProgram program(api_);
    const char* text = "!!ARBvp1.0\nMOV result.position, nonsense;\nEND\n";
    EXPECT_FALSE(program.loadFromText(text, std::strlen(text), 0, nullptr));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // An error left by someone else does not fail a good program.
    glEnable(0xFFFF);
    GLVertexProgram good(api_);
    EXPECT_TRUE(good.loadFromText(kProgram, std::strlen(kProgram), 0, nullptr));
}

TEST_F(ProgramPixels, BindWithoutProgramSwitchesProgramsOff)
{
    GLVertexProgram good(api_);
    ASSERT_TRUE(good.loadFromText(kProgram, std::strlen(kProgram), 0, nullptr));
    EXPECT_TRUE(good.bind());
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));

    GLVertexProgram none(api_);
    EXPECT_FALSE(none.bind());
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
}

}
