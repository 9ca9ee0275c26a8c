// GltfCurves: the curves of one glTF 2.0 animation as the file draws them. The Open Asset
// Import Library keeps only the keys of a glTF curve and plays every curve linearly; this
// reads the file's samplers again so that STEP curves hold their keys and CUBICSPLINE
// curves follow their tangents. It reads .gltf (with buffers in files beside it) and .glb
// files and owns the curves it read; nothing else of the file.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

class GltfCurves {
public:
    enum class Shape { Linear, Step, CubicSpline };
    struct Curve {
        Shape shape = Shape::Linear;
        int width = 0;              // floats per value: 3 (translation, scale) or 4 (rotation)
        std::vector<float> times;   // seconds
        std::vector<float> values;  // per key width floats; cubic: in-tangent, value, out-tangent
    };

    // Loads the non-linear curves of animation `take` of the file at path. False, with
    // the reason in problem, when the file is glTF but its curves cannot be read; a file
    // of another format loads nothing and is not a failure.
    bool read(const std::string& path, unsigned take, std::string& problem);
    // The curve driving node `name`'s "translation", "rotation" or "scale", when it is
    // not linear; null otherwise.
    const Curve* find(const std::string& name, const std::string& target) const;
    // The curve's value at seconds (clamped to its keys) into out[width]; rotations are
    // normalised.
    static void evaluate(const Curve& curve, double seconds, float* out);

private:
    std::map<std::pair<std::string, std::string>, Curve> curves_;
};
