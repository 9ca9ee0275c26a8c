// "police.qzg" and "police.qza": the dancer of the rain scene, a capped officer on
// seventeen bones, skinned with two influences where the joints bend, and a two-bar
// dance on the track's beat: a bounce down on every beat with the feet kept on the
// ground, a sway and a twist, arm pumps in the first bar, both arms waving overhead in
// the second. The figure stands at the origin facing +z, its left hand towards +x.
#include "tools/datagen/ShowModels.h"

#include "demo/ShowFiles.h"
#include "engine/geometry/Animation.h"
#include "tools/datagen/BodyParts.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/Noise.h"
#include "tools/datagen/Rotations.h"
#include "tools/datagen/Sdf.h"
#include "tools/datagen/ShowTimeline.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr const char* TEXTURE = "police_uniform.tga";
constexpr int BANDS = 8;
enum Band { SHOES, TROUSERS, BELT, SHIRT, SKIN, HAIR, CAP, BRIM };
constexpr float PI = std::numbers::pi_v<float>;

enum BoneId { HIPS, SPINE, CHEST, NECK, HEAD, L_UPPER, L_FORE, L_HAND, R_UPPER, R_FORE, R_HAND,
    L_THIGH, L_SHIN, L_FOOT, R_THIGH, R_SHIN, R_FOOT, BONE_COUNT };

struct Joint {
    const char* name;
    int parent;
    Vec3 position; // bind pose, model space
};

// Arms hang 40 degrees out from the body so that no limb touches another in the bind pose.
const Vec3 ARM_DOWN(0.6428f, -0.7660f, 0.0f);
const Vec3 L_SHOULDER(1.75f, 11.1f, 0.0f);
const Vec3 L_ELBOW = L_SHOULDER + ARM_DOWN * 2.6f;
const Vec3 L_WRIST = L_ELBOW + ARM_DOWN * 2.3f;

Vec3 mirror(const Vec3& v)
{
    return Vec3(-v.x, v.y, v.z);
}

const std::array<Joint, BONE_COUNT> JOINTS = {{
    {"hips", -1, {0, 7.2f, 0}},
    {"spine", HIPS, {0, 8.3f, 0}},
    {"chest", SPINE, {0, 9.9f, 0}},
    {"neck", CHEST, {0, 11.55f, 0}},
    {"head", NECK, {0, 12.35f, 0.05f}},
    {"upperarm.L", CHEST, L_SHOULDER},
    {"forearm.L", L_UPPER, L_ELBOW},
    {"hand.L", L_FORE, L_WRIST},
    {"upperarm.R", CHEST, mirror(L_SHOULDER)},
    {"forearm.R", R_UPPER, mirror(L_ELBOW)},
    {"hand.R", R_FORE, mirror(L_WRIST)},
    {"thigh.L", HIPS, {0.85f, 6.85f, 0}},
    {"shin.L", L_THIGH, {0.92f, 3.65f, 0.12f}},
    {"foot.L", L_SHIN, {1.0f, 0.62f, 0}},
    {"thigh.R", HIPS, {-0.85f, 6.85f, 0}},
    {"shin.R", R_THIGH, {-0.92f, 3.65f, 0.12f}},
    {"foot.R", R_SHIN, {-1.0f, 0.62f, 0}},
}};

BodyPart part(PartShape shape, Vec3 a, Vec3 b, float ra, float rb, float blend, int band, int bone)
{
    BodyPart p;
    p.shape = shape;
    p.a = a;
    p.b = b;
    p.ra = ra;
    p.rb = rb;
    p.blend = blend;
    p.band = band;
    p.bone = bone;
    return p;
}

BodyPart limb(int from, int to, float ra, float rb, float blend, int band)
{
    return part(PartShape::Capsule, JOINTS[std::size_t(from)].position, JOINTS[std::size_t(to)].position, ra, rb,
        blend, band, from);
}

