// The matrix operations against OpenGL's own matrix stack: the same transform is built
// with Mat4 and with glRotatef/glTranslatef/glFrustum/gluPerspective/glOrtho, read back
// with glGetFloatv and compared element by element. Where the engine deliberately
// differs from OpenGL (the perspective field of view, the 0..1 orthographic depth) the
// test states the relation and checks it.
#include "engine/math/Mat4.h"
#include "platform/GLWindow.h"

#include "tests/math/MatrixExpect.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <vector>

namespace {

// Relative tolerance (absolute below 1): OpenGL implementations compute sines, cosines
// and products in their own order and precision; 32-bit floats agree to a few ulps.
constexpr float kTol = 2e-5f;

class Mat4VersusGL : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::WindowRequest request;
        request.title = "Mat4VersusGL";
        request.width = 64;
        request.height = 64;
        window_ = platform::createGLWindow(request);
    }
    static void TearDownTestSuite()
    {
        platform::destroyGLWindow(window_);
        window_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(window_, nullptr) << "no OpenGL context on this display";
        ASSERT_TRUE(platform::makeCurrent(window_));
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    static Mat4 read(GLenum which)
    {
        Mat4 out;
        glGetFloatv(which, out.m);
        return out;
    }

    static platform::NativeWindow* window_;
};

platform::NativeWindow* Mat4VersusGL::window_ = nullptr;

// One step of a transform, applied to a Mat4 and to the GL model-view stack alike.
struct Step {
    enum Kind { Translate, RotateX, RotateY, RotationZ } kind;
    float a, b, c;
};

Step translateBy(float x, float y, float z) { return {Step::Translate, x, y, z}; }
Step rotX(float degrees) { return {Step::RotateX, degrees, 0, 0}; }
Step rotY(float degrees) { return {Step::RotateY, degrees, 0, 0}; }
Step rotZ(float degrees) { return {Step::RotationZ, degrees, 0, 0}; }

void applyToMat4(Mat4& m, const Step& s)
{
    switch (s.kind) {
    case Step::Translate: m.translate(s.a, s.b, s.c); break;
    case Step::RotateX: m.rotateX(s.a); break;
    case Step::RotateY: m.rotateY(s.a); break;
    case Step::RotationZ: m.setRotationZ(s.a); break;
    }
}

void applyToGL(const Step& s)
{
    switch (s.kind) {
    case Step::Translate: glTranslatef(s.a, s.b, s.c); break;
    case Step::RotateX: glRotatef(s.a, 1, 0, 0); break;
    case Step::RotateY: glRotatef(s.a, 0, 1, 0); break;
    // set rotation Z replaces the matrix: the GL stack starts over from the identity
    case Step::RotationZ: glLoadIdentity(); glRotatef(s.a, 0, 0, 1); break;
    }
}

TEST_F(Mat4VersusGL, RotationsAndTranslationsComposeAsTheMatrixStack)
{
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"translate", {translateBy(1.5f, -2, 30)}},
        {"rotateX", {rotX(37)}},
        {"rotateY", {rotY(-123)}},
        {"rotationZ", {rotZ(200)}},
        {"camera-like", {rotZ(10), rotX(-25), rotY(135), translateBy(-4, -2, 7)}},
        {"translate then turn", {translateBy(3, 0, 0), rotY(90), translateBy(0, 0, 5), rotX(45)}},
        {"large angles", {rotX(725), rotY(-1070)}},
        {"rotationZ discards", {translateBy(9, 9, 9), rotX(30), rotZ(-45), translateBy(1, 2, 3)}},
    };
    glMatrixMode(GL_MODELVIEW);
    for (const auto& c : cases) {
        Mat4 m;
        glLoadIdentity();
        for (const Step& s : c.steps) {
            applyToMat4(m, s);
            applyToGL(s);
        }
        EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), kTol)) << c.name;
    }
}

TEST_F(Mat4VersusGL, MultiplyAndTransposeMatchTheStack)
{
    const Mat4 a = matrixFrom({2, -1, 0.5f, 0.25f, 3, 4, -2, 0.5f, 1, 0, 5, -1, 7, -3, 2, 1});
    const Mat4 b = matrixFrom({0, 1, 2, 3, -1, 0.5f, 4, 0, 6, -2, 1, 0.75f, 1, 1, -1, 2});

    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(a.m);
    glMultMatrixf(b.m);
    Mat4 ab = a;
    ab.multiply(b);
    EXPECT_TRUE(matricesNear(ab, read(GL_MODELVIEW_MATRIX), kTol));

    Mat4 product;
    Mat4::product(product, b, a);
    glLoadMatrixf(b.m);
    glMultMatrixf(a.m);
    EXPECT_TRUE(matricesNear(product, read(GL_MODELVIEW_MATRIX), kTol));

    glLoadMatrixf(a.m);
    Mat4 t = a;
    t.transpose();
    EXPECT_TRUE(matricesNear(t, read(GL_TRANSPOSE_MODELVIEW_MATRIX), 0.0f));
}

