// qztool import: a model made with a modelling program (glTF, OBJ, FBX, Collada and the
// other formats the Open Asset Import Library reads) written as the engine's ".qzg" model,
// with its pictures beside it and, on request, one take as a ".qza" animation. Everything
// is converted in memory and read back through the engine's loader before any file is
// written; the files then appear together or not at all.
#include "tools/qztool/Command.h"
#include "tools/qztool/GltfCurves.h"
#include "tools/qztool/ImportAnimation.h"
#include "tools/qztool/ImportMaterial.h"
#include "tools/qztool/ImportMeshes.h"
#include "tools/qztool/ImportPictures.h"
#include "tools/qztool/ImportScene.h"
#include "tools/qztool/ImportSkeleton.h"
#include "tools/qztool/JsonText.h"
#include "tools/qztool/Session.h"
#include "tools/qztool/StagedFiles.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kVertexLimit = 65536;  // what 16-bit indices address
constexpr std::uint64_t kLargestFile = 0xFFFFFFFFu;  // the engine's file buffer counts bytes in 32 bits

struct ImportOptions {
    std::string model;
    std::string output;
    std::string animation;
    std::string take;
    bool takeGiven = false;
    float scale = 1.0f;
    float fps = 30.0f;
};

bool positiveNumber(const std::string& text, float& value)
{
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(parsed) || parsed <= 0.0 || parsed > 1e6)
        return false;
    value = float(parsed);
    return true;
}

// Empty when the arguments are sound, else what is wrong with them.
std::string parseOptions(const std::vector<std::string>& args, ImportOptions& o)
{
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue = a == "--animation" || a == "--take" || a == "--scale" || a == "--fps";
        if (takesValue && i + 1 == args.size())
            return a + " needs a value";
        if (a == "--animation")
            o.animation = args[++i];
        else if (a == "--take")
            o.take = args[++i], o.takeGiven = true;
        else if (a == "--scale" && !positiveNumber(args[++i], o.scale))
            return "--scale must be a positive number";
        else if (a == "--fps" && (!positiveNumber(args[++i], o.fps) || o.fps > 1000.0f))
            return "--fps must be a number of frames per second above 0, at most 1000";
        else if (!takesValue && a.size() > 1 && a[0] == '-')
            return "unknown option " + a;
        else if (!takesValue)
            files.push_back(a);
    }
    if (files.size() != 2)
        return "expects MODEL OUT.qzg";
    if (o.takeGiven && o.animation.empty())
        return "--take chooses the take for --animation";
    o.model = files[0];
    o.output = files[1];
    return "";
}

struct ImportState {
    Geometry geometry;
    KeyframedAnimation animation;
    std::string takeName;
    WeightReduction reduction;
    std::vector<std::string> notes;
    std::vector<std::pair<std::string, std::string>> pictures;
};

// The model's items (and skin) into state.geometry; false with reason when none can be.
bool buildGeometry(const aiScene& scene, const aiMatrix4x4& toShow, const ImportOptions& o, ImportSkeleton& skeleton,
    ImportState& state, std::string& reason)
{
    const fs::path output(o.output);
    ImportPictures pictures(scene, o.model, output.stem().string(),
        { output.filename().string(), fs::path(o.animation).filename().string() });
    auto skin = skeleton.empty() ? nullptr : std::make_unique<SkinModifier>();
    std::vector<std::string> conflicts;
    for (const MeshPlacement& placement : placeMeshes(scene, toShow)) {
        if (!(placement.mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE))
            continue;  // points and lines, which the engine does not draw
        if (placement.mesh->mNumVertices > kVertexLimit) {
            reason = "mesh '" + std::string(placement.mesh->mName.C_Str()) + "' keeps "
                + std::to_string(placement.mesh->mNumVertices) + " vertices after splitting; 16-bit indices reach 65536";
            return false;
        }
        std::shared_ptr<Mesh> mesh = bakeMesh(placement, !skin);
        if (mesh->triangles.count == 0)
            continue;
        std::unique_ptr<MeshMaterial> material = importMaterial(*scene.mMaterials[placement.mesh->mMaterialIndex]);
        const std::string reference = diffusePicture(*scene.mMaterials[placement.mesh->mMaterialIndex]);
        std::string problem;
        material->textureNames[0] = pictures.nameFor(reference, problem);
        if (!problem.empty())
            state.notes.push_back("material '" + material->name + "': picture '" + reference + "' left out: " + problem);
        if (skin)
            skin->skinMeshes.push_back(skinMesh(placement, scene, skeleton, state.reduction, conflicts));
        state.geometry.addItem(std::move(material), mesh);
    }
    if (state.geometry.items.empty()) {
        reason = "no triangles to import";
        return false;
    }
    for (const std::string& bone : conflicts)
        state.notes.push_back("bone '" + bone + "' is bound differently by two meshes; the first mesh's binding is kept");
    for (const std::string& picture : pictures.alphaDropped())
        state.notes.push_back("picture '" + picture + "' is partly transparent; JPEG keeps no transparency");
    if (skin) {
        skeleton.fill(skin->skeleton);
        state.geometry.skin = std::move(skin);
    }
    state.pictures = pictures.files();
    return true;
}

std::string bytesOf(const BinaryWriter& out)
{
    return std::string(out.bytes().begin(), out.bytes().end());
}