std::vector<BodyPart> dancerParts()
{
    using S = PartShape;
    std::vector<BodyPart> parts = {
        part(S::Ellipsoid, {0, 7.05f, 0}, {1.45f, 0.95f, 0.95f}, 0, 0, 0, TROUSERS, HIPS),
        part(S::Ring, {0, 7.75f, 0}, {0, 1, 0}, 1.22f, 0.17f, 0.15f, BELT, HIPS),
        part(S::Capsule, {0, 7.7f, 0}, {0, 9.4f, 0.02f}, 1.15f, 1.25f, 0.4f, SHIRT, SPINE),
        part(S::Ellipsoid, {0, 10.35f, 0.05f}, {1.75f, 1.3f, 1.05f}, 0, 0, 0.4f, SHIRT, CHEST),
        part(S::Capsule, {-1.55f, 11.05f, 0}, {1.55f, 11.05f, 0}, 0.6f, 0.6f, 0.35f, SHIRT, CHEST),
        part(S::Capsule, {0, 11.4f, 0}, {0, 12.4f, 0.05f}, 0.45f, 0.42f, 0.25f, SKIN, NECK),
        part(S::Ellipsoid, {0, 13.05f, 0.1f}, {0.9f, 1.08f, 0.98f}, 0, 0, 0.2f, SKIN, HEAD),
        part(S::Ellipsoid, {0, 13.2f, -0.25f}, {0.94f, 0.9f, 0.92f}, 0, 0, 0.12f, HAIR, HEAD),
        part(S::Ellipsoid, {0, 12.95f, 1.1f}, {0.14f, 0.26f, 0.26f}, 0, 0, 0.08f, SKIN, HEAD),
        part(S::Ellipsoid, {0, 13.62f, 0.95f}, {0.9f, 0.11f, 0.62f}, 0, 0, 0.1f, BRIM, HEAD),
        limb(L_UPPER, L_FORE, 0.5f, 0.42f, 0.35f, SHIRT),
        limb(L_FORE, L_HAND, 0.38f, 0.3f, 0.15f, SKIN),
        part(S::Capsule, L_WRIST, L_WRIST + ARM_DOWN * 0.75f, 0.3f, 0.26f, 0.12f, SKIN, L_HAND),
        limb(R_UPPER, R_FORE, 0.5f, 0.42f, 0.35f, SHIRT),
        limb(R_FORE, R_HAND, 0.38f, 0.3f, 0.15f, SKIN),
        part(S::Capsule, mirror(L_WRIST), mirror(L_WRIST + ARM_DOWN * 0.75f), 0.3f, 0.26f, 0.12f, SKIN, R_HAND),
        limb(L_THIGH, L_SHIN, 0.7f, 0.5f, 0.35f, TROUSERS),
        limb(L_SHIN, L_FOOT, 0.48f, 0.36f, 0.15f, TROUSERS),
        part(S::Capsule, {1.0f, 0.45f, -0.15f}, {1.05f, 0.32f, 1.2f}, 0.42f, 0.32f, 0.15f, SHOES, L_FOOT),
        limb(R_THIGH, R_SHIN, 0.7f, 0.5f, 0.35f, TROUSERS),
        limb(R_SHIN, R_FOOT, 0.48f, 0.36f, 0.15f, TROUSERS),
        part(S::Capsule, {-1.0f, 0.45f, -0.15f}, {-1.05f, 0.32f, 1.2f}, 0.42f, 0.32f, 0.15f, SHOES, R_FOOT),
    };
    BodyPart crown = part(S::Custom, {}, {}, 0, 0, 0.12f, CAP, HEAD);
    crown.custom = [](const Vec3& p) { return sdf::cylinderY(p, Vec3(0, 0, 0.05f), 1.12f, 13.6f, 14.55f, 0.22f); };
    parts.push_back(crown);
    return parts;
}

