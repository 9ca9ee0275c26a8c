#include "tools/qztool/GltfCurves.h"

#include "tools/qztool/Session.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// Type-checked reads: a file that lies about its types is refused, never thrown at.
const json* member(const json& object, const char* key)
{
    if (!object.is_object())
        return nullptr;
    auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

const json* element(const json* array, const json* index)
{
    if (!array || !array->is_array() || !index || !index->is_number_unsigned() || index->get<std::uint64_t>() >= array->size())
        return nullptr;
    return &(*array)[index->get<std::size_t>()];
}

std::uint64_t count(const json& object, const char* key, std::uint64_t fallback)
{
    const json* value = member(object, key);
    return value && value->is_number_unsigned() ? value->get<std::uint64_t>() : fallback;
}

std::string text(const json& object, const char* key)
{
    const json* value = member(object, key);
    return value && value->is_string() ? value->get<std::string>() : "";
}

std::uint32_t le32(const std::string& bytes, std::size_t at)
{
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
}

// A .glb file: its JSON chunk and its binary chunk (empty when absent).
bool splitGlb(const std::string& bytes, std::string& jsonText, std::string& binary)
{
    if (bytes.size() < 20 || bytes.compare(0, 4, "glTF") != 0)
        return false;
    const std::uint64_t jsonLength = le32(bytes, 12);
    if (le32(bytes, 16) != 0x4E4F534Au || 20 + jsonLength > bytes.size())
        return false;
    jsonText = bytes.substr(20, jsonLength);
    const std::uint64_t next = (20 + jsonLength + 3) & ~std::uint64_t(3);
    if (next + 8 <= bytes.size() && le32(bytes, next + 4) == 0x004E4942u)
        binary = bytes.substr(next + 8, std::min<std::uint64_t>(le32(bytes, next), bytes.size() - next - 8));
    return true;
}

class Buffers {
public:
    Buffers(const json& root, const std::string& folder, std::string glbBinary)
        : root_(root), folder_(folder), glb_(std::move(glbBinary))
    {
    }

    // The floats of the float accessor at index, width per element; false when it is not one.
    bool floats(const json* index, int width, std::vector<float>& out, std::string& problem)
    {
        const json* accessor = element(member(root_, "accessors"), index);
        const json* view = accessor ? element(member(root_, "bufferViews"), member(*accessor, "bufferView")) : nullptr;
        if (!view || count(*accessor, "componentType", 0) != 5126) {
            problem = "an animation curve is not stored as floats";
            return false;
        }
        const std::string* bytes = buffer(member(*view, "buffer"), problem);
        const std::uint64_t n = count(*accessor, "count", 0);
        const std::uint64_t stride = count(*view, "byteStride", 4u * std::uint64_t(width));
        const std::uint64_t start = count(*view, "byteOffset", 0) + count(*accessor, "byteOffset", 0);
        const std::uint64_t end = n == 0 ? start : start + (n - 1) * stride + 4u * std::uint64_t(width);
        if (!bytes || n > (1u << 26) || end > count(*view, "byteOffset", 0) + count(*view, "byteLength", 0)
            || end > bytes->size()) {
            problem = problem.empty() ? "an animation curve runs past its buffer" : problem;
            return false;
        }
        out.resize(std::size_t(n) * std::size_t(width));
        for (std::uint64_t i = 0; i < n; ++i)
            std::memcpy(&out[std::size_t(i) * std::size_t(width)], bytes->data() + start + i * stride, 4u * std::size_t(width));
        return true;
    }

private:
    const std::string* buffer(const json* index, std::string& problem)
    {
        const json* entry = element(member(root_, "buffers"), index);
        if (!entry)
            return nullptr;
        const std::size_t i = index->get<std::size_t>();
        if (auto loaded = loaded_.find(i); loaded != loaded_.end())
            return &loaded->second;
        const std::string uri = text(*entry, "uri");
        std::string bytes;
        if (uri.empty())
            bytes = glb_;
        else if (uri.compare(0, 5, "data:") == 0 || !readWholeFile((fs::path(folder_) / uri).string(), bytes)) {
            problem = "buffer '" + uri.substr(0, 40) + "' cannot be read";
            return nullptr;
        }
        return &(loaded_[i] = std::move(bytes));
    }

    const json& root_;
    std::string folder_;
    std::string glb_;
    std::map<std::size_t, std::string> loaded_;
};

GltfCurves::Shape shapeOf(const std::string& name)
{
    return name == "STEP" ? GltfCurves::Shape::Step
        : name == "CUBICSPLINE" ? GltfCurves::Shape::CubicSpline : GltfCurves::Shape::Linear;
}

}

