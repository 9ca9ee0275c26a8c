// The show as the frame loop sees it: load once, then update and render once per frame.
// The show draws through the render device made last (currentDevice) and its window.
#pragma once

class Camera;
class Director;

// Loads the whole show (data folder, timeline, paths, content, music, camera) and
// starts its timeline right after the music.
void demoInit();
// Advances the show by one frame (ticks the frame clock first).
void demoUpdate();
// Draws one frame and presents it. Does nothing without a device.
void demoRender();

// The show's objects, alive for the whole process.
Director& showDirector();
Camera& sceneCamera();