// Two influences: the bone whose parts lie nearest, blended with its parent or child
// where both are within BLEND of each other (at the joints), weights summing to one.
SkinWeight jointWeight(const std::vector<BodyPart>& parts, const Vec3& p)
{
    constexpr float BLEND = 0.55f;
    std::array<float, BONE_COUNT> nearest;
    nearest.fill(1e30f);
    for (const BodyPart& part : parts)
        nearest[std::size_t(part.bone)] = std::min(nearest[std::size_t(part.bone)], part.distance(p));
    int first = 0;
    for (int b = 1; b < BONE_COUNT; ++b)
        if (nearest[std::size_t(b)] < nearest[std::size_t(first)])
            first = b;
    int second = -1;
    for (int b = 0; b < BONE_COUNT; ++b) {
        const bool linked = JOINTS[std::size_t(b)].parent == first || JOINTS[std::size_t(first)].parent == b;
        if (linked && (second < 0 || nearest[std::size_t(b)] < nearest[std::size_t(second)]))
            second = b;
    }
    SkinWeight w;
    w.bone0 = first;
    w.weight0 = 1.0f;
    const float gap = second < 0 ? BLEND : nearest[std::size_t(second)] - nearest[std::size_t(first)];
    if (gap < BLEND) {
        w.weight0 = 0.5f + 0.5f * gap / BLEND;
        w.bone1 = second;
        w.weight1 = 1.0f - w.weight0;
    }
    return w;
}

Rgb paintUniform(int band, float u, float t)
{
    using namespace palette::surface;
    const float grain = 0.5f + 0.5f * tileNoise(u * 64.0f, t * 8.0f, 64, 31u + std::uint32_t(band));
    const Rgb navy = mixf(NIGHT, INDIGO, 0.7f);
    switch (band) {
    case SHOES:
        return mixf(NIGHT, VIOLET, 0.25f * grain);
    case TROUSERS: // navy with a fine magenta pinstripe
        return std::fmod(u * 32.0f, 1.0f) < 0.08f ? mixf(navy, MAGENTA, 0.5f) : mixf(navy, INDIGO, 0.3f * grain);
    case BELT:
        return std::fabs(std::fmod(u * 4.0f, 1.0f) - 0.5f) < 0.06f ? WHITE : mixf(AMBER, NIGHT, 0.25f * grain);
    case SHIRT:
        return mixf(mixf(CYAN, INDIGO, 0.35f), WHITE, 0.15f * grain);
    case SKIN:
        return mixf(WARM, AMBER, 0.15f * grain);
    case HAIR:
        return mixf(NIGHT, VIOLET, 0.3f * grain);
    case CAP: // navy crown with an amber band low down
        return t > 0.55f && t < 0.8f ? mixf(AMBER, WHITE, 0.2f * grain) : mixf(navy, INDIGO, 0.3f * grain);
    default:
        return mixf(NIGHT, navy, 0.5f * grain);
    }
}

std::unique_ptr<SkinModifier> dancerSkin(const ModelMesh& mesh, const std::vector<BodyPart>& parts)
{
    auto skin = std::make_unique<SkinModifier>();
    Skeleton& skeleton = skin->skeleton;
    skeleton.name = "dancer";
    skeleton.resize(BONE_COUNT);
    for (int b = 0; b < BONE_COUNT; ++b) {
        Bone& bone = skeleton.bones[std::size_t(b)];
        const Joint& joint = JOINTS[std::size_t(b)];
        bone.name = joint.name;
        bone.parent = joint.parent;
        bone.offset.setTranslation(-joint.position.x, -joint.position.y, -joint.position.z);
        // Children in index order: the parent's first child, then each one's next sibling.
        for (int c = BONE_COUNT - 1; c > b; --c)
            if (JOINTS[std::size_t(c)].parent == b) {
                skeleton.bones[std::size_t(c)].nextSibling = bone.firstChild;
                bone.firstChild = c;
            }
    }
    auto skinMesh = std::make_unique<SkinMesh>();
    for (const Vec3& p : mesh.positions)
        skinMesh->weights.push_back(jointWeight(parts, p));
    skin->skinMeshes.push_back(std::move(skinMesh));
    return skin;
}

