// ImportAnimation: one take of a model file sampled into the engine's keys: a translation
// and a rotation per bone per frame, frames spread evenly over the take's whole length,
// which runs from the importer's ticks and ticks per second (25 when the file gives
// none). Rotations are stored as the engine's keys hold them (the conjugate of the turn,
// see Mat4::setRotation). Motion the keys cannot hold (scale that changes, nodes no bone
// carries) is named in notes. It reads the scene and the skeleton; the caller owns the
// animation.
#pragma once

#include <string>
#include <vector>

struct aiAnimation;
struct aiScene;
class GltfCurves;
class ImportSkeleton;
class KeyframedAnimation;

// The take named by text (a name, or an index when no take has that name); "" is the
// first. Null, with the takes there are in reason, when there is none such.
const aiAnimation* findTake(const aiScene& scene, const std::string& text, std::string& reason);

// Samples take at fps frames per second into animation (one key per bone of skeleton).
// curves, read from a glTF file, replace the keys of the curves that are not linear.
void sampleTake(const aiScene& scene, const aiAnimation& take, const ImportSkeleton& skeleton, float fps,
    const GltfCurves& curves, KeyframedAnimation& animation, std::vector<std::string>& notes);
