#include "engine/geometry/Animation.h"

#include "engine/math/FileBuffer.h"

#include <cmath>

Quat slerp(const Quat& q0, const Quat& q1, float t)
{
    float d = float(double(q0.x) * q1.x + double(q0.y) * q1.y + double(q0.z) * q1.z + double(q0.w) * q1.w);
    float a = std::fabs(d);
    float s0 = 1.0f - t;
    float s1 = t;
    if (1.0f - a >= 1e-6f) {
        double theta = std::acos(double(a));
        float r = float(1.0 / std::sin(theta));
        s0 = float(std::sin(s0 * theta) * r);
        s1 = float(std::sin(t * theta) * r);
    }
    if (d < 0.0f)
        s1 = -s1;
    return Quat(s0 * q0.x + s1 * q1.x, s0 * q0.y + s1 * q1.y, s0 * q0.z + s1 * q1.z, s0 * q0.w + s1 * q1.w);
}

Mat4 Animation::evaluate(std::uint32_t bone, float time) const
{
    Mat4 local;
    if (frameCount == 0 || duration == 0.0f || boneCount == 0)
        return local;
    float period = duration / float(frameCount);
    double position = double(time) / double(period);
    if (!std::isfinite(position))
        return local;
    // Truncation of a value outside the 64-bit range is undefined: wrap it into range
    // first; within range the result is the same frame as truncating directly.
    double whole = std::trunc(position);
    double wrapped = std::fmod(whole, double(frameCount));
    if (wrapped < 0)
        wrapped += frameCount;
    std::uint32_t e = std::uint32_t(wrapped) % frameCount;
    std::uint32_t f = (e + 1) % frameCount;
    AnimationKey a = getKey(bone, e);
    AnimationKey b = getKey(bone, f);
    float h = float(position) - float(whole);
    Vec3 t((1.0f - h) * a.translation.x + h * b.translation.x,
           (1.0f - h) * a.translation.y + h * b.translation.y,
           (1.0f - h) * a.translation.z + h * b.translation.z);
    local.setRotationTranslation(t, slerp(a.rotation, b.rotation, h));
    return local;
}

AnimationKey KeyframedAnimation::getKey(std::uint32_t bone, std::uint32_t frame) const
{
    if (bone >= boneCount || frame >= frameCount)
        return AnimationKey();
    return keys[bone + std::size_t(frame) * boneCount];
}

bool KeyframedAnimation::read(FileBuffer& file)
{
    file.readString();  // header
    file.readInt();     // reserved
    file.readString();  // name
    std::int32_t bones = file.readInt();
    std::int32_t frames = file.readInt();
    float seconds = file.readFloat();
    std::uint64_t keyCount = bones > 0 && frames > 0 ? std::uint64_t(bones) * std::uint64_t(frames) : 0;
    bool fits = bones >= 0 && frames >= 0 && !file.overrun()
        && keyCount * sizeof(AnimationKey) <= file.remaining();
    if (!fits) {
        keys.clear();
        boneCount = frameCount = 0;
        duration = 0.0f;
        return false;
    }
    boneCount = std::uint32_t(bones);
    frameCount = std::uint32_t(frames);
    duration = seconds;
    keys.assign(keyCount, AnimationKey());
    for (AnimationKey& key : keys) {
        key.translation.x = file.readFloat();
        key.translation.y = file.readFloat();
        key.translation.z = file.readFloat();
        key.rotation.x = file.readFloat();
        key.rotation.y = file.readFloat();
        key.rotation.z = file.readFloat();
        key.rotation.w = file.readFloat();
    }
    return true;
}
