#include "app/Director.h"

#include "app/TextTokens.h"
#include "demo/ShowFiles.h"
#include "engine/core/Console.h"
#include "engine/render/RenderDevice.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

struct PathEntry {
    const char* file;
    int durationMs; // 0: recorded time
};

using showfiles::PATHS;

// Scene number -> its camera path. Each scene has its own path object (and clock), even
// where the file is shared.
const PathEntry SCENE_PATHS[SCENE_COUNT] = {
    {PATHS[0], 10000},
    {PATHS[0], 10000},
    {PATHS[1], 10000},
    {PATHS[1], 10000},
    {PATHS[0], 10000},
    {PATHS[2], 0},
    {PATHS[3], 0},
    {PATHS[4], 0},
    {PATHS[5], 0},
    {PATHS[6], 0},
    {PATHS[1], 0},
    {PATHS[1], 0},
    {PATHS[1], 0},
    {PATHS[1], 0},
};

constexpr std::uint32_t FIRST_LIT_SCENE = 5;
constexpr std::uint32_t LAST_LIT_SCENE = 9;
constexpr int SCENE_LIGHTS = 3;
constexpr int TRILINEAR = 2;

}

Director::Director()
{
    for (Light& l : lights_) {
        l.type = 0;
        l.position = Vec3(0.0f, 0.0f, 0.0f);
        l.ambient = white;
        l.diffuse = white;
        l.specular = white;
        l.range = 1.0f;
    }
}

Director::~Director() = default;

bool Director::readSyncTimes(const char* syncFile)
{
    if (readValues(syncFile, syncTimes_))
        return true;
    consolePrintf("Impossible d'ouvrir le fichier %s\n", syncFile ? syncFile : "");
    return false;
}

void Director::setLights()
{
    Light& l0 = lights_[0];
    l0.type = 0;
    l0.position = Vec3(0.0f, 15.0f, 10.0f);
    l0.ambient = white;
    l0.diffuse = white;
    l0.specular = blue;
    l0.range = 20.0f;

    Light& l1 = lights_[1];
    l1.type = 0;
    l1.position = Vec3(0.0f, 50.0f, -20.0f);
    l1.ambient = blue;
    l1.diffuse = yellow;
    l1.specular = white;
    l1.range = 20.0f;

    Light& l2 = lights_[2];
    l2.type = LightDirectional;
    l2.position = Vec3(15.0f, 39.0f, -0.12f);
    l2.ambient = white;
    l2.diffuse = yellow;
    l2.specular = white;
    l2.range = 200.0f;
}

bool Director::load(const char* syncFile, RenderDevice* device, std::vector<std::string>* missing)
{
    sceneIndex_ = 0;
    device_ = device;
    bool synced = readSyncTimes(syncFile);
    if (!synced)
        noteMissing(missing, syncFile);

    paths_.clear();
    for (const PathEntry& entry : SCENE_PATHS) {
        auto path = std::make_unique<CameraPath>();
        if (!path->load(entry.file, entry.durationMs))
            noteMissing(missing, entry.file);
        paths_.push_back(std::move(path));
    }
    setLights();
    if (device_) {
        const float ambient[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        device_->setAmbientLight(ambient);
        device_->setTextureFilter(0, TRILINEAR);
        device_->setTextureFilter(1, TRILINEAR);
    }
    return synced;
}

void Director::loadContent(const ParticleSprite& sprite, std::vector<std::string>* missing)
{
    if (device_)
        content_.load(*device_, sprite, missing);
}

void Director::renderScene(float frameDelta, const Vec3& cameraTranslation, bool frameClearedBlack)
{
    if (device_)
        content_.render(sceneIndex_, *device_, frameDelta, cameraTranslation, frameClearedBlack);
}

void Director::simulateScene(float frameDelta, const Vec3& cameraTranslation)
{
    content_.simulate(sceneIndex_, frameDelta, cameraTranslation);
}

void Director::start()
{
    timeline_.restart();
}

CameraPath& Director::currentPath()
{
    // The last scene stays on whatever the sync file holds beyond it.
    while (!timeline_.idle() && sceneIndex_ < syncTimes_.size() && sceneIndex_ + 1 < paths_.size()
           && timeline_.elapsedMs() > syncTimes_[sceneIndex_]) {
        consolePrintf("scene : %d\n", static_cast<int>(sceneIndex_));
        ++sceneIndex_;
    }
    if (sceneIndex_ >= paths_.size())
        return noPath_;
    return *paths_[sceneIndex_];
}

void Director::applyLights()
{
    if (!device_ || sceneIndex_ < FIRST_LIT_SCENE || sceneIndex_ > LAST_LIT_SCENE)
        return;
    for (int i = 0; i < SCENE_LIGHTS; ++i) {
        device_->setLight(i, lights_[i]);
        device_->enableLight(i);
    }
}

void Director::rewind()
{
    sceneIndex_ = 0;
    for (auto& path : paths_)
        path->rewind();
    content_.reset();
    timeline_.restart();
}

std::int32_t Director::sceneStartMs(std::uint32_t scene) const
{
    if (scene == 0)
        return 0;
    if (scene >= paths_.size() || scene > syncTimes_.size())
        return -1;
    const std::int64_t start = std::int64_t(syncTimes_[scene - 1]) + 1;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(start, 0, INT32_MAX));
}