// ---- The dance ---------------------------------------------------------------------

constexpr int BEATS = 8;
constexpr int KEYS_PER_BEAT = 12;

struct Pose {
    Vec3 rootShift;
    std::array<Quat, BONE_COUNT> local; // turn of each bone in its parent's frame
};

Quat turn(float pitch, float yaw, float roll)
{
    return multiply(axisAngle({0, 1, 0}, yaw), multiply(axisAngle({1, 0, 0}, pitch), axisAngle({0, 0, 1}, roll)));
}

// Turns of the left arm (upper arm, forearm) for pump p (0..1) and wave w (0..1, blend)
// with sway s; the right arm mirrors them (side flips the z and y turns).
void armPose(float pump, float wave, float sway, float side, Quat& upper, Quat& fore)
{
    const float raise = (1.0f - wave) * -15.0f + wave * (100.0f + 22.0f * sway);
    const float forward = (1.0f - wave) * -(35.0f + 55.0f * pump) + wave * -12.0f;
    const float bend = (1.0f - wave) * -(55.0f + 55.0f * pump) + wave * -(20.0f + 15.0f * sway * side);
    upper = multiply(axisAngle({0, 0, 1}, side * raise), axisAngle({1, 0, 0}, forward));
    fore = axisAngle({1, 0, 0}, bend);
}

// Hip, knee and ankle: turns that bring the ankle to `ankle` (model space) from a hip
// that moved with the root, the knee bending forwards, the foot flat and facing `yaw`.
void legPose(int thigh, const Quat& rootTurn, const Vec3& rootPosition, const Vec3& ankle, float yaw, Pose& pose)
{
    const Vec3 hipBind = JOINTS[std::size_t(thigh)].position;
    const Vec3 kneeBind = JOINTS[std::size_t(thigh + 1)].position;
    const Vec3 ankleBind = JOINTS[std::size_t(thigh + 2)].position;
    const float upper = (kneeBind - hipBind).length(), lower = (ankleBind - kneeBind).length();
    const Vec3 hip = rootPosition + rotate(rootTurn, hipBind - JOINTS[HIPS].position);
    const Vec3 toAnkle = ankle - hip;
    const float reach = std::min(toAnkle.length(), 0.999f * (upper + lower));
    Vec3 along = toAnkle;
    along.normalize();
    const float a = (upper * upper - lower * lower + reach * reach) / (2.0f * reach);
    const float h = std::sqrt(std::max(0.0f, upper * upper - a * a));
    Vec3 pole = rotate(axisAngle({0, 1, 0}, yaw), Vec3(0, 0, 1));
    pole = pole - along * dot(pole, along);
    pole.normalize();
    const Vec3 knee = hip + along * a + pole * h;
    const Vec3 foot = hip + along * reach;

    const Quat thighWorld = fromTo(kneeBind - hipBind, knee - hip);
    const Quat shinWorld = multiply(fromTo(rotate(thighWorld, ankleBind - kneeBind), foot - knee), thighWorld);
    const Quat footWorld = axisAngle({0, 1, 0}, yaw);
    pose.local[std::size_t(thigh)] = multiply(conjugate(rootTurn), thighWorld);
    pose.local[std::size_t(thigh + 1)] = multiply(conjugate(thighWorld), shinWorld);
    pose.local[std::size_t(thigh + 2)] = multiply(conjugate(shinWorld), footWorld);
}