// The geometry as the engine will load it, or false when it does not load.
bool readBack(const std::string& bytes, const std::string& name, Geometry& loaded)
{
    FileBuffer buffer;
    if (bytes.size() > kLargestFile || !buffer.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()))
        || !loaded.load(buffer, name.c_str()))
        return false;
    if (loaded.skin)
        loaded.update(0.0f);  // no animation yet: the skin meshes take the bind pose and its box
    return true;
}

void printReductionReport(const ImportState& state, std::uint32_t vertices)
{
    const WeightReduction& r = state.reduction;
    if (r.verticesReduced == 0)
        std::printf("weights: every vertex has at most two bones\n");
    else
        std::printf("weights: %u of %u vertices had more than two bones; kept the two largest, renormalised; "
                    "the largest weight dropped was %.3f of its vertex\n", r.verticesReduced, vertices,
            double(r.worstDropped));
    if (r.unweighted > 0)
        std::printf("weights: %u vertices had no bone; they follow the nearest bone above their mesh\n", r.unweighted);
}

void printSummary(const ImportOptions& o, const ImportState& state, const Geometry& loaded)
{
    std::uint32_t vertices = 0, triangles = 0;
    for (const GeometryItem& item : loaded.items) {
        vertices += item.mesh->vertices.vertexCount;
        triangles += item.mesh->triangles.count;
    }
    if (loaded.skin)
        printReductionReport(state, vertices);
    for (const std::string& note : state.notes)
        std::printf("note: %s\n", note.c_str());
    std::string textures;
    for (const auto& picture : state.pictures)
        textures += (textures.empty() ? "" : ",") + jsonString(picture.first);
    std::string animation = "null";
    if (!o.animation.empty())
        animation = "{\"file\":" + jsonString(o.animation) + ", \"take\":" + jsonString(state.takeName)
            + ", \"frames\":" + std::to_string(state.animation.frameCount)
            + ", \"duration\":" + jsonNumber(state.animation.duration) + "}";
    const Bounds& b = loaded.bounds;
    const float box[7] = { b.centre.x, b.centre.y, b.centre.z, b.half.x, b.half.y, b.half.z, b.radius };
    std::printf("{\"file\":%s, \"meshes\":%zu, \"vertices\":%u, \"triangles\":%u, \"bones\":%zu, \"animation\":%s, "
                "\"textures\":[%s], \"bounds\":%s}\n",
        jsonString(o.output).c_str(), loaded.items.size(), vertices, triangles,
        loaded.skin ? loaded.skin->skeleton.bones.size() : std::size_t(0), animation.c_str(), textures.c_str(),
        jsonFloats(box, 7).c_str());
}

int runImport(const std::vector<std::string>& args)
{
    ImportOptions o;
    if (std::string problem = parseOptions(args, o); !problem.empty())
        return qzUsageError("import: " + problem);
    ImportScene file;
    std::string reason;
    if (!file.read(o.model, reason))
        return qzFailure(o.model, reason);
    const aiScene& scene = file.scene();
    ImportState state;
    std::string unitNote;
    const aiMatrix4x4 toShow = file.fileToShow(o.scale, unitNote);
    if (!unitNote.empty())
        state.notes.push_back("units: " + unitNote);
    const aiAnimation* take = nullptr;
    if (!o.animation.empty() && !(take = findTake(scene, o.take, reason)))
        return qzFailure(o.model, reason);
    ImportSkeleton skeleton(scene, toShow);
    if (take && skeleton.empty())
        return qzFailure(o.model, "no skinned mesh: the engine's animations move bones only");
    if (!buildGeometry(scene, toShow, o, skeleton, state, reason))
        return qzFailure(o.model, reason);

    BinaryWriter model;
    if (state.geometry.skin)
        GeometryWriter::writeGeneral(model, state.geometry);
    else
        GeometryWriter::writeStatic(model, state.geometry);
    StagedFiles files;
    files.add(o.output, bytesOf(model));
    if (take) {
        state.takeName = take->mName.C_Str();
        GltfCurves curves;
        std::string problem;
        const unsigned takeIndex = unsigned(std::find(scene.mAnimations, scene.mAnimations + scene.mNumAnimations, take)
            - scene.mAnimations);
        if (!curves.read(o.model, takeIndex, problem))
            state.notes.push_back("curves played linearly: " + problem);
        sampleTake(scene, *take, skeleton, o.fps, curves, state.animation, state.notes);
        BinaryWriter keys;
        AnimationWriter::write(keys, state.animation, "QZANIMATION", state.takeName.c_str());
        if (keys.bytes().size() > kLargestFile)
            return qzFailure(o.animation, "too many bones and frames for one animation file (4 GiB)");
        files.add(o.animation, bytesOf(keys));
    }
    Geometry loaded;
    if (!readBack(bytesOf(model), o.output, loaded))
        return qzFailure(o.output, "the model is too large for the engine's loader (4 GiB)");
    const fs::path folder = fs::path(o.output).parent_path();
    for (const auto& [name, bytes] : state.pictures) {
        std::error_code ignored;
        if (fs::exists(folder / name, ignored))
            state.notes.push_back("picture '" + name + "' replaces the file of that name beside the model");
        files.add((folder / name).string(), bytes);
    }
    if (!files.commit(reason))
        return qzFailure(reason);
    printSummary(o, state, loaded);
    return 0;
}

const QzCommand importCommand("import",
    "  qztool import MODEL OUT.qzg [--animation OUT.qza] [--take NAME|INDEX] [--scale S] [--fps F]\n"
    "                                        a glTF, OBJ, FBX or Collada model as the engine's, pictures beside it\n",
    runImport);

}
