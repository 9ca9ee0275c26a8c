// AnimationWriter: writes ".qza" files in exactly the bytes KeyframedAnimation::read
// takes: header, reserved int, name, bone count, frame count, duration, then the keys
// frame after frame. It reads the animation it is given and owns only its output.
#pragma once

#include "engine/geometry/BinaryWriter.h"

class KeyframedAnimation;

namespace AnimationWriter {

// header and name are free text the reader ignores.
void write(BinaryWriter& out, const KeyframedAnimation& animation,
           const char* header = "QZANIMATION", const char* name = "");

}
