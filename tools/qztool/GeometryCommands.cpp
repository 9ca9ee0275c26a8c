// qztool qzg / qza: inspects models and animations through the engine's own loaders,
// with no render device (textures are named, never loaded).
#include "tools/qztool/Command.h"
#include "tools/qztool/JsonText.h"
#include "tools/qztool/Session.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/Geometry.h"
#include "engine/math/FileBuffer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool loadBuffer(const std::string& path, FileBuffer& buffer)
{
    std::string bytes;
    return readWholeFile(path, bytes) && bytes.size() <= 0xFFFFFFFFu
        && buffer.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
}

const char* layoutTag(GeometryLayout layout)
{
    switch (layout) {
    case GeometryLayout::Static: return "GEOMETRY_STATIC";
    case GeometryLayout::Dynamic: return "GEOMETRY_DYNAMIC";
    case GeometryLayout::General: return "QZGEOMETRY2";
    default: return "";
    }
}

std::string itemJson(const GeometryItem& item)
{
    const VertexArray& v = item.mesh->vertices;
    const MeshMaterial& m = *item.material;
    std::string out = "{\"vertices\":" + std::to_string(v.vertexCount) + ", \"format\":" + std::to_string(v.format)
        + ", \"stride\":" + std::to_string(v.stride) + ", \"triangles\":" + std::to_string(item.mesh->triangles.count)
        + ", \"material\":{\"name\":" + jsonString(m.name) + ", \"flags\":" + std::to_string(m.flags)
        + ", \"diffuse\":" + jsonFloats(m.diffuse, 4) + ", \"textures\":[";
    for (int s = 0; s < MeshMaterial::StageCount; ++s)
        out += (s ? "," : "") + jsonString(m.textureNames[s]);
    return out + "]}}";
}

std::string geometryJson(const std::string& path, const Geometry& g)
{
    std::string out = "{\"file\":" + jsonString(path) + ", \"layout\":" + jsonString(layoutTag(g.layout)) + ", \"items\":[";
    for (std::size_t i = 0; i < g.items.size(); ++i)
        out += (i ? ", " : "") + itemJson(g.items[i]);
    out += "], \"morph\":";
    if (g.morph) {
        out += "{\"tracks\":" + std::to_string(g.morph->tracks.size()) + ", \"frameCount\":"
            + std::to_string(g.morph->frameCount) + ", \"duration\":" + jsonNumber(g.morph->duration) + "}";
    } else {
        out += "null";
    }
    out += ", \"skin\":";
    if (g.skin) {
        out += "{\"bones\":[";
        const auto& bones = g.skin->skeleton.bones;
        for (std::size_t b = 0; b < bones.size(); ++b)
            out += std::string(b ? ", " : "") + "{\"name\":" + jsonString(bones[b].name) + ", \"parent\":"
                + std::to_string(bones[b].parent) + "}";
        out += "], \"skinMeshes\":" + std::to_string(g.skin->skinMeshCount()) + "}";
    } else {
        out += "null";
    }
    const Bounds& b = g.bounds;
    const float box[7] = { b.centre.x, b.centre.y, b.centre.z, b.half.x, b.half.y, b.half.z, b.radius };
    return out + ", \"bounds\":" + jsonFloats(box, 7) + "}";
}

// Why a geometry did not load, as far as the first tag tells.
std::string geometryFailure(FileBuffer& buffer)
{
    buffer.seek(0);
    std::string tag = buffer.readString();
    if (tag == "QZSKINNEDGEO")
        return "QZSKINNEDGEO geometry is not supported";
    if (tag != "GEOMETRY_STATIC" && tag != "GEOMETRY_DYNAMIC" && tag != "QZGEOMETRY2")
        return "not a geometry file (first tag " + jsonString(tag) + ")";
    return "truncated or inconsistent " + tag + " data";
}

int qzgInfo(const std::string& path)
{
    FileBuffer buffer;
    if (!loadBuffer(path, buffer))
        return qzFailure(path, "can't read file");
    Geometry g;
    if (!g.load(buffer, path.c_str()))
        return qzFailure(path, geometryFailure(buffer));
    std::printf("%s\n", geometryJson(path, g).c_str());
    return 0;
}

bool loadAnimation(const std::string& path, KeyframedAnimation& animation, std::string& reason)
{
    FileBuffer buffer;
    if (!loadBuffer(path, buffer)) {
        reason = path + ": can't read file";
        return false;
    }
    if (!animation.read(buffer)) {
        reason = path + ": truncated or inconsistent animation data";
        return false;
    }
    return true;
}

int qzaInfo(const std::string& path)
{
    KeyframedAnimation animation;
    std::string reason;
    if (!loadAnimation(path, animation, reason))
        return qzFailure(reason);
    std::printf("{\"bones\":%u, \"frames\":%u, \"duration\":%s}\n", animation.boneCount, animation.frameCount,
                jsonNumber(animation.duration).c_str());
    return 0;
}

bool parseNumber(const std::string& text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == '\0';
}

int qzaEval(const std::string& path, const std::string& boneText, const std::string& timeText)
{
    double bone = 0.0, time = 0.0;
    if (!parseNumber(boneText, bone) || bone < 0 || bone != std::floor(bone) || bone > 0xFFFFFFFFu)
        return qzUsageError("qza eval: BONE must be a non-negative integer");
    if (!parseNumber(timeText, time))
        return qzUsageError("qza eval: TIME must be a number of seconds");
    KeyframedAnimation animation;
    std::string reason;
    if (!loadAnimation(path, animation, reason))
        return qzFailure(reason);
    Mat4 m = animation.evaluate(std::uint32_t(bone), float(time));
    for (int i = 0; i < 16; ++i)
        std::printf(i ? " %.6g" : "%.6g", double(m.m[i]));
    std::printf("\n");
    return 0;
}

int runQzg(const std::vector<std::string>& args)
{
    if (args.empty() || args[0] != "info")
        return qzUsageError("qzg: expected 'info FILE'");
    if (args.size() != 2)
        return qzUsageError("qzg info: expects exactly one FILE");
    return qzgInfo(args[1]);
}

int runQza(const std::vector<std::string>& args)
{
    if (args.empty())
        return qzUsageError("qza: missing subcommand (info, eval)");
    if (args[0] == "info") {
        if (args.size() != 2)
            return qzUsageError("qza info: expects exactly one FILE");
        return qzaInfo(args[1]);
    }
    if (args[0] == "eval") {
        if (args.size() != 4)
            return qzUsageError("qza eval: expects FILE BONE TIME");
        return qzaEval(args[1], args[2], args[3]);
    }
    return qzUsageError("qza: unknown subcommand '" + args[0] + "'");
}

const QzCommand qzgCommand("qzg",
    "  qztool qzg info FILE                  load a .qzg model (no device) and print it as JSON\n", runQzg);
const QzCommand qzaCommand("qza",
    "  qztool qza info FILE                  print a .qza animation's bone and frame counts, duration\n"
    "  qztool qza eval FILE BONE TIME        the 16 floats of the bone's matrix at TIME seconds\n",
    runQza);

}
