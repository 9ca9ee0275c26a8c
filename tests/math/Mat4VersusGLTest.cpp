// Mat4 against OpenGL's own matrix stack: the same transform built both ways, read back
// with glGetFloatv. Where the engine deliberately differs (perspective field of view, 0..1
// orthographic depth, transposed quaternion matrix) the test states the relation.
#include "engine/math/Mat4.h"
#include "platform/GLWindow.h"

#include "tests/math/MatrixExpect.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

constexpr float kTol = 2e-5f;   // drivers order their float arithmetic differently

class Mat4VersusGL : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::WindowRequest request;
        request.title = "Mat4VersusGL";
        request.width = request.height = 64;
        window_ = platform::createGLWindow(request);
    }
    static void TearDownTestSuite() { platform::destroyGLWindow(window_); }
    void SetUp() override
    {
        ASSERT_NE(window_, nullptr) << "no OpenGL context on this display";
        ASSERT_TRUE(platform::makeCurrent(window_));
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
    static Mat4 read(GLenum which)
    {
        Mat4 out;
        glGetFloatv(which, out.m);
        return out;
    }
    static platform::NativeWindow* window_;
};

platform::NativeWindow* Mat4VersusGL::window_ = nullptr;

// 'T' translate, 'X'/'Y' rotate, 'Z' setRotationZ (replaces the matrix).
struct Step {
    char kind;
    float a, b = 0, c = 0;
};

TEST_F(Mat4VersusGL, RotationsAndTranslationsComposeAsTheMatrixStack)
{
    const std::vector<Step> cases[] = {
        {{'T', 1.5f, -2, 30}},
        {{'Z', 10}, {'X', -25}, {'Y', 135}, {'T', -4, -2, 7}},
        {{'T', 9, 9, 9}, {'X', 30}, {'Z', -45}, {'T', 1, 2, 3}, {'Y', -1070}},
    };
    glMatrixMode(GL_MODELVIEW);
    for (const auto& steps : cases) {
        Mat4 m;
        glLoadIdentity();
        for (const Step& s : steps) {
            switch (s.kind) {
            case 'T': m.translate(s.a, s.b, s.c); glTranslatef(s.a, s.b, s.c); break;
            case 'X': m.rotateX(s.a); glRotatef(s.a, 1, 0, 0); break;
            case 'Y': m.rotateY(s.a); glRotatef(s.a, 0, 1, 0); break;
            case 'Z': m.setRotationZ(s.a); glLoadIdentity(); glRotatef(s.a, 0, 0, 1); break;
            }
        }
        EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), kTol)) << steps.size() << " steps";
    }
}

TEST_F(Mat4VersusGL, MultiplyAndTransposeMatchTheStack)
{
    const Mat4 a = matrixFrom({2, -1, 0.5f, 0.25f, 3, 4, -2, 0.5f, 1, 0, 5, -1, 7, -3, 2, 1});
    const Mat4 b = matrixFrom({0, 1, 2, 3, -1, 0.5f, 4, 0, 6, -2, 1, 0.75f, 1, 1, -1, 2});
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(b.m);
    glMultMatrixf(a.m);
    Mat4 product;
    Mat4::product(product, b, a);
    EXPECT_TRUE(matricesNear(product, read(GL_MODELVIEW_MATRIX), kTol));
    Mat4 t = a;
    t.transpose();
    glLoadMatrixf(a.m);
    EXPECT_TRUE(matricesNear(t, read(GL_TRANSPOSE_MODELVIEW_MATRIX), 0.0f));
}

// setPerspective(fov, near, far, aspect) is gluPerspective with a vertical angle of
// fov / aspect; setOrtho's z row is (glOrtho's z row + w row) / 2.
TEST_F(Mat4VersusGL, ProjectionsAreGlsWithTheEnginesConventions)
{
    glMatrixMode(GL_PROJECTION);
    Mat4 m = matrixFrom({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    m.setFrustum(-2, 3, -1, 0.5f, 0.1f, 50);
    glLoadIdentity();
    glFrustum(-2, 3, -1, 0.5f, 0.1f, 50);
    EXPECT_TRUE(matricesNear(m, read(GL_PROJECTION_MATRIX), kTol));

    m.setPerspective(90, 1, 1000, 4.0f / 3.0f);
    glLoadIdentity();
    gluPerspective(90 / (4.0 / 3.0), 4.0 / 3.0, 1, 1000);
    EXPECT_TRUE(matricesNear(m, read(GL_PROJECTION_MATRIX), kTol));

    m.setOrtho(10, -4, 5, -1, 3, -7);  // off-centre, as a screen overlay's
    glLoadIdentity();
    glOrtho(10, -4, 5, -1, 3, -7);
    Mat4 expected = read(GL_PROJECTION_MATRIX);
    for (int k = 0; k < 4; ++k)
        expected.at(2, k) = (expected.at(2, k) + expected.at(3, k)) * 0.5f;
    EXPECT_TRUE(matricesNear(m, expected, kTol));
}

// setRotationTranslation's quaternion matrix is the transpose of the usual one.
TEST_F(Mat4VersusGL, SetTranslationsAndQuaternionIsGlRotateByTheOppositeAngle)
{
    Mat4 m = matrixFrom({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    m.setTranslation(-3, 0.5f, 12);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-3, 0.5f, 12);
    EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), 0.0f));

    const float degrees = 73, u[3] = {0.267261f, 0.534522f, 0.801784f};   // (1, 2, 3) normalised
    const float s = std::sin(degrees * 0.5f * 0.017453292f);
    m.setRotationTranslation(Vec3(1, -2, 3), Quat(u[0] * s, u[1] * s, u[2] * s, std::cos(degrees * 0.5f * 0.017453292f)));
    glLoadIdentity();
    glTranslatef(1, -2, 3);
    glRotatef(-degrees, u[0], u[1], u[2]);
    EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), kTol));
}

} // namespace