bool GltfCurves::read(const std::string& path, unsigned take, std::string& problem)
{
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    std::string bytes, jsonText, binary;
    if ((extension != ".gltf" && extension != ".glb") || !readWholeFile(path, bytes))
        return true;
    if (extension == ".glb" ? !splitGlb(bytes, jsonText, binary) : (jsonText = bytes, false)) {
        problem = "not a glTF binary file";
        return false;
    }
    const json root = json::parse(jsonText, nullptr, false);
    const json* animations = member(root, "animations");
    const json* animation = animations && animations->is_array() && take < animations->size() ? &(*animations)[take] : nullptr;
    const json* samplers = animation ? member(*animation, "samplers") : nullptr;
    const json* channels = animation ? member(*animation, "channels") : nullptr;
    if (!channels || !channels->is_array())
        return true;
    Buffers buffers(root, fs::path(path).parent_path().string(), binary);
    for (const json& channel : *channels) {
        const json* sampler = element(samplers, member(channel, "sampler"));
        const json* target = member(channel, "target");
        const json* node = target ? element(member(root, "nodes"), member(*target, "node")) : nullptr;
        const std::string targetPath = target ? text(*target, "path") : "";
        Curve curve;
        curve.shape = sampler ? shapeOf(text(*sampler, "interpolation")) : Shape::Linear;
        curve.width = targetPath == "rotation" ? 4 : 3;
        if (!node || curve.shape == Shape::Linear || text(*node, "name").empty() || targetPath == "weights")
            continue;
        const int perKey = curve.shape == Shape::CubicSpline ? 3 : 1;
        std::vector<float> times;
        if (!buffers.floats(member(*sampler, "input"), 1, times, problem)
            || !buffers.floats(member(*sampler, "output"), curve.width, curve.values, problem)) {
            curves_.clear();
            return false;
        }
        if (times.empty() || curve.values.size() != times.size() * std::size_t(perKey * curve.width)) {
            problem = "an animation curve has not as many values as keys";
            curves_.clear();
            return false;
        }
        curve.times = std::move(times);
        curves_[{ text(*node, "name"), targetPath }] = std::move(curve);
    }
    return true;
}

const GltfCurves::Curve* GltfCurves::find(const std::string& name, const std::string& target) const
{
    auto found = curves_.find({ name, target });
    return found == curves_.end() ? nullptr : &found->second;
}

void GltfCurves::evaluate(const Curve& curve, double seconds, float* out)
{
    const std::size_t keys = curve.times.size();
    const std::size_t after = std::size_t(std::upper_bound(curve.times.begin(), curve.times.end(), seconds) - curve.times.begin());
    const std::size_t w = std::size_t(curve.width);
    const bool cubic = curve.shape == Shape::CubicSpline;
    auto value = [&](std::size_t k, int part) { return &curve.values[(cubic ? 3 * k + std::size_t(part) : k) * w]; };
    if (after == 0 || after == keys || curve.shape == Shape::Step) {
        const float* v = value(after == 0 ? 0 : after - 1, 1);
        std::copy(v, v + w, out);
    } else {
        // The Hermite spline glTF defines between keys k and k + 1.
        const std::size_t k = after - 1;
        const double span = double(curve.times[k + 1]) - curve.times[k];
        const double s = span > 0.0 ? (seconds - curve.times[k]) / span : 0.0;
        const double s2 = s * s, s3 = s2 * s;
        for (std::size_t c = 0; c < w; ++c)
            out[c] = float((2 * s3 - 3 * s2 + 1) * value(k, 1)[c] + span * (s3 - 2 * s2 + s) * value(k, 2)[c]
                + (-2 * s3 + 3 * s2) * value(k + 1, 1)[c] + span * (s3 - s2) * value(k + 1, 0)[c]);
    }
    if (w == 4) {
        const float n = std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2] + out[3] * out[3]);
        for (std::size_t c = 0; n > 0.0f && c < 4; ++c)
            out[c] /= n;
    }
}
