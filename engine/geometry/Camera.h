// The scene's first-person viewpoint: the translation the view applies to the scene (the
// eye position negated) and three angles in degrees, from which the view matrix is
// built. It does not own a projection, read input or move the cursor; the free camera
// and the render device do those with it.
#pragma once

#include "engine/math/Mat4.h"

class Camera {
public:
    // Stores the six values: translation (eye negated) and pitch, yaw, roll in degrees.
    void set(float x, float y, float z, float pitch, float yaw, float roll);
    // Turns the view towards the world point (px, py, pz): sets yaw and pitch, keeps roll.
    void lookAt(float px, float py, float pz);
    // Moves in the horizontal plane across the view; a positive d moves the eye left.
    void strafe(float d);
    // Moves in the horizontal plane along the view; a positive d moves the eye forward.
    void advance(float d);
    // Turns by the cursor's offset from the centre of a width x height client area (pixels);
    // rates are degrees per ten pixels. The caller puts the cursor back to the centre.
    void mouseLook(int cursorX, int cursorY, int width, int height, float yawRate, float pitchRate);
    // Rz(roll) Rx(pitch) Ry(yaw) T(x, y, z): the scene is moved first, then turned.
    Mat4 viewMatrix() const;

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float pitch = 0.0f;
    float yaw = 0.0f;
    float roll = 0.0f;
};