TEST_F(Mat4VersusGL, SetTranslationIsALoadedTranslation)
{
    Mat4 m = matrixFrom({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
    m.setTranslation(-3, 0.5f, 12);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-3, 0.5f, 12);
    EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), 0.0f));
}

TEST_F(Mat4VersusGL, FrustumIsGlFrustum)
{
    const struct {
        float l, r, b, t, n, f;
    } cases[] = {
        {-1, 1, -0.75f, 0.75f, 1, 1000},
        {-2, 3, -1, 0.5f, 0.1f, 50},   // off-centre
        {-0.01f, 0.01f, -0.01f, 0.01f, 0.01f, 100000},
    };
    glMatrixMode(GL_PROJECTION);
    for (const auto& c : cases) {
        Mat4 m = matrixFrom({9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
        m.setFrustum(c.l, c.r, c.b, c.t, c.n, c.f);
        glLoadIdentity();
        glFrustum(c.l, c.r, c.b, c.t, c.n, c.f);
        EXPECT_TRUE(matricesNear(m, read(GL_PROJECTION_MATRIX), kTol)) << c.l << " " << c.r;
    }
}

// The engine's perspective divides the field of view by the aspect ratio before halving
// it, so setPerspective(fov, near, far, aspect) is gluPerspective with a vertical angle of
// fov / aspect, not fov.
TEST_F(Mat4VersusGL, PerspectiveIsGluPerspectiveOfFovOverAspect)
{
    const struct {
        float fov, n, f, aspect;
    } cases[] = {
        {90, 1, 1000, 4.0f / 3.0f},
        {45, 0.5f, 100, 16.0f / 9.0f},
        {60, 0.1f, 10, 1},
        {120, 2, 20, 0.5f},
    };
    glMatrixMode(GL_PROJECTION);
    for (const auto& c : cases) {
        Mat4 m;
        m.setPerspective(c.fov, c.n, c.f, c.aspect);
        glLoadIdentity();
        gluPerspective(c.fov / c.aspect, c.aspect, c.n, c.f);
        EXPECT_TRUE(matricesNear(m, read(GL_PROJECTION_MATRIX), kTol)) << "fov " << c.fov;
    }

    // and it is not gluPerspective(fov) unless the aspect is 1
    Mat4 m;
    m.setPerspective(90, 1, 1000, 4.0f / 3.0f);
    glLoadIdentity();
    gluPerspective(90, 4.0 / 3.0, 1, 1000);
    EXPECT_FALSE(matricesNear(m, read(GL_PROJECTION_MATRIX), kTol));
}

// The engine's ortho maps depth to 0..1 where glOrtho maps it to -1..1: x, y and w rows
// agree; the z row is half of glOrtho's plus half of the w row (z' = (z_gl + w) / 2).
TEST_F(Mat4VersusGL, OrthoIsGlOrthoWithDepthHalvedAndShifted)
{
    const struct {
        float l, r, b, t, n, f;
    } cases[] = {
        {0, 1024, 0, 768, -1, 1},
        {-2, 2, -1.5f, 1.5f, 0.5f, 100},
        {10, -10, 5, -5, 3, -7},   // mirrored axes and depth
    };
    glMatrixMode(GL_PROJECTION);
    for (const auto& c : cases) {
        Mat4 m;
        m.setOrtho(c.l, c.r, c.b, c.t, c.n, c.f);
        glLoadIdentity();
        glOrtho(c.l, c.r, c.b, c.t, c.n, c.f);
        Mat4 expected = read(GL_PROJECTION_MATRIX);
        for (int k = 0; k < 4; ++k)
            expected.at(2, k) = (expected.at(2, k) + expected.at(3, k)) * 0.5f;
        EXPECT_TRUE(matricesNear(m, expected, kTol)) << c.l << " " << c.r;
    }
}

// The quaternion matrix is the transpose of the usual one: q for angle a about axis u
// gives glRotatef(-a, u).
TEST_F(Mat4VersusGL, QuaternionMatrixIsGlRotateByTheOppositeAngle)
{
    const struct {
        float degrees, ux, uy, uz;
    } cases[] = {
        {0, 0, 0, 1},
        {90, 0, 0, 1},
        {30, 1, 0, 0},
        {-140, 0, 1, 0},
        {73, 0.267261f, 0.534522f, 0.801784f},   // (1, 2, 3) normalised
        {179, -0.57735f, 0.57735f, 0.57735f},
    };
    glMatrixMode(GL_MODELVIEW);
    for (const auto& c : cases) {
        const float half = c.degrees * 0.5f * 0.017453292f;
        const float s = std::sin(half);
        Mat4 m;
        m.setRotationTranslation(Vec3(1, -2, 3), Quat(c.ux * s, c.uy * s, c.uz * s, std::cos(half)));
        glLoadIdentity();
        glTranslatef(1, -2, 3);
        glRotatef(-c.degrees, c.ux, c.uy, c.uz);
        EXPECT_TRUE(matricesNear(m, read(GL_MODELVIEW_MATRIX), kTol)) << c.degrees << " degrees";
    }
}

} // namespace
