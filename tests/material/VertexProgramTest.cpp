// Vertex-program code lists, the parameter upload walk, file loading, and a program
// without the extension's entry points failing cleanly. No GL context: a recording
// program stands in for the driver.
#include "engine/material/GLVertexProgram.h"

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingProgram : public VertexProgram {
public:
    struct Call {
        int index;
        bool matrix;
        Mat4 m;
        Vec3 v;
    };

    bool compile(int argument) override
    {
        compiledWith = argument;
        return compileResult;
    }
    int setMatrixParameter(int index, const Mat4& matrix) override
    {
        calls.push_back({ index, true, matrix, Vec3() });
        return index + 4;
    }
    int setVectorParameter(int index, const Vec3& vector) override
    {
        calls.push_back({ index, false, Mat4(), vector });
        return index + 1;
    }
    bool bind() override { return true; }

    std::vector<Call> calls;
    int compiledWith = -1;
    bool compileResult = true;
};

Mat4 translation(float x, float y, float z)
{
    Mat4 m;
    m.setTranslation(x, y, z);
    return m;
}

void expectMatrix(const Mat4& actual, const Mat4& expected)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(actual.m[i], expected.m[i]) << "element " << i;
}

struct Scene {
    Mat4 world = translation(1, 0, 0);
    Mat4 view = translation(0, 2, 0);
    Mat4 projection;
    Vec3 lights[8];
    Vec3 constants[3] = { Vec3(7, 8, 9), Vec3(4, 5, 6), Vec3(1, 1, 1) };

    Scene()
    {
        projection.setRotationZ(90.0f);
        for (int i = 0; i < 8; ++i)
            lights[i] = Vec3(float(i), 0.5f, -1.0f);
    }

    ProgramInputs inputs() const
    {
        ProgramInputs in;
        in.world = &world;
        in.view = &view;
        in.projection = &projection;
        in.lightPositions = lights;
        in.constants = constants;
        in.constantCount = 3;
        return in;
    }
};

TEST(VertexProgram, EachCodeSendsItsValue)
{
    Scene scene;
    RecordingProgram program;
    // 5 sends nothing and does not move the index; 13 is the last light; 15 is constant 1;
    // 17 is beyond the three constants given and sends the origin.
    const int codes[] = { 2, 5, 3, 13, 15, 17, 5, 0 };
    program.storeCodes(codes);
    EXPECT_EQ(uploadProgramParameters(program, scene.inputs()), 11);
    ASSERT_EQ(program.calls.size(), 5u);
    EXPECT_EQ(program.calls[0].index, 0);
    expectMatrix(program.calls[0].m, scene.view);
    EXPECT_EQ(program.calls[1].index, 4);
    expectMatrix(program.calls[1].m, scene.projection);
    EXPECT_EQ(program.calls[2].index, 8);
    EXPECT_FLOAT_EQ(program.calls[2].v.x, 7.0f);
    EXPECT_EQ(program.calls[3].index, 9);
    EXPECT_FLOAT_EQ(program.calls[3].v.x, 4.0f);
    EXPECT_EQ(program.calls[4].index, 10);
    EXPECT_FLOAT_EQ(program.calls[4].v.x, 0.0f);
    EXPECT_FLOAT_EQ(program.calls[4].v.z, 0.0f);
}

TEST(VertexProgram, LoadFromTextKeepsTextAndCompiles)
{
    RecordingProgram program;
    const char text[] = "!!ARBvp1.0\nEND\ntrailing";
    const int codes[] = { 4, 0 };
    EXPECT_TRUE(program.loadFromText(text, 15, 3, codes));
    EXPECT_EQ(program.programLength(), 15);
    EXPECT_STREQ(program.programText(), "!!ARBvp1.0\nEND\n");
    EXPECT_EQ(program.compiledWith, 3);
    EXPECT_EQ(program.codeCount(), 1);
    EXPECT_TRUE(program.name().empty());

    RecordingProgram refused;
    refused.compileResult = false;
    EXPECT_FALSE(refused.loadFromText(text, 15, 0, codes));
    EXPECT_FALSE(refused.loadFromText(nullptr, 4, 0, codes));
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