Pose dancePose(float beat)
{
    Pose pose;
    const float bounce = 0.5f + 0.5f * std::cos(2.0f * PI * beat); // 1 on the beat: down
    const float sway = std::sin(PI * beat);                          // side to side over two beats
    const float twist = std::sin(0.5f * PI * beat);                  // a turn over four beats
    const float wave = 0.5f - 0.5f * std::cos(0.25f * PI * beat);    // bar 1 pumps, bar 2 waves
    pose.rootShift = Vec3(0.4f * sway, -0.55f * bounce, 0.0f);
    const float yaw = 16.0f * twist;
    const Quat rootTurn = turn(0.0f, yaw, -4.0f * sway);
    pose.local[HIPS] = rootTurn;
    pose.local[SPINE] = turn(6.0f * bounce, -5.0f * twist, 3.0f * sway);
    pose.local[CHEST] = turn(3.0f * bounce, -8.0f * twist, 4.0f * sway);
    pose.local[NECK] = turn(-4.0f * bounce, 0.0f, 0.0f);
    pose.local[HEAD] = turn(14.0f * bounce - 4.0f, 10.0f * twist, 6.0f * std::sin(PI * beat + 0.6f));
    const float pumpLeft = 0.5f + 0.5f * std::sin(PI * beat), pumpRight = 1.0f - pumpLeft;
    armPose(pumpLeft, wave, sway, 1.0f, pose.local[L_UPPER], pose.local[L_FORE]);
    armPose(pumpRight, wave, -sway, -1.0f, pose.local[R_UPPER], pose.local[R_FORE]);
    pose.local[L_HAND] = turn(-20.0f * bounce, 0.0f, 0.0f);
    pose.local[R_HAND] = turn(-20.0f * bounce, 0.0f, 0.0f);
    const Vec3 rootPosition = JOINTS[HIPS].position + pose.rootShift;
    legPose(L_THIGH, rootTurn, rootPosition, JOINTS[L_FOOT].position, 0.0f, pose);
    legPose(R_THIGH, rootTurn, rootPosition, JOINTS[R_FOOT].position, 0.0f, pose);
    return pose;
}

void fillDance(KeyframedAnimation& dance)
{
    dance.boneCount = BONE_COUNT;
    dance.frameCount = BEATS * KEYS_PER_BEAT;
    dance.duration = float(BEATS) * 60.0f / float(showtime::BEATS_PER_MINUTE);
    dance.keys.resize(std::size_t(dance.frameCount) * BONE_COUNT);
    for (std::uint32_t f = 0; f < dance.frameCount; ++f) {
        const Pose pose = dancePose(float(f) / float(KEYS_PER_BEAT));
        for (int b = 0; b < BONE_COUNT; ++b) {
            const Joint& joint = JOINTS[std::size_t(b)];
            AnimationKey& key = dance.keys[std::size_t(b) + f * BONE_COUNT];
            key.translation = joint.parent < 0 ? joint.position + pose.rootShift
                                               : joint.position - JOINTS[std::size_t(joint.parent)].position;
            key.rotation = keyRotation(pose.local[std::size_t(b)]);
        }
    }
}

}

bool writeDancer(const std::filesystem::path& dir)
{
    const std::vector<BodyPart> parts = dancerParts();
    const ModelMesh mesh = meshBody(parts, Vec3(-6, -0.4f, -2.2f), Vec3(6, 15.0f, 2.4f), 0.1f, 4500, BANDS, 3.0f);
    std::shared_ptr<Mesh> engine = engineMesh(mesh, false, showfiles::DANCER);
    if (!engine)
        return false;
    Geometry dancer;
    const MaterialLook look = {"dancer", {0.3f, 0.3f, 0.3f}, {1, 1, 1}, {0.5f, 0.5f, 0.5f}, {0, 0, 0}, 32.0f, TEXTURE};
    dancer.addItem(makeMaterial(look), engine);
    dancer.skin = dancerSkin(mesh, parts);
    KeyframedAnimation dance;
    fillDance(dance);
    return writePictureFile(dir, TEXTURE, bandTexture(256, BANDS, paintUniform))
        && writeModelFile(dir, showfiles::DANCER, dancer) && writeAnimationFile(dir, showfiles::DANCE, dance);
}
