#include "engine/geometry/AnimationWriter.h"

#include "engine/geometry/Animation.h"

namespace AnimationWriter {

void write(BinaryWriter& out, const KeyframedAnimation& animation, const char* header, const char* name)
{
    out.putString(header ? header : "");
    out.putInt(0);
    out.putString(name ? name : "");
    out.putInt(std::int32_t(animation.boneCount));
    out.putInt(std::int32_t(animation.frameCount));
    out.putFloat(animation.duration);
    for (std::uint32_t f = 0; f < animation.frameCount; ++f) {
        for (std::uint32_t b = 0; b < animation.boneCount; ++b) {
            AnimationKey key = animation.getKey(b, f);
            out.putFloat(key.translation.x);
            out.putFloat(key.translation.y);
            out.putFloat(key.translation.z);
            out.putFloat(key.rotation.x);
            out.putFloat(key.rotation.y);
            out.putFloat(key.rotation.z);
            out.putFloat(key.rotation.w);
        }
    }
}

}
