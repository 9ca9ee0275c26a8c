// Vertex-program code lists, the parameter upload walk and text loading through the
// recording device's fake program (its compiler refuses text containing "refuse"), and a
// GL program without the extension's entry points failing cleanly.
#include "engine/material/GLVertexProgram.h"

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"
#include "tests/support/RecordingDevice.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

Mat4 translation(float x, float y, float z)
{
    Mat4 m;
    m.setTranslation(x, y, z);
    return m;
}

TEST(VertexProgram, EachCodeSendsItsValue)
{
    RecordingDevice device;
    std::unique_ptr<VertexProgram> program(device.newVertexProgram(0, 0));
    const Mat4 world = translation(1, 0, 0), view = translation(0, 2, 0), projection = translation(0, 0, 3);
    Vec3 lights[8];
    for (int i = 0; i < 8; ++i)
        lights[i] = Vec3(float(i), 0.5f, -1.0f);
    const Vec3 constants[3] = { Vec3(7, 8, 9), Vec3(4, 5, 6), Vec3(1, 1, 1) };
    const ProgramInputs inputs { &world, &view, &projection, lights, constants, 3 };
    // 2 is the view, 3 the projection; 5 sends nothing and does not move the index; 13
    // is the last light; 15 is constant 1; 17 is beyond the three constants given and
    // sends the origin.
    const int codes[] = { 2, 5, 3, 13, 15, 17, 5, 0 };
    program->storeCodes(codes);
    device.clearCalls();
    EXPECT_EQ(uploadProgramParameters(*program, inputs), 11);
    // A matrix as index, m[0], m[5], m[10], then its translation m[12..14].
    EXPECT_EQ(device.calls, (std::vector<std::string> { "setMatrixParameter(0, 1, 1, 1, 0, 2, 0)",
                                "setMatrixParameter(4, 1, 1, 1, 0, 0, 3)", "setVectorParameter(8, 7, 0.5, -1)",
                                "setVectorParameter(9, 4, 5, 6)", "setVectorParameter(10, 0, 0, 0)" }));
}

TEST(VertexProgram, LoadFromTextKeepsItsLengthOfTextAndCompiles)
{
    RecordingDevice device;
    std::unique_ptr<VertexProgram> program(device.newVertexProgram(0, 0));
    const char text[] = "!!ARBvp1.0\nEND\nrefuse";
    const int codes[] = { 4, 0 };
    EXPECT_TRUE(program->loadFromText(text, 15, 3, codes));
    EXPECT_EQ(device.calls.back(), "compile(3)");
    EXPECT_EQ(program->programLength(), 15);
    EXPECT_STREQ(program->programText(), "!!ARBvp1.0\nEND\n");
    EXPECT_EQ(program->codeCount(), 1);
    EXPECT_TRUE(program->name().empty());

    EXPECT_FALSE(program->loadFromText(text, sizeof text - 1, 0, codes));
    EXPECT_FALSE(program->loadFromText(nullptr, 4, 0, codes));
}

TEST(GLVertexProgram, WithoutTheExtensionEverythingFailsCleanly)
{
    // No context is current and no entry point exists: nothing may be called.
    GLVertexProgram program(loadGLVertexProgramApi("GL_ARB_multitexture GL_ARB_vertex_buffer_object"));
    EXPECT_FALSE(program.loadFromText("!!ARBvp1.0\nEND\n", 15, 0, nullptr));
    EXPECT_EQ(program.programId(), -1);
    EXPECT_FALSE(program.bind());
    EXPECT_EQ(program.setMatrixParameter(2, Mat4()), 6);
    EXPECT_EQ(program.setVectorParameter(6, Vec3()), 7);
    EXPECT_FALSE(loadGLVertexProgramApi(nullptr).complete());
}

}
