#include "app/CameraModes.h"

#include "app/CameraPath.h"
#include "app/Director.h"
#include "demo/ShowFiles.h"
#include "engine/core/Console.h"
#include "engine/geometry/Camera.h"
#include "engine/render/Window.h"
#include "platform/Input.h"

#include <string>

namespace {

constexpr float STEP = 1.0f;
constexpr float LIFT = 0.6666667f;
constexpr int SMOOTHING_WINDOW = 20;
const char* const RECORDING_FILE = showfiles::RECORDED_PATH;

}

void handleKeys(CameraPath& path)
{
    using platform::Key;
    using platform::keyDown;
    if (path.mode != MODE_FREE) {
        if (keyDown(Key::Space)) {
            if (path.mode == MODE_RECORDING)
                path.stopRecording();
            path.mode = MODE_FREE;
        }
        return;
    }
    if (keyDown(Key::C)) {
        consolePrintf("Convolution\n");
        path.mode = MODE_SMOOTHING;
    }
    if (keyDown(Key::R)) {
        consolePrintf("Ecriture\n");
        path.startRecording();
    }
    if (keyDown(Key::P)) {
        consolePrintf("Lecture\n");
        std::string name = path.fileName().empty() ? RECORDING_FILE : path.fileName();
        path.load(name.c_str(), 0);
    }
}

void freeCamera(Camera& camera, Window* window)
{
    using platform::Key;
    using platform::keyDown;
    if (keyDown(Key::Right))
        camera.strafe(-STEP);
    if (keyDown(Key::Left))
        camera.strafe(STEP);
    if (keyDown(Key::Up))
        camera.advance(STEP);
    if (keyDown(Key::Down))
        camera.advance(-STEP);
    unsigned buttons = platform::mouseButtons();
    // y is the eye negated: adding moves the eye down.
    if (buttons & platform::MOUSE_LEFT)
        camera.y += LIFT;
    if (buttons & platform::MOUSE_RIGHT)
        camera.y -= LIFT;
    // Only a mouse that really moved over the focused window turns the camera: without
    // the focus the cursor cannot be put back, and its last position would turn it on
    // every frame.
    if (!window || !platform::takeMouseMotion())
        return;
    int width = static_cast<int>(window->width);
    int height = static_cast<int>(window->height);
    camera.mouseLook(window->getCursorX(), window->getCursorY(), width, height, 1.0f, 1.0f);
    window->setCursorPos(width / 2, height / 2);
}

void cameraStep(Director& director, Camera& camera, Window* window)
{
    switch (director.currentPath().mode) {
    case MODE_FREE:
        freeCamera(camera, window);
        break;
    case MODE_RECORDING:
        director.currentPath().recordKey(Vec3(camera.x, camera.y, camera.z),
            Vec3(camera.pitch, camera.yaw, camera.roll));
        freeCamera(camera, window);
        break;
    case MODE_PLAYING: {
        // A path with no keys writes nothing: the camera then stays where it is.
        Vec3 translation(camera.x, camera.y, camera.z);
        Vec3 angles(camera.pitch, camera.yaw, camera.roll);
        director.currentPath().play(translation, angles);
        camera.set(translation.x, translation.y, translation.z, angles.x, angles.y, angles.z);
        break;
    }
    case MODE_SMOOTHING:
        director.currentPath().smooth(SMOOTHING_WINDOW);
        break;
    default:
        break;
    }
}
