// The quad each live particle is drawn as, computed on the CPU so a whole system goes to
// OpenGL as one vertex array: a unit billboard turned towards the camera, or (type 5) a
// jittered streak. Corners come in triangle-strip order with the texture coordinates
// of kQuadTexCoords. No GL and no state; the streak draws from ShowRandom.
#pragma once

#include "engine/math/Vec3.h"

// Texture coordinates (u, v) of the four corners, in strip order.
inline constexpr float kQuadTexCoords[4][2] = {{1, 1}, {0, 1}, {1, 0}, {0, 0}};

// The part of the sprite, in texture coordinates, outside which a sample adds nothing:
// a billboard drawn over this part only puts the same pixels on screen as the whole
// unit quad, with fewer fragments to shade. The whole sprite by default.
struct SpriteRect {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;

    // Corner i's texture coordinates over this part, in kQuadTexCoords' order.
    float u(int i) const { return kQuadTexCoords[i][0] != 0.0f ? u1 : u0; }
    float v(int i) const { return kQuadTexCoords[i][1] != 0.0f ? v1 : v0; }
};

// Colour of every streak, red, green, blue, alpha (the alpha of 6 is clamped by GL).
inline constexpr float kStreakColour[4] = {0.4f, 0.4f, 0.4f, 6.0f};

// The corners of the unit square around position (z = position.z, corners at
// x +- 0.5, y +- 0.5) after the particle's billboard turn about its own centre: yaw
// about Y towards the camera, then a pitch about X. camera is the scene camera's
// translation (the negated eye position), so position + camera runs from eye to particle.
// With a rect, the corners of that part of the turned quad (u across, v up), whose
// texture coordinates are the rect's corners in the same order.
void billboardCorners(const Vec3& position, const Vec3& camera, Vec3 corners[4], const SpriteRect& rect = {});

// The streak quad around position: a 0.1-unit square whose corners are pulled apart by
// four fresh random terms, drawn in corner order (first corner x, first corner z,
// second corner z, fourth corner x).
void streakCorners(const Vec3& position, Vec3 corners[4]);
