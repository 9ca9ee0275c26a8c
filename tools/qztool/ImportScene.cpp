#include "tools/qztool/ImportScene.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstdio>

namespace {

// The engine's triangle lists hold 16-bit indices: 65536 vertices at most per mesh.
constexpr int kVertexLimit = 65536;

template <typename T>
bool metadataNumber(const aiMetadata* data, const char* key, T& value)
{
    if (!data)
        return false;
    double asDouble = 0.0;
    float asFloat = 0.0f;
    int asInt = 0;
    if (data->Get(key, asDouble))
        value = T(asDouble);
    else if (data->Get(key, asFloat))
        value = T(asFloat);
    else if (data->Get(key, asInt))
        value = T(asInt);
    else
        return false;
    return true;
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}

bool ImportScene::read(const std::string& path, std::string& reason)
{
    importer_.SetPropertyInteger(AI_CONFIG_PP_SLM_VERTEX_LIMIT, kVertexLimit);
    const unsigned steps = aiProcess_Triangulate | aiProcess_GenSmoothNormals | aiProcess_JoinIdenticalVertices
        | aiProcess_SortByPType | aiProcess_SplitLargeMeshes | aiProcess_FlipUVs | aiProcess_ValidateDataStructure;
    scene_ = importer_.ReadFile(path, steps);
    if (!scene_ || !scene_->mRootNode) {
        reason = importer_.GetErrorString();
        if (reason.empty())
            reason = "not a model the importer can read";
        scene_ = nullptr;
        return false;
    }
    return true;
}

float ImportScene::unitToMetres(std::string& unitNote) const
{
    // FBX states its unit in centimetres (1: centimetres, 100: metres); the importer
    // leaves positions in that unit.
    double centimetres = 0.0;
    if (!metadataNumber(scene_->mMetaData, "UnitScaleFactor", centimetres) || centimetres <= 0.0)
        return 1.0f;
    unitNote = "the file counts in units of " + number(centimetres) + " cm: x " + number(centimetres / 100.0)
        + " to metres";
    return float(centimetres / 100.0);
}

aiMatrix4x4 ImportScene::upAxisToY(std::string& axisNote) const
{
    aiMatrix4x4 turn;
    int axis = 1, sign = 1;
    if (!metadataNumber(scene_->mMetaData, "UpAxis", axis) || axis < 0 || axis > 2)
        return turn;
    metadataNumber(scene_->mMetaData, "UpAxisSign", sign);
    if (axis == 1 && sign >= 0)
        return turn;
    aiVector3D up(0.0f, 0.0f, 0.0f);
    up[unsigned(axis)] = sign < 0 ? -1.0f : 1.0f;
    aiMatrix4x4::FromToMatrix(up, aiVector3D(0.0f, 1.0f, 0.0f), turn);
    axisNote = std::string("up axis ") + (sign < 0 ? "-" : "+") + "XYZ"[axis] + " turned to +Y";
    return turn;
}

aiMatrix4x4 ImportScene::fileToShow(float userScale, std::string& note) const
{
    std::string unitNote, axisNote;
    const float unit = unitToMetres(unitNote);
    aiMatrix4x4 scale;
    aiMatrix4x4::Scaling(aiVector3D(unit * userScale), scale);
    note = unitNote;
    aiMatrix4x4 turn = upAxisToY(axisNote);
    if (!axisNote.empty())
        note += (note.empty() ? "" : "; ") + axisNote;
    if (userScale != 1.0f || !unitNote.empty())
        note += (note.empty() ? "" : "; ") + std::string("positions x ") + number(double(unit) * userScale) + " in all";
    return scale * turn;
}
