// Bone: one node of a skeleton's hierarchy with its bind offset, its matrices of the
// current frame and its own animation playback state. Bones refer to each other and to
// their animation by index; the Skeleton owns the array they live in.
#pragma once

#include "engine/math/Mat4.h"

#include <cstdint>
#include <string>

// What a bone does when its time passes the animation's duration.
enum BoneEndMode : std::int32_t {
    EndStop = 0,         // hold the last pose this frame, then follow the parent
    EndLoop = 1,         // wrap around
    EndFollowParent = 2  // take over the parent's playback state
};

struct Bone {
    std::string name;
    std::int32_t parent = -1;       // negative for a root
    std::int32_t firstChild = -1;   // -1 for none
    std::int32_t nextSibling = -1;  // -1 for none
    Mat4 offset;                    // bind-pose model space -> bone space
    std::int32_t animIndex = -1;    // AnimationTable index; outside the table = none
    Mat4 world;                     // bone -> model space this frame
    Mat4 normalMatrix;              // cofactor of skinMatrix, for directions
    Mat4 skinMatrix;                // world x offset
    float speed = 0.0f;             // playback rate, 1 = real time
    float time = 0.0f;              // seconds into the animation
    std::int32_t endMode = EndLoop;
};
