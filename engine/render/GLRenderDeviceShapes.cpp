// The OpenGL device's immediate-mode helpers: 2D rectangles and lines in viewport
// pixels, points and wire shapes. They draw with glBegin/glEnd around the state cache:
// what they change is listed with each, and the cached states are not updated.
#include "engine/render/GLRenderDevice.h"

#include "engine/material/Texture.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <initializer_list>

namespace {

constexpr float DegreesToRadians = 0.017453292f;

void setBlendForAlpha(float a)
{
    if (a >= 1.0f) {
        glDisable(GL_BLEND);
    } else {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

// An untextured primitive in the current (2D) projection, blended when a < 1. Leaves
// texturing and blending off and the current colour white.
void drawFlat2D(GLenum primitive, std::initializer_list<std::array<float, 2>> points, float r, float g, float b,
                float a)
{
    glDisable(GL_TEXTURE_2D);
    glColor4f(r, g, b, a);
    setBlendForAlpha(a);
    glBegin(primitive);
    for (const auto& p : points)
        glVertex2f(p[0], p[1]);
    glEnd();
    if (a < 1.0f)
        glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

}

void GLRenderDevice::begin2D(bool normalised, float& sx, float& sy)
{
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    // y grows downwards from the top left of the viewport.
    gluOrtho2D(-1.0, vp[2], vp[3], -1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    sx = normalised ? static_cast<float>(viewportWidth) : 1.0f;
    sy = normalised ? static_cast<float>(viewportHeight) : 1.0f;
}

void GLRenderDevice::end2D()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    // Left on whatever they were before: the state cache believes both are on.
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
}

void GLRenderDevice::drawRect2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a,
                                bool normalised)
{
    float sx, sy;
    begin2D(normalised, sx, sy);
    drawFlat2D(GL_QUADS, {{x1 * sx, y1 * sy}, {x1 * sx, y2 * sy}, {x2 * sx, y2 * sy}, {x2 * sx, y1 * sy}}, r, g, b, a);
    end2D();
}

void GLRenderDevice::drawLine2D(float x1, float y1, float x2, float y2, float r, float g, float b, float a,
                                bool normalised)
{
    float sx, sy;
    begin2D(normalised, sx, sy);
    drawFlat2D(GL_LINES, {{x1 * sx, y1 * sy}, {x2 * sx, y2 * sy}}, r, g, b, a);
    end2D();
}

void GLRenderDevice::drawTexturedRect2D(int texture, float x1, float y1, float x2, float y2, bool normalised)
{
    float sx, sy;
    begin2D(normalised, sx, sy);
    glEnable(GL_TEXTURE_2D);
    // The caller binds the texture with setTexture beforehand.
    textureSlots[0] = texture;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const Texture* t = textures.get(texture);
    const bool blend = t && (t->flags & Texture::HasAlpha);
    if (blend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(x1 * sx, y1 * sy);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(x1 * sx, y2 * sy);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(x2 * sx, y2 * sy);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(x2 * sx, y1 * sy);
    glEnd();
    if (blend)
        glDisable(GL_BLEND);
    end2D();
}

void GLRenderDevice::drawPoint(float x, float y, float z, float r, float g, float b)
{
    glColor3f(r, g, b);
    glBegin(GL_POINTS);
    glVertex3f(x, y, z);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GLRenderDevice::drawWireEllipsoid(float cx, float cy, float cz, float rx, float ry, float rz, float r, float g,
                                       float b)
{
    glColor3f(r, g, b);
    for (int ring = 0; ring < 3; ++ring) {
        glBegin(GL_LINE_LOOP);
        for (int step = 0; step < 36; ++step) {
            const float a = static_cast<float>(step * 10) * DegreesToRadians;
            const float c = std::cos(a);
            const float s = std::sin(a);
            if (ring == 0)
                glVertex3f(cx + rx * c, cy, cz + rz * s);
            else if (ring == 1)
                glVertex3f(cx, cy + ry * c, cz + rz * s);
            else
                glVertex3f(cx + rx * c, cy + ry * s, cz);
        }
        glEnd();
    }
    glBegin(GL_LINES);
    glVertex3f(cx, cy, cz - rz);
    glVertex3f(cx, cy, cz + rz);
    glVertex3f(cx - rx, cy, cz);
    glVertex3f(cx + rx, cy, cz);
    glVertex3f(cx, cy - ry, cz);
    glVertex3f(cx, cy + ry, cz);
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void GLRenderDevice::drawWireBox(float x1, float y1, float z1, float x2, float y2, float z2, float r, float g, float b)
{
    // Texturing and lighting stay off afterwards.
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glColor3f(r, g, b);
    const float ys[2] = {y1, y2};
    for (float y : ys) {
        glBegin(GL_LINE_LOOP);
        glVertex3f(x1, y, z1);
        glVertex3f(x2, y, z1);
        glVertex3f(x2, y, z2);
        glVertex3f(x1, y, z2);
        glEnd();
    }
    glBegin(GL_LINES);
    const float corners[4][2] = {{x1, z1}, {x2, z1}, {x2, z2}, {x1, z2}};
    for (const auto& c : corners) {
        glVertex3f(c[0], y1, c[1]);
        glVertex3f(c[0], y2, c[1]);
    }
    glEnd();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
